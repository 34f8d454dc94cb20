#include "bitmap/BmpLoader.h"

#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

using bitmap::CurrentBitmap;
using bitmap::LoadBitmapFile;
using bitmap::OpenStatus;
using testsupport::BmpLayout;
using testsupport::BuildBmp;
using testsupport::TempDir;

// Packs top-down indices at bpp into rows of stride bytes, the layout Pixels must have after loading.
std::vector<std::uint8_t> PackedTopDown(const BmpLayout& s) {
    BmpLayout topDown = s;
    topDown.topDown = true;
    topDown.palette.clear();
    const auto file = BuildBmp(topDown);
    return std::vector<std::uint8_t>(file.begin() + 54, file.end());
}

struct Loader : ::testing::Test {
    TempDir dir;
    std::unique_ptr<CurrentBitmap> bm = std::make_unique<CurrentBitmap>();

    bitmap::LoadResult Load(const std::vector<std::uint8_t>& bytes, const std::string& name = "pic.bmp") {
        testsupport::WriteFile(dir / name, bytes);
        return LoadBitmapFile(*bm, dir / name);
    }
};

TEST_F(Loader, FourBitBottomUpFile) {
    BmpLayout s;
    s.width = 24;
    s.height = 32;
    s.bpp = 4;
    s.palette = testsupport::DistinctPalette(16);
    s.indices = testsupport::IndicesOf(24, 32, [](int x, int y) { return (x + 3 * y) % 16; });
    const auto result = Load(BuildBmp(s));
    ASSERT_EQ(result.status, OpenStatus::Ok);
    EXPECT_TRUE(result.headersRead);
    EXPECT_EQ(bm->Width, 24);
    EXPECT_EQ(bm->Height, 32);
    EXPECT_EQ(bm->BitsPerPixel, 4);
    EXPECT_EQ(bm->BytesPerRow, 12);
    EXPECT_EQ(bm->PaletteBytes, 64);
    EXPECT_EQ(bm->PixelDataSize, 12u * 32u);
    EXPECT_EQ(bm->ColourCount, 16);
    EXPECT_EQ(bm->ReducedCount, 0);

    // Row 0 is the top row of the picture: the last row the file stores.
    const auto expected = PackedTopDown(s);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bm->Pixels.begin()));
    const auto file = BuildBmp(s);
    const size_t lastStoredRow = 54 + 64 + 31 * 12;
    EXPECT_TRUE(
        std::equal(file.begin() + lastStoredRow, file.begin() + lastStoredRow + 12, bm->Pixels.begin()));

    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(bm->ColourTable[i], s.palette[i]) << i;
    EXPECT_EQ(bm->RawPalette[4 * 5 + 2], base::RedOf(s.palette[5]));
    EXPECT_EQ(bm->RawPalette[64], 0); // past the file's 16 entries
}

TEST_F(Loader, SizeLimits) {
    struct Case {
        int width, height;
        OpenStatus status;
    };
    const Case cases[] = {
        {1024, 768, OpenStatus::Ok},
        {1025, 768, OpenStatus::WrongFileSize},
        {1024, 769, OpenStatus::WrongFileSize},
        {0, 16, OpenStatus::WrongFileSize},
        {16, 0, OpenStatus::WrongFileSize},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        BmpLayout s;
        s.width = c.width;
        s.height = c.height;
        s.bpp = 8;
        s.palette = testsupport::DistinctPalette(256);
        const auto result = Load(BuildBmp(s));
        EXPECT_EQ(result.status, c.status);
        EXPECT_TRUE(result.headersRead);
        EXPECT_EQ(bm->biWidth(), c.width); // the headers follow even a refused file
        EXPECT_EQ(bm->Width, c.width);
        EXPECT_EQ(bm->Height, c.height);
    }
}

TEST_F(Loader, TopDownFileIsRefusedByItsSize) {
    BmpLayout s;
    s.width = 8;
    s.height = 32;
    s.topDown = true;
    s.palette = testsupport::DistinctPalette(256);
    EXPECT_EQ(Load(BuildBmp(s)).status, OpenStatus::WrongFileSize);
    EXPECT_EQ(bm->Height, 65536 - 32);
}

TEST_F(Loader, DeepColourIsRefusedAfterTheSizeCheck) {
    for (std::uint16_t bits : {16, 24, 32}) {
        SCOPED_TRACE(bits);
        BmpLayout s;
        s.width = 4;
        s.height = 2;
        s.bpp = 8;
        s.biBitCount = bits;
        EXPECT_EQ(Load(BuildBmp(s)).status, OpenStatus::DeepColour);
        EXPECT_EQ(bm->BitsPerPixel, bits & 0xFF);
        EXPECT_STREQ(bitmap::MessageOf(OpenStatus::DeepColour), "Don't support 24bit!!!");
    }
}

TEST_F(Loader, RefusalLeavesThePreviousPictureAndAGoodFileLoadsAfterIt) {
    BmpLayout good;
    good.width = 8;
    good.height = 2;
    good.palette = testsupport::DistinctPalette(256);
    good.indices = testsupport::IndicesOf(8, 2, [](int x, int y) { return 10 * y + x; });
    ASSERT_EQ(Load(BuildBmp(good)).status, OpenStatus::Ok);
    const auto pixelsBefore = bm->Pixels;
    const auto tableBefore = bm->ColourTable;

    BmpLayout big = good;
    big.width = 1025;
    big.palette = testsupport::DistinctPalette(4);
    big.indices.clear();
    ASSERT_EQ(Load(BuildBmp(big), "big.bmp").status, OpenStatus::WrongFileSize);
    EXPECT_EQ(bm->Pixels, pixelsBefore);
    EXPECT_EQ(bm->ColourTable, tableBefore);
    EXPECT_EQ(bm->BytesPerRow, 8);
    EXPECT_EQ(bm->ColourCount, 256);

    BmpLayout next = good;
    next.indices = testsupport::IndicesOf(8, 2, [](int x, int) { return 200 + x; });
    ASSERT_EQ(Load(BuildBmp(next), "next.bmp").status, OpenStatus::Ok);
    EXPECT_EQ(bm->Pixels[0], 200);
    EXPECT_EQ(bm->Pixels[15], 207);
}

TEST_F(Loader, OddHeightTurnsRowsAroundTheMiddle) {
    BmpLayout s;
    s.width = 4;
    s.height = 5;
    s.palette = testsupport::DistinctPalette(256);
    s.indices = testsupport::IndicesOf(4, 5, [](int x, int y) { return 16 * y + x; });
    ASSERT_EQ(Load(BuildBmp(s)).status, OpenStatus::Ok);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(bm->Pixels[static_cast<size_t>(4 * y + x)], 16 * y + x);
}

TEST_F(Loader, PaletteLessFileKeepsThePreviousColourValues) {
    BmpLayout first;
    first.width = 4;
    first.height = 1;
    first.palette = testsupport::DistinctPalette(256);
    ASSERT_EQ(Load(BuildBmp(first)).status, OpenStatus::Ok);

    BmpLayout bare = first;
    bare.palette.clear();
    bare.biClrUsed = 0;
    ASSERT_EQ(Load(BuildBmp(bare), "bare.bmp").status, OpenStatus::Ok);
    EXPECT_EQ(bm->PaletteBytes, 0);
    EXPECT_TRUE(std::all_of(bm->RawPalette.begin(), bm->RawPalette.end(), [](auto b) { return b == 0; }));
    EXPECT_EQ(bm->ColourTable[7], first.palette[7]);
    EXPECT_EQ(bm->ColourCount, 256);
}

TEST_F(Loader, ShortAndOversizedFilesStayInsideTheBuffers) {
    // Headers cut short: what the file lacks reads as zero, so the size check refuses it.
    {
        const std::vector<std::uint8_t> stub = {'B', 'M', 0x10, 0};
        EXPECT_EQ(Load(stub).status, OpenStatus::WrongFileSize);
        EXPECT_EQ(bm->FileHeader[2], 0x10);
        EXPECT_EQ(bm->FileHeader[4], 0);
        EXPECT_EQ(bm->InfoHeader[4], 0);
    }
    // Pixel data cut short: the bytes the file does not supply are zero.
    {
        std::fill(bm->Pixels.begin(), bm->Pixels.end(), 0xEE);
        BmpLayout s;
        s.width = 8;
        s.height = 4;
        s.palette = testsupport::DistinctPalette(256);
        s.indices = testsupport::IndicesOf(8, 4, [](int, int) { return 0x55; });
        auto bytes = BuildBmp(s);
        bytes.resize(bytes.size() - 12); // the last stored row (the top row) and half of the next are missing
        ASSERT_EQ(Load(bytes).status, OpenStatus::Ok);
        // Stored bottom-up, so the missing bytes end up in the top rows after turning them over.
        const std::vector<std::uint8_t> expected = {
            0,    0,    0,    0,    0,    0,    0,    0,    0x55, 0x55, 0x55, 0x55, 0,    0,    0,    0,
            0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55, 0x55};
        EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bm->Pixels.begin()));
        EXPECT_EQ(bm->Pixels[32], 0xEE); // past PixelDataSize the old contents stay
    }
    // A colour table and a pixel area larger than the buffers are cut to them.
    {
        BmpLayout s;
        s.width = 1024;
        s.height = 768;
        s.palette = testsupport::DistinctPalette(256);
        s.palette.resize(300, 0x123456);
        s.bfSize = 0xFFFFFFF0u;
        auto bytes = BuildBmp(s);
        const auto result = Load(bytes);
        ASSERT_EQ(result.status, OpenStatus::Ok);
        EXPECT_EQ(bm->PaletteBytes, 1200);
        EXPECT_EQ(bm->ColourTable[255], s.palette[255]);
        EXPECT_EQ(bm->BytesPerRow, static_cast<std::uint16_t>((0xFFFFFFF0u - (54 + 1200)) / 768));
    }
}

TEST_F(Loader, MissingFile) {
    const auto result = LoadBitmapFile(*bm, dir / "absent.bmp");
    EXPECT_EQ(result.status, OpenStatus::FileNotExist);
    EXPECT_FALSE(result.headersRead);
    EXPECT_STREQ(bitmap::MessageOf(result.status), "File Not Exist !!!");
}

} // namespace
