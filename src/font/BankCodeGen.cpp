#include "font/BankCodeGen.h"

#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "osd/OsdSources.h"

#include <algorithm>
#include <array>

namespace font {

std::optional<std::vector<std::uint16_t>> HalfWordOrder(const GlyphNode& node) {
    const std::size_t count = node.WordCount();
    const std::size_t q = count / static_cast<std::size_t>(node.GridHeight());
    std::vector<std::uint16_t> order(count);
    if (q < 2) {
        for (std::size_t i = 0; i < count; ++i)
            order[i] = static_cast<std::uint16_t>(i);
        return order;
    }
    const std::size_t l = (q / 2) * 16;
    const std::size_t h = count / 32;
    const std::size_t cellWords = static_cast<std::size_t>(node.Bpp()) * 16;
    std::vector<bool> seen(count, false);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t k = i / cellWords;
        const std::size_t f = (k < h ? 2 * k * l : (2 * (k - h) + 1) * l) + i % l;
        if (f >= count || seen[f]) return std::nullopt;
        seen[f] = true;
        order[i] = static_cast<std::uint16_t>(f);
    }
    return order;
}

namespace {

// The bytes of the eight files, except what the shared emitters add.
struct CodeText {
    std::string fontC;
    std::string tmp;
    std::string fontH;
    std::string msbTxt;
    std::string lsbTxt;
    std::string paletteTxt;
    std::string msbBin;
    std::string lsbBin;
    std::array<base::Colour, 256> merged{};
    std::size_t mergedCount = 0;
    int arrays = 0;
    int storedOrder = 0;
};

void MergeColours(CodeText& t, const GlyphNode& node, std::size_t j) {
    const int m = node.ColorType == 0 ? 2 : node.ColorType == 1 ? 4 : 16;
    for (int l = 0; l < m && t.mergedCount < t.merged.size(); ++l) {
        const base::Colour c = node.Palette[static_cast<std::size_t>(l)];
        const auto end = t.merged.begin() + static_cast<std::ptrdiff_t>(t.mergedCount);
        if (std::find(t.merged.begin(), end, c) != end) continue;
        t.merged[t.mergedCount] = c;
        t.paletteTxt += base::strprintf("//Font%u Color=0x%06X From %02X To %02X\n", static_cast<unsigned>(j),
                                        c, static_cast<unsigned>(l), static_cast<unsigned>(t.mergedCount));
        ++t.mergedCount;
    }
}

CodeText BuildCode(const FontBank& bank, bool halfWord) {
    CodeText t;
    t.fontC = "#include \"Font.h\"\n\n";
    t.fontH = "#ifndef _FONT_H_\n#define _FONT_H_\n\n";
    int room = 0;
    std::uint8_t cellCounter = 0; // wraps after FF
    for (std::size_t j = 0; j < bank.Count(); ++j) {
        const GlyphNode& node = bank[j];
        MergeColours(t, node, j);

        std::optional<std::vector<std::uint16_t>> order;
        if (halfWord) {
            order = HalfWordOrder(node);
            if (!order) ++t.storedOrder;
        }
        const int b = node.Bpp();
        const std::size_t cellWords = static_cast<std::size_t>(b) * 16;
        unsigned k = 0;
        for (std::size_t i = 0; i < node.Words.size(); ++i) {
            if (room == 0) {
                if (t.arrays > 0) {
                    t.fontC += "};\n\n";
                    t.tmp += "};\n\n";
                }
                const int bankNo = t.arrays / 2;
                const int half = t.arrays % 2;
                t.fontC += base::strprintf("UB8 CODE abFONT_BANK%d_MSB%d[]=\n{\n", bankNo, half);
                t.tmp += base::strprintf("UB8 CODE abFONT_BANK%d_LSB%d[]=\n{\n", bankNo, half);
                t.fontH += base::strprintf(
                    "extern UB8 CODE abFONT_BANK%d_MSB%d[];\nextern UB8 CODE abFONT_BANK%d_LSB%d[];\n",
                    bankNo, half, bankNo, half);
                ++t.arrays;
                room = 128;
            }
            const std::uint16_t w = node.Words[order ? (*order)[i] : i];
            const unsigned high = w >> 8;
            const unsigned low = w & 0xFF;
            char item[6] = {' ', '0', 'x', 0, 0, ','};
            base::PutHex2(item + 3, high);
            t.fontC.append(item, 6);
            t.msbTxt.append(item, 6);
            base::PutHex2(item + 3, low);
            t.tmp.append(item, 6);
            t.lsbTxt.append(item, 6);
            t.msbBin += static_cast<char>(high);
            t.lsbBin += static_cast<char>(low);

            if (i % 16 == 15) {
                if ((i / 16) % static_cast<std::size_t>(b) == 0) {
                    const std::string comment = base::strprintf(
                        "//Font%02X-%X-%02X %dx%d %dBPP", static_cast<unsigned>(j), k,
                        static_cast<unsigned>(cellCounter), node.CellWidth(), node.GridHeight(), b);
                    t.fontC += comment;
                    t.tmp += comment;
                    t.msbTxt += comment + "\n";
                    t.lsbTxt += comment + "\n";
                }
                if ((i + 1) % cellWords == 0) {
                    ++k;
                    ++cellCounter;
                }
                t.fontC += '\n';
                t.tmp += '\n';
            }
            --room;
        }
    }
    t.fontC += "};\n";
    t.tmp += "};\n";
    t.fontC += t.tmp;
    t.fontH += "extern void FONT_Init(void);\n#endif\n";
    return t;
}

// FONT_Init sends the arrays with an 8-bit count.
constexpr int kMaxArrays = 255;

} // namespace

CodeGenResult GenerateBankCode(const FontBank& bank, bool halfWord, settings::PaletteFormat paletteFormat,
                               const base::OutputDirectory& outputDirectory, base::OutputSet& set) {
    CodeGenResult result;
    if (bank.Empty()) return result;
    result.ran = true;

    std::size_t words = 0;
    for (const GlyphNode& node : bank.Nodes())
        words += node.Words.size();
    if ((words + 127) / 128 > static_cast<std::size_t>(kMaxArrays)) {
        result.failure =
            base::strprintf("%s The bank needs %zu arrays of 128 words; FONT_Init sends at most %d.",
                            kCodeGenFail, (words + 127) / 128, kMaxArrays);
        set.Fail({{}, *result.failure});
        return result;
    }

    using Mode = base::OutputFile::Mode;
    struct Output {
        const char* name;
        Mode mode;
        base::OutputFile file;
    };
    Output outputs[] = {
        {"Font.c", Mode::Binary, {}},       {"Font.h", Mode::Text, {}},
        {"Font_Msb.txt", Mode::Text, {}},   {"Font_Lsb.txt", Mode::Text, {}},
        {"Palette.txt", Mode::Text, {}},    {"__TMP__.TXT", Mode::Binary, {}},
        {"FONT_MSB.BIN", Mode::Binary, {}}, {"FONT_LSB.BIN", Mode::Binary, {}},
    };
    for (Output& o : outputs) {
        if (!o.file.Create(outputDirectory, o.name, o.mode, set)) {
            result.failure = kCodeGenFail;
            result.detail.push_back(o.file.Problem());
            set.Fail(o.file.Problem());
            return result; // every file opened so far is abandoned with the set: nothing changes on disk
        }
    }

    const CodeText t = BuildCode(bank, halfWord);
    auto& [fontC, fontH, msbTxt, lsbTxt, paletteTxt, tmp, msbBin, lsbBin] = outputs;
    fontC.file.Write(t.fontC);
    osd::WriteFontInitSource(fontC.file, static_cast<unsigned>(t.arrays));
    fontH.file.Write(t.fontH);
    msbTxt.file.Write(t.msbTxt);
    lsbTxt.file.Write(t.lsbTxt);
    paletteTxt.file.Write(t.paletteTxt);
    osd::WritePaletteSource(paletteTxt.file, t.merged.data(), static_cast<std::uint16_t>(t.mergedCount),
                            paletteFormat);
    tmp.file.Write(t.tmp);
    msbBin.file.Write(t.msbBin);
    lsbBin.file.Write(t.lsbBin);
    for (Output& o : outputs)
        if (!o.file.Close()) result.detail.push_back(o.file.Problem());
    if (set.Failed()) {
        result.failure = kCodeGenFail;
        if (result.detail.empty()) result.detail.push_back(set.Problem());
    } else {
        for (const Output& o : outputs)
            result.written.push_back(o.name);
    }

    result.Arrays = t.arrays;
    result.MergedColours = t.mergedCount;
    result.StoredOrderGlyphs = t.storedOrder;
    if (t.storedOrder > 0)
        result.notes.push_back(
            {base::Note::Kind::Status,
             base::strprintf("Half Word: %d glyph(s) kept their stored order", t.storedOrder)});
    return result;
}

CodeGenResult GenerateBankCode(const FontBank& bank, bool halfWord, settings::PaletteFormat paletteFormat,
                               const base::OutputDirectory& outputDirectory) {
    base::OutputSet set;
    CodeGenResult result = GenerateBankCode(bank, halfWord, paletteFormat, outputDirectory, set);
    if (result.ran && !result.failure && !set.Commit()) {
        result.failure = kCodeGenFail;
        result.detail.push_back(set.Problem());
        result.written.clear();
    }
    return result;
}

} // namespace font
