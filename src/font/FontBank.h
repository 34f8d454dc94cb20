#pragma once

#include "font/ColourImage.h"
#include "font/GlyphCodec.h"
#include "font/GlyphEditor.h"
#include "font/GlyphGeometry.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace font {

// One glyph of the bank: its geometry indexes, the palette it was made with, and its words. The node stores
// no font; the bank file names the font current when it is saved.
struct GlyphNode {
    std::uint8_t ColorType = 0;
    std::uint8_t WidthIndex = 4;
    std::uint8_t HeightIndex = 0;
    font::Palette Palette{};
    GlyphWords Words; // WordCount() of them

    // The node's geometry, from its indexes (never the editor's).
    std::uint16_t WordCount() const {
        return static_cast<std::uint16_t>(WordCountOf(ColorType, WidthIndex, HeightIndex));
    }
    int Bpp() const { return BppOf(ColorType); }
    int CellWidth() const { return CellWidthOf(WidthIndex); }
    int GridWidth() const { return GridWidthOf(WidthIndex); }
    int GridHeight() const { return GridHeightOf(HeightIndex); }

    friend bool operator==(const GlyphNode&, const GlyphNode&) = default;
};

inline constexpr const char* kFontBankFull = "Font Bank Full !!!";
inline constexpr const char* kCreateNodeFail = "Create Node Fail !!!";

// The ordered glyphs of the font being built, first inserted first, at most 256. Row n (1-based) of the bank
// grid is node n - 1.
class FontBank final {
public:
    static constexpr std::size_t kCapacity = 256;

    std::size_t Count() const { return nodes_.size(); }
    bool Empty() const { return nodes_.empty(); }
    bool Full() const { return nodes_.size() >= kCapacity; }
    const GlyphNode& operator[](std::size_t i) const { return nodes_[i]; }
    const std::vector<GlyphNode>& Nodes() const { return nodes_; }

    // Appends the node unless the bank is full or the node's words do not match its indexes; false then,
    // and the bank is unchanged.
    bool Append(GlyphNode node);
    // Removes node i (0-based); nothing happens for an i past the end. Later nodes move up one.
    void Remove(std::size_t i);
    void Clear() { nodes_.clear(); }

private:
    std::vector<GlyphNode> nodes_;
};

// "Insert": adds the glyph in the editor's window, with its colour type, geometry and palette, to the end of
// the bank. Returns "Font Bank Full !!!" when the bank already holds 256 glyphs and "Create Node Fail !!!"
// when memory runs out; the bank is unchanged then. The editor is not changed.
std::optional<std::string> InsertGlyph(FontBank& bank, const GlyphEditor& editor);

// A click on the glyph of node `node` in the bank grid: loads it into the editor, in this order: clears the
// surface; applies the node's width, height and colour type (which sets the left and right colours from the
// palette as it still is); sets both offsets to 0; takes the node's palette; draws the glyph into the window
// at (32, 32). The tab then shows the editor's whole state.
void LoadNodeIntoEditor(GlyphEditor& editor, const GlyphNode& node);

// The picture of a node as the bank grid's "Font" column shows it: GridWidth x GridHeight pixels, one per
// glyph pixel, drawn with the node's own palette. (The grid cuts what does not fit its row.)
ColourImage GlyphImageOf(const GlyphNode& node);

// The texts of bank grid row n (1-based) for node: "No." ("%i" of n), "Bpp" ("%i"), "Description"
// ("%02dx%02d %d %d %d": GridWidth, GridHeight, ColorType, WidthIndex, HeightIndex, as in "16x16 0 4 0").
struct BankRowTexts {
    std::string Number;
    std::string Bpp;
    std::string Description;
};
BankRowTexts BankRowTextsOf(const GlyphNode& node, int n);

} // namespace font
