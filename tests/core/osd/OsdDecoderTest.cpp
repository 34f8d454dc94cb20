#include "osd/OsdDecoder.h"

#include "osd/OsdFont.h"
#include "picture/BmpLoader.h"
#include "support/BmpBuilder.h"
#include "support/Text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using osd::DecodeOsdPlanes;
using osd::OsdDecodeOptions;
using testsupport::BmpLayout;
using testsupport::TempDir;
using Bytes = std::vector<std::uint8_t>;

OsdDecodeOptions Options(int bpp, int cw, bool to2Bpp = false) {
    OsdDecodeOptions o;
    o.bpp = bpp;
    o.cellWidth = cw;
    o.to2Bpp = to2Bpp;
    return o;
}

TEST(OsdDecoder, FourBppGroupOfTheWorkedExample) {
    // The group 1, 2, 3, 4, 5, 6, 7, 8 is written as the planes AA 66 1E 01: pixels 0..7 of the first row.
    Bytes msb(64, 0);
    msb[0] = 0xAA;
    msb[1] = 0x66;
    msb[2] = 0x1E;
    msb[3] = 0x01;
    const Bytes lsb(32, 0);
    const auto d = DecodeOsdPlanes(msb, lsb, Options(4, 12));
    ASSERT_FALSE(d.failure);
    ASSERT_EQ(d.cells, 1);
    EXPECT_EQ(d.image.width, 16u * 12);
    EXPECT_EQ(d.image.height, 16u);
    for (std::uint32_t x = 0; x < 8; ++x)
        EXPECT_EQ(d.image.At(x, 0), x + 1) << x;
    EXPECT_EQ(d.image.At(8, 0), 0);
}

TEST(OsdDecoder, OneBppRowOfTheWorkedExample) {
    // cw = 12, MSB byte 0x0C and LSB byte 0xF0: V = 0xCF0, pixels XX..XXXX.... .
    Bytes msb(16, 0), lsb(16, 0);
    msb[0] = 0x0C;
    lsb[0] = 0xF0;
    const auto d = DecodeOsdPlanes(msb, lsb, Options(1, 12));
    ASSERT_FALSE(d.failure);
    const int expected[12] = {1, 1, 0, 0, 1, 1, 1, 1, 0, 0, 0, 0};
    for (std::uint32_t x = 0; x < 12; ++x)
        EXPECT_EQ(d.image.At(x, 0), expected[x]) << x;
}

TEST(OsdDecoder, PlanesThatDoNotHoldWholeCellsAreReported) {
    struct Case {
        std::size_t msb, lsb;
        int cells;
        const char* message;
    };
    // 8 bpp, cw 12: 128 MSB and 64 LSB bytes a cell.
    const Case cases[] = {
        {128 * 2, 64 * 2, 2, nullptr},
        {128 * 2 + 5, 64 * 2, 2, "the MSB planes hold 261 bytes: not whole cells of 128 bytes"},
        {128 * 2, 64 * 2 - 1, 1, "the LSB planes hold 127 bytes: not whole cells of 64 bytes"},
        {128 * 3, 64 * 2, 2, "the MSB planes hold 3 cells, the LSB planes 2"},
    };
    for (const Case& c : cases) {
        const auto d = DecodeOsdPlanes(Bytes(c.msb, 0x11), Bytes(c.lsb, 0x22), Options(8, 12));
        EXPECT_EQ(d.cells, c.cells);
        if (c.message)
            EXPECT_EQ(d.failure, std::string(c.message));
        else
            EXPECT_FALSE(d.failure);
    }
}

TEST(OsdDecoder, TablesInBothFormsAndRgb666Scaling) {
    std::string c, a;
    for (int i = 0; i < 256; ++i) {
        c += (i == 0 ? "0x3F," : i == 1 ? "0x01," : i == 2 ? "0x20," : "0x00,");
        a += i == 0 ? "03Fh," : i == 1 ? "001h," : i == 2 ? "020h," : "000h,";
        if (i % 16 == 15) {
            c += "\r\n";
            a += "\r\n";
        }
    }
    const auto fromC = osd::ParsePaletteTable(c, nullptr);
    const auto fromAsm = osd::ParsePaletteTable(a, nullptr);
    ASSERT_TRUE(fromC && fromAsm);
    EXPECT_EQ(*fromC, *fromAsm);
    EXPECT_EQ((*fromC)[0], 0x3F);
    // v * 255 / 63 rounded: 63 -> 255, 1 -> 4.05 -> 4, 32 -> 129.52 -> 130.
    std::string problem;
    const auto six = osd::OsdPaletteOf(*fromC, *fromC, *fromC, settings::PaletteFormat::Rgb666, &problem);
    ASSERT_TRUE(six) << problem;
    EXPECT_EQ((*six)[0], base::MakeColour(255, 255, 255));
    EXPECT_EQ((*six)[1], base::MakeColour(4, 4, 4));
    EXPECT_EQ((*six)[2], base::MakeColour(130, 130, 130));

    std::array<std::uint8_t, 256> high{};
    high[7] = 0x80;
    EXPECT_FALSE(osd::OsdPaletteOf(high, high, high, settings::PaletteFormat::Rgb666, &problem));
    EXPECT_NE(problem.find("entry 7"), std::string::npos);
    EXPECT_FALSE(osd::ParsePaletteTable(c.substr(0, c.size() - 7), &problem));
    EXPECT_EQ(problem, "255 values instead of 256");
    EXPECT_FALSE(osd::ParsePaletteTable("0x1G," + c.substr(5), &problem));
}

TEST(OsdDecoder, PlaneTextItemsAndTheirOffsets) {
    std::size_t bad = 0;
    const auto ok = osd::ParsePlaneText("0x01,0xAB,\r\n0xff,", &bad);
    ASSERT_TRUE(ok);
    EXPECT_EQ(*ok, (Bytes{0x01, 0xAB, 0xFF}));
    EXPECT_FALSE(osd::ParsePlaneText("0x01,0x2,\r\n", &bad));
    EXPECT_EQ(bad, 5u);
}

// Generate's files, decoded, give back every index of a sheet of 16 x 2 cells, for every depth, cell width,
// the 2BPP choice, both code formats and both palette formats.
TEST(OsdDecoder, RoundTripOfGeneratedFiles) {
    std::mt19937 rng(2207);
    for (const int bpp : {1, 2, 4, 8}) {
        for (int cw = 12; cw <= 16; ++cw) {
            for (const bool to2Bpp : {false, true}) {
                if (to2Bpp && bpp != 4) continue;
                SCOPED_TRACE(testing::Message() << bpp << " bpp, cw " << cw << (to2Bpp ? ", 2BPP" : ""));
                const auto codeFormat = rng() % 2 ? settings::CodeFormat::C : settings::CodeFormat::Asm;
                const auto paletteFormat =
                    rng() % 2 ? settings::PaletteFormat::Rgb888 : settings::PaletteFormat::Rgb666;
                BmpLayout layout;
                layout.width = 16 * cw;
                layout.height = 32;
                layout.bpp = bpp;
                for (int i = 0; i < (1 << bpp); ++i)
                    layout.palette.push_back(rng() & 0xFFFFFF);
                layout.indices = testsupport::IndicesOf(layout.width, layout.height,
                                                        [&](int, int) { return rng() % (1u << bpp); });
                TempDir dir;
                testsupport::WriteFile(dir / "rt.bmp", testsupport::BuildBmp(layout));
                picture::CurrentBitmap bm;
                ASSERT_EQ(picture::LoadBitmapFile(bm, dir / "rt.bmp").status, picture::OpenStatus::Ok);
                osd::OsdOptions options;
                options.sourcePath = "rt.bmp";
                options.fontSize = settings::FontSize::OfWidth(cw);
                options.codeFormat = codeFormat;
                options.paletteFormat = paletteFormat;
                options.to2Bpp = to2Bpp;
                options.outputDirectory = dir.path();
                ASSERT_FALSE(osd::GenerateOsdFont(bm, options).failure);

                OsdDecodeOptions o = Options(bpp, cw, to2Bpp);
                o.paletteFormat = paletteFormat;
                const osd::OsdFilesDecoded d = osd::DecodeOsdFiles(dir / "rt", o);
                ASSERT_FALSE(d.failure) << *d.failure;
                ASSERT_EQ(d.decoded.cells, 32);
                const picture::IndexedImage& image = d.decoded.image;
                ASSERT_EQ(image.width, static_cast<std::uint32_t>(layout.width));
                ASSERT_EQ(image.height, 32u);
                const int held = osd::HeldColumns(o);
                for (int y = 0; y < layout.height; ++y)
                    for (int x = 0; x < layout.width; ++x) {
                        // Every cell starts at its own first pixel, also inside a byte; the columns past
                        // what the planes hold read 0.
                        int want = layout.indices[static_cast<std::size_t>(y * layout.width + x)];
                        if (x % cw >= held) want = 0;
                        if (to2Bpp) want &= 3;
                        ASSERT_EQ(image.At(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)), want)
                            << x << "," << y;
                    }
                ASSERT_EQ(image.palette.size(), 256u);
                for (std::size_t i = 0; i < layout.palette.size(); ++i) {
                    base::Colour want = layout.palette[i];
                    if (paletteFormat == settings::PaletteFormat::Rgb666)
                        want = base::MakeColour(osd::ScaleRgb666(base::RedOf(want) >> 2),
                                                osd::ScaleRgb666(base::GreenOf(want) >> 2),
                                                osd::ScaleRgb666(base::BlueOf(want) >> 2));
                    EXPECT_EQ(image.palette[i], want) << i;
                }
            }
        }
    }
}

TEST(OsdDecoder, MissingFilesAndEmptyBinariesAreNamed) {
    TempDir dir;
    auto d = osd::DecodeOsdFiles(dir / "none", Options(8, 16));
    ASSERT_TRUE(d.failure);
    EXPECT_NE(d.failure->find("none_MSB.bin"), std::string::npos);
    testsupport::WriteFile(dir / "two_MSB.bin", {});
    testsupport::WriteFile(dir / "two_LSB.bin", {});
    d = osd::DecodeOsdFiles(dir / "two", Options(8, 16));
    ASSERT_TRUE(d.failure);
    EXPECT_NE(d.failure->find("holds no cell (at 2 bpp the planes are in the .txt files)"), std::string::npos);
}

} // namespace
