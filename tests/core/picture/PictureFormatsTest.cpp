// The picture reader on the BMP variants other programs write: RLE streams, every header size, 16 to 32
// bits per pixel through their masks, short colour tables. Pixel-for-pixel agreement with an independent
// reader over a table of variants is checked by check_pictures.py.
#include "picture/BmpRle.h"
#include "picture/Picture.h"

#include "base/Error.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using base::MakeColour;
using picture::DecodeBmpPicture;
using picture::Picture;
using testsupport::BmpCompression;
using testsupport::BmpLayout;
using testsupport::BuildBmp;
using Bytes = std::vector<std::uint8_t>;

Picture Decode(const Bytes& bytes) {
    return DecodeBmpPicture(bytes.data(), bytes.size(), "x.bmp");
}

// ---------------------------------------------------------------------------------------------------------
// The RLE expander, on streams written out by hand

struct Expanded {
    Bytes rows;
    bool complete;
};

Expanded Expand(const Bytes& stream, bool rle4, int width, int height, int bits, std::size_t stride) {
    Expanded e{Bytes(stride * static_cast<std::size_t>(height), 0), false};
    e.complete = picture::ExpandBmpRle(stream.data(), stream.size(), rle4,
                                       {e.rows.data(), stride, bits, width, height});
    return e;
}

TEST(BmpRle, Rle8RunsBlocksDeltaEndOfLineAndEndOfBitmap) {
    const Bytes stream = {
        0x03, 0x05,                   // 5 5 5
        0x00, 0x03, 0x01, 0x02, 0x03, // absolute 1 2 3 ...
        0x00,                         // ... padded to an even length
        0x00, 0x00,                   // end of line
        0x02, 0x07,                   // 7 7
        0x00, 0x02, 0x01, 0x01,       // one right, one row on: (3, 2)
        0x01, 0x09,                   // 9
        0x00, 0x01,                   // end of bitmap
        0x05, 0x05,                   // never read
    };
    const Expanded e = Expand(stream, false, 6, 3, 8, 6);
    EXPECT_TRUE(e.complete);
    EXPECT_EQ(e.rows, (Bytes{5, 5, 5, 1, 2, 3, //
                             7, 7, 0, 0, 0, 0, //
                             0, 0, 0, 9, 0, 0}));
}

TEST(BmpRle, Rle4RunsAlternateNibblesAndOddBlocksArePadded) {
    const Bytes stream = {
        0x05, 0x12,                   // 1 2 1 2 1
        0x00, 0x00,                   // end of line
        0x00, 0x05, 0x34, 0x56, 0x70, // absolute 3 4 5 6 7: three bytes ...
        0x00,                         // ... padded to four
        0x02, 0xAB,                   // A B
        0x00, 0x01,
    };
    // Packed at 4 bits, as the loader keeps them: rows of 4 bytes.
    Expanded e = Expand(stream, true, 7, 2, 4, 4);
    EXPECT_TRUE(e.complete);
    EXPECT_EQ(e.rows, (Bytes{0x12, 0x12, 0x10, 0x00, 0x34, 0x56, 0x7A, 0xB0}));
    // One byte a pixel, as the picture reader keeps them.
    e = Expand(stream, true, 7, 2, 8, 7);
    EXPECT_EQ(e.rows, (Bytes{1, 2, 1, 2, 1, 0, 0, 3, 4, 5, 6, 7, 10, 11}));
}

TEST(BmpRle, NothingLandsOutsideThePictureAndCutStreamsAreReported) {
    struct Case {
        const char* what;
        Bytes stream;
        int width, height;
        Bytes rows;
        bool complete;
    };
    const Case cases[] = {
        {"run past the row end", {0x05, 0x04, 0x01, 0x06, 0x00, 0x01}, 3, 1, {4, 4, 4}, true},
        {"block past the row end", {0x00, 0x03, 0x01, 0x02, 0x03, 0x00, 0x00, 0x01}, 2, 1, {1, 2}, true},
        {"delta past the row end, then a run",
         {0x00, 0x02, 0x09, 0x00, 0x02, 0x07, 0x00, 0x01},
         3,
         1,
         {0, 0, 0},
         true},
        {"delta past the last row", {0x00, 0x02, 0x00, 0x05, 0x01, 0x07}, 2, 2, {0, 0, 0, 0}, true},
        {"end of line on the last row", {0x01, 0x04, 0x00, 0x00, 0x01, 0x07}, 2, 1, {4, 0}, true},
        {"last row filled, no end code",
         {0x03, 0x05, 0x00, 0x00, 0x03, 0x06},
         3,
         2,
         {5, 5, 5, 6, 6, 6},
         true},
        {"cut between codes", {0x03, 0x05, 0x00, 0x00}, 3, 2, {5, 5, 5, 0, 0, 0}, false},
        {"cut inside a code", {0x03, 0x05, 0x00}, 3, 2, {5, 5, 5, 0, 0, 0}, false},
        {"cut inside a delta", {0x00, 0x02, 0x01}, 3, 1, {0, 0, 0}, false},
        {"cut inside a block", {0x00, 0x05, 0x01, 0x02}, 6, 1, {1, 2, 0, 0, 0, 0}, false},
        {"empty stream", {}, 1, 1, {0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Expanded e = Expand(c.stream, false, c.width, c.height, 8, static_cast<std::size_t>(c.width));
        EXPECT_EQ(e.rows, c.rows);
        EXPECT_EQ(e.complete, c.complete);
    }
}

// ---------------------------------------------------------------------------------------------------------
// The reader

TEST(PictureReader, KeepsTheFilesIndicesAndPaletteAsStored) {
    BmpLayout s;
    s.width = 5;
    s.height = 2;
    s.bpp = 4;
    s.palette = testsupport::DistinctPalette(6); // biClrUsed 6
    s.indices = {0, 1, 2, 3, 4, 5, 9, 15, 1, 0}; // 9 and 15 lie past the table
    const Picture p = Decode(BuildBmp(s));
    EXPECT_EQ(p.bitsPerPixel, 4);
    EXPECT_EQ(p.indices, s.indices);
    EXPECT_EQ(p.palette, s.palette);
    EXPECT_EQ(p.PixelAt(4, 0), s.palette[4]);
    EXPECT_EQ(p.PixelAt(1, 1), 0u); // index 9 shows black
    EXPECT_EQ(p.PixelAt(2, 1), 0u);
    EXPECT_EQ(p.PixelAt(3, 1), s.palette[1]);
}

TEST(PictureReader, EveryInfoHeaderSizeGivesThePicture) {
    for (int bpp : {4, 8}) {
        for (int infoSize : {12, 40, 52, 56, 64, 108, 124}) {
            SCOPED_TRACE(std::to_string(bpp) + " bpp, header " + std::to_string(infoSize));
            BmpLayout s;
            s.width = 7;
            s.height = 3;
            s.bpp = bpp;
            s.infoSize = infoSize;
            s.palette = testsupport::DistinctPalette(1 << bpp);
            s.indices =
                testsupport::IndicesOf(7, 3, [bpp](int x, int y) { return (3 * x + 5 * y) % (1 << bpp); });
            const Picture p = Decode(BuildBmp(s));
            ASSERT_EQ(p.width, 7);
            ASSERT_EQ(p.height, 3);
            EXPECT_EQ(p.bitsPerPixel, bpp);
            EXPECT_EQ(p.palette, s.palette);
            EXPECT_EQ(p.indices, s.indices);
            EXPECT_EQ(p.PixelAt(6, 2), s.palette[static_cast<size_t>((18 + 10) % (1 << bpp))]);
        }
    }
}

TEST(PictureReader, DeepPixelsThroughTheirMasks) {
    struct Case {
        const char* what;
        int bpp;
        int infoSize;
        BmpCompression compression;
        std::uint32_t masks[4];
        std::uint32_t value;
        base::Colour shown;
    };
    // Each field is scaled as value * 255 / its largest value, rounded down.
    const Case cases[] = {
        {"16 bits 5-5-5 red", 16, 40, BmpCompression::None, {}, 0x7C00, MakeColour(255, 0, 0)},
        {"16 bits 5-5-5, 16 each", 16, 40, BmpCompression::None, {}, 0x4210, MakeColour(131, 131, 131)},
        {"16 bits 5-6-5 green",
         16,
         40,
         BmpCompression::BitFields,
         {0xF800, 0x07E0, 0x001F},
         0x07E0,
         MakeColour(0, 255, 0)},
        {"16 bits 5-6-5, 1 2 1",
         16,
         40,
         BmpCompression::BitFields,
         {0xF800, 0x07E0, 0x001F},
         0x0841,
         MakeColour(8, 8, 8)},
        {"16 bits 4-4-4 in a 108-byte header",
         16,
         108,
         BmpCompression::BitFields,
         {0x0F00, 0x00F0, 0x000F},
         0x0A5F,
         MakeColour(170, 85, 255)},
        {"24 bits", 24, 40, BmpCompression::None, {}, 0x112233, MakeColour(0x11, 0x22, 0x33)},
        {"24 bits, OS/2 header", 24, 12, BmpCompression::None, {}, 0x112233, MakeColour(0x11, 0x22, 0x33)},
        {"32 bits, the top byte unused",
         32,
         40,
         BmpCompression::None,
         {},
         0xAB112233,
         MakeColour(0x11, 0x22, 0x33)},
        {"32 bits red-green-blue-alpha, alpha ignored",
         32,
         124,
         BmpCompression::BitFields,
         {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
         0x80332211,
         MakeColour(0x11, 0x22, 0x33)},
        {"32 bits 10-10-10 in a 56-byte header",
         32,
         56,
         BmpCompression::BitFields,
         {0x3FF00000, 0x000FFC00, 0x000003FF},
         (1023u << 20) | (512u << 10),
         MakeColour(255, 127, 0)},
        {"32 bits without a blue field",
         32,
         40,
         BmpCompression::BitFields,
         {0xFF0000, 0xFF00, 0},
         0x00FFFFFF,
         MakeColour(255, 255, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BmpLayout s;
        s.width = 3;
        s.height = 2;
        s.bpp = c.bpp;
        s.infoSize = c.infoSize;
        s.compression = c.compression;
        std::copy(std::begin(c.masks), std::end(c.masks), std::begin(s.masks));
        s.values = {c.value, 0, 0, 0, 0, 0}; // top-left; stored in the file's last row
        const Picture p = Decode(BuildBmp(s));
        ASSERT_EQ(p.width, 3);
        ASSERT_EQ(p.height, 2);
        EXPECT_EQ(p.bitsPerPixel, c.bpp);
        EXPECT_EQ(p.PixelAt(0, 0), c.shown);
        EXPECT_EQ(p.PixelAt(0, 1), 0u);
        EXPECT_TRUE(p.palette.empty());
        EXPECT_TRUE(p.indices.empty());
    }
}

TEST(PictureReader, RleFilesShowWhatTheUncompressedFileShows) {
    struct Variant {
        const char* what;
        std::function<void(BmpLayout&)> change;
    };
    const Variant variants[] = {
        {"runs and blocks", [](BmpLayout&) {}},
        {"deltas", [](BmpLayout& s) { s.rle.deltas = true; }},
        {"early row ends", [](BmpLayout& s) { s.rle.endRowsEarly = true; }},
        {"no odd RLE4 blocks", [](BmpLayout& s) { s.rle.oddRle4Blocks = false; }},
        {"top-down", [](BmpLayout& s) { s.topDown = true; }},
        {"124-byte header", [](BmpLayout& s) { s.infoSize = 124; }},
    };
    for (int bpp : {8, 4}) {
        BmpLayout plain;
        plain.width = 37;
        plain.height = 9;
        plain.bpp = bpp;
        plain.palette = testsupport::DistinctPalette(1 << bpp);
        plain.indices = testsupport::IndicesOf(37, 9, [bpp](int x, int y) {
            if (y == 4 || (x + 2 * y) % 11 < 5 || (y % 2 == 1 && x > 30)) return 0;
            return y % 3 == 0 ? y + 1 : (x * 7 + y * 5) % (1 << bpp);
        });
        const Picture expected = Decode(BuildBmp(plain));
        for (const Variant& v : variants) {
            SCOPED_TRACE(std::to_string(bpp) + " bpp, " + v.what);
            BmpLayout s = plain;
            s.compression = bpp == 8 ? BmpCompression::Rle8 : BmpCompression::Rle4;
            v.change(s);
            const Picture p = Decode(BuildBmp(s));
            EXPECT_EQ(p.bitsPerPixel, bpp);
            EXPECT_EQ(p.palette, expected.palette);
            EXPECT_EQ(p.indices, expected.indices);
            EXPECT_EQ(p.pixels, expected.pixels);
        }
    }
}

TEST(PictureReader, TablesShorterThanTheDepthAllowsOrMissing) {
    BmpLayout s;
    s.width = 4;
    s.height = 1;
    s.bpp = 8;
    s.palette = testsupport::DistinctPalette(3);
    s.indices = {2, 1, 0, 3};
    Picture p = Decode(BuildBmp(s)); // biClrUsed 3
    EXPECT_EQ(p.palette.size(), 3u);
    EXPECT_EQ(p.PixelAt(0, 0), s.palette[2]);
    EXPECT_EQ(p.PixelAt(3, 0), 0u);

    // biClrUsed larger than the room before the pixels: only the entries that fit.
    s.biClrUsed = 200;
    p = Decode(BuildBmp(s));
    EXPECT_EQ(p.palette, s.palette);

    // No table at all: the indices stay, every pixel shows black.
    s.palette.clear();
    s.biClrUsed = 0;
    p = Decode(BuildBmp(s));
    EXPECT_TRUE(p.palette.empty());
    EXPECT_EQ(p.indices, (Bytes{2, 1, 0, 3}));
    EXPECT_EQ(p.pixels, (std::vector<base::Colour>{0, 0, 0, 0}));
}

TEST(PictureReader, RefusesNewFormatsItCannotDecodeWithTheReason) {
    struct Case {
        const char* what;
        std::function<Bytes()> bytes;
        const char* reason;
    };
    BmpLayout good;
    good.width = 4;
    good.height = 4;
    good.palette = testsupport::DistinctPalette(16);
    auto with = [good](std::function<void(BmpLayout&)> change) {
        return [good, change] {
            BmpLayout s = good;
            change(s);
            return BuildBmp(s);
        };
    };
    const Case cases[] = {
        {"RLE8 at 4 bpp", with([](BmpLayout& s) {
             s.bpp = 4;
             s.biCompression = 1;
         }),
         "RLE8 compression needs 8 bits per pixel, the file has 4"},
        {"RLE4 at 8 bpp", with([](BmpLayout& s) { s.biCompression = 2; }),
         "RLE4 compression needs 4 bits per pixel, the file has 8"},
        {"bit fields at 8 bpp", with([](BmpLayout& s) { s.biCompression = 3; }),
         "bit-field compression needs 16, 24 or 32 bits per pixel, the file has 8"},
        {"OS/2 Huffman", with([](BmpLayout& s) {
             s.infoSize = 64;
             s.bpp = 16;
             s.compression = BmpCompression::BitFields;
         }),
         "its OS/2 compression method 3 is not supported"},
        {"JPEG", with([](BmpLayout& s) { s.biCompression = 4; }),
         "an embedded JPEG picture is not supported"},
        {"PNG", with([](BmpLayout& s) { s.biCompression = 5; }), "an embedded PNG picture is not supported"},
        {"header of 16 bytes", with([](BmpLayout& s) { s.biSize = 16; }),
         "its information header of 16 bytes is not supported"},
        {"RLE stream cut short",
         [good] {
             BmpLayout s = good;
             s.indices = testsupport::IndicesOf(4, 4, [](int x, int y) { return x + y; });
             s.compression = BmpCompression::Rle8;
             Bytes b = BuildBmp(s);
             b.resize(b.size() - 6); // loses the last row's codes and the end of bitmap
             return b;
         },
         "the file ends inside its pixel data"},
        {"masks cut short",
         [] {
             BmpLayout s;
             s.width = 2;
             s.height = 2;
             s.bpp = 16;
             s.compression = BmpCompression::BitFields;
             Bytes b = BuildBmp(s);
             b.resize(60);
             return b;
         },
         "the file ends inside its colour masks"},
        {"24 bits cut short",
         [] {
             BmpLayout s;
             s.width = 3;
             s.height = 2;
             s.bpp = 24;
             Bytes b = BuildBmp(s);
             b.pop_back();
             return b;
         },
         "the file ends inside its pixel data"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            Decode(c.bytes());
            ADD_FAILURE() << "decoded";
        } catch (const base::Error& e) {
            EXPECT_NE(std::string(e.what()).find("\"x.bmp\""), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
    }
}

} // namespace
