// Feeds arbitrary texts and bytes to the glyph and bank decoders: every glyph matches its indexes, its picture
// has its grid's size, and the bank's grid picture is written as a PNG.
#include "DecoderFuzzInput.h"

#include "font/GlyphDecoder.h"
#include "picture/PngWriter.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void Check(const font::GlyphsDecoded& d) {
    if (d.glyphs.size() > font::FontBank::kCapacity) std::abort();
    for (const font::GlyphNode& g : d.glyphs) {
        if (!font::ValidIndexes(g.ColorType, g.WidthIndex, g.HeightIndex) || g.Words.size() != g.WordCount())
            std::abort();
        const picture::IndexedImage image = font::GlyphIndices(g);
        if (image.width != static_cast<unsigned>(g.GridWidth()) || image.height != static_cast<unsigned>(g.GridHeight()))
            std::abort();
    }
    if (d.glyphs.empty()) return;
    const font::BankPicture picture = font::BankGridPicture(d.glyphs);
    if (picture.indexed ? picture::EncodeIndexedPng(*picture.indexed).empty()
                        : picture::EncodeColourPng(picture.colour).empty())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const DecoderFuzzInput in(bytes, size);
    const std::string_view text(reinterpret_cast<const char*>(in.data.data()), in.data.size());
    Check(font::DecodeGlyphText(text));
    font::BankBinaryOptions o;
    o.colorType = in.head[0] % font::kColorTypes;
    o.widthIndex = in.head[1] % font::kWidthIndexes;
    o.heightIndex = in.head[2] % font::kHeightIndexes;
    o.binSort = in.head[3] & 1 ? settings::BinSort::Font : settings::BinSort::Half;
    Check(font::DecodeBankBinary(in.data, o));
    std::string problem;
    (void)font::ParseFontPalette(text, &problem);
    return 0;
}
