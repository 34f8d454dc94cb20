#include "picture/Picture.h"

#include "base/Error.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

namespace {

using picture::DecodeBmpPicture;
using picture::Picture;
using testsupport::BmpLayout;
using testsupport::BuildBmp;

Picture Decode(const std::vector<std::uint8_t>& bytes) {
    return DecodeBmpPicture(bytes.data(), bytes.size(), "x.bmp");
}

TEST(PictureReader, DecodesEveryIndexedDepthInBothRowOrders) {
    for (int bpp : {1, 2, 4, 8}) {
        for (bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(bpp) + (topDown ? " top-down" : " bottom-up"));
            BmpLayout s;
            s.width = 13;
            s.height = 3;
            s.bpp = bpp;
            s.topDown = topDown;
            s.palette = testsupport::DistinctPalette(1 << bpp);
            s.indices =
                testsupport::IndicesOf(13, 3, [bpp](int x, int y) { return (x * 5 + y) % (1 << bpp); });
            const Picture p = Decode(BuildBmp(s));
            ASSERT_EQ(p.width, 13);
            ASSERT_EQ(p.height, 3);
            EXPECT_EQ(p.palette, s.palette);
            for (int y = 0; y < 3; ++y)
                for (int x = 0; x < 13; ++x)
                    ASSERT_EQ(p.PixelAt(x, y), s.palette[static_cast<size_t>((x * 5 + y) % (1 << bpp))])
                        << x << "," << y;
        }
    }
}

TEST(PictureReader, ColourTableEntriesTheFileLacksShowBlack) {
    BmpLayout s;
    s.width = 3;
    s.height = 1;
    s.palette = {0x0000FF, 0x00FF00};
    s.biClrUsed = 0; // claims 256 entries, holds 2
    s.indices = {0, 1, 2};
    const Picture p = Decode(BuildBmp(s));
    EXPECT_EQ(p.palette.size(), 2u);
    EXPECT_EQ(p.PixelAt(0, 0), 0x0000FFu);
    EXPECT_EQ(p.PixelAt(1, 0), 0x00FF00u);
    EXPECT_EQ(p.PixelAt(2, 0), 0u);
    EXPECT_EQ(p.PixelAt(5, 5), 0u); // outside the picture
}

TEST(PictureReader, RefusesWhatItCannotDecodeWithTheReason) {
    BmpLayout good;
    good.width = 4;
    good.height = 4;
    good.palette = testsupport::DistinctPalette(256);
    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        const char* reason;
    };
    std::vector<Case> cases;
    {
        BmpLayout s = good;
        s.biBitCount = 64;
        cases.push_back({"64 bpp", BuildBmp(s), "64 bits per pixel are not supported"});
    }
    {
        BmpLayout s = good;
        s.biCompression = 7;
        cases.push_back({"unknown compression", BuildBmp(s), "its compression method 7 is not supported"});
    }
    {
        auto bytes = BuildBmp(good);
        bytes.resize(30);
        cases.push_back({"cut header", bytes, "the file ends inside its information header"});
    }
    {
        auto bytes = BuildBmp(good);
        bytes.pop_back();
        cases.push_back({"cut pixels", bytes, "the file ends inside its pixel data"});
    }
    {
        auto bytes = BuildBmp(good);
        bytes[0] = 'X';
        cases.push_back({"no BM", bytes, "it is not a BMP file"});
    }
    {
        BmpLayout s = good;
        s.biWidth = 65536;
        cases.push_back({"huge", BuildBmp(s), "larger than 65535 pixels a side"});
    }
    cases.push_back({"empty", {}, "too short"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        try {
            Decode(c.bytes);
            ADD_FAILURE() << "decoded";
        } catch (const base::Error& e) {
            EXPECT_NE(std::string(e.what()).find("\"x.bmp\""), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.reason), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(picture::ReadBmpPicture("/no/such/file.bmp"), base::Error);
}

TEST(PictureWriter, EightBitLayoutByteForByte) {
    picture::IndexedPicture p;
    p.width = 3;
    p.height = 2;
    p.palette[0] = {0x11, 0x22, 0x33, 0};
    p.palette[255] = {0xFF, 0x00, 0x80, 0};
    p.indices = {0, 1, 2, 255, 0, 7}; // top row 0 1 2, bottom row 255 0 7
    const auto b = picture::EncodeBmp8(p);
    ASSERT_EQ(b.size(), 14u + 40 + 1024 + 2 * 4);
    const std::vector<std::uint8_t> head = {
        'B', 'M', 0x3E, 0x04, 0, 0, 0, 0, 0, 0, 0x36, 0x04, 0, 0,        // file size 1086, pixels at 1078
        40,  0,   0,    0,    3, 0, 0, 0, 2, 0, 0,    0,    1, 0, 8, 0,  // 3 x 2, 1 plane, 8 bits
        0,   0,   0,    0,    8, 0, 0, 0,                                // no compression, 8 bytes of pixels
        0,   0,   0,    0,    0, 0, 0, 0, 0, 1, 0,    0,    0, 0, 0, 0}; // resolution 0, 256 colours used
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + 54), head);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 54, b.begin() + 58),
              (std::vector<std::uint8_t>{0x33, 0x22, 0x11, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 54 + 1020, b.begin() + 54 + 1024),
              (std::vector<std::uint8_t>{0x80, 0x00, 0xFF, 0}));
    // Bottom row first, padded to 4 bytes.
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 1078, b.end()),
              (std::vector<std::uint8_t>{255, 0, 7, 0, 0, 1, 2, 0}));

    // And the reader gives the picture back.
    const Picture back = Decode(b);
    EXPECT_EQ(back.PixelAt(0, 1), 0x8000FFu);
    EXPECT_EQ(back.PixelAt(2, 0), 0u);
}

TEST(PictureWriter, MatchToPaletteKeepsTheLook) {
    Picture pic = Picture::Blank(4, 1, 0);
    pic.pixels = {0x0000FF, 0x00FF00, 0x0000FF, 0x0A0B0C};
    std::array<base::PALETTEENTRY, 256> table{};
    table[3] = base::EntryOf(0x0000FF);
    table[9] = base::EntryOf(0x0000FF);
    table[5] = base::EntryOf(0x00FF00);
    table[6] = base::EntryOf(0x0A0B0D);
    table[0] = base::EntryOf(0x000001); // other entries are black

    // Without a hint a colour goes to the first entry that holds it, an unknown colour to the nearest.
    auto m = picture::MatchToPalette(pic, 4, 1, table);
    EXPECT_EQ(m.indices, (std::vector<std::uint8_t>{3, 5, 3, 6}));
    // A hint that names an entry of the same colour wins.
    const std::uint8_t hint[] = {9, 3, 3, 0};
    m = picture::MatchToPalette(pic, 4, 1, table, {hint});
    EXPECT_EQ(m.indices, (std::vector<std::uint8_t>{9, 5, 3, 6}));
    // A larger size than the picture reads black there.
    m = picture::MatchToPalette(pic, 5, 2, table);
    EXPECT_EQ(m.indices[4], 1); // first black entry
    EXPECT_EQ(m.indices.size(), 10u);
}

} // namespace
