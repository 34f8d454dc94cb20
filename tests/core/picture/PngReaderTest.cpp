// PNG pictures are read as the BMP that holds the same picture: the reader's BMP is compared with a twin BMP
// built independently, byte for byte, so that every job sees the same bytes from either file.
#include "picture/PngReader.h"

#include "base/Error.h"
#include "picture/BmpLoader.h"
#include "picture/FileOpen.h"
#include "picture/Picture.h"
#include "support/BmpBuilder.h"
#include "support/PngBuilder.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using base::MakeColour;
using testsupport::BmpLayout;
using testsupport::BuildBmp;
using testsupport::BuildPng;
using testsupport::PngColour;
using testsupport::PngLayout;
using testsupport::TempDir;
using Bytes = std::vector<std::uint8_t>;

Bytes Twin(const Bytes& png, const std::string& name = "p.png") {
    return picture::PngToBmp(png, name);
}

TEST(PngReader, SmallGreyPictureGivesTheseBmpBytes) {
    // 3 x 2 at 2 bits: levels 0 1 2 / 3 0 1, 3780 pixels per metre.
    PngLayout s;
    s.width = 3;
    s.height = 2;
    s.colour = PngColour::Grey;
    s.bitDepth = 2;
    s.indices = {0, 1, 2, 3, 0, 1};
    s.phys = PngLayout::Phys{3780, 3780, true};
    const Bytes expected = {
        'B', 'M', 78, 0, 0, 0, 0, 0, 0, 0, 70, 0, 0, 0, // file header: 54 + 16 + 8 bytes, pixels at 70
        40, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0,           // 40-byte header, 3 x 2, bottom row first
        1, 0, 2, 0, 0, 0, 0, 0, 8, 0, 0, 0,            // 1 plane, 2 bits, no compression, 8 bytes
        0xC4, 0x0E, 0, 0, 0xC4, 0x0E, 0, 0,            // 3780 x 3780 per metre
        4, 0, 0, 0, 0, 0, 0, 0,                        // 4 colours used, 0 important
        0, 0, 0, 0, 0x55, 0x55, 0x55, 0, 0xAA, 0xAA, 0xAA, 0, 0xFF, 0xFF, 0xFF, 0, // the grey ramp
        0xC4, 0, 0, 0,                                 // bottom row 3 0 1: 11 00 01 (00)
        0x18, 0, 0, 0,                                 // top row 0 1 2: 00 01 10 (00)
    };
    EXPECT_EQ(Twin(BuildPng(s)), expected);
}

struct TwinCase {
    const char* name;
    PngColour colour;
    int depth;
    int width;
    int height;
    bool interlaced;
    int paletteEntries; // PLTE entries (Palette)
    bool trns;
    std::optional<PngLayout::Phys> phys;
};

std::vector<base::Colour> GreyRamp(int depth) {
    const int n = 1 << depth;
    std::vector<base::Colour> ramp;
    for (int i = 0; i < n; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 255 / (n - 1));
        ramp.push_back(MakeColour(v, v, v));
    }
    return ramp;
}

TEST(PngReader, EachIndexedAndGreyDepthGivesItsBmpTwin) {
    const TwinCase cases[] = {
        {"palette 1 bit", PngColour::Palette, 1, 13, 5, false, 2, false, {}},
        {"palette 2 bits", PngColour::Palette, 2, 7, 4, false, 4, false, {}},
        {"palette 4 bits", PngColour::Palette, 4, 9, 6, false, 16, false, {}},
        {"palette 8 bits", PngColour::Palette, 8, 5, 3, false, 256, false, {}},
        {"grey 1 bit", PngColour::Grey, 1, 17, 3, false, 0, false, {}},
        {"grey 2 bits", PngColour::Grey, 2, 6, 5, false, 0, false, {}},
        {"grey 4 bits", PngColour::Grey, 4, 3, 7, false, 0, false, {}},
        {"grey 8 bits", PngColour::Grey, 8, 11, 2, false, 0, false, {}},
        {"interlaced palette 1 bit", PngColour::Palette, 1, 19, 11, true, 2, false, {}},
        {"interlaced palette 4 bits", PngColour::Palette, 4, 10, 9, true, 16, false, {}},
        {"interlaced grey 2 bits", PngColour::Grey, 2, 9, 10, true, 0, false, {}},
        {"interlaced palette 8 bits", PngColour::Palette, 8, 17, 13, true, 256, false, {}},
        {"short PLTE padded with black", PngColour::Palette, 8, 6, 4, false, 3, false, {}},
        {"short PLTE at 4 bits", PngColour::Palette, 4, 5, 5, false, 5, false, {}},
        {"tRNS ignored", PngColour::Palette, 4, 6, 3, false, 16, true, {}},
        {"pHYs in metres", PngColour::Palette, 8, 4, 4, false, 256, false, PngLayout::Phys{2835, 5670, true}},
        {"pHYs aspect only", PngColour::Grey, 8, 4, 4, false, 0, false, PngLayout::Phys{1, 2, false}},
    };
    for (const TwinCase& c : cases) {
        SCOPED_TRACE(c.name);
        const int levels = 1 << c.depth;
        // Indices past a short PLTE are kept: a BMP's indices past its table show black.
        const auto indices = testsupport::IndicesOf(
            c.width, c.height, [&](int x, int y) { return (x * 5 + y * 3 + x * y) % levels; });
        PngLayout png;
        png.width = c.width;
        png.height = c.height;
        png.colour = c.colour;
        png.bitDepth = c.depth;
        png.interlaced = c.interlaced;
        png.indices = indices;
        png.phys = c.phys;
        BmpLayout bmp;
        bmp.width = c.width;
        bmp.height = c.height;
        bmp.bpp = c.depth;
        bmp.indices = indices;
        bmp.xPelsPerMeter = c.phys && c.phys->metre ? c.phys->x : 0;
        bmp.yPelsPerMeter = c.phys && c.phys->metre ? c.phys->y : 0;
        if (c.colour == PngColour::Palette) {
            png.palette = testsupport::DistinctPalette(c.paletteEntries);
            if (c.trns) png.trns = {0, 128, 255, 7};
            bmp.palette = png.palette;
            bmp.palette.resize(static_cast<std::size_t>(levels), 0); // black past the PLTE
        } else {
            bmp.palette = GreyRamp(c.depth);
        }
        const Bytes twin = Twin(BuildPng(png));
        EXPECT_EQ(twin, BuildBmp(bmp));

        // The picture read from it: the PNG's own indices, and their colours.
        const picture::Picture read = picture::DecodeBmpPicture(twin.data(), twin.size(), "p.png");
        EXPECT_EQ(read.indices, indices);
        EXPECT_EQ(read.bitsPerPixel, c.depth);
        EXPECT_EQ(read.pixels[1], read.palette[indices[1]]);
    }
}

TEST(PngReader, DeepPicturesBecomeDeepBmpsThatTheLoaderRefusesLikeTheirBmps) {
    struct Deep {
        const char* name;
        PngColour colour;
        int depth;
        int bmpBits;
    };
    const Deep cases[] = {
        {"truecolour", PngColour::Rgb, 8, 24},         {"truecolour 16 bits", PngColour::Rgb, 16, 24},
        {"truecolour and alpha", PngColour::Rgba, 8, 32}, {"grey and alpha", PngColour::GreyAlpha, 8, 32},
        {"grey 16 bits", PngColour::Grey, 16, 24},
    };
    TempDir dir;
    for (const Deep& c : cases) {
        SCOPED_TRACE(c.name);
        PngLayout png;
        png.width = 3;
        png.height = 2;
        png.colour = c.colour;
        png.bitDepth = c.depth;
        png.indices = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
        const Bytes bytes = BuildPng(png);
        const Bytes twin = Twin(bytes);
        const picture::Picture read = picture::DecodeBmpPicture(twin.data(), twin.size(), "p.png");
        EXPECT_EQ(read.bitsPerPixel, c.bmpBits);
        EXPECT_TRUE(read.indices.empty());
        // Every sample of pixel (2, 1) is 0x60: shown grey, top row first.
        EXPECT_EQ(read.PixelAt(2, 1), MakeColour(0x60, 0x60, 0x60));
        EXPECT_EQ(read.PixelAt(0, 0), MakeColour(0x10, 0x10, 0x10));

        testsupport::WriteFile(dir / "deep.png", bytes);
        auto bm = std::make_unique<picture::CurrentBitmap>();
        const picture::LoadResult loaded = picture::LoadBitmapFile(*bm, dir / "deep.png");
        EXPECT_EQ(loaded.status, picture::OpenStatus::DeepColour);
        EXPECT_STREQ(picture::MessageOf(loaded.status), "Don't support 24bit!!!");
        EXPECT_TRUE(loaded.png);
        EXPECT_EQ(bm->biBitCount(), c.bmpBits);
    }
}

std::string RefusalOf(const Bytes& bytes, const std::string& name) {
    try {
        Twin(bytes, name);
    } catch (const base::Error& e) {
        return e.what();
    }
    return "accepted";
}

TEST(PngReader, DamagedFilesAreRefusedNamingTheFileAndTheReason) {
    PngLayout s;
    s.width = 8;
    s.height = 8;
    s.colour = PngColour::Palette;
    s.bitDepth = 8;
    s.palette = testsupport::DistinctPalette(4);
    s.indices = testsupport::IndicesOf(8, 8, [](int x, int y) { return (x + y) % 4; });
    const Bytes good = BuildPng(s);

    Bytes badIhdrCrc = good;
    badIhdrCrc[8 + 8 + 13] ^= 0xFF; // the IHDR chunk's CRC follows its 13 data bytes
    Bytes cut(good.begin(), good.end() - 30);
    BmpLayout bmp;
    bmp.width = 1;
    bmp.height = 1;
    bmp.palette = {0};
    bmp.indices = {0};
    const Bytes notPng = BuildBmp(bmp);

    EXPECT_EQ(RefusalOf(badIhdrCrc, "/pics/a.png"), "Cannot read the picture \"/pics/a.png\": IHDR: CRC error.");
    EXPECT_EQ(RefusalOf(notPng, "/pics/b.png"), "Cannot read the picture \"/pics/b.png\": Not a PNG file.");
    EXPECT_EQ(RefusalOf({}, "/pics/c.png"),
              "Cannot read the picture \"/pics/c.png\": the file ends inside its data.");
    EXPECT_EQ(RefusalOf(cut, "/pics/d.png").rfind("Cannot read the picture \"/pics/d.png\": ", 0), 0u);
    EXPECT_NE(RefusalOf(cut, "/pics/d.png"), "accepted");

    // Sizes are refused from the header, before pixel memory is taken.
    PngLayout wide;
    wide.width = 65536;
    wide.height = 1;
    wide.colour = PngColour::Grey;
    wide.bitDepth = 1;
    wide.indices.assign(65536, 0);
    EXPECT_EQ(RefusalOf(BuildPng(wide), "w.png"),
              "Cannot read the picture \"w.png\": the picture is larger than 65535 pixels a side.");
    PngLayout many = wide;
    many.width = 4097;
    many.height = 4096;
    many.indices.assign(4097u * 4096u, 0);
    EXPECT_EQ(RefusalOf(BuildPng(many), "m.png"),
              "Cannot read the picture \"m.png\": the picture has more than 16,777,216 pixels.");
}

TEST(PngReader, FilesAreKnownBySignatureOrName) {
    const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    EXPECT_TRUE(picture::IsPngPicture(signature, "logo.bmp"));
    EXPECT_TRUE(picture::IsPngPicture(Bytes{'B', 'M'}, "LOGO.PNG"));
    EXPECT_FALSE(picture::IsPngPicture(Bytes{'B', 'M'}, "logo.bmp"));
    EXPECT_FALSE(picture::IsPngPicture(Bytes(signature.begin(), signature.begin() + 7), "png"));
}

TEST(PngReader, FileOpenReadsThePngOnceAndSaysItWasOne) {
    TempDir dir;
    PngLayout s;
    s.width = 4;
    s.height = 2;
    s.colour = PngColour::Palette;
    s.bitDepth = 4;
    s.palette = testsupport::DistinctPalette(3);
    s.indices = {0, 1, 2, 3, 4, 5, 6, 15};
    testsupport::WriteFile(dir / "p.png", BuildPng(s));

    auto bm = std::make_unique<picture::CurrentBitmap>();
    picture::Picture shown;
    picture::PaletteTable table{};
    const auto outcome = picture::OpenBitmap(*bm, dir / "p.png", {&shown, &table});
    EXPECT_EQ(outcome.status, picture::OpenStatus::Ok);
    EXPECT_TRUE(outcome.png);
    EXPECT_EQ(shown.indices, s.indices);
    EXPECT_EQ(shown.palette.size(), 16u);
    EXPECT_EQ(bm->BitsPerPixel, 4);
    EXPECT_EQ(bm->PaletteBytes, 64);
    EXPECT_EQ(bm->BytesPerRow, 4);
    EXPECT_EQ(bm->Pixels[0], 0x01);
    EXPECT_EQ(bm->Pixels[1], 0x23);
    EXPECT_EQ(bm->Pixels[4], 0x45); // the second row, top row first
    EXPECT_EQ(bm->Pixels[5], 0x6F);
    EXPECT_EQ(base::ColourOf(table[2]), s.palette[2]);
    EXPECT_EQ(base::ColourOf(table[3]), 0u); // padded with black

    const auto plain = picture::OpenBitmap(*bm, dir / "p.png");
    EXPECT_TRUE(plain.png);
    EXPECT_EQ(plain.status, picture::OpenStatus::Ok);
}

} // namespace
