#include "font/GlyphFile.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "base/WholeFile.h"
#include "font/GlyphText.h"

namespace font {

GlyphFileNames GlyphFileNamesOf(int bpp, std::size_t bankCount) {
    const unsigned n = static_cast<unsigned>(bankCount);
    GlyphFileNames names;
    if (bpp != 1) names.OneBit = base::strprintf("%dBPPto1BPP%u.txt", bpp, n);
    names.Glyph = base::strprintf("%dBPPFont%u.txt", bpp, n);
    names.Raw = base::strprintf("%dBPPFont%u.bin", bpp, n);
    return names;
}

namespace {

// Per cell ";UFONT %02X" and its 16 word lines.
void AppendCells(std::string& out, const GlyphWords& words, int cellWidth, bool trailingComma) {
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (i % kCellHeight == 0)
            out += base::strprintf(";UFONT %02X\n", static_cast<unsigned>(i / kCellHeight));
        AppendWordLine(out, words[i], cellWidth, trailingComma);
    }
}

} // namespace

GlyphFileContents GlyphFileContentsOf(const GlyphEditor& editor, settings::BinSort binSort) {
    GlyphFileContents c;
    const GlyphWords oneBit =
        EncodeAgainstBackground(editor.PreviewSurface, editor.WindowLeft(), editor.WindowTop(),
                                editor.FontPalette[0], editor.WidthIndex(), editor.HeightIndex());
    if (editor.GlyphBpp() != 1) AppendCells(c.OneBit, oneBit, editor.CellWidth(), true);

    c.Glyph = base::strprintf(";BPPi=%d\n;Xi=%d\n;Yi=%d\n", editor.ColorType(), editor.WidthIndex(),
                              editor.HeightIndex());
    AppendPaletteLines(c.Glyph, editor.FontPalette);
    GlyphWords body;
    if (editor.GlyphBpp() == 1) {
        body = oneBit;
        AppendCells(c.Glyph, body, editor.CellWidth(), false);
    } else {
        body = editor.Encode();
        for (std::size_t i = 0; i < body.size(); ++i) {
            if (i % kWordsPerGroup == 0)
                c.Glyph += base::strprintf(";UFONT %02X \n", static_cast<unsigned>(i / kWordsPerGroup));
            AppendWordLine(c.Glyph, body[i], editor.CellWidth());
        }
    }
    c.Raw = SplitWordBytes(body, binSort);
    return c;
}

namespace {

struct GlyphOutput {
    const std::string* name;
    const std::string* bytes;
    base::OutputFile::Mode mode;
    base::OutputFile file;
};

} // namespace

GlyphSaveResult SaveGlyphFiles(const GlyphEditor& editor, std::size_t bankCount, settings::BinSort binSort,
                               const base::OutputDirectory& outputDirectory) {
    const GlyphFileNames names = GlyphFileNamesOf(editor.GlyphBpp(), bankCount);
    const GlyphFileContents contents = GlyphFileContentsOf(editor, binSort);
    GlyphSaveResult result;
    // The files of one glyph belong together: all are replaced, or none.
    base::OutputSet set;
    GlyphOutput outputs[] = {
        {&names.OneBit, &contents.OneBit, base::OutputFile::Mode::Text, {}},
        {&names.Glyph, &contents.Glyph, base::OutputFile::Mode::Text, {}},
        {&names.Raw, &contents.Raw, base::OutputFile::Mode::Binary, {}},
    };
    // The first file that fails is the failure; any other that fails too is an error beside it.
    const auto failed = [&result](const base::FileProblem& problem) {
        if (result.failure)
            result.notes.push_back({base::Note::Kind::Error, base::ProblemText(problem)});
        else
            result.failure = base::ProblemText(problem);
    };
    for (GlyphOutput& o : outputs) {
        if (o.name->empty()) continue;
        if (!o.file.Create(outputDirectory, *o.name, o.mode, set)) {
            failed(o.file.Problem());
            set.Fail(o.file.Problem());
        }
    }
    if (result.failure) return result;
    for (GlyphOutput& o : outputs) {
        if (!o.file.IsOpen()) continue;
        o.file.Write(*o.bytes);
        if (!o.file.Close()) failed(o.file.Problem());
    }
    if (result.failure) return result;
    if (!set.Commit()) {
        failed(set.Problem());
        return result;
    }
    for (const GlyphOutput& o : outputs)
        if (!o.name->empty()) result.written.push_back(*o.name);
    return result;
}

namespace {

// Far beyond any glyph file (the largest glyph's file is some 80 KB); a larger file is not one.
constexpr std::size_t kMaxGlyphFileBytes = 64u << 20;

} // namespace

std::optional<std::string> LoadGlyphFile(GlyphEditor& editor, const std::string& path,
                                         base::FailureDetail* detail) {
    std::vector<std::uint8_t> bytes;
    base::FileProblem problem;
    if (base::ReadWholeFile(path, bytes, kMaxGlyphFileBytes, &problem) != base::ReadStatus::Ok) {
        if (detail) detail->push_back(problem);
        return std::string(kOpenFontFileError);
    }
    return LoadGlyphText(editor, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::optional<std::string> LoadGlyphText(GlyphEditor& editor, std::string_view content) {
    TokenReader tokens(content);
    Palette palette{};
    int colorType = 0;
    int widthIndex = 0;
    int heightIndex = 0;
    bool firstCell = true;
    int x = GlyphEditor::kWindowOrigin;
    int y = GlyphEditor::kWindowOrigin;
    GlyphWords buffer;

    while (const auto token = tokens.Next()) {
        const std::string_view t = *token;
        if (t[0] == ';') {
            const std::string_view key = HeaderKey(t);
            if (key == "BP") {
                colorType = DigitAt(t, 6);
            } else if (key == "Xi") {
                widthIndex = WidthIndexOf(t);
            } else if (key == "Yi") {
                heightIndex = DigitAt(t, 4);
            } else if (key == "Pa") {
                for (base::Colour& entry : palette) {
                    const auto value = tokens.Next();
                    if (!value) break;
                    entry = PaletteNumberOf(*value);
                }
            } else if (key == "UF") {
                tokens.Next(); // the line's number
                if (firstCell) {
                    if (!ValidIndexes(colorType, widthIndex, heightIndex))
                        return std::string(kBadGlyphHeader);
                    editor.ApplyGridWidth(widthIndex);
                    editor.ApplyGridHeight(heightIndex);
                    editor.ApplyColorType(colorType);
                    editor.SetXOffset(0);
                    editor.SetYOffset(0);
                    editor.FontPalette = palette;
                    editor.ClearPreview();
                    firstCell = false;
                }
            }
        } else if (IsWordToken(t) && !firstCell) {
            buffer.push_back(WordOf(t, editor.CellWidth()));
        }

        // A later header line may name another colour type; an index no box has keeps the editor's.
        const int cellType = colorType >= 0 && colorType < kColorTypes ? colorType : editor.ColorType();
        if (!firstCell && buffer.size() >= static_cast<std::size_t>(CellWordsOf(cellType))) {
            DrawGlyphCell(editor.PreviewSurface, x, y, buffer, 0, editor.FontPalette, editor.ColorType(),
                          kCellHeight, editor.CellWidth());
            buffer.clear();
            x += editor.CellWidth();
            if (x >= GlyphEditor::kWindowOrigin + editor.XOffset() + editor.GridWidth()) {
                x = GlyphEditor::kWindowOrigin + editor.XOffset();
                // Below the surface nothing more can be seen; the position need not grow without end.
                if (y < GlyphEditor::kSurfaceSize) y += kCellHeight;
            }
        }
    }
    return std::nullopt;
}

} // namespace font
