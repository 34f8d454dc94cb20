// Feeds arbitrary image data and palette files to the AOSD decoders: whole rows only, never more than the
// picture holds, a failure with an offset inside the data (or at its end), no 0xFF pixel out of RLC data,
// and the decoded picture written as a PNG.
#include "DecoderFuzzInput.h"

#include "aosd/AosdDecoder.h"
#include "picture/PngWriter.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const DecoderFuzzInput in(bytes, size);
    aosd::AosdDecodeOptions o;
    o.width = 1u + in.head[0];
    o.height = 1u + (in.head[1] & 31);
    o.frames = 1u + (in.head[1] >> 5);
    o.rlc = {(in.head[2] & 3) != 0, in.head[2] & 2 ? aosd::ChipModel::K470E : aosd::ChipModel::K470A};
    const aosd::AosdDecoded d = aosd::DecodeAosdImage(in.data, o);
    if (d.pixels.size() != std::size_t{d.rows} * o.width || d.rows > o.height * o.frames) std::abort();
    if (!d.failure && d.rows != o.height * o.frames) std::abort();
    if (d.failure && d.failureOffset > in.data.size()) std::abort();
    if (o.rlc.rlc)
        for (const std::uint8_t v : d.pixels)
            if (v == 0xFF) std::abort();
    if (d.rows > 0) {
        picture::IndexedImage image;
        image.width = o.width;
        image.height = d.rows;
        image.indices = d.pixels;
        image.palette = picture::GreyPalette();
        if (picture::EncodeIndexedPng(image).empty()) std::abort();
    }
    std::string problem;
    const auto palette = aosd::ParseAosdPalette(
        in.data, in.head[3] & 1 ? settings::PaletteFormat::Rgb666 : settings::PaletteFormat::Rgb888, &problem);
    if (palette && palette->size() != 256) std::abort();
    return 0;
}
