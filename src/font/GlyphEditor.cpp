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

std::string PaletteGridTitle(int column, int row) {
    if (column == 0) return row == 0 ? "Index" : row == 1 ? "Color" : "";
    if (row == 0 && column >= 1 && column < kPaletteGridColumns) return base::strprintf("%i", column);
    return "";
}

void GlyphEditor::AntiGray(base::Colour keep, base::Colour ink) {
    for (base::Colour& p : PreviewSurface.Pixels())
        if (p != keep) p = ink;
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

GlyphGridLayout GlyphEditor::GridLayout() const {
    GlyphGridLayout g;
    g.Columns = GridWidth();
    g.Rows = GridHeight();
    g.CellWidth = ViewCellWidthOf(widthIndex_);
    g.CellHeight = ViewCellHeightOf(heightIndex_);
    g.Width = g.Columns * (g.CellWidth + 1);
    g.Height = g.Rows * (g.CellHeight + 1);
    g.Left = (kGlyphPanelSize - g.Width) / 2;
    g.Top = (kGlyphPanelSize - g.Height) / 2;
    return g;
}

bool GlyphEditor::PaintAt(int x, int y, bool alt) {
    const GlyphGridLayout g = GridLayout();
    if (x < 0 || y < 0) return false;
    const int c = x / (g.CellWidth + 1);
    const int r = y / (g.CellHeight + 1);
    if (c >= g.Columns || r >= g.Rows) return false;
    PreviewSurface.SetPixel(WindowLeft() + c, WindowTop() + r, alt ? RightColor : LeftColor);
    return true;
}

namespace {

// The palette columns a colour type may use: entries 0-1, 0-3 or all sixteen.
int UsableColumns(int colorType) {
    return colorType == 0 ? 2 : colorType == 1 ? 4 : 16;
}

} // namespace

bool GlyphEditor::PickPaletteColour(int column, int row, MouseButton button) {
    if (row != 1 || column < 1 || column > UsableColumns(colorType_)) return false;
    const auto p = static_cast<std::uint8_t>(column - 1);
    if (button == MouseButton::Left)
        SetLeft(p);
    else if (button == MouseButton::Right)
        SetRight(p);
    else
        return false;
    return true;
}

bool GlyphEditor::CanChangePaletteEntry(int column, int row) const {
    return row == 1 && colorType_ != 0 && column >= 3 && column <= UsableColumns(colorType_);
}

bool GlyphEditor::ChangePaletteEntry(int column, base::Colour colour) {
    if (column < 1 || column > 16) return false;
    const auto p = static_cast<std::uint8_t>(column - 1);
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
    t.Face = used.Family;
    t.Style = FontStyleText(used.Style);
    t.Size = base::strprintf("%d", used.Size);
    t.Height = base::strprintf("%i", used.Height());
    t.Charset = base::strprintf("%i", used.Charset);
    t.Pixels = PixelsText(renderer.MeasureText(used, U"A"));
    return t;
}

TextExtent RenderGlyphText(GlyphEditor& editor, TextRenderer& renderer, std::u32string_view text) {
    editor.ClearPreview();
    renderer.DrawText(editor.PreviewSurface, GlyphEditor::kWindowOrigin, GlyphEditor::kWindowOrigin,
                      editor.CurrentFont, text, editor.LeftColor);
    const TextExtent extent = renderer.MeasureText(editor.CurrentFont, text);
    editor.AntiGray(kWhite, editor.LeftColor);
    return extent;
}

std::optional<std::string> EnterCharacter(GlyphEditor& editor, TextRenderer& renderer,
                                          std::string_view boxText) {
    if (boxText.empty()) return std::nullopt;
    return PixelsText(RenderGlyphText(editor, renderer, DecodeUtf8(boxText)));
}

std::string PixelsText(TextExtent extent) {
    return base::strprintf("%d x %d", extent.Width, extent.Height);
}

} // namespace font
