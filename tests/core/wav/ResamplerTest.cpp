#include "wav/Resampler.h"

#include "support/WavBuilder.h"
#include "wav/WavState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
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

// The low-pass filter's taps: an odd number, symmetric, summing to exactly 32768; none when the target rate
// is not below the source's.
TEST(LowPass, TapsOfTheRates) {
    for (const auto& [src, dst] : {std::pair{44100u, 8000u},
                                   {48000u, 16000u},
                                   {22050u, 8000u},
                                   {16000u, 8000u},
                                   {96000u, 8000u},
                                   {8001u, 8000u}}) {
        SCOPED_TRACE(testing::Message() << src << " to " << dst);
        const std::vector<std::int16_t> taps = wav::LowPassTaps(src, dst);
        ASSERT_EQ(taps.size() % 2, 1u);
        EXPECT_EQ(std::accumulate(taps.begin(), taps.end(), 0L), 32768);
        for (std::size_t i = 0; i < taps.size(); ++i)
            EXPECT_EQ(taps[i], taps[taps.size() - 1 - i]);
        // The middle tap is the largest: twice the cutoff (dst / 2) over src, in Q15, near enough.
        EXPECT_EQ(*std::max_element(taps.begin(), taps.end()), taps[taps.size() / 2]);
        EXPECT_NEAR(taps[taps.size() / 2], 32768.0 * dst / src, 32768.0 * dst / src * 0.02 + 2);
    }
    // A header may claim any rate: the taps stay within 4097 and still sum to 32768.
    const std::vector<std::int16_t> wide = wav::LowPassTaps(4000000000u, 8000);
    EXPECT_EQ(wide.size(), 4097u);
    EXPECT_EQ(std::accumulate(wide.begin(), wide.end(), 0L), 32768);
    EXPECT_EQ(wav::LowPassTaps(192000, 8000).size(), 483u);
    EXPECT_TRUE(wav::LowPassTaps(8000, 8000).empty());
    EXPECT_TRUE(wav::LowPassTaps(8000, 16000).empty());
    EXPECT_TRUE(wav::LowPassTaps(0, 8000).empty());
}

// The filter is an exact integer dot product, the source's ends repeated beyond it, rounded halves up and
// kept within 0..65535; the resampler interpolates the filtered samples with its own arithmetic. Checked
// against a plain 64-bit sum over random samples longer than the filter's block, and at full scale.
TEST(LowPass, FiltersExactlyAndThenInterpolatesAsBefore) {
    std::mt19937 random(21);
    Words s(100000);
    for (auto& w : s)
        w = static_cast<std::uint16_t>(random());
    for (std::size_t i = 40000; i < 40500; ++i) // full-scale square wave: the clamp has to act
        s[i] = (i / 7) % 2 ? 0xFFFF : 0x0000;
    const std::vector<std::int16_t> taps = wav::LowPassTaps(44100, 8000);
    const Words filtered = wav::LowPassFiltered(s, taps);
    ASSERT_EQ(filtered.size(), s.size());
    const auto half = static_cast<std::int64_t>(taps.size() / 2);
    const auto last = static_cast<std::int64_t>(s.size()) - 1;
    int clamped = 0;
    for (std::int64_t i = 0; i <= last; ++i) {
        std::int64_t sum = 0;
        for (std::int64_t j = -half; j <= half; ++j)
            sum += (static_cast<std::int64_t>(
                        s[static_cast<std::size_t>(std::clamp<std::int64_t>(i + j, 0, last))]) -
                    32768) *
                   taps[static_cast<std::size_t>(j + half)];
        const std::int64_t rounded =
            static_cast<std::int64_t>(std::floor((static_cast<double>(sum) + 16384.0) / 32768.0));
        const std::int64_t expected = std::clamp<std::int64_t>(rounded + 32768, 0, 65535);
        clamped += expected != rounded + 32768;
        ASSERT_EQ(filtered[static_cast<std::size_t>(i)], expected) << i;
    }
    EXPECT_GT(clamped, 0);

    for (std::uint32_t dst : wav::kTargetRates)
        EXPECT_EQ(Resample(s, 44100, dst, true).words,
                  Resample(wav::LowPassFiltered(s, wav::LowPassTaps(44100, dst)), 44100, dst).words);
    // No filter where nothing lies above the target's Nyquist frequency; silence stays silence exactly.
    EXPECT_EQ(Resample(s, 8000, 16000, true).words, Resample(s, 8000, 16000).words);
    EXPECT_EQ(Resample(s, 8000, 8000, true).words, Resample(s, 8000, 8000).words);
    // (the interpolation's own rounding down still makes 0x7FFF of some outputs, as it does unfiltered).
    EXPECT_EQ(Resample(Words(5000, 0x8000), 44100, 8000, true).words,
              Resample(Words(5000, 0x8000), 44100, 8000).words);
    EXPECT_TRUE(Resample({}, 44100, 8000, true).words == Words(8, 0x8000));
}

namespace {

// A tone of `amplitude` (of full scale) at `hz` sampled at `rate`, as working samples (offset binary).
Words Tone(double hz, double amplitude, std::uint32_t rate, std::size_t count) {
    Words s(count);
    for (std::size_t i = 0; i < count; ++i)
        s[i] = static_cast<std::uint16_t>(std::lround(
            32768.0 + amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * static_cast<double>(i) / rate)));
    return s;
}

struct ToneMeasure {
    double level;    // the output's amplitude at the tone's frequency over the input's, in dB
    double residual; // the RMS of the output apart from that tone over the input tone's RMS, in dB
};

// Measures the centred output y against a tone of `hz` at `rate` of input amplitude
// `amplitude` (in the same units). A tone above the rate's Nyquist frequency has no place in the output:
// all of the output is residual.
ToneMeasure Measure(const std::vector<double>& y, double hz, std::uint32_t rate, double amplitude) {
    double c = 0;
    double sn = 0;
    const double n = static_cast<double>(y.size());
    if (hz < rate / 2.0) {
        for (std::size_t i = 0; i < y.size(); ++i) {
            const double phase = 2.0 * M_PI * hz * static_cast<double>(i) / rate;
            c += y[i] * std::cos(phase);
            sn += y[i] * std::sin(phase);
        }
        c *= 2.0 / n;
        sn *= 2.0 / n;
    }
    double residual = 0;
    for (std::size_t i = 0; i < y.size(); ++i) {
        const double phase = 2.0 * M_PI * hz * static_cast<double>(i) / rate;
        const double r = y[i] - c * std::cos(phase) - sn * std::sin(phase);
        residual += r * r;
    }
    const double rms = std::sqrt(residual / n);
    return {20.0 * std::log10(std::hypot(c, sn) / amplitude + 1e-300),
            20.0 * std::log10(rms / (amplitude / std::sqrt(2.0)) + 1e-300)};
}

// The output samples of a result, centred on the middle level, without the first and last quarter second
// (the filter sees the source's repeated ends there) and without the padding.
std::vector<double> Centred(const wav::ResampleResult& r, std::uint32_t rate, double middle, int shift) {
    std::vector<double> y;
    for (std::uint64_t i = rate / 4; i + rate / 4 < r.count; ++i)
        y.push_back(static_cast<double>(r.words[static_cast<std::size_t>(i)] >> shift) - middle);
    return y;
}

} // namespace

// What the filter is for: a 6 kHz tone resampled from 44.1 kHz to 8000 Hz leaves no alias at 2 kHz (at most
// -60 dB of the tone, at 16 bits and rounded to 8), while a 1 kHz tone keeps its level within 0.5 dB.
// Without the filter the alias is the tone at nearly its whole level.
TEST(LowPass, RemovesTheAliasAndKeepsThePassband) {
    const std::uint32_t src = 44100;
    const std::uint32_t dst = 8000;
    const Words high = Tone(6000, 0.7, src, 2 * src);
    const wav::ResampleResult filtered = Resample(high, src, dst, true);
    const ToneMeasure alias = Measure(Centred(filtered, dst, 32768, 0), 6000, dst, 0.7 * 32767);
    EXPECT_LE(alias.residual, -60.0);
    // 8-bit output, rounded as a low-passed result is saved.
    std::vector<double> bytes;
    for (std::uint64_t i = dst / 4; i + dst / 4 < filtered.count; ++i) {
        const unsigned w = filtered.words[static_cast<std::size_t>(i)];
        bytes.push_back(static_cast<double>(std::min(255u, (w + 0x80) >> 8)) - 128.0);
    }
    EXPECT_LE(Measure(bytes, 6000, dst, 0.7 * 127.996).residual, -60.0);
    const ToneMeasure plain =
        Measure(Centred(Resample(high, src, dst), dst, 32768, 0), 6000, dst, 0.7 * 32767);
    EXPECT_GT(plain.residual, -1.0); // 0.466 of full scale, against the tone's 0.495

    const Words low = Tone(1000, 0.7, src, 2 * src);
    const ToneMeasure pass =
        Measure(Centred(Resample(low, src, dst, true), dst, 32768, 0), 1000, dst, 0.7 * 32767);
    EXPECT_NEAR(pass.level, 0.0, 0.5);
    // What remains is the linear interpolation's own error between source samples (some -56 dB at 1 kHz
    // from 44.1 kHz), which the filter does not add to.
    EXPECT_LE(pass.residual, -50.0);
    const ToneMeasure sixteen =
        Measure(Centred(Resample(Tone(1000, 0.7, 48000, 96000), 48000, 16000, true), 16000, 32768, 0), 1000,
                16000, 0.7 * 32767);
    EXPECT_NEAR(sixteen.level, 0.0, 0.5);
}

TEST(GenerateResample, LowPassReadsTheFileAsThePreparedSamples) {
    std::mt19937 random(7);
    for (std::uint16_t bits : {8, 16}) {
        testsupport::WavLayout s;
        s.bits = bits;
        s.channels = 2;
        s.sampleRate = 44100;
        s.data.resize(90001);
        for (auto& b : s.data)
            b = static_cast<std::uint8_t>(random());
        wav::WavState state = Loaded(s);
        ASSERT_FALSE(wav::GenerateResample(state, wav::Channel::Right, 8000, true).failure);
        EXPECT_TRUE(state.resultFiltered);
        const Words prepared = wav::PrepareSamples(state.WavImage.Bytes(), state.check, wav::Channel::Right);
        EXPECT_EQ(state.ResampleBuffer, Resample(prepared, 44100, 8000, true).words);
        EXPECT_NE(state.ResampleBuffer, Resample(prepared, 44100, 8000).words);
        ASSERT_FALSE(wav::GenerateResample(state, wav::Channel::Right, 8000).failure);
        EXPECT_FALSE(state.resultFiltered);
    }
}

} // namespace
