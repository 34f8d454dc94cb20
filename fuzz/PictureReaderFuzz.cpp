// Feeds arbitrary bytes to the picture reader and what File > Save does with a decoded picture.
#include "base/Error.h"
#include "picture/Picture.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const picture::Picture picture = picture::DecodeBmpPicture(data, size, "input.bmp");
        // What the encoders rely on: one colour a pixel, and one index a pixel for an indexed picture.
        const std::size_t count =
            static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
        if (picture.pixels.size() != count) __builtin_trap();
        if (picture.bitsPerPixel <= 8 ? picture.indices.size() != count : !picture.indices.empty())
            __builtin_trap();
        if (picture.palette.size() > 256) __builtin_trap();
        std::array<base::PALETTEENTRY, 256> table{};
        for (std::size_t i = 0; i < picture.palette.size() && i < table.size(); ++i)
            table[i] = base::EntryOf(picture.palette[i]);
        const int width = picture.width < 300 ? picture.width + 3 : 300;
        const int height = picture.height < 300 ? picture.height + 1 : 300;
        const picture::IndexedPicture indexed = picture::MatchToPalette(picture, width, height, table);
        const auto bytes = picture::EncodeBmp8(indexed);
        const picture::Picture back = picture::DecodeBmpPicture(bytes.data(), bytes.size(), "back.bmp");
        if (back.width != indexed.width || back.height != indexed.height) __builtin_trap();
    } catch (const base::Error&) {
    }
    return 0;
}
