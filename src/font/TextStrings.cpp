#include "font/TextStrings.h"

#include "base/Error.h"
#include "base/FileProblem.h"
#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"

#include <algorithm>
#include <set>

namespace font {

namespace {

constexpr char32_t kByteOrderMark = U'\uFEFF';

} // namespace

std::vector<std::u32string> MemoLines(std::string_view text) {
    std::vector<std::u32string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = start;
        while (end < text.size() && text[end] != '\n' && text[end] != '\r')
            ++end;
        std::u32string line = DecodeUtf8(text.substr(start, end - start));
        std::erase(line, kByteOrderMark);
        lines.push_back(std::move(line));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}

FontDef BuildFontDef(const std::vector<std::u32string>& lines) {
    FontDef def;
    for (std::size_t j = 0; j < lines.size(); ++j) {
        const std::u32string& line = lines[j];
        for (std::size_t i = 0; i < line.size(); ++i) {
            const char32_t c = line[i];
            if (c == U' ') continue;
            std::size_t number = def.Distinct.find(c);
            if (number == std::u32string::npos) {
                number = def.Distinct.size();
                def.Distinct += c;
            }
            def.Text += base::strprintf("\n#define FONT_STR%zu_1BPP_WORD%zu\t\t%zu", j + 1, i + 1, number);
        }
        def.Text += '\n';
    }
    return def;
}

namespace {

// Whether the bank has room for `needed` more glyphs; when it has not, the result says so and the run must
// change nothing.
bool RoomFor(const FontBank& bank, std::size_t needed, StringsResult& result) {
    const std::size_t free = FontBank::kCapacity - std::min(bank.Count(), FontBank::kCapacity);
    if (needed <= free) return true;
    result.failure = kFontBankFull;
    result.notes.push_back(
        {base::Note::Kind::Detail,
         base::strprintf("This run needs %zu glyphs; the bank has %zu free", needed, free)});
    return false;
}

void RenderAndInsert(GlyphEditor& editor, FontBank& bank, TextRenderer& renderer, std::u32string_view chars,
                     StringsResult& result) {
    for (char32_t c : chars) {
        RenderGlyphText(editor, renderer, std::u32string_view(&c, 1));
        if (auto failure = InsertGlyph(bank, editor))
            result.notes.push_back({base::Note::Kind::Error, std::move(*failure)});
        else
            ++result.Inserted;
    }
    editor.ClearPreview();
}

} // namespace

StringsResult GenerateStrings(GlyphEditor& editor, FontBank& bank, TextRenderer& renderer,
                              const std::vector<std::u32string>& lines,
                              const base::OutputDirectory& outputDirectory, base::OutputSet& outputs) {
    StringsResult result;
    const FontDef def = BuildFontDef(lines);
    if (!RoomFor(bank, def.Distinct.size(), result)) return result;
    base::OutputFile file;
    if (!file.Create(outputDirectory, kFontDefName, base::OutputFile::Mode::Text, outputs)) {
        result.failure = base::ProblemText(file.Problem());
        outputs.Fail(file.Problem());
        return result;
    }
    file.Write(def.Text);
    if (!file.Close()) {
        result.failure = base::ProblemText(file.Problem());
        return result;
    }
    result.written.push_back(kFontDefName);
    if (!def.Distinct.empty()) RenderAndInsert(editor, bank, renderer, def.Distinct, result);
    return result;
}

StringsResult GenerateStrings(GlyphEditor& editor, FontBank& bank, TextRenderer& renderer,
                              const std::vector<std::u32string>& lines,
                              const base::OutputDirectory& outputDirectory) {
    base::OutputSet outputs;
    StringsResult result = GenerateStrings(editor, bank, renderer, lines, outputDirectory, outputs);
    if (!outputs.Failed() && !outputs.Commit()) {
        result.failure = base::ProblemText(outputs.Problem());
        result.written.clear();
    }
    return result;
}

std::u32string AsciiRunCharacters() {
    std::u32string chars;
    for (char32_t c = 33; c <= 127; ++c)
        chars += c;
    return chars;
}

StringsResult InsertAscii(GlyphEditor& editor, FontBank& bank, TextRenderer& renderer) {
    StringsResult result;
    const std::u32string chars = AsciiRunCharacters();
    if (RoomFor(bank, chars.size(), result)) RenderAndInsert(editor, bank, renderer, chars, result);
    return result;
}

namespace {

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

char32_t CodePointOf(std::string_view text, std::string_view part) {
    text = Trimmed(text);
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty()) throw base::Error("\"" + std::string(part) + "\" is no code point or range");
    std::uint32_t value = 0;
    for (const char c : text) {
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (digit < 0) throw base::Error("\"" + std::string(part) + "\" is no code point or range");
        value = value * static_cast<std::uint32_t>(base) + static_cast<std::uint32_t>(digit);
        if (value > 0x10FFFF) throw base::Error("\"" + std::string(part) + "\" is past 0x10FFFF");
    }
    if (value < 0x20) throw base::Error("\"" + std::string(part) + "\" is a control character, below 0x20");
    if (value >= 0xD800 && value <= 0xDFFF)
        throw base::Error("\"" + std::string(part) + "\" is a surrogate, no character");
    return static_cast<char32_t>(value);
}

} // namespace

std::u32string ParseCharacterRanges(std::string_view text) {
    if (Trimmed(text).empty()) throw base::Error("no code points given");
    std::u32string chars;
    std::set<char32_t> seen;
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view part = Trimmed(text.substr(0, comma));
        if (part.empty()) throw base::Error("an empty part between commas");
        // The dash of a range: not the first character, so that no sign is taken for one.
        const std::size_t dash = part.find('-', 1);
        const char32_t first = CodePointOf(part.substr(0, dash), part);
        const char32_t last = dash == std::string_view::npos ? first : CodePointOf(part.substr(dash + 1), part);
        if (last < first) throw base::Error("\"" + std::string(part) + "\" runs backwards");
        for (char32_t c = first; c <= last; ++c) {
            if (c >= 0xD800 && c <= 0xDFFF) continue; // a range across the surrogates skips them
            if (seen.insert(c).second) chars += c;
        }
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return chars;
}

StringsResult InsertCharacters(GlyphEditor& editor, FontBank& bank, TextRenderer& renderer,
                               const std::u32string& chars) {
    StringsResult result;
    if (RoomFor(bank, chars.size(), result)) RenderAndInsert(editor, bank, renderer, chars, result);
    return result;
}

} // namespace font
