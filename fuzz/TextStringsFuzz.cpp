// Feeds arbitrary files to the text-strings reader (the string memo's text, tavix-cli's --strings file):
// the lines it splits and decodes, and Font_def.h built from them, must agree. No line holds a line end;
// every #define names a line and a position that hold a character other than the blank, its glyph number
// is that character's place among the distinct characters, and every character met is listed once; each
// line ends with its own empty line, in order.
#include "font/TextStrings.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::u32string> lines = font::MemoLines(text);
    std::size_t characters = 0;
    for (const std::u32string& line : lines) {
        Check(line.find(U'\n') == std::u32string::npos && line.find(U'\r') == std::u32string::npos);
        characters += line.size();
    }
    Check(characters <= size);

    const font::FontDef def = font::BuildFontDef(lines);
    for (std::size_t i = 0; i < def.Distinct.size(); ++i) {
        Check(def.Distinct[i] != U' ');
        Check(def.Distinct.find(def.Distinct[i]) == i);
    }

    // Read Font_def.h back: "\n#define FONT_STR%zu_1BPP_WORD%zu\t\t%zu" entries, "\n" after each line.
    std::size_t at = 0;
    std::size_t used = 0; // distinct characters met so far, in order
    for (std::size_t j = 0; j < lines.size(); ++j) {
        const std::u32string& line = lines[j];
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (line[i] == U' ') continue;
            const std::string entry =
                "\n#define FONT_STR" + std::to_string(j + 1) + "_1BPP_WORD" + std::to_string(i + 1) + "\t\t";
            Check(def.Text.compare(at, entry.size(), entry) == 0);
            at += entry.size();
            std::size_t number = 0;
            std::size_t digits = 0;
            while (at < def.Text.size() && def.Text[at] >= '0' && def.Text[at] <= '9') {
                number = number * 10 + static_cast<std::size_t>(def.Text[at++] - '0');
                ++digits;
            }
            Check(digits > 0 && number < def.Distinct.size() && def.Distinct[number] == line[i]);
            if (number == used) ++used; // first met here
            Check(number < used);
        }
        Check(at < def.Text.size() && def.Text[at] == '\n');
        ++at;
    }
    Check(at == def.Text.size());
    Check(used == def.Distinct.size());
    return 0;
}
