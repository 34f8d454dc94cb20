#pragma once

#include <array>
#include <cstdint>

namespace font {

// The one geometry table of a glyph. A glyph is cut into character cells CellWidth pixels wide and 16 high;
// three small indexes fix everything else:
//
//   ColorType   0..3   the "Color Type" item: 1, 2, 4 or 8 bits per pixel (bpp = 1 << ColorType)
//   WidthIndex  0..18  the "Grid Width" item: the cell width and the cells across (table below)
//   HeightIndex 0..3   the "Grid Height" item: 1 to 4 cells down, GridHeight = 16 * (HeightIndex + 1)
//
//   WidthIndex  0-4   "12" .. "16"   CellWidth = WidthIndex + 12   1 cell across
//               5-9   "24" .. "32"   CellWidth = WidthIndex + 7    2 cells across
//               10-14 "36" .. "48"   CellWidth = WidthIndex + 2    3 cells across
//               15-18 "52" .. "64"   CellWidth = WidthIndex - 2    4 cells across
//
// (So index 15 is four cells of 13 pixels.) The functions take any int and answer for the nearest valid
// index, so nothing derived from a bad index can reach past a buffer; the loaders refuse bad indexes before
// they get here (ValidIndexes).

inline constexpr int kColorTypes = 4;
inline constexpr int kWidthIndexes = 19;
inline constexpr int kHeightIndexes = 4;
inline constexpr int kCellHeight = 16; // pixel rows of a character cell
inline constexpr int kWordsPerGroup = 16;

constexpr bool ValidIndexes(int colorType, int widthIndex, int heightIndex) {
    return colorType >= 0 && colorType < kColorTypes && widthIndex >= 0 && widthIndex < kWidthIndexes &&
           heightIndex >= 0 && heightIndex < kHeightIndexes;
}

constexpr int ClampIndex(int value, int count) {
    return value < 0 ? 0 : value >= count ? count - 1 : value;
}

constexpr int BppOf(int colorType) {
    return 1 << ClampIndex(colorType, kColorTypes);
}
constexpr int CellsAcrossOf(int widthIndex) {
    const int w = ClampIndex(widthIndex, kWidthIndexes);
    return w < 5 ? 1 : w < 10 ? 2 : w < 15 ? 3 : 4;
}
constexpr int CellWidthOf(int widthIndex) {
    const int w = ClampIndex(widthIndex, kWidthIndexes);
    return w < 5 ? w + 12 : w < 10 ? w + 7 : w < 15 ? w + 2 : w - 2;
}
constexpr int GridWidthOf(int widthIndex) {
    return CellWidthOf(widthIndex) * CellsAcrossOf(widthIndex);
}
constexpr int CellsDownOf(int heightIndex) {
    return ClampIndex(heightIndex, kHeightIndexes) + 1;
}
constexpr int GridHeightOf(int heightIndex) {
    return kCellHeight * CellsDownOf(heightIndex);
}
// Words of an encoded glyph: bpp words per pixel row of every cell (at most 8 * 64 * 4 = 2048).
constexpr int WordCountOf(int colorType, int widthIndex, int heightIndex) {
    return BppOf(colorType) * GridHeightOf(heightIndex) * CellsAcrossOf(widthIndex);
}
// Words of one character cell.
constexpr int CellWordsOf(int colorType) {
    return BppOf(colorType) * kCellHeight;
}

// The item texts of the three boxes, by index. The first colour type keeps its three trailing blanks.
inline constexpr std::array<const char*, kColorTypes> kColorTypeItems = {"2 - 1BPP   ", "4 - 2BPP", "16-4BPP",
                                                                         "16-8BPP"};
inline constexpr std::array<const char*, kWidthIndexes> kGridWidthItems = {
    "12", "13", "14", "15", "16", "24", "26", "28", "30", "32",
    "36", "39", "42", "45", "48", "52", "56", "60", "64"};
inline constexpr std::array<const char*, kHeightIndexes> kGridHeightItems = {"16", "32", "48", "64"};

} // namespace font
