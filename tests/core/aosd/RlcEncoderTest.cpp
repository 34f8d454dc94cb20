#include "aosd/RlcEncoder.h"

#include "support/RlcDecoder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using aosd::AosdPicture;
using aosd::ChipModel;
using aosd::RlcOptions;
using Bytes = std::vector<std::uint8_t>;

AosdPicture PictureOf(std::uint16_t width, std::uint16_t height, Bytes pixels) {
    AosdPicture p;
    p.width = width;
    p.height = height;
    p.pixels = std::move(pixels);
    return p;
}

Bytes EncodeRow(Bytes row, ChipModel chip) {
    Bytes out(row.size());
    out.resize(aosd::EncodeRlcRow(row.data(), row.size(), chip, out.data()));
    return out;
}

struct Coded {
    Bytes data;
    std::int64_t writeSize;
    std::int64_t rawSize;
    std::int64_t changedPixels;
};

Coded EncodeAosdImage(AosdPicture& picture, const RlcOptions& options) {
    std::vector<std::uint8_t> buffer;
    const auto encoded = aosd::EncodeAosdImage(picture, options, buffer);
    return {Bytes(encoded.stream.begin(), encoded.stream.end()), encoded.writeSize, encoded.rawSize,
            encoded.changedPixels};
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(RlcEncoder, TheMixedRowLosesItsFFPixelsAndSavesTwentyTwoPercent) {
    AosdPicture picture = PictureOf(9, 1, {0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0xFF, 0xFF, 0x03});
    const auto encoded = EncodeAosdImage(picture, RlcOptions{true, ChipModel::K470A});
    EXPECT_EQ(encoded.data, (Bytes{0x01, 0xFF, 0x02, 0x02, 0xFE, 0xFE, 0x03}));
    EXPECT_EQ(encoded.writeSize, 7);
    EXPECT_EQ(encoded.rawSize, 9);
    EXPECT_EQ(aosd::CompressPercentText(encoded.rawSize, encoded.writeSize), "22%");
    // The picture shown carries the replacement, and the two pixels are counted.
    EXPECT_EQ(picture.pixels, (Bytes{0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0xFE, 0xFE, 0x03}));
    EXPECT_EQ(encoded.changedPixels, 2);
}

TEST(RlcEncoder, CountsTheFFPixelsOfEveryRowItChanges) {
    // Rows of 0xFF runs, single 0xFF pixels and none; coded again, the picture has none left.
    AosdPicture picture = PictureOf(6, 3,
                                    {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, //
                                     0x00, 0xFF, 0x01, 0xFE, 0xFF, 0x02, //
                                     0x00, 0x01, 0x02, 0x03, 0x04, 0x05});
    EXPECT_EQ(EncodeAosdImage(picture, RlcOptions{true, ChipModel::K470E}).changedPixels, 8);
    EXPECT_EQ(EncodeAosdImage(picture, RlcOptions{true, ChipModel::K470E}).changedPixels, 0);

    std::size_t changed = 5; // EncodeRlcRow adds to what it is given
    Bytes row{0xFF, 0x10, 0xFF};
    Bytes out(row.size());
    EXPECT_EQ(aosd::EncodeRlcRow(row.data(), row.size(), ChipModel::K470A, out.data(), &changed), 3u);
    EXPECT_EQ(changed, 7u);

    EXPECT_EQ(aosd::ChangedPixelsNote(0), "");
    EXPECT_EQ(aosd::ChangedPixelsNote(1), "1 pixel of index 255 written as 254");
    EXPECT_EQ(aosd::ChangedPixelsNote(126), "126 pixels of index 255 written as 254");
}

TEST(RlcEncoder, RunsOfSevenForBothChips) {
    const struct {
        ChipModel chip;
        std::size_t length;
        Bytes code;
    } cases[] = {
        {ChipModel::K470A, 1, {0x07}},
        {ChipModel::K470A, 2, {0x07, 0x07}},
        {ChipModel::K470A, 4, {0x07, 0x07, 0x07, 0x07}},
        {ChipModel::K470A, 5, {0x07, 0xFF, 0x02}},
        {ChipModel::K470A, 130, {0x07, 0xFF, 0x7F}},
        {ChipModel::K470A, 131, {0x07, 0xFF, 0x7F, 0x07}},
        {ChipModel::K470A, 132, {0x07, 0xFF, 0x80, 0x01}},
        {ChipModel::K470A, 16388, {0x07, 0xFF, 0x80, 0x80, 0x01}},
        {ChipModel::K470A, 65535, {0x07, 0xFF, 0xFB, 0xFF, 0x03}},
        {ChipModel::K470E, 4, {0x07, 0x07, 0x07, 0x07}},
        {ChipModel::K470E, 5, {0x07, 0xFF, 0x01}},
        {ChipModel::K470E, 131, {0x07, 0xFF, 0x7F}},
        {ChipModel::K470E, 132, {0x07, 0xFF, 0x7F, 0x07}},
        {ChipModel::K470E, 133, {0x07, 0xFF, 0x80, 0x01}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.chip == ChipModel::K470A ? "K470A" : "K470E") << " L=" << c.length);
        EXPECT_EQ(EncodeRow(Bytes(c.length, 0x07), c.chip), c.code);
    }
}

TEST(RlcEncoder, FFBecomesFEBeforeRunsAreFormed) {
    const struct {
        Bytes row;
        Bytes code; // K470A
    } cases[] = {
        {Bytes(8, 0xFF), {0xFE, 0xFF, 0x05}},
        {{0xFE, 0xFF, 0xFE, 0xFF, 0xFE}, {0xFE, 0xFF, 0x02}},
        {{0x05, 0x05, 0x06, 0x06, 0x06, 0x06, 0x06, 0x06, 0xFF}, {0x05, 0x05, 0x06, 0xFF, 0x03, 0xFE}},
        {{0x09}, {0x09}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.row));
        EXPECT_EQ(EncodeRow(c.row, ChipModel::K470A), c.code);
    }
}

TEST(RlcEncoder, RowsNeverShareARun) {
    AosdPicture picture = PictureOf(10, 2, Bytes(20, 0x33));
    const auto encoded = EncodeAosdImage(picture, RlcOptions{true, ChipModel::K470A});
    EXPECT_EQ(encoded.data, (Bytes{0x33, 0xFF, 0x07, 0x33, 0xFF, 0x07}));

    AosdPicture column = PictureOf(1, 3, {0x04, 0x04, 0x04});
    EXPECT_EQ(EncodeAosdImage(column, RlcOptions{true, ChipModel::K470E}).data, (Bytes{0x04, 0x04, 0x04}));
}

TEST(RlcEncoder, WithoutRlcThePixelsGoOutUntouched) {
    const Bytes pixels{0xFF, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x02, 0x02};
    AosdPicture picture = PictureOf(5, 2, pixels);
    const auto encoded = EncodeAosdImage(picture, RlcOptions{false, ChipModel::K470A});
    EXPECT_EQ(encoded.data, pixels);
    EXPECT_EQ(encoded.writeSize, 10);
    EXPECT_EQ(encoded.rawSize, 10);
    EXPECT_EQ(picture.pixels, pixels);
    EXPECT_EQ(encoded.changedPixels, 0);
    EXPECT_EQ(aosd::CompressPercentText(encoded.rawSize, encoded.writeSize), "0%");
}

TEST(RlcEncoder, PercentDropsTheFractionAndSurvivesLongSequences) {
    const struct {
        std::int64_t raw;
        std::int64_t written;
        const char* text;
    } cases[] = {
        {9, 7, "22%"},
        {3, 1, "66%"},
        {100, 100, "0%"},
        {0, 0, "0%"},
        // 100 pictures of 800 x 320: 2,460,000,000 does not fit in 32 bits.
        {25'600'000, 1'000'000, "96%"},
        {25'600'000 * 40LL, 1, "99%"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(aosd::CompressPercentText(c.raw, c.written), c.text) << c.raw << " " << c.written;
}

// A row made of the given run lengths, neighbouring runs of different values, values drawn so that 0xFE
// and 0xFF are common (they merge into one run).
Bytes RowOfRuns(const std::vector<std::size_t>& lengths, std::mt19937& rng) {
    Bytes row;
    std::uniform_int_distribution<int> value(0, 255);
    std::uniform_int_distribution<int> coin(0, 3);
    int previous = -1;
    for (const std::size_t length : lengths) {
        int v;
        do {
            v = coin(rng) == 0 ? 0xFE + coin(rng) % 2 : value(rng);
        } while ((v == 0xFF ? 0xFE : v) == previous);
        previous = v == 0xFF ? 0xFE : v;
        for (std::size_t k = 0; k < length; ++k)
            row.push_back(static_cast<std::uint8_t>(coin(rng) == 0 && v >= 0xFE ? 0xFE + coin(rng) % 2 : v));
    }
    return row;
}

TEST(RlcEncoder, StreamsDecodeBackToThePixels) {
    std::mt19937 rng(20240611);
    constexpr std::size_t kWidth = 1024;
    // Every run length from 1 to a whole row, each inside a row of otherwise random runs.
    Bytes pixels;
    std::uniform_int_distribution<std::size_t> small(1, 9);
    for (std::size_t length = 1; length <= kWidth; ++length) {
        std::vector<std::size_t> runs;
        std::size_t left = kWidth - length;
        std::size_t before = left == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, left)(rng);
        for (std::size_t n = before; n > 0;) {
            const std::size_t r = std::min(n, small(rng));
            runs.push_back(r);
            n -= r;
        }
        runs.push_back(length);
        for (std::size_t n = left - before; n > 0;) {
            const std::size_t r = std::min(n, small(rng) * 20);
            runs.push_back(r);
            n -= r;
        }
        pixels = Concat(pixels, RowOfRuns(runs, rng));
    }
    ASSERT_EQ(pixels.size(), kWidth * kWidth);

    for (const ChipModel chip : {ChipModel::K470A, ChipModel::K470E}) {
        AosdPicture picture = PictureOf(kWidth, kWidth, pixels);
        const auto encoded = EncodeAosdImage(picture, RlcOptions{true, chip});
        EXPECT_LE(encoded.writeSize, encoded.rawSize);
        EXPECT_EQ(static_cast<std::int64_t>(encoded.data.size()), encoded.writeSize);
        Bytes expected = pixels;
        for (auto& p : expected)
            p = p == 0xFF ? 0xFE : p;
        EXPECT_EQ(picture.pixels, expected);
        const auto decoded = testsupport::DecodeRlc(encoded.data, kWidth, kWidth, aosd::CountBias(chip));
        ASSERT_TRUE(decoded.has_value());
        EXPECT_TRUE(*decoded == expected);
    }

    // Small pictures of random sizes and random pixels.
    for (int trial = 0; trial < 300; ++trial) {
        const auto width = static_cast<std::uint16_t>(std::uniform_int_distribution<int>(1, 70)(rng));
        const auto height = static_cast<std::uint16_t>(std::uniform_int_distribution<int>(1, 5)(rng));
        const int spread = std::uniform_int_distribution<int>(1, 256)(rng);
        Bytes random(static_cast<std::size_t>(width) * height);
        for (auto& p : random)
            p = static_cast<std::uint8_t>(256 - std::uniform_int_distribution<int>(1, spread)(rng));
        const ChipModel chip = trial % 2 ? ChipModel::K470A : ChipModel::K470E;
        AosdPicture picture = PictureOf(width, height, random);
        const auto encoded = EncodeAosdImage(picture, RlcOptions{true, chip});
        ASSERT_LE(encoded.writeSize, encoded.rawSize);
        const auto decoded = testsupport::DecodeRlc(encoded.data, width, height, aosd::CountBias(chip));
        ASSERT_TRUE(decoded.has_value()) << trial;
        ASSERT_EQ(*decoded, picture.pixels) << trial;
    }
}

} // namespace
