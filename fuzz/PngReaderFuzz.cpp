// Feeds arbitrary bytes to the PNG reader and what every job then reads from its BMP: the BMP it gives must
// decode, with one index a pixel at the PNG's depth.
#include "base/Error.h"
#include "picture/Picture.h"
#include "picture/PngReader.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bmp;
    try {
        bmp = picture::PngToBmp(std::span<const std::uint8_t>(data, size), "input.png");
    } catch (const base::Error&) {
        return 0;
    }
    try {
        const picture::Picture picture = picture::DecodeBmpPicture(bmp.data(), bmp.size(), "input.png");
        const std::size_t count =
            static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height);
        if (picture.pixels.size() != count) __builtin_trap();
        if (picture.bitsPerPixel <= 8 && picture.indices.size() != count) __builtin_trap();
    } catch (const base::Error&) {
        // The BMP of a PNG that was read is always one the decoder takes.
        __builtin_trap();
    }
    return 0;
}
