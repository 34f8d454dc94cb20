#include "font/BankFiles.h"

#include "base/FileProblem.h"
#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "base/WholeFile.h"
#include "font/GlyphFile.h"
#include "font/GlyphText.h"

#include <new>

namespace font {

std::string BankText(const FontBank& bank, const FontChoice& currentFont, bool smooth) {
    std::string fontLines =
        base::strprintf(";FontFace=%s\n;FontCharSet=%d\n;FontHeight=%d\n;FontSize=%d\n;FontStyle=%d\n",
                        currentFont.Family.c_str(), currentFont.Charset, currentFont.Height(),
                        currentFont.Size, currentFont.Style);
    if (smooth) fontLines += kSmoothLine;
    std::string out;
    std::uint8_t group = 0; // the ";UFONT" number, wrapping after FF
    for (const GlyphNode& node : bank.Nodes()) {
        out += fontLines;
        out +=
            base::strprintf(";BPPi=%d\n;Xi=%d\n;Yi=%d\n", node.ColorType, node.WidthIndex, node.HeightIndex);
        AppendPaletteLines(out, node.Palette);
        for (std::size_t i = 0; i < node.Words.size(); ++i) {
            if (i % kWordsPerGroup == 0) {
                out += ";UFONT ";
                base::AppendHex2(out, group++);
                out += " \n";
            }
            AppendWordLine(out, node.Words[i], node.CellWidth());
        }
    }
    return out;
}

std::string BankBinary(const FontBank& bank, settings::BinSort binSort) {
    GlyphWords all;
    for (const GlyphNode& node : bank.Nodes())
        all.insert(all.end(), node.Words.begin(), node.Words.end());
    return SplitWordBytes(all, binSort);
}

BankSaveResult SaveBank(const FontBank& bank, const FontChoice& currentFont, settings::BinSort binSort,
                        const base::OutputDirectory& outputDirectory, base::OutputSet& outputs, bool smooth) {
    BankSaveResult result;
    if (bank.Empty()) return result;
    result.ran = true;
    base::OutputFile text;
    base::OutputFile binary;
    const auto failed = [&result](const base::FileProblem& problem) {
        result.failure = kCreateFontFileError;
        result.detail.push_back(problem);
    };
    if (!text.Create(outputDirectory, kBankTextName, base::OutputFile::Mode::Text, outputs)) {
        failed(text.Problem());
        outputs.Fail(text.Problem());
        return result;
    }
    if (!binary.Create(outputDirectory, kBankBinaryName, base::OutputFile::Mode::Binary, outputs)) {
        failed(binary.Problem());
        outputs.Fail(binary.Problem());
        return result; // the text file is abandoned with the set
    }
    text.Write(BankText(bank, currentFont, smooth));
    binary.Write(BankBinary(bank, binSort));
    if (!text.Close()) failed(text.Problem());
    if (!binary.Close()) failed(binary.Problem());
    if (outputs.Failed() && !result.failure) failed(outputs.Problem());
    if (!result.failure) result.written = {kBankTextName, kBankBinaryName};
    return result;
}

BankSaveResult SaveBank(const FontBank& bank, const FontChoice& currentFont, settings::BinSort binSort,
                        const base::OutputDirectory& outputDirectory, bool smooth) {
    base::OutputSet outputs;
    BankSaveResult result = SaveBank(bank, currentFont, binSort, outputDirectory, outputs, smooth);
    if (result.ran && !result.failure && !outputs.Commit()) {
        result.failure = kCreateFontFileError;
        result.detail.push_back(outputs.Problem());
        result.written.clear();
    }
    return result;
}

namespace {

constexpr std::string_view kSmoothToken = ";Smooth=1"; // kSmoothLine without its line end

constexpr std::size_t kMaxBankFileBytes = 64u << 20; // a full bank of the largest glyphs is some 21 MB

// The text after a token's first "=".
std::string AfterEquals(std::string_view token) {
    const std::size_t eq = token.find('=');
    return eq == std::string_view::npos ? std::string() : std::string(token.substr(eq + 1));
}

// A decimal number, 0 when the text is not one.
long DecimalOr0(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return 0;
    long value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return 0;
        value = value * 10 + (text[i] - '0');
        if (value > 0x7FFFFFFFL) return 0;
    }
    return negative ? -value : value;
}

std::string StyleBoxText(const std::string& text) {
    const auto bits = static_cast<std::uint8_t>(static_cast<unsigned long>(DecimalOr0(text)) & 0xFF);
    if (bits > 15) return std::string();
    return FontStyleText(bits); // "Normal" for 0
}

} // namespace

bool IsBankFile(const std::string& path) {
    base::InputFile file;
    if (file.Open(path) != base::ReadStatus::Ok) return false;
    std::string start(64u << 10, '\0');
    const long long got = file.ReadAt(0, start.data(), start.size());
    if (got <= 0) return false;
    start.resize(static_cast<std::size_t>(got));
    return start.find(";FontFace=") != std::string::npos;
}

BankLoadResult LoadBankFile(FontBank& bank, const std::string& path, const Palette& currentPalette) {
    std::vector<std::uint8_t> bytes;
    base::FileProblem problem;
    if (base::ReadWholeFile(path, bytes, kMaxBankFileBytes, &problem) != base::ReadStatus::Ok) {
        BankLoadResult result;
        result.failure = kOpenFontFileError;
        result.detail.push_back(problem);
        return result;
    }
    return LoadBankText(bank, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()),
                        currentPalette);
}

BankLoadResult LoadBankText(FontBank& bank, std::string_view content, const Palette& currentPalette) {
    BankLoadResult result;
    TokenReader tokens(content);
    int colorType = 0;
    int widthIndex = 0;
    int heightIndex = 0;
    Palette palette = currentPalette;
    std::optional<GlyphNode> building;
    std::size_t position = 0;
    bool skipping = false; // inside a glyph whose indexes name no item; ends with the next header line

    try {
        while (!bank.Full()) {
            const auto token = tokens.Next();
            if (!token) break;
            const std::string_view t = *token;
            if (t[0] == ';') {
                const std::string_view key = HeaderKey(t);
                if (t.find("FontFace=") != std::string_view::npos) {
                    result.Face = AfterEquals(t);
                } else if (t.find("FontCharSet=") != std::string_view::npos) {
                    result.Charset = AfterEquals(t);
                } else if (t.find("FontHeight=") != std::string_view::npos) {
                    result.Height = AfterEquals(t);
                } else if (t.find("FontSize=") != std::string_view::npos) {
                    result.Size = AfterEquals(t);
                } else if (t.find("FontStyle=") != std::string_view::npos) {
                    result.Style = StyleBoxText(AfterEquals(t));
                } else if (t == kSmoothToken) {
                    result.Smooth = true;
                } else if (key == "BP") {
                    colorType = DigitAt(t, 6);
                    skipping = false;
                } else if (key == "Xi") {
                    widthIndex = WidthIndexOf(t);
                    skipping = false;
                } else if (key == "Yi") {
                    heightIndex = DigitAt(t, 4);
                    skipping = false;
                } else if (key == "Pa") {
                    for (base::Colour& entry : palette) {
                        const auto value = tokens.Next();
                        if (!value) break;
                        entry = PaletteNumberOf(*value);
                    }
                    skipping = false;
                } else if (key == "UF" && !building) {
                    if (!ValidIndexes(colorType, widthIndex, heightIndex)) {
                        if (!skipping) ++result.Skipped;
                        skipping = true;
                        continue;
                    }
                    GlyphNode node;
                    node.ColorType = static_cast<std::uint8_t>(colorType);
                    node.WidthIndex = static_cast<std::uint8_t>(widthIndex);
                    node.HeightIndex = static_cast<std::uint8_t>(heightIndex);
                    node.Palette = palette;
                    node.Words.assign(node.WordCount(), 0);
                    building = std::move(node);
                    position = 0;
                }
            } else if (building && IsWordToken(t)) {
                building->Words[position++] = WordOf(t, building->CellWidth());
                if (position == building->Words.size()) {
                    bank.Append(std::move(*building));
                    building.reset();
                    ++result.Added;
                }
            }
        }
    } catch (const std::bad_alloc&) {
        // A node that cannot be made ends the reading; the glyphs completed so far stay.
    }
    if (result.Skipped > 0)
        result.failure = base::strprintf("%d Font(s) Skipped: Bad ;BPPi, ;Xi or ;Yi !!!", result.Skipped);
    return result;
}

} // namespace font
