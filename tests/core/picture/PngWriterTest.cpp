#include "picture/PngWriter.h"

#include "base/Error.h"
#include "base/LittleEndian.h"
#include "picture/PngReader.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t U32(const Bytes& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Our PNG reader gives a written PNG back as the BMP of the same picture: 8 bits, the PLTE as its colour
// table (blue, green, red, 0), rows bottom first, padded to 4 bytes.
TEST(PngWriter, IndexedPngKeepsIndicesAndPalette) {
    picture::IndexedImage image(3, 2);
    image.indices = {0, 1, 2, 2, 1, 0};
    image.palette = {base::MakeColour(1, 2, 3), base::MakeColour(250, 251, 252)};
    const Bytes bmp = picture::PngToBmp(picture::EncodeIndexedPng(image), "t.png");
    ASSERT_EQ(bmp[28], 8); // bits per pixel
    EXPECT_EQ(U32(bmp, 18), 3u);
    EXPECT_EQ(U32(bmp, 22), 2u);
    // Entry 0 = (1, 2, 3), entry 1 = (250, 251, 252), entry 2 = black: the palette padded to index 2.
    EXPECT_EQ(Bytes(bmp.begin() + 54, bmp.begin() + 66), (Bytes{3, 2, 1, 0, 252, 251, 250, 0, 0, 0, 0, 0}));
    const std::size_t pixels = U32(bmp, 10);
    EXPECT_EQ(Bytes(bmp.begin() + static_cast<long>(pixels), bmp.begin() + static_cast<long>(pixels) + 8),
              (Bytes{2, 1, 0, 0, 0, 1, 2, 0}));
}

TEST(PngWriter, ColourPngKeepsColours) {
    picture::ColourPicture picture{2, 1, {base::MakeColour(10, 20, 30), base::MakeColour(200, 100, 50)}};
    const Bytes bmp = picture::PngToBmp(picture::EncodeColourPng(picture), "t.png");
    ASSERT_EQ(bmp[28], 24);
    const std::size_t pixels = U32(bmp, 10);
    EXPECT_EQ(Bytes(bmp.begin() + static_cast<long>(pixels), bmp.begin() + static_cast<long>(pixels) + 6),
              (Bytes{30, 20, 10, 50, 100, 200}));
}

TEST(PngWriter, PicturesPngCannotHoldAreRefused) {
    EXPECT_THROW(picture::EncodeIndexedPng(picture::IndexedImage(0, 4)), base::Error);
    picture::IndexedImage wrong(2, 2);
    wrong.indices.pop_back();
    EXPECT_THROW(picture::EncodeIndexedPng(wrong), base::Error);
}

} // namespace
