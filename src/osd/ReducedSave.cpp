#include "osd/ReducedSave.h"

#include "base/Error.h"
#include "picture/Picture.h"

#include <array>
#include <vector>

namespace osd {

namespace {

bool IsIndexed(std::uint8_t bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 2 || bitsPerPixel == 4 || bitsPerPixel == 8;
}

} // namespace

std::uint8_t PackedIndex(const picture::CurrentBitmap& bm, int x, int y) {
    if (x < 0 || y < 0) return 0;
    const std::size_t row = static_cast<std::size_t>(y) * bm.BytesPerRow;
    if (bm.BitsPerPixel == 8) return bm.PixelByte(row + static_cast<std::size_t>(x));
    if (!IsIndexed(bm.BitsPerPixel)) return 0;
    const unsigned bpp = bm.BitsPerPixel;
    const std::size_t bit = static_cast<std::size_t>(x) * bpp;
    const unsigned shift = 8 - bpp - static_cast<unsigned>(bit % 8);
    return static_cast<std::uint8_t>((bm.PixelByte(row + bit / 8) >> shift) & ((1u << bpp) - 1));
}

void RequirePictureToSave(const picture::CurrentBitmap& bm) {
    if (!bm.HasAcceptedSize())
        throw base::Error("There is no picture to save: open a BMP file of at most 1024 x 768 pixels first.");
}

namespace {

picture::IndexedPicture ReducedPicture(const picture::CurrentBitmap& bm, const OsdState& state,
                                       base::Colour mask) {
    RequirePictureToSave(bm);
    const int width = bm.Width;
    const int height = bm.Height;
    std::array<base::PALETTEENTRY, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = base::EntryOf(bm.ReducedPalette[i]);

    // The After picture shows masked colours, under which several reduced entries can look alike; the
    // renumbered pixels tell which of them each pixel means.
    const bool indexed = IsIndexed(bm.BitsPerPixel);
    std::vector<std::uint8_t> indices;
    if (indexed) {
        indices.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                        static_cast<std::size_t>(x)] = PackedIndex(bm, x, y);
    }
    return picture::MatchToPalette(state.After, width, height, table, {indexed ? indices.data() : nullptr},
                                   mask);
}

} // namespace

void SaveReducedPicture(const picture::CurrentBitmap& bm, OsdState& state, base::Colour mask,
                        const std::string& path) {
    const picture::IndexedPicture working = ReducedPicture(bm, state, mask);
    picture::SaveBmp8(working, path);
    state.After = picture::ToPicture(working);
}

void SaveReducedPicture(const picture::CurrentBitmap& bm, OsdState& state, base::Colour mask,
                        const std::string& path, base::OutputSet& outputs) {
    const picture::IndexedPicture working = ReducedPicture(bm, state, mask);
    picture::SaveBmp8(working, path, outputs);
    state.After = picture::ToPicture(working);
}

} // namespace osd
