// Decoding without the colours: what a caller that works on the index bytes gets must be exactly what the
// full decode gives, over the layouts where the row unpacking can go wrong (widths that end inside a byte or
// a word, both row orders, every depth, RLE streams, short tables), and the same refusals.
#include "picture/Picture.h"

#include "base/Error.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using picture::DecodeBmpPicture;
using picture::Picture;
using picture::PictureParts;
using testsupport::BmpCompression;
using testsupport::BmpLayout;
using testsupport::BuildBmp;
using Bytes = std::vector<std::uint8_t>;

struct Variant {
    std::string name;
    BmpLayout layout;
};

// Indices that use every bit of their depth and differ between neighbours and rows, so a pixel taken from
// the wrong place or the wrong bits shows.
BmpLayout Indexed(int bpp, int width, int height, bool topDown, int paletteSize) {
    BmpLayout s;
    s.bpp = bpp;
    s.width = width;
    s.height = height;
    s.topDown = topDown;
    s.palette = testsupport::DistinctPalette(paletteSize);
    const int values = 1 << bpp;
    s.indices = testsupport::IndicesOf(width, height,
                                       [values](int x, int y) { return (x * 37 + y * 11 + x / 3) % values; });
    return s;
}

std::vector<Variant> Variants() {
    std::vector<Variant> out;
    for (int bpp : {1, 2, 4, 8}) {
        for (int width : {1, 2, 3, 5, 7, 8, 9, 15, 16, 17, 31, 33, 64}) {
            for (bool topDown : {false, true}) {
                out.push_back(
                    {"rgb" + std::to_string(bpp) + "_w" + std::to_string(width) + (topDown ? "_td" : ""),
                     Indexed(bpp, width, 3, topDown, 1 << bpp)});
            }
        }
        // A table shorter than the indices reach: those pixels show black in the full decode.
        out.push_back({"short" + std::to_string(bpp), Indexed(bpp, 11, 2, false, 1)});
        // The OS/2 header with its 3-byte table entries.
        BmpLayout os2 = Indexed(bpp, 13, 2, false, 1 << bpp);
        os2.infoSize = 12;
        out.push_back({"os2_" + std::to_string(bpp), os2});
    }
    for (int bpp : {4, 8}) {
        for (bool topDown : {false, true}) {
            for (bool deltas : {false, true}) {
                BmpLayout s = Indexed(bpp, 21, 5, topDown, 1 << bpp);
                // Stretches of index 0 for the delta and end-of-line codes to skip.
                for (size_t i = 0; i < s.indices.size(); ++i)
                    if (i % 21 >= 15 || (i >= 42 && i < 63)) s.indices[i] = 0;
                s.compression = bpp == 8 ? BmpCompression::Rle8 : BmpCompression::Rle4;
                s.rle.deltas = deltas;
                s.rle.endRowsEarly = deltas;
                out.push_back(
                    {"rle" + std::to_string(bpp) + (topDown ? "_td" : "") + (deltas ? "_delta" : ""), s});
            }
        }
    }
    return out;
}

TEST(PictureIndicesOnly, SameIndicesAndPaletteAsTheFullDecodeAndNoColours) {
    for (const Variant& v : Variants()) {
        SCOPED_TRACE(v.name);
        const Bytes bytes = BuildBmp(v.layout);
        const Picture full = DecodeBmpPicture(bytes.data(), bytes.size(), "x.bmp");
        const Picture fast = DecodeBmpPicture(bytes.data(), bytes.size(), "x.bmp", PictureParts::IndicesOnly);

        // The full decode itself against the indices the file was built from.
        ASSERT_EQ(full.indices, v.layout.indices);
        ASSERT_EQ(full.pixels.size(), v.layout.indices.size());
        for (size_t i = 0; i < full.pixels.size(); ++i) {
            const std::uint8_t index = v.layout.indices[i];
            ASSERT_EQ(full.pixels[i], index < v.layout.palette.size() ? v.layout.palette[index] : 0u) << i;
        }

        EXPECT_EQ(fast.width, full.width);
        EXPECT_EQ(fast.height, full.height);
        EXPECT_EQ(fast.bitsPerPixel, full.bitsPerPixel);
        EXPECT_EQ(fast.palette, full.palette);
        EXPECT_EQ(fast.indices, full.indices);
        EXPECT_TRUE(fast.pixels.empty());
    }
}

TEST(PictureIndicesOnly, DeepAndEmptyPicturesKeepTheirSizeAndDepth) {
    for (int bpp : {16, 24, 32}) {
        SCOPED_TRACE(bpp);
        BmpLayout s;
        s.bpp = bpp;
        s.width = 3;
        s.height = 2;
        s.values = {1, 2, 3, 4, 5, 6};
        const Bytes bytes = BuildBmp(s);
        const Picture fast = DecodeBmpPicture(bytes.data(), bytes.size(), "x.bmp", PictureParts::IndicesOnly);
        EXPECT_EQ(fast.width, 3);
        EXPECT_EQ(fast.height, 2);
        EXPECT_EQ(fast.bitsPerPixel, bpp);
        EXPECT_TRUE(fast.palette.empty());
        EXPECT_TRUE(fast.indices.empty());
        EXPECT_TRUE(fast.pixels.empty());
    }
    BmpLayout empty = Indexed(8, 0, 4, false, 3);
    const Bytes bytes = BuildBmp(empty);
    const Picture fast = DecodeBmpPicture(bytes.data(), bytes.size(), "x.bmp", PictureParts::IndicesOnly);
    EXPECT_TRUE(fast.Empty());
    EXPECT_EQ(fast.bitsPerPixel, 8);
    EXPECT_EQ(fast.palette, empty.palette);
    EXPECT_TRUE(fast.indices.empty());
}

std::string Refusal(const Bytes& bytes, PictureParts parts) {
    try {
        DecodeBmpPicture(bytes.data(), bytes.size(), "x.bmp", parts);
    } catch (const base::Error& e) {
        return e.what();
    }
    return "(decoded)";
}

TEST(PictureIndicesOnly, RefusesWhatTheFullDecodeRefusesWithTheSameMessage) {
    const BmpLayout good = Indexed(8, 6, 4, false, 256);
    Bytes cutRows = BuildBmp(good);
    cutRows.resize(cutRows.size() - 3);
    BmpLayout rle = good;
    rle.compression = BmpCompression::Rle8;
    Bytes cutStream = BuildBmp(rle);
    cutStream.resize(cutStream.size() - 6);
    BmpLayout wrongDepth = Indexed(4, 6, 4, false, 16);
    wrongDepth.biCompression = 1; // RLE8 on 4-bit rows
    BmpLayout deepCut;
    deepCut.bpp = 24;
    deepCut.width = 5;
    deepCut.height = 2;
    deepCut.values = std::vector<std::uint32_t>(10, 0x123456);
    Bytes deepCutBytes = BuildBmp(deepCut);
    deepCutBytes.resize(deepCutBytes.size() - 1);

    for (const Bytes& bytes : {cutRows, cutStream, BuildBmp(wrongDepth), deepCutBytes}) {
        const std::string full = Refusal(bytes, PictureParts::All);
        EXPECT_NE(full, "(decoded)");
        EXPECT_EQ(Refusal(bytes, PictureParts::IndicesOnly), full);
        EXPECT_EQ(Refusal(bytes, PictureParts::Checked), full);
    }
}

// A checked decode keeps the sizes, depth and palette of the full one and no pixels, whatever the layout.
TEST(PictureIndicesOnly, ACheckedDecodeKeepsSizesAndPaletteAndNoPixels) {
    BmpLayout rle = Indexed(8, 6, 4, false, 256);
    rle.compression = BmpCompression::Rle8;
    for (const BmpLayout& s : {Indexed(8, 7, 3, false, 256), Indexed(4, 5, 2, true, 16), rle}) {
        const Bytes bytes = BuildBmp(s);
        const Picture full = DecodeBmpPicture(bytes.data(), bytes.size(), "x.bmp", PictureParts::All);
        const Picture checked = DecodeBmpPicture(bytes.data(), bytes.size(), "x.bmp", PictureParts::Checked);
        EXPECT_EQ(checked.width, full.width);
        EXPECT_EQ(checked.height, full.height);
        EXPECT_EQ(checked.bitsPerPixel, full.bitsPerPixel);
        EXPECT_EQ(checked.palette, full.palette);
        EXPECT_TRUE(checked.indices.empty());
        EXPECT_TRUE(checked.pixels.empty());
    }
}

// A file several times the size the reader used to read in one step, read from disk in both modes.
TEST(PictureIndicesOnly, ReadsALargeFileFromDiskWhole) {
    testsupport::TempDir dir;
    const BmpLayout s = Indexed(8, 333, 517, false, 256);
    const Bytes bytes = BuildBmp(s);
    ASSERT_GT(bytes.size(), 2u * 65536u);
    testsupport::WriteFile(dir / "big.bmp", bytes);
    const Picture fast = picture::ReadBmpPicture(dir / "big.bmp", PictureParts::IndicesOnly);
    EXPECT_EQ(fast.indices, s.indices);
    EXPECT_EQ(fast.palette, s.palette);
    const Picture full = picture::ReadBmpPicture(dir / "big.bmp");
    EXPECT_EQ(full.indices, s.indices);
    ASSERT_EQ(full.pixels.size(), s.indices.size());
    EXPECT_EQ(full.pixels.back(), s.palette[s.indices.back()]);
}

} // namespace
