#include "picture/HeaderView.h"

#include <gtest/gtest.h>

namespace {

TEST(HeaderView, ValueFormatsOfBothGrids) {
    std::array<std::uint8_t, 14> file{'B', 'M', 0x36, 0x03, 0, 0, 0, 0, 1, 0, 0x36, 0, 0, 0};
    std::array<std::uint8_t, 40> info{};
    info[0] = 40;
    info[4] = 24;
    // biHeight -32
    info[8] = 0xE0;
    info[9] = info[10] = info[11] = 0xFF;
    info[12] = 1;
    info[14] = 24;
    info[32] = 0xFF;
    info[33] = 0xFF;
    info[34] = 0xFF;
    info[35] = 0x7F;

    const auto f = picture::FileHeaderRows(file);
    ASSERT_EQ(f.size(), 4u);
    EXPECT_EQ(f[0].range, "0000-0001");
    EXPECT_EQ(f[0].value, "42 4D (B M)");
    EXPECT_EQ(f[0].description, "Identifier");
    EXPECT_EQ(f[1].value, "36 03 00 00 (822)");
    EXPECT_EQ(f[2].value, "00 00 01 00 (65536)"); // bfReserved1 0 and bfReserved2 1
    EXPECT_EQ(f[2].description, "Reserved");
    EXPECT_EQ(f[3].range, "000A-000D");
    EXPECT_EQ(f[3].description, "Bitmap data offset");

    const auto i = picture::InfoHeaderRows(info);
    ASSERT_EQ(i.size(), 11u);
    EXPECT_EQ(i[0].value, "28 00 00 00 (40)");
    EXPECT_EQ(i[2].value, "E0 FF FF FF (-32)");
    EXPECT_EQ(i[2].description, "Height in pixels");
    EXPECT_EQ(i[3].value, "01 00 (1)");
    EXPECT_EQ(i[4].range, "000E-000F");
    EXPECT_EQ(i[4].value, "18 00 (24)");
    EXPECT_EQ(i[9].value, "FF FF FF 7F (2147483647)");
    EXPECT_EQ(i[10].range, "0024-0027");
    EXPECT_EQ(i[10].description, "Important colors");
    EXPECT_EQ(i[7].description, "Horizontal resolution in pixel per meter");

    const auto t = picture::HeaderTitles();
    EXPECT_EQ(t.range + "|" + t.value + "|" + t.description, "Offset|Value|Description");
}

} // namespace
