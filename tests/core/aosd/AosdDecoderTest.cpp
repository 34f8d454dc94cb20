#include "aosd/AosdDecoder.h"

#include "aosd/AosdPicture.h"
#include "aosd/AosdWriters.h"
#include "aosd/RlcEncoder.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using aosd::AosdDecodeOptions;
using aosd::ChipModel;
using aosd::DecodeAosdImage;
using Bytes = std::vector<std::uint8_t>;

AosdDecodeOptions Rlc(std::uint32_t w, std::uint32_t h, ChipModel chip = ChipModel::K470A) {
    AosdDecodeOptions o;
    o.width = w;
    o.height = h;
    o.rlc = {true, chip};
    return o;
}

TEST(AosdDecoder, RunsOfTheWorkedExamples) {
    // 01 01 01 01 01 02 FE FE 03 codes as 01 FF 02 02 FE FE 03 for the K470A; the same run of five is
    // 01 FF 01 for the K470E. A run of 132 is 07 FF 80 01 (K470A) and 07 FF 7F 07 (K470E: 127 + 4, then one).
    const auto a = DecodeAosdImage(Bytes{0x01, 0xFF, 0x02, 0x02, 0xFE, 0xFE, 0x03}, Rlc(9, 1));
    ASSERT_FALSE(a.failure) << *a.failure;
    EXPECT_EQ(a.pixels, (Bytes{1, 1, 1, 1, 1, 2, 0xFE, 0xFE, 3}));
    const auto e = DecodeAosdImage(Bytes{0x01, 0xFF, 0x01, 0x02}, Rlc(6, 1, ChipModel::K470E));
    ASSERT_FALSE(e.failure) << *e.failure;
    EXPECT_EQ(e.pixels, (Bytes{1, 1, 1, 1, 1, 2}));
    EXPECT_EQ(DecodeAosdImage(Bytes{0x07, 0xFF, 0x80, 0x01}, Rlc(132, 1)).pixels, Bytes(132, 7));
    EXPECT_EQ(DecodeAosdImage(Bytes{0x07, 0xFF, 0x7F, 0x07}, Rlc(132, 1, ChipModel::K470E)).pixels, Bytes(132, 7));
}

// Damaged streams: the message, the offset of the first byte of the code that fails, and the rows before it.
TEST(AosdDecoder, DamageIsReportedAtTheCodeThatFails) {
    struct Case {
        const char* name;
        Bytes stream;
        std::uint32_t width, height;
        std::string failure;
        std::size_t offset;
        std::uint32_t rows;
    };
    const Case cases[] = {
        {"run past the row", {7, 7, 7, 7, 1, 0xFF, 0x03}, 4, 2, "a run past the row's end at offset 4, in row 1", 4, 1},
        {"stream ends between codes", {7, 7, 7, 7, 9}, 4, 2, "the stream ends early at offset 5, in row 1", 5, 1},
        {"stream ends inside a run", {7, 7, 7, 7, 9, 0xFF}, 4, 2, "the stream ends inside a run at offset 4, in row 1",
         4, 1},
        {"count cut short", {7, 0xFF, 0x80}, 200, 1, "the stream ends inside a run at offset 0, in row 0", 0, 0},
        {"marker starts a row", {7, 7, 0xFF, 0x02}, 2, 2, "a repeat marker with no pixel before it at offset 2, in row 1",
         2, 1},
        {"marker after a run", {7, 0xFF, 0x02, 0xFF, 0x09}, 6, 1, "a run past the row's end at offset 3, in row 0", 3,
         0},
        {"bytes left over", {1, 2, 3}, 2, 1, "1 bytes follow the last row, from offset 2", 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto d = DecodeAosdImage(c.stream, Rlc(c.width, c.height));
        ASSERT_TRUE(d.failure);
        EXPECT_EQ(*d.failure, c.failure);
        EXPECT_EQ(d.failureOffset, c.offset);
        EXPECT_EQ(d.rows, c.rows);
        EXPECT_EQ(d.pixels.size(), static_cast<std::size_t>(c.rows) * c.width);
    }
    AosdDecodeOptions raw;
    raw.width = 3;
    raw.height = 2;
    const auto shortRaw = DecodeAosdImage(Bytes{1, 2, 3, 4, 5}, raw);
    EXPECT_EQ(shortRaw.failure, std::string("the data ends early at offset 5, in row 1 of 2"));
    EXPECT_EQ(shortRaw.pixels, (Bytes{1, 2, 3}));
}

// A picture whose rows are runs of random lengths (up to a few hundred, so every count form is met) and
// random single pixels.
Bytes RunsPicture(std::mt19937& rng, int width, int height, int indices) {
    Bytes pixels;
    for (int y = 0; y < height; ++y) {
        int x = 0;
        while (x < width) {
            const int kind = static_cast<int>(rng() % 4);
            const int length = kind == 0 ? 1 + static_cast<int>(rng() % 6)
                               : kind == 1 ? 120 + static_cast<int>(rng() % 20)
                               : kind == 2 ? 1 + static_cast<int>(rng() % 400)
                                           : 1;
            const auto value = static_cast<std::uint8_t>(rng() % static_cast<unsigned>(indices));
            for (int k = 0; k < length && x < width; ++k, ++x)
                pixels.push_back(value);
        }
    }
    return pixels;
}

// Pictures of every depth, read as the AOSD tab reads them, coded raw and with RLC for both chips (and as
// sequences of several frames), decode to their own indices; after RLC index 255 reads back as 254.
TEST(AosdDecoder, RoundTripOfEncodedPictures) {
    std::mt19937 rng(22);
    testsupport::TempDir dir;
    for (const int bpp : {1, 2, 4, 8}) {
        for (int trial = 0; trial < 6; ++trial) {
            testsupport::BmpLayout layout;
            layout.width = 1 + static_cast<int>(rng() % 700);
            layout.height = 1 + static_cast<int>(rng() % 9);
            layout.bpp = bpp;
            layout.palette = testsupport::DistinctPalette(1 << bpp);
            layout.indices = RunsPicture(rng, layout.width, layout.height, 1 << bpp);
            testsupport::WriteFile(dir / "p.bmp", testsupport::BuildBmp(layout));
            for (const int mode : {0, 1, 2}) {
                SCOPED_TRACE(testing::Message() << bpp << " bpp " << layout.width << "x" << layout.height
                                                << " mode " << mode);
                aosd::LoadedPicture loaded = aosd::LoadAosdPicture(dir / "p.bmp");
                ASSERT_FALSE(loaded.failure);
                const aosd::RlcOptions rlc{mode != 0, mode == 2 ? ChipModel::K470E : ChipModel::K470A};
                const std::uint32_t frames = 1 + rng() % 3;
                Bytes stream;
                std::vector<std::uint8_t> buffer;
                for (std::uint32_t f = 0; f < frames; ++f) {
                    aosd::AosdPicture copy = loaded.picture;
                    const auto encoded = aosd::EncodeAosdImage(copy, rlc, buffer);
                    stream.insert(stream.end(), encoded.stream.begin(), encoded.stream.end());
                }
                AosdDecodeOptions o;
                o.width = static_cast<std::uint32_t>(layout.width);
                o.height = static_cast<std::uint32_t>(layout.height);
                o.frames = frames;
                o.rlc = rlc;
                const auto d = DecodeAosdImage(stream, o);
                ASSERT_FALSE(d.failure) << *d.failure;
                Bytes want;
                for (std::uint32_t f = 0; f < frames; ++f)
                    for (const std::uint8_t v : layout.indices)
                        want.push_back(rlc.rlc && v == 0xFF ? 0xFE : v);
                ASSERT_EQ(d.pixels, want);
            }
        }
    }
}

TEST(AosdDecoder, PalettesOfBothFilesAndFormats) {
    aosd::PaletteTable table{};
    std::mt19937 rng(5);
    for (auto& e : table)
        e = base::EntryOf(rng() & 0xFFFFFF);
    table[0] = base::EntryOf(base::MakeColour(255, 255, 255));
    table[1] = base::EntryOf(base::MakeColour(4, 128, 252));
    for (const auto format : {settings::PaletteFormat::Rgb888, settings::PaletteFormat::Rgb666}) {
        const Bytes binary = aosd::BinaryPalette(table, format);
        std::string text;
        for (const std::string& line : aosd::HexPaletteLines(table, format))
            text += line + "\r\n";
        for (const auto& file : {binary, Bytes(text.begin(), text.end())}) {
            std::string problem;
            const auto palette = aosd::ParseAosdPalette(file, format, &problem);
            ASSERT_TRUE(palette) << problem;
            if (format == settings::PaletteFormat::Rgb888) {
                for (std::size_t i = 0; i < 256; ++i)
                    EXPECT_EQ((*palette)[i], base::ColourOf(table[i])) << i;
            } else {
                // 0xFF >> 2 = 63 -> 255; 4 >> 2 = 1 -> 4; 128 >> 2 = 32 -> 130; 252 >> 2 = 63 -> 255.
                EXPECT_EQ((*palette)[0], base::MakeColour(255, 255, 255));
                EXPECT_EQ((*palette)[1], base::MakeColour(4, 130, 255));
            }
        }
    }
    std::string problem;
    EXPECT_FALSE(aosd::ParseAosdPalette(Bytes(767, 0), settings::PaletteFormat::Rgb888, &problem));
    EXPECT_FALSE(aosd::ParseAosdPalette(Bytes(768, 0x40), settings::PaletteFormat::Rgb666, &problem));
    EXPECT_NE(problem.find("entry 0"), std::string::npos);
}

// The preview of a sequence: each existing member beside its frame of the output; with RLC the member's
// pixel of index 255 is one differing pixel of its frame. A damaged output counts its undecoded rows.
TEST(AosdDecoder, PreviewOfASequenceCountsEachFrame) {
    testsupport::TempDir dir;
    testsupport::BmpLayout s;
    s.width = 6;
    s.height = 2;
    s.palette = testsupport::DistinctPalette(256);
    s.indices = {1, 2, 3, 4, 5, 6, 7, 7, 7, 7, 7, 7};
    testsupport::WriteFile(dir / "anim1.bmp", testsupport::BuildBmp(s));
    s.indices[3] = 0xFF;
    testsupport::WriteFile(dir / "anim2.bmp", testsupport::BuildBmp(s)); // anim3 is missing
    aosd::AosdState state;
    aosd::PaletteTable table{};
    ASSERT_TRUE(aosd::OpenAosdPicture(state, table, dir / "anim1.bmp", "3").opened);
    const aosd::RlcOptions rlc{true, ChipModel::K470A};
    ASSERT_FALSE(aosd::WriteAosdSequence(state, rlc, dir / "seq.bin").failure);
    auto preview = aosd::PreviewAosdOutput(state, rlc, true);
    ASSERT_FALSE(preview.failure) << *preview.failure;
    EXPECT_EQ(preview.differingPerFrame, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(preview.differing, 1u);
    EXPECT_EQ(preview.source.height, 4u);
    EXPECT_EQ(aosd::DifferingText(preview.differing), "1 differing pixel");

    // Frame 2 cut inside its second row: that row (6 pixels) counts as differing, beside the 255.
    Bytes stream = testsupport::ReadFile(dir / "seq.bin");
    stream.resize(stream.size() - 1);
    testsupport::WriteFile(dir / "seq.bin", stream);
    preview = aosd::PreviewAosdOutput(state, rlc, true);
    ASSERT_TRUE(preview.failure);
    EXPECT_NE(preview.failure->find("seq.bin: the stream ends inside a run"), std::string::npos) << *preview.failure;
    EXPECT_EQ(preview.differingPerFrame, (std::vector<std::size_t>{0, 7}));
    EXPECT_EQ(aosd::DifferingText(0), "identical");
}

} // namespace
