#include "wav/ResampleFile.h"

#include "base/FileProblem.h"
#include "support/BmpBuilder.h"
#include "support/WavBuilder.h"
#include "wav/Resampler.h"
#include "wav/SampleWriter.h"
#include "wav/WavReader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using wav::Channel;
using wav::SampleWidth;
using wav::Sign;

Bytes NoiseBytes(std::size_t n, std::uint32_t seed) {
    Bytes bytes(n);
    for (auto& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(seed >> 24);
    }
    return bytes;
}

// The file a held result saves: the whole channel prepared, resampled in one call, written in one piece.
Bytes HeldResultBytes(const Bytes& image, Channel channel, std::uint32_t rate, SampleWidth width, Sign sign) {
    const wav::HeaderCheck check = wav::CheckWavHeader(image);
    const std::vector<std::uint16_t> samples = wav::PrepareSamples(image, check, channel);
    const wav::ResampleResult result = wav::Resample(samples, check.header.SampleRate, rate);
    const std::string bytes = wav::SampleFileBytes(result.words, width, sign);
    return Bytes(bytes.begin(), bytes.end());
}

// The samples are read a window of 65536 at a time and the output written 32768 words at a time: lengths
// just past those edges, down- and upsampling, every layout of the file and every output width and sign.
TEST(ResampleWavFile, WritesTheBytesOfAHeldResultWhateverTheBlocks) {
    struct Case {
        std::uint16_t channels, bits;
        std::uint32_t srcRate, dstRate, frames;
        Channel channel;
        SampleWidth width;
        Sign sign;
    };
    const Case cases[] = {
        {1, 16, 44100, 8000, 200003, Channel::Left, SampleWidth::Bits8, Sign::OffsetBinary},
        {2, 16, 48000, 16000, 65537, Channel::Right, SampleWidth::Bits16, Sign::TwosComplement},
        {2, 8, 11025, 16000, 65536, Channel::Left, SampleWidth::Bits16, Sign::OffsetBinary},
        {1, 8, 8000, 8000, 131073, Channel::Right, SampleWidth::Bits8, Sign::OffsetBinary},
        {1, 16, 1000, 16000, 4097, Channel::Left, SampleWidth::Bits16, Sign::OffsetBinary},
        {2, 16, 22050, 8000, 1, Channel::Left, SampleWidth::Bits16, Sign::TwosComplement},
        {1, 8, 44100, 16000, 0, Channel::Left, SampleWidth::Bits8, Sign::OffsetBinary},
    };
    testsupport::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << " ch " << c.bits << " bit " << c.srcRate << " -> "
                                        << c.dstRate << ", " << c.frames << " frames");
        testsupport::WavLayout layout;
        layout.channels = c.channels;
        layout.bits = c.bits;
        layout.sampleRate = c.srcRate;
        layout.data = NoiseBytes(std::size_t{c.frames} * c.channels * c.bits / 8, c.frames);
        const Bytes image = testsupport::BuildWav(layout);
        testsupport::WriteFile(dir / "in.wav", image);

        wav::OpenedWav opened = wav::OpenWavFile(dir / "in.wav");
        ASSERT_FALSE(opened.load.failure);
        const wav::FileResampleResult result =
            wav::ResampleWavFile(opened, c.channel, c.dstRate, c.width, c.sign, dir / "out.bin");
        ASSERT_FALSE(result.failure) << base::DetailLines(result.detail);
        const Bytes expected = HeldResultBytes(image, c.channel, c.dstRate, c.width, c.sign);
        EXPECT_EQ(result.count, wav::OutputCount(c.frames, c.srcRate, c.dstRate));
        EXPECT_TRUE(testsupport::ReadFile(dir / "out.bin") == expected);
    }
}

TEST(ResampleWavFile, AFileCutShortWhileReadLeavesTheOldOutput) {
    testsupport::TempDir dir;
    testsupport::WavLayout layout;
    layout.sampleRate = 44100;
    layout.data = NoiseBytes(2 * 300000, 7);
    testsupport::WriteFile(dir / "in.wav", testsupport::BuildWav(layout));
    testsupport::WriteFile(dir / "out.bin", {1, 2, 3});

    wav::OpenedWav opened = wav::OpenWavFile(dir / "in.wav");
    ASSERT_FALSE(opened.load.failure);
    std::filesystem::resize_file(dir / "in.wav", 44 + 2 * 100000); // another program cuts it meanwhile
    const wav::FileResampleResult result =
        wav::ResampleWavFile(opened, Channel::Left, 8000, SampleWidth::Bits8, Sign::OffsetBinary, dir / "out.bin");
    EXPECT_EQ(result.failure, "Save File Error!!!");
    EXPECT_EQ(base::DetailLines(result.detail), dir / "in.wav" + ": it became shorter while it was read\n");
    EXPECT_EQ(testsupport::ReadFile(dir / "out.bin"), (Bytes{1, 2, 3}));
}

} // namespace
