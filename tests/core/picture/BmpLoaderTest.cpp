#include "picture/BmpLoader.h"

#include "osd/OsdFont.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>

namespace {

using picture::CurrentBitmap;
using picture::LoadBitmapFile;
using picture::OpenStatus;
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

    picture::LoadResult Load(const std::vector<std::uint8_t>& bytes, const std::string& name = "pic.bmp") {
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

TEST_F(Loader, TopDownFileHasItsRowCountAndKeepsItsRowOrder) {
    BmpLayout s;
    s.width = 8;
    s.height = 32;
    s.topDown = true;
    s.palette = testsupport::DistinctPalette(256);
    s.indices = testsupport::IndicesOf(8, 32, [](int x, int y) { return 8 * y + x; });
    ASSERT_EQ(Load(BuildBmp(s)).status, OpenStatus::Ok);
    EXPECT_EQ(bm->Height, 32);
    EXPECT_EQ(bm->biHeight(), -32);
    EXPECT_EQ(bm->BytesPerRow, 8);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(bm->Pixels[static_cast<size_t>(i)], i) << i; // row 0 is the first row stored

    // Sizes are judged whole: 65536 + 10 rows, either way up, is not 10 rows.
    for (std::int32_t rows : {65536 + 10, -(65536 + 10)}) {
        BmpLayout big = s;
        big.biHeight = rows;
        EXPECT_EQ(Load(BuildBmp(big), "big.bmp").status, OpenStatus::WrongFileSize) << rows;
    }
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
        EXPECT_STREQ(picture::MessageOf(OpenStatus::DeepColour), "Don't support 24bit!!!");
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
        EXPECT_EQ(bm->BytesPerRow, 1024); // the rows' own stride, whatever bfSize claims
    }
}

// ---------------------------------------------------------------------------------------------------------
// The same picture stored in other ways loads exactly as the plain file does (40-byte header, bottom row
// first, uncompressed, bfSize the file's size) and gives the same OSD outputs.

// An 8-bit and a 4-bit character sheet with long runs, stretches of index 0 (also at row ends and as whole
// rows) and rows of changing pixels, so that the RLE variants use every kind of code.
BmpLayout Sheet(int bpp) {
    BmpLayout s;
    s.bpp = bpp;
    s.width = bpp == 8 ? 36 : 28;
    s.height = 32;
    const int n = 1 << bpp;
    s.palette = testsupport::DistinctPalette(n);
    s.indices = testsupport::IndicesOf(s.width, s.height, [n, w = s.width](int x, int y) {
        if (y == 9 || y == 10 || (y % 4 == 1 && x >= w - 6) || (x + y) % 13 < 5) return 0;
        if (y % 3 == 0) return (y * 5 + 1) % n;
        return (x * 7 + y * 13) % n;
    });
    return s;
}

std::map<std::string, std::vector<std::uint8_t>> OsdOutputs(const CurrentBitmap& bm, const std::string& dir) {
    osd::OsdOptions options;
    options.sourcePath = "sheet.bmp";
    options.fontSize = settings::FontSize::OfWidth(12);
    options.outputDirectory = dir;
    const osd::GenerateResult result = osd::GenerateOsdFont(bm, options);
    EXPECT_TRUE(result.ran);
    EXPECT_FALSE(result.failure);
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir))
        files[entry.path().filename()] = testsupport::ReadFile(entry.path());
    return files;
}

TEST(LoaderVariants, LoadAsThePlainFileAndGiveTheSameOsdOutputs) {
    struct Variant {
        const char* what;
        std::function<void(BmpLayout&)> change;
    };
    auto rle = [](BmpLayout& s) {
        s.compression = s.bpp == 8 ? testsupport::BmpCompression::Rle8 : testsupport::BmpCompression::Rle4;
    };
    const std::vector<std::uint8_t> profile(3000, 0x5A); // stands for a colour profile after the pixels
    const Variant variants[] = {
        {"124-byte header", [](BmpLayout& s) { s.infoSize = 124; }},
        {"108-byte header", [](BmpLayout& s) { s.infoSize = 108; }},
        {"top-down", [](BmpLayout& s) { s.topDown = true; }},
        {"RLE", rle},
        {"RLE with deltas and early row ends",
         [&](BmpLayout& s) {
             rle(s);
             s.rle.deltas = true;
             s.rle.endRowsEarly = true;
         }},
        {"RLE top-down",
         [&](BmpLayout& s) {
             rle(s);
             s.topDown = true;
         }},
        {"RLE in a 124-byte header",
         [&](BmpLayout& s) {
             rle(s);
             s.infoSize = 124;
         }},
        {"data after the pixels counted in bfSize", [&](BmpLayout& s) { s.trailing = profile; }},
        {"124-byte header and a profile after the pixels",
         [&](BmpLayout& s) {
             s.infoSize = 124;
             s.trailing = profile;
         }},
        {"bfSize 0", [](BmpLayout& s) { s.bfSize = 0; }},
        {"bfSize past the end of the file", [](BmpLayout& s) { s.bfSize = 100000; }},
    };
    TempDir dir;
    for (int bpp : {8, 4}) {
        const BmpLayout plain = Sheet(bpp);
        testsupport::WriteFile(dir / "plain.bmp", BuildBmp(plain));
        auto expected = std::make_unique<CurrentBitmap>();
        ASSERT_EQ(LoadBitmapFile(*expected, dir / "plain.bmp").status, OpenStatus::Ok);
        std::filesystem::create_directory(dir / "plain");
        const auto expectedFiles = OsdOutputs(*expected, dir / "plain");
        ASSERT_FALSE(expectedFiles.empty());

        for (const Variant& v : variants) {
            SCOPED_TRACE(std::to_string(bpp) + " bpp, " + v.what);
            BmpLayout s = plain;
            v.change(s);
            const auto bytes = BuildBmp(s);
            ASSERT_NE(bytes, BuildBmp(plain));
            testsupport::WriteFile(dir / "variant.bmp", bytes);
            auto bm = std::make_unique<CurrentBitmap>();
            ASSERT_EQ(LoadBitmapFile(*bm, dir / "variant.bmp").status, OpenStatus::Ok);
            EXPECT_EQ(bm->Width, expected->Width);
            EXPECT_EQ(bm->Height, expected->Height);
            EXPECT_EQ(bm->BitsPerPixel, expected->BitsPerPixel);
            EXPECT_EQ(bm->BytesPerRow, expected->BytesPerRow);
            EXPECT_EQ(bm->PaletteBytes, expected->PaletteBytes);
            EXPECT_EQ(bm->ColourCount, expected->ColourCount);
            EXPECT_EQ(bm->RawPalette, expected->RawPalette);
            EXPECT_EQ(bm->ColourTable, expected->ColourTable);
            EXPECT_TRUE(bm->Pixels == expected->Pixels) << "Pixels differ";

            const std::string out =
                dir / (std::string("out-") + std::to_string(bpp) + "-" + std::to_string(&v - variants));
            std::filesystem::create_directory(out);
            EXPECT_TRUE(OsdOutputs(*bm, out) == expectedFiles) << "OSD outputs differ";
        }
    }
}

TEST_F(Loader, ColourTableComesFromAfterTheDeclaredInfoHeader) {
    // An indexed file as ImageMagick writes it: 124-byte header, 16 entries, pixels right after them.
    BmpLayout s;
    s.width = 32;
    s.height = 16;
    s.bpp = 4;
    s.infoSize = 124;
    s.palette = {0x0000FF, 0x0000EE, 0x0000DD, 0x0000CC, 0x0000BB, 0x0000AA, 0x000099, 0x000088,
                 0x000077, 0x000066, 0x000055, 0x000044, 0x000033, 0x000022, 0x000011, 0x000000};
    ASSERT_EQ(Load(BuildBmp(s)).status, OpenStatus::Ok);
    EXPECT_EQ(bm->bfOffBits(), 14u + 124 + 64);
    EXPECT_EQ(bm->PaletteBytes, 64);
    EXPECT_EQ(bm->ColourTable[0], 0x0000FFu);
    EXPECT_EQ(bm->ColourTable[1], 0x0000EEu);
    EXPECT_EQ(bm->ColourTable[15], 0u);
    EXPECT_EQ(bm->RawPalette[4 * 1 + 2], 0xEE);
    EXPECT_EQ(bm->RawPalette[64], 0); // nothing past the table

    // A pixel offset inside the headers leaves no room for a table: none is read, the colour values stay.
    BmpLayout inside = s;
    inside.palette.clear();
    inside.bfOffBits = 14 + 100;
    ASSERT_EQ(Load(BuildBmp(inside), "inside.bmp").status, OpenStatus::Ok);
    EXPECT_EQ(bm->PaletteBytes, 0);
    EXPECT_EQ(bm->RawPalette[4 * 1 + 2], 0);
    EXPECT_EQ(bm->ColourTable[1], 0x0000EEu);

    // A header that claims to be shorter than 40 bytes still has the 40 bytes read as it: table from 54.
    BmpLayout shortHeader = s;
    shortHeader.infoSize = 40;
    shortHeader.biSize = 20;
    shortHeader.palette[1] = 0x123456;
    ASSERT_EQ(Load(BuildBmp(shortHeader), "short.bmp").status, OpenStatus::Ok);
    EXPECT_EQ(bm->PaletteBytes, 64);
    EXPECT_EQ(bm->ColourTable[1], 0x123456u);
}

TEST_F(Loader, RefusesWhatItCannotTakeWithAMessageNamingIt) {
    struct Case {
        const char* what;
        std::function<void(BmpLayout&)> change;
        OpenStatus status;
        const char* message;
    };
    const Case cases[] = {
        {"OS/2 header", [](BmpLayout& s) { s.infoSize = 12; }, OpenStatus::Os2Header,
         "The file has a 12-byte OS/2 bitmap header, which is not supported."},
        {"bit fields at 8 bpp", [](BmpLayout& s) { s.biCompression = 3; }, OpenStatus::BitFieldsCompression,
         "The file uses bit-field compression (BI_BITFIELDS), which an indexed bitmap cannot have."},
        {"RLE8 at 4 bpp",
         [](BmpLayout& s) {
             s.bpp = 4;
             s.biCompression = 1;
         },
         OpenStatus::Rle8DepthMismatch, "The file is RLE8-compressed but does not have 8 bits per pixel."},
        {"RLE4 at 8 bpp", [](BmpLayout& s) { s.biCompression = 2; }, OpenStatus::Rle4DepthMismatch,
         "The file is RLE4-compressed but does not have 4 bits per pixel."},
        {"JPEG",
         [](BmpLayout& s) {
             s.biBitCount = 0;
             s.biCompression = 4;
         },
         OpenStatus::JpegCompression,
         "The file holds a JPEG-compressed picture (BI_JPEG), which is not supported."},
        {"PNG",
         [](BmpLayout& s) {
             s.biBitCount = 0;
             s.biCompression = 5;
         },
         OpenStatus::PngCompression,
         "The file holds a PNG-compressed picture (BI_PNG), which is not supported."},
        {"compression 6", [](BmpLayout& s) { s.biCompression = 6; }, OpenStatus::UnknownCompression,
         "The file uses an unknown compression method, which is not supported."},
    };
    BmpLayout good;
    good.width = 8;
    good.height = 2;
    good.palette = testsupport::DistinctPalette(256);
    good.indices = testsupport::IndicesOf(8, 2, [](int x, int y) { return 10 * y + x + 1; });
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(Load(BuildBmp(good)).status, OpenStatus::Ok);
        const auto pixelsBefore = bm->Pixels;
        const auto tableBefore = bm->ColourTable;
        const auto generation = bm->Generation;

        BmpLayout s = good;
        s.palette = testsupport::DistinctPalette(16);
        c.change(s);
        const auto bytes = BuildBmp(s);
        const auto result = Load(bytes, "refused.bmp");
        EXPECT_EQ(result.status, c.status);
        EXPECT_STREQ(picture::MessageOf(result.status), c.message);
        EXPECT_TRUE(result.headersRead); // the caption and the header grids show the refused file
        EXPECT_TRUE(std::equal(bytes.begin() + 14, bytes.begin() + 54, bm->InfoHeader.begin()));
        EXPECT_EQ(bm->Pixels, pixelsBefore);
        EXPECT_EQ(bm->ColourTable, tableBefore);
        EXPECT_EQ(bm->Generation, generation);
    }
    // Deeper pictures keep their message, whatever their header and compression.
    BmpLayout deep = good;
    deep.infoSize = 124;
    deep.biBitCount = 32;
    deep.biCompression = 3;
    EXPECT_EQ(Load(BuildBmp(deep), "deep.bmp").status, OpenStatus::DeepColour);
}

TEST_F(Loader, RleStreamCutShortLeavesTheRestZero) {
    // Bottom row all 5, top row all 3: the stream is 08 05 00 00 | 08 03 00 00 | 00 01.
    BmpLayout s;
    s.width = 8;
    s.height = 2;
    s.palette = testsupport::DistinctPalette(256);
    s.indices = testsupport::IndicesOf(8, 2, [](int, int y) { return y == 0 ? 3 : 5; });
    s.compression = testsupport::BmpCompression::Rle8;
    auto bytes = BuildBmp(s);
    ASSERT_EQ(bytes.size(), 54u + 1024 + 10);
    EXPECT_EQ(std::vector<std::uint8_t>(bytes.begin() + 1078, bytes.end()),
              (std::vector<std::uint8_t>{8, 5, 0, 0, 8, 3, 0, 0, 0, 1}));
    std::fill(bm->Pixels.begin(), bm->Pixels.end(), 0xEE);
    bytes.resize(54 + 1024 + 5); // the bottom row and one byte of the next run
    ASSERT_EQ(Load(bytes).status, OpenStatus::Ok);
    const std::vector<std::uint8_t> expected = {0, 0, 0, 0, 0, 0, 0, 0, 5, 5, 5, 5, 5, 5, 5, 5};
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), bm->Pixels.begin()));
    EXPECT_EQ(bm->Pixels[16], 0xEE); // past the picture the old contents stay
}

TEST_F(Loader, MissingFile) {
    const auto result = LoadBitmapFile(*bm, dir / "absent.bmp");
    EXPECT_EQ(result.status, OpenStatus::FileNotExist);
    EXPECT_FALSE(result.headersRead);
    EXPECT_STREQ(picture::MessageOf(result.status), "File Not Exist !!!");
}

} // namespace
