#include "wav/Resampler.h"

#include "support/WavBuilder.h"
#include "wav/WavState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#if defined(__i386__) || defined(__x86_64__)
#include <fpu_control.h>
#endif
#include <numeric>
#include <random>
#include <vector>

namespace {

using wav::OutputCount;
using wav::OutputCountSoftware;
using wav::Resample;
using Words = std::vector<std::uint16_t>;

TEST(Resampler, StepConstantsOfTheRates) {
    struct Case {
        std::uint32_t src, dst;
        std::uint64_t P, step, rem;
    };
    const Case cases[] = {
        {8000, 8000, 524288000, 65536, 0},
        {16000, 8000, 1048576000, 131072, 0},
        {8000, 16000, 524288000, 32768, 0},
        {44100, 8000, 2890137600, 361267, 1600},
        {11025, 8000, 722534400, 90316, 6400},
        {22050, 16000, 1445068800, 90316, 12800},
        {11086, 8000, 726532096, 90816, 4096},
        // Beyond 32 bits: P would wrap there.
        {96000, 8000, 6291456000, 786432, 0},
        {65536, 16000, 4294967296, 268435, 7296},
    };
    for (const Case& c : cases) {
        const auto k = wav::StepConstantsOf(c.src, c.dst);
        EXPECT_EQ(k.P, c.P) << c.src << " to " << c.dst;
        EXPECT_EQ(k.step, c.step) << c.src << " to " << c.dst;
        EXPECT_EQ(k.rem, c.rem) << c.src << " to " << c.dst;
    }
}

// The count as 53-bit double precision would compute it, to show where the 64-bit significand matters.
std::uint64_t DoubleCount(std::uint32_t count, std::uint32_t src, std::uint32_t dst) {
    const double r1 = 1.0 / src;
    const double product = count * r1;
    const double r2 = 1.0 / dst;
    return static_cast<std::uint64_t>(product / r2);
}

TEST(Resampler, OutputCountFollowsThe64BitSignificand) {
    // q(c) = (c x (1/8000)) / (1/8000) before truncation lies just below 253 for c = 253 and at or just
    // above 2001 for c = 2001. 1/16000 is exactly half of 1/8000 in binary, so 8000 -> 16000 gives 2 q(c)
    // and 16000 -> 8000 gives q(c) / 2, hence the other rows.
    struct Case {
        std::uint32_t count, src, dst;
        std::uint64_t n;
    };
    const Case cases[] = {
        {253, 8000, 8000, 252},
        {2001, 8000, 8000, 2001},
        {253, 8000, 16000, 505},
        {2001, 8000, 16000, 4002},
        {253, 16000, 8000, 126},
        {2001, 16000, 8000, 1000},
        {0, 44100, 8000, 0},
        {1, 8000, 8000, 1},
        {1, 8000, 16000, 2},
        // Powers of two are exact at every step.
        {1000, 8192, 8192, 1000},
        {4096, 16384, 8192, 2048},
        // No rate, no count.
        {1000, 0, 8000, 0},
        {1000, 8000, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(OutputCount(c.count, c.src, c.dst), c.n) << c.count << " at " << c.src << " to " << c.dst;
        EXPECT_EQ(OutputCountSoftware(c.count, c.src, c.dst), c.n)
            << c.count << " at " << c.src << " to " << c.dst;
    }
    // Double precision differs on both of the examples.
    EXPECT_EQ(DoubleCount(253, 8000, 8000), 253u);
    EXPECT_EQ(DoubleCount(2001, 8000, 8000), 2000u);
}

TEST(Resampler, HardwareAndSoftwareCountsAgreeOverManyLengthsAndRates) {
#if LDBL_MANT_DIG != 64
    GTEST_SKIP() << "long double is not the 64-bit-significand type here: OutputCount is the software count";
#endif
    const std::uint32_t sources[] = {1,     3,     4000,  7999,  8000,  11025, 16000, 22050,
                                     32000, 44100, 48000, 65535, 65536, 96000, 192000};
    std::vector<std::uint32_t> counts(3001);
    std::iota(counts.begin(), counts.end(), 0u);
    for (std::uint32_t c : {65535u, 65536u, 1000000u, 26460000u, 28800000u, 0x7FFFFFFFu, 0xFFFFFFFFu})
        counts.push_back(c);
    int doubleDiffers = 0;
    int belowExact = 0;
    for (std::uint32_t src : sources)
        for (std::uint32_t dst : wav::kTargetRates)
            for (std::uint32_t count : counts) {
                const std::uint64_t n = OutputCount(count, src, dst);
                ASSERT_EQ(n, OutputCountSoftware(count, src, dst)) << count << " at " << src << " to " << dst;
                const std::uint64_t exact = static_cast<std::uint64_t>(count) * dst / src;
                ASSERT_LE(n, exact + 1);
                ASSERT_GE(n + 1, exact);
                belowExact += n < exact;
                doubleDiffers += n != DoubleCount(count, src, dst);
            }
    // The sweep does reach the lengths where the precision decides.
    EXPECT_GT(belowExact, 100);
    EXPECT_GT(doubleDiffers, 100);
}

#if defined(_FPU_GETCW) && defined(_FPU_DOUBLE)
TEST(Resampler, OutputCountKeepsItsPrecisionWhenTheX87IsSetLower) {
    // Something in the process may set the x87 unit to round to 53 bits; the count must not follow it.
    fpu_control_t saved = 0;
    _FPU_GETCW(saved);
    fpu_control_t lowered = static_cast<fpu_control_t>((saved & ~_FPU_EXTENDED) | _FPU_DOUBLE);
    _FPU_SETCW(lowered);
    const std::uint64_t n2001 = OutputCount(2001, 8000, 8000);
    const std::uint64_t n253 = OutputCount(253, 8000, 8000);
    _FPU_SETCW(saved);
    EXPECT_EQ(n2001, 2001u);
    EXPECT_EQ(n253, 252u);
}
#endif

// One output as the interpolation defines it, for positions worked out here.
std::uint32_t Expected(std::uint32_t a, std::uint32_t b, std::uint32_t f) {
    return std::min<std::uint32_t>(a * (65536 - f) / 65536 + b * f / 65536, 65535);
}

Words Samples(std::size_t count, std::uint32_t seed) {
    std::mt19937 random(seed);
    Words s(count);
    for (auto& v : s)
        v = static_cast<std::uint16_t>(random());
    return s;
}

TEST(Resampler, SameRateAveragesNeighbours) {
    Words s = Samples(2001, 1);
    s[0] = 1001;
    s[1] = 2001;
    s[2] = 3001;
    const auto r = Resample(s, 8000, 8000);
    ASSERT_FALSE(r.failure);
    ASSERT_EQ(r.count, 2001u);
    ASSERT_EQ(r.words.size(), 2001u + 8u);
    EXPECT_EQ(r.words[0], 1000);
    EXPECT_EQ(r.words[1], 1500);
    EXPECT_EQ(r.words[2], 2500);
    for (std::size_t i = 1; i < 2001; ++i)
        ASSERT_EQ(r.words[i], s[i - 1] / 2 + s[i] / 2) << i;
    for (std::size_t i = 2001; i < r.words.size(); ++i)
        EXPECT_EQ(r.words[i], 0x8000);
}

TEST(Resampler, HalfRateTakesHalfSumsOfPairs) {
    const Words s = Samples(2001, 2);
    const auto r = Resample(s, 16000, 8000);
    ASSERT_EQ(r.count, 1000u);
    for (std::size_t i = 0; i < 1000; ++i)
        ASSERT_EQ(r.words[i], s[2 * i] / 2 + s[2 * i + 1] / 2) << i;
}

TEST(Resampler, DoubleRateInterleavesSamplesAndHalfSums) {
    Words s = Samples(2001, 3);
    s[0] = 1001;
    s[1] = 2001;
    s[2] = 3001;
    const auto r = Resample(s, 8000, 16000);
    ASSERT_EQ(r.count, 4002u);
    EXPECT_EQ((Words(r.words.begin(), r.words.begin() + 7)),
              (Words{1001, 1000, 1001, 1500, 2001, 2500, 3001}));
    for (std::size_t j = 1; j < 2001; ++j) {
        ASSERT_EQ(r.words[2 * j], s[j - 1]) << j;
        ASSERT_EQ(r.words[2 * j + 1], s[j - 1] / 2 + s[j] / 2) << j;
    }
}

// Positions of the outputs in closed form. The carries: rem accumulates, and each time it passes 65536 the
// next position moves one more; when it lands exactly on 65536 (every L = 65536 / gcd(rem, 65536) outputs)
// it is kept and carries once more on the following output.
std::uint64_t Position(const wav::StepConstants& k, std::uint64_t i) {
    const std::uint64_t first = k.step >= 32768 ? k.step - 32768 : 0;
    std::uint64_t carries = 0;
    if (i > 0 && k.rem > 0) {
        const std::uint64_t period = 65536 / std::gcd(k.rem, std::uint64_t{65536});
        carries = k.rem * i / 65536 + (i - 1) / period;
    }
    return first + k.step * i + carries;
}

TEST(Resampler, PositionsCarryTheRemainder) {
    // Silence and full scale in turn: an output between them tells its fraction to the unit, and its
    // integer part by which of them comes first.
    struct Case {
        std::uint32_t src, dst, count;
    };
    const Case cases[] = {
        {44100, 8000, 12000},  // rem 1600: a carry every 41 outputs or so, a double one every 1024
        {44100, 8000, 200000}, // positions far past 2^32: nothing wraps
        {11086, 8000, 6000},   // rem 4096: a double carry every 16 outputs
        {11025, 8000, 6000},
        {22050, 16000, 6000},
        {48000, 16000, 6000},
        {32000, 16000, 3000},
        {96000, 8000, 20000},
        {65536, 16000, 20000},
        {3000, 8000, 2000}, // below half the target: the first
                            // position is clamped to the first
                            // sample
        {8000, 16000, 2000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.src << " to " << c.dst << ", " << c.count << " samples");
        Words s(c.count);
        for (std::size_t j = 0; j < s.size(); ++j)
            s[j] = j % 2 == 1 ? 65535 : 0;
        const auto r = Resample(s, c.src, c.dst);
        ASSERT_FALSE(r.failure);
        ASSERT_GT(r.count, 100u);
        const auto k = wav::StepConstantsOf(c.src, c.dst);
        std::uint64_t inside = 0;
        for (std::uint64_t i = 0; i < r.count; ++i) {
            const std::uint64_t pos = Position(k, i);
            const std::uint64_t whole = pos >> 16;
            const std::uint32_t f = pos & 0xFFFF;
            if (whole >= c.count) continue; // past the last sample
            ++inside;
            std::uint32_t want;
            if (whole == 0)
                want = 0; // S[0] twice
            else if (whole % 2 == 1)
                want = f == 0 ? 0 : f - 1; // from 0 up to 65535
            else
                want = 65535 - f; // from 65535 down to 0
            ASSERT_EQ(r.words[i], want) << "output " << i << " at " << whole << " + " << f << "/65536";
        }
        EXPECT_GE(inside + 2, r.count);
    }
}

TEST(Resampler, OutputsStayBetweenTheSamplesTheyRead) {
    const Words s = Samples(30000, 4);
    for (std::uint32_t src : {8000u, 11025u, 16000u, 22050u, 44100u, 48000u, 65536u, 5000u, 3000u})
        for (std::uint32_t dst : wav::kTargetRates) {
            const auto r = Resample(s, src, dst);
            const auto k = wav::StepConstantsOf(src, dst);
            for (std::uint64_t i = 0; i < r.count; ++i) {
                const std::uint64_t whole = Position(k, i) >> 16;
                const std::uint32_t a = s[std::min<std::uint64_t>(whole == 0 ? 0 : whole - 1, s.size() - 1)];
                const std::uint32_t b = s[std::min<std::uint64_t>(whole, s.size() - 1)];
                const std::uint32_t f = Position(k, i) & 0xFFFF;
                ASSERT_EQ(r.words[i], Expected(a, b, f)) << src << " to " << dst << ", output " << i;
                // Each term is rounded down on its own, so an output may fall one below both samples.
                ASSERT_GE(r.words[i] + 1u, std::min(a, b));
                ASSERT_LE(r.words[i], std::max(a, b));
            }
        }
}

TEST(Resampler, ConstantSignalStaysWithinOneStepBelowIt) {
    for (std::uint16_t level :
         {std::uint16_t{0}, std::uint16_t{1001}, std::uint16_t{0x8000}, std::uint16_t{0xFFFF}})
        for (std::uint32_t src : {8000u, 16000u, 44100u, 48000u, 11025u})
            for (std::uint32_t dst : wav::kTargetRates) {
                const auto r = Resample(Words(5000, level), src, dst);
                for (std::uint64_t i = 0; i < r.count; ++i) {
                    ASSERT_LE(r.words[i], level);
                    ASSERT_GE(r.words[i] + 1, level);
                }
            }
    // At 8000 to 8000 every output sits half-way (f = 32768): an odd level loses its low bit, 0x8000 stays.
    const auto odd = Resample(Words(100, 1001), 8000, 8000);
    EXPECT_EQ(odd.words[50], 1000);
    const auto silence = Resample(Words(100, 0x8000), 8000, 8000);
    EXPECT_EQ(silence.words[50], 0x8000);
}

TEST(Resampler, LongSourceKeepsItsPlaceAtSameRate) {
    const Words s = Samples(200000, 5);
    const auto r = Resample(s, 8000, 8000);
    ASSERT_GE(r.count, 199999u);
    for (std::size_t i : {65535u, 65536u, 65537u, 131072u, 199998u})
        EXPECT_EQ(r.words[i], s[i - 1] / 2 + s[i] / 2) << i;
}

TEST(Resampler, EmptySourceGivesThePaddingOnly) {
    const auto r = Resample({}, 44100, 8000);
    EXPECT_FALSE(r.failure);
    EXPECT_EQ(r.count, 0u);
    EXPECT_EQ(r.words, Words(8, 0x8000));
}

TEST(Resampler, OneSampleIsAllThereIsToRead) {
    const auto r = Resample(Words{0x1235}, 8000, 16000);
    ASSERT_EQ(r.count, 2u);
    EXPECT_EQ(r.words[0], 0x1235);
    EXPECT_EQ(r.words[1], 0x1234); // half of it twice
}

TEST(Resampler, AResultTooLargeToHoldIsRefused) {
    // 1 Hz to 8000 Hz: 200000 samples would give 1.6 x 10^9 outputs.
    const auto r = Resample(Words(200000, 0), 1, 8000);
    EXPECT_EQ(r.failure, "Rasample Memoey Error!!!");
    EXPECT_NE(r.reason.find("1600000000"), std::string::npos) << r.reason;
    EXPECT_TRUE(r.words.empty());
}

TEST(Resampler, LengthTextIsTheSizeOfTheFileASaveWrites) {
    EXPECT_EQ(wav::ResampleLengthText(4000, wav::SampleWidth::Bits8), "0x00000FA8-00004008");
    EXPECT_EQ(wav::ResampleLengthText(4000, wav::SampleWidth::Bits16), "0x00001F50-00008016");
    EXPECT_EQ(wav::ResampleLengthText(0, wav::SampleWidth::Bits8), "0x00000008-00000008");
    EXPECT_EQ(wav::ResampleLengthText(0, wav::SampleWidth::Bits16), "0x00000010-00000016");
    EXPECT_EQ(wav::ResampleLengthText(wav::kMaxOutputCount, wav::SampleWidth::Bits16),
              "0x7FFFFFFE-2147483646");
}

TEST(Resampler, TargetRateOfTheSelectedItem) {
    EXPECT_EQ(wav::TargetRate(-1), 8000u);
    EXPECT_EQ(wav::TargetRate(0), 8000u);
    EXPECT_EQ(wav::TargetRate(1), 16000u);
}

wav::WavState Loaded(const testsupport::WavLayout& layout) {
    wav::WavState state;
    state.WavImage.Assign(testsupport::BuildWav(layout));
    state.imageHeld = true;
    state.check = wav::CheckWavHeader(state.WavImage.Bytes());
    return state;
}

TEST(GenerateResample, ResamplesTheChannelChosenAtGeneration) {
    testsupport::WavLayout s;
    s.channels = 2;
    std::vector<std::uint16_t> frames;
    for (int i = 0; i < 2001; ++i) {
        frames.push_back(static_cast<std::uint16_t>(1000 + 2 * i));  // left
        frames.push_back(static_cast<std::uint16_t>(50000 - 4 * i)); // right
    }
    s.data = testsupport::Pcm16ForWorking(frames);
    wav::WavState state = Loaded(s);

    auto g = wav::GenerateResample(state, wav::Channel::Right, 8000);
    ASSERT_FALSE(g.failure);
    EXPECT_EQ(g.count, 2001u);
    EXPECT_TRUE(state.resultHeld);
    EXPECT_EQ(state.resultCount, 2001u);
    EXPECT_EQ(state.ResampleBuffer[0], 50000);
    EXPECT_EQ(state.ResampleBuffer[1], 25000 + 24998);

    g = wav::GenerateResample(state, wav::Channel::Left, 16000);
    ASSERT_FALSE(g.failure);
    EXPECT_EQ(g.count, 4002u);
    EXPECT_EQ((Words(state.ResampleBuffer.begin(), state.ResampleBuffer.begin() + 4)),
              (Words{1000, 1000, 1000, 1001}));
    EXPECT_EQ(state.ResampleBuffer.size(), 4002u + 8u);
}

TEST(GenerateResample, ReadsTheSamplesThePreparationDefines) {
    // The file image read in place gives what the prepared working samples give, for every layout.
    std::mt19937 random(6);
    for (std::uint16_t bits : {8, 16})
        for (std::uint16_t channels : {1, 2})
            for (wav::Channel channel : {wav::Channel::Left, wav::Channel::Right})
                for (std::uint32_t dst : wav::kTargetRates) {
                    SCOPED_TRACE(testing::Message()
                                 << bits << " bits, " << channels << " channels, to " << dst);
                    testsupport::WavLayout s;
                    s.bits = bits;
                    s.channels = channels;
                    s.sampleRate = 22050;
                    s.data.resize(9001);
                    for (auto& b : s.data)
                        b = static_cast<std::uint8_t>(random());
                    wav::WavState state = Loaded(s);
                    ASSERT_FALSE(wav::GenerateResample(state, channel, dst).failure);
                    const Words prepared = wav::PrepareSamples(state.WavImage.Bytes(), state.check, channel);
                    EXPECT_EQ(state.ResampleBuffer, Resample(prepared, 22050, dst).words);
                }
}

TEST(GenerateResample, WithoutAnAcceptedFileNothingIsHeld) {
    testsupport::WavLayout s;
    s.bits = 24;
    s.data = {1, 2, 3};
    wav::WavState state = Loaded(s);
    state.ResampleBuffer = {1};
    state.resultHeld = true;
    const auto g = wav::GenerateResample(state, wav::Channel::Left, 8000);
    EXPECT_EQ(g.failure, "Analyze File Error!!!");
    EXPECT_FALSE(state.resultHeld);
    EXPECT_TRUE(state.ResampleBuffer.empty());

    wav::WavState none;
    EXPECT_TRUE(wav::GenerateResample(none, wav::Channel::Left, 8000).failure);
}

} // namespace
