// Feeds arbitrary plane bytes, plane texts and palette tables to the OSD decoders: the picture must have the
// size its cells give, hold only indices the depth can make, and nothing may be read past the planes.
#include "DecoderFuzzInput.h"

#include "osd/OsdDecoder.h"

#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const DecoderFuzzInput in(bytes, size);
    osd::OsdDecodeOptions o;
    o.bpp = 1 << (in.head[0] & 3);
    o.cellWidth = 12 + in.head[1] % 5;
    o.to2Bpp = o.bpp == 4 && (in.head[2] & 1);
    const std::size_t split = in.data.empty() ? 0 : in.head[3] * in.data.size() / 255;
    const auto msb = in.data.subspan(0, split);
    const auto lsb = in.data.subspan(split);
    const osd::OsdDecoded d = osd::DecodeOsdPlanes(msb, lsb, o);
    const std::size_t cells = std::min(msb.size() / static_cast<std::size_t>(osd::MsbBytesPerCell(o)),
                                       lsb.size() / static_cast<std::size_t>(osd::LsbBytesPerCell(o)));
    if (static_cast<std::size_t>(d.cells) != cells) std::abort();
    if (cells > 0) {
        if (d.image.width != 16u * static_cast<unsigned>(o.cellWidth) || d.image.height != 16 * ((cells + 15) / 16) ||
            d.image.indices.size() != std::size_t{d.image.width} * d.image.height)
            std::abort();
        const unsigned most = o.to2Bpp ? 3 : (1u << o.bpp) - 1;
        for (const std::uint8_t v : d.image.indices)
            if (v > most) std::abort();
    }

    const std::string_view text(reinterpret_cast<const char*>(in.data.data()), in.data.size());
    std::size_t bad = 0;
    if (const auto planes = osd::ParsePlaneText(text, &bad)) {
        if (planes->size() * 5 > text.size()) std::abort();
    } else if (bad >= text.size()) {
        std::abort();
    }
    std::string problem;
    if (const auto table = osd::ParsePaletteTable(text, &problem))
        (void)osd::OsdPaletteOf(*table, *table, *table, in.head[2] & 2 ? settings::PaletteFormat::Rgb666
                                                                       : settings::PaletteFormat::Rgb888,
                                &problem);
    return 0;
}
