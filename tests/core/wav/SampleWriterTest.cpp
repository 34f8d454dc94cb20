#include "wav/SampleWriter.h"

#include "base/FileProblem.h"
#include "base/Path.h"
#include "support/BmpBuilder.h"
#include "support/WavBuilder.h"
#include "wav/WavState.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using wav::SampleFileBytes;
using wav::SampleWidth;
using wav::Sign;
using Bytes = std::vector<std::uint8_t>;

std::string Str(const Bytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(SampleWriter, BytesAtEachWidth) {
    const std::vector<std::uint16_t> words = {0x1234, 0xFF00, 0x0080, 0x8000};
    EXPECT_EQ(SampleFileBytes(words, SampleWidth::Bits16),
              Str({0x34, 0x12, 0x00, 0xFF, 0x80, 0x00, 0x00, 0x80}));
    EXPECT_EQ(SampleFileBytes(words, SampleWidth::Bits16, Sign::TwosComplement),
              Str({0x34, 0x92, 0x00, 0x7F, 0x80, 0x80, 0x00, 0x00}));
    EXPECT_EQ(SampleFileBytes(words, SampleWidth::Bits8), Str({0x12, 0xFF, 0x00, 0x80}));
    EXPECT_EQ(SampleFileBytes(words, SampleWidth::Bits8, Sign::TwosComplement),
              Str({0x12, 0xFF, 0x00, 0x80}));
    EXPECT_EQ(SampleFileBytes({}, SampleWidth::Bits16), "");

    // Rounded to 8 bits (a low-passed result): the nearest level, halves up, never past 0xFF; 16-bit
    // output does not change.
    const std::vector<std::uint16_t> levels = {0x127F, 0x1280, 0xFF7F, 0xFF80,
                                               0xFFFF, 0x0000, 0x007F, 0x8000};
    EXPECT_EQ(SampleFileBytes(levels, SampleWidth::Bits8, Sign::OffsetBinary, wav::EightBit::Round),
              Str({0x12, 0x13, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80}));
    EXPECT_EQ(SampleFileBytes(levels, SampleWidth::Bits8),
              Str({0x12, 0x12, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x80}));
    EXPECT_EQ(SampleFileBytes(levels, SampleWidth::Bits16, Sign::OffsetBinary, wav::EightBit::Round),
              SampleFileBytes(levels, SampleWidth::Bits16));
}

TEST(SampleWriter, EightBitSaveOfAnEightBitSourceAtHalfRate) {
    // 2001 bytes at 16000 Hz give 1000 samples at 8000 Hz: each the rounded-down mean of a pair of bytes.
    testsupport::WavLayout s;
    s.bits = 8;
    s.sampleRate = 16000;
    s.data.resize(2001);
    for (size_t j = 0; j < s.data.size(); ++j)
        s.data[j] = static_cast<std::uint8_t>(j * 37 + j / 7);
    s.data[0] = 0x00;
    s.data[1] = 0xFF;
    s.data[2] = 0x80;
    s.data[3] = 0x81;
    s.data[4] = 0x10;
    s.data[5] = 0x21;
    wav::WavState state;
    state.WavImage.Assign(testsupport::BuildWav(s));
    state.imageHeld = true;
    state.check = wav::CheckWavHeader(state.WavImage.Bytes());
    const auto g = wav::GenerateResample(state, wav::Channel::Left, 8000);
    ASSERT_FALSE(g.failure);
    ASSERT_EQ(g.count, 1000u);

    testsupport::TempDir dir;
    ASSERT_FALSE(
        wav::SaveSampleFile(state.ResampleBuffer, SampleWidth::Bits8, Sign::OffsetBinary, dir / "o.bin"));
    const Bytes file = testsupport::ReadFile(dir / "o.bin");
    ASSERT_EQ(file.size(), 1000u + 8u);
    EXPECT_EQ(file[0], 0x7F);
    EXPECT_EQ(file[1], 0x80);
    EXPECT_EQ(file[2], 0x18);
    for (size_t i = 0; i < 1000; ++i)
        ASSERT_EQ(file[i], (s.data[2 * i] + s.data[2 * i + 1]) / 2) << i;
    for (size_t i = 1000; i < file.size(); ++i)
        EXPECT_EQ(file[i], 0x80);

    ASSERT_FALSE(
        wav::SaveSampleFile(state.ResampleBuffer, SampleWidth::Bits16, Sign::OffsetBinary, dir / "o16.bin"));
    const Bytes file16 = testsupport::ReadFile(dir / "o16.bin");
    ASSERT_EQ(file16.size(), 2u * 1000u + 16u);
    EXPECT_EQ(file16[0], 0x80); // 0 / 2 + 0xFF00 / 2 = 0x7F80
    EXPECT_EQ(file16[1], 0x7F);
    EXPECT_EQ(file16[2000], 0x00);
    EXPECT_EQ(file16[2001], 0x80);
}

TEST(SampleWriter, AFileThatCannotBeWrittenIsReportedAndLeavesTheOldOne) {
    testsupport::TempDir dir;
    const std::vector<std::uint16_t> words = {0x1234};
    base::FailureDetail detail;
    EXPECT_EQ(wav::SaveSampleFile(words, SampleWidth::Bits8, Sign::OffsetBinary, dir / "no/such/dir/o.bin",
                                  {}, &detail),
              "Save File Error!!!");
    EXPECT_EQ(base::DetailLines(detail),
              "cannot create " + (dir / "no/such/dir/o.bin") + ": No such file or directory\n");
    testsupport::WriteFile(dir / "old.bin", {9, 9, 9});
    ASSERT_FALSE(wav::SaveSampleFile(words, SampleWidth::Bits16, Sign::OffsetBinary, dir / "old.bin"));
    EXPECT_EQ(testsupport::ReadFile(dir / "old.bin"), (Bytes{0x34, 0x12}));

    // The WAV file the samples came from, reached through a symbolic link and "..": refused, untouched.
    testsupport::WriteFile(dir / "tone.wav", {1, 2, 3});
    std::filesystem::create_directory(dir / "sub");
    std::filesystem::create_symlink("../tone.wav", dir / "sub/link.wav");
    const std::string output = dir / "sub/../sub/link.wav";
    detail.clear();
    EXPECT_EQ(
        wav::SaveSampleFile(words, SampleWidth::Bits8, Sign::OffsetBinary, output, dir / "tone.wav", &detail),
        "Save File Error!!!");
    EXPECT_EQ(base::DetailLines(detail), "the output " + output + " is the input\n");
    EXPECT_EQ(testsupport::ReadFile(dir / "tone.wav"), (Bytes{1, 2, 3}));
}

} // namespace
