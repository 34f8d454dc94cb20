#include "font/FontBank.h"

#include "base/Format.h"

#include <new>

namespace font {

bool FontBank::Append(GlyphNode node) {
    if (Full() || !ValidIndexes(node.ColorType, node.WidthIndex, node.HeightIndex) ||
        node.Words.size() != node.WordCount())
        return false;
    nodes_.push_back(std::move(node));
    return true;
}

void FontBank::Remove(std::size_t i) {
    if (i < nodes_.size()) nodes_.erase(nodes_.begin() + static_cast<std::ptrdiff_t>(i));
}

std::optional<std::string> InsertGlyph(FontBank& bank, const GlyphEditor& editor) {
    if (bank.Full()) return std::string(kFontBankFull);
    try {
        GlyphNode node;
        node.ColorType = static_cast<std::uint8_t>(editor.ColorType());
        node.WidthIndex = static_cast<std::uint8_t>(editor.WidthIndex());
        node.HeightIndex = static_cast<std::uint8_t>(editor.HeightIndex());
        node.Palette = editor.FontPalette;
        node.Words = editor.Encode();
        bank.Append(std::move(node));
    } catch (const std::bad_alloc&) {
        return std::string(kCreateNodeFail);
    }
    return std::nullopt;
}

void LoadNodeIntoEditor(GlyphEditor& editor, const GlyphNode& node) {
    editor.ClearPreview();
    editor.ApplyGridWidth(node.WidthIndex);
    editor.ApplyGridHeight(node.HeightIndex);
    editor.ApplyColorType(node.ColorType);
    editor.SetXOffset(0);
    editor.SetYOffset(0);
    editor.FontPalette = node.Palette;
    DrawGlyph(editor.PreviewSurface, editor.WindowLeft(), editor.WindowTop(), node.Words, editor.FontPalette,
              node.ColorType, node.WidthIndex, node.HeightIndex);
}

ColourImage GlyphImageOf(const GlyphNode& node) {
    ColourImage image(node.GridWidth(), node.GridHeight(), kWhite);
    DrawGlyph(image, 0, 0, node.Words, node.Palette, node.ColorType, node.WidthIndex, node.HeightIndex);
    return image;
}

BankRowTexts BankRowTextsOf(const GlyphNode& node, int n) {
    return BankRowTexts{base::strprintf("%i", n), base::strprintf("%i", node.Bpp()),
                        base::strprintf("%02dx%02d %d %d %d", node.GridWidth(), node.GridHeight(),
                                        node.ColorType, node.WidthIndex, node.HeightIndex)};
}

} // namespace font
