#include "font/GlyphEditor.h"

#include "base/Format.h"

#include <algorithm>

namespace font {

std::string ColorName(base::Colour c) {
    struct Named {
        base::Colour colour;
        const char* name;
    };
    static constexpr Named kNames[] = {
        {0x000000, "clBlack"},  {0x000080, "clMaroon"},  {0x008000, "clGreen"}, {0x008080, "clOlive"},
        {0x800000, "clNavy"},   {0x800080, "clPurple"},  {0x808000, "clTeal"},  {0x808080, "clGray"},
        {0xC0C0C0, "clSilver"}, {0x0000FF, "clRed"},     {0x00FF00, "clLime"},  {0x00FFFF, "clYellow"},
        {0xFF0000, "clBlue"},   {0xFF00FF, "clFuchsia"}, {0xFFFF00, "clAqua"},  {0xFFFFFF, "clWhite"},
    };
    for (const Named& n : kNames)
        if (n.colour == c) return n.name;
    return base::strprintf("$%08X", static_cast<unsigned>(c));
}

void GlyphEditor::AntiGray(base::Colour keep, base::Colour ink) {
    // Every pixel is stored, kept or not: without a branch the compiler takes many pixels a step.
    for (base::Colour& p : PreviewSurface.Pixels())
        p = p == keep ? keep : ink;
}

void GlyphEditor::Invert() {
    for (base::Colour& p : PreviewSurface.Pixels()) {
        if (p == kWhite)
            p = kBlack;
        else if (p == kBlack)
            p = kWhite;
    }
}

void GlyphEditor::SetLeft(std::uint8_t index) {
    LeftColor = FontPalette[index];
    LeftIndex = index;
    LeftHint = ColorName(LeftColor);
}

void GlyphEditor::SetRight(std::uint8_t index) {
    RightColor = FontPalette[index];
    RightIndex = index;
    RightHint = ColorName(RightColor);
}

bool GlyphEditor::ApplyColorType(int index) {
    if (index < 0 || index >= kColorTypes) return false;
    SetLeft(1);
    SetRight(0);
    colorType_ = static_cast<std::uint8_t>(index);
    if (index == 0) {
        for (base::Colour& p : PreviewSurface.Pixels())
            if (p != RightColor) p = LeftColor;
    } else if (index == 1) {
        for (base::Colour& p : PreviewSurface.Pixels())
            if (std::find(FontPalette.begin(), FontPalette.begin() + 4, p) == FontPalette.begin() + 4)
                p = LeftColor;
    }
    return true;
}

bool GlyphEditor::ApplyGridWidth(int index) {
    if (index < 0 || index >= kWidthIndexes) return false;
    widthIndex_ = static_cast<std::uint8_t>(index);
    return true;
}

bool GlyphEditor::ApplyGridHeight(int index) {
    if (index < 0 || index >= kHeightIndexes) return false;
    heightIndex_ = static_cast<std::uint8_t>(index);
    return true;
}

void GlyphEditor::SetXOffset(int value) {
    xOffset_ = static_cast<std::int8_t>(std::clamp(value, -kMaxOffset, kMaxOffset));
}

void GlyphEditor::SetYOffset(int value) {
    yOffset_ = static_cast<std::int8_t>(std::clamp(value, -kMaxOffset, kMaxOffset));
}

GlyphWords GlyphEditor::Encode() const {
    return EncodeGlyph(PreviewSurface, WindowLeft(), WindowTop(), FontPalette, colorType_, widthIndex_,
                       heightIndex_);
}

bool GlyphEditor::PaintCell(int gx, int gy, bool alt) {
    if (gx < 0 || gy < 0 || gx >= GridWidth() || gy >= GridHeight()) return false;
    PreviewSurface.SetPixel(WindowLeft() + gx, WindowTop() + gy, alt ? RightColor : LeftColor);
    return true;
}

namespace {

// The palette entries a colour type may use: 0-1, 0-3 or all sixteen.
int UsableEntries(int colorType) {
    return colorType == 0 ? 2 : colorType == 1 ? 4 : 16;
}

} // namespace

bool GlyphEditor::PickPaletteColour(int entry, PaintColour colour) {
    if (entry < 0 || entry >= UsableEntries(colorType_)) return false;
    const auto p = static_cast<std::uint8_t>(entry);
    if (colour == PaintColour::Left)
        SetLeft(p);
    else
        SetRight(p);
    return true;
}

bool GlyphEditor::CanChangePaletteEntry(int entry) const {
    return colorType_ != 0 && entry >= 2 && entry < UsableEntries(colorType_);
}

bool GlyphEditor::ChangePaletteEntry(int entry, base::Colour colour) {
    if (entry < 0 || entry > 15) return false;
    const auto p = static_cast<std::uint8_t>(entry);
    const bool recolour = p == LeftIndex;
    if (recolour) NewColor(LeftColor, colour);
    LeftColor = colour;
    FontPalette[p] = colour;
    return recolour;
}

FontBoxTexts FontShowProp(GlyphEditor& editor, TextRenderer& renderer, const FontChoice& font) {
    FontChoice used = font;
    used.Family = renderer.ResolveFamily(font);
    editor.CurrentFont = used;
    FontBoxTexts t;
    if (renderer.Substitutes(font))
        t.notes.push_back({base::Note::Kind::Shortfall, SubstituteNote(font.Family, used.Family)});
    t.Face = used.Family;
    t.Style = FontStyleText(used.Style);
    t.Size = base::strprintf("%d", used.Size);
    t.Height = base::strprintf("%i", used.Height());
    t.Charset = base::strprintf("%i", used.Charset);
    t.Pixels = PixelsText(renderer.MeasureText(used, U"A"));
    return t;
}

std::string SubstituteNote(const std::string& asked, const std::string& used) {
    return "Font \"" + asked + "\" is not installed: " + used + " is used instead";
}

namespace {

// C0 and C1 control characters: no face has a glyph for them.
bool IsControl(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c < 0xA0);
}

// "U+0067 'g'" for a printable ASCII character, "U+4E2D" for any other; the characters of a text joined by
// blanks, with the text itself after them where it is all printable ASCII ("U+0067 U+0041 'gA'").
std::string CharacterNames(std::u32string_view text) {
    std::string names;
    bool printable = true;
    for (char32_t c : text) {
        if (!names.empty()) names += ' ';
        names += base::strprintf("U+%04X", static_cast<unsigned>(c));
        printable = printable && c > 0x20 && c < 0x7F;
    }
    if (printable && !text.empty()) names += " '" + EncodeUtf8(text) + "'";
    return names;
}

} // namespace

bool GlyphEditor::InkOutsideWindow() const {
    // Row by row, the parts outside the window: a run of pixels holds ink when any of them is not white
    // (tested without a branch per pixel, so that the compiler can take many pixels a step).
    const std::vector<base::Colour>& pixels = PreviewSurface.Pixels();
    const auto inkIn = [&pixels](std::size_t from, std::size_t to) {
        base::Colour differs = 0;
        for (std::size_t i = from; i < to; ++i)
            differs |= pixels[i] ^ kWhite;
        return differs != 0;
    };
    const int left = std::clamp(WindowLeft(), 0, kSurfaceSize);
    const int right = std::clamp(WindowLeft() + GridWidth(), left, kSurfaceSize);
    const int top = WindowTop();
    const int bottom = WindowTop() + GridHeight();
    for (int y = 0; y < kSurfaceSize; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * kSurfaceSize;
        if (y < top || y >= bottom) {
            if (inkIn(row, row + kSurfaceSize)) return true;
        } else if (inkIn(row, row + static_cast<std::size_t>(left)) ||
                   inkIn(row + static_cast<std::size_t>(right), row + kSurfaceSize)) {
            return true;
        }
    }
    return false;
}

TextExtent RenderGlyphText(GlyphEditor& editor, TextRenderer& renderer, std::u32string_view text,
                           RenderNotes* notes) {
    editor.ClearPreview();
    renderer.DrawText(editor.PreviewSurface, GlyphEditor::kWindowOrigin, GlyphEditor::kWindowOrigin,
                      editor.CurrentFont, text, editor.LeftColor);
    const TextExtent extent = renderer.MeasureText(editor.CurrentFont, text);
    editor.AntiGray(kWhite, editor.LeftColor);
    if (notes) {
        for (char32_t c : text)
            if (!IsControl(c) && notes->Missing.find(c) == std::u32string::npos &&
                !renderer.HasGlyph(editor.CurrentFont, c))
                notes->Missing += c;
        // The surface was cleared first: every pixel that is not white is this text's ink.
        if (editor.InkOutsideWindow()) notes->Cut.emplace_back(text);
    }
    return extent;
}

RenderNotes CheckGlyphs(const GlyphEditor& editor, TextRenderer& renderer, std::u32string_view chars) {
    RenderNotes notes;
    GlyphEditor scratch = editor;
    for (char32_t c : chars)
        RenderGlyphText(scratch, renderer, std::u32string_view(&c, 1), &notes);
    return notes;
}

std::vector<std::string> RenderNoteLines(const RenderNotes& notes, const GlyphEditor& editor) {
    std::vector<std::string> lines;
    if (!notes.Missing.empty()) {
        std::string names;
        for (char32_t c : notes.Missing)
            names += (names.empty() ? "" : ", ") + CharacterNames(std::u32string_view(&c, 1));
        lines.push_back(editor.CurrentFont.Family + " has no glyph for " + names +
                        ": each is drawn as an empty box");
    }
    if (!notes.Cut.empty()) {
        std::string names;
        for (const std::u32string& text : notes.Cut)
            names += (names.empty() ? "" : ", ") + CharacterNames(text);
        lines.push_back(base::strprintf("Ink outside the %d x %d glyph is cut off: ", editor.GridWidth(),
                                        editor.GridHeight()) +
                        names);
    }
    return lines;
}

std::optional<std::string> EnterCharacter(GlyphEditor& editor, TextRenderer& renderer,
                                          std::string_view boxText, RenderNotes* notes) {
    if (boxText.empty()) return std::nullopt;
    return PixelsText(RenderGlyphText(editor, renderer, DecodeUtf8(boxText), notes));
}

std::string PixelsText(TextExtent extent) {
    return base::strprintf("%d x %d", extent.Width, extent.Height);
}

} // namespace font
