#include "wav/Resampler.h"

#include "base/Format.h"
#include "wav/WavState.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#if defined(__i386__) || defined(__x86_64__)
#include <fpu_control.h>
#endif
#include <limits>
#include <new>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wav {

std::uint32_t TargetRate(int selectedItem) {
    if (selectedItem > 0 && selectedItem < static_cast<int>(std::size(kTargetRates)))
        return kTargetRates[selectedItem];
    return kTargetRates[0];
}

namespace {

// A binary floating-point number with a 64-bit significand, as the x87 extended type holds it: m x 2^e
// with 2^63 <= m < 2^64, or m = 0 for zero. Only positive numbers occur here.
__extension__ typedef unsigned __int128 U128;

struct Extended {
    std::uint64_t m = 0;
    int e = 0;
};

int BitLength(U128 v) {
    const auto high = static_cast<std::uint64_t>(v >> 64);
    if (high != 0) return 128 - __builtin_clzll(high);
    const auto low = static_cast<std::uint64_t>(v);
    return low == 0 ? 0 : 64 - __builtin_clzll(low);
}

// v x 2^e rounded to 64 significant bits, to nearest with ties to even. sticky says that the exact value
// lies above v x 2^e by less than 2^e (its bits below v were not all zero); v then has more than 64 bits.
Extended Round(U128 v, int e, bool sticky) {
    if (v == 0) return {};
    const int shift = BitLength(v) - 64;
    if (shift <= 0) return {static_cast<std::uint64_t>(v << -shift), e + shift};
    const U128 kept = v >> shift;
    const U128 rest = v - (kept << shift);
    const U128 half = U128{1} << (shift - 1);
    const bool up = rest > half || (rest == half && (sticky || (kept & 1) != 0));
    U128 m = kept + (up ? 1 : 0);
    int exponent = e + shift;
    if ((m >> 64) != 0) { // rounded up to the next power of two
        m >>= 1;
        ++exponent;
    }
    return {static_cast<std::uint64_t>(m), exponent};
}

Extended Reciprocal(std::uint32_t x) {
    const U128 one = U128{1} << 127;
    return Round(one / x, -127, one % x != 0); // the quotient has at least 96 bits
}

Extended Multiply(std::uint32_t c, Extended a) {
    return Round(static_cast<U128>(c) * a.m, a.e, false); // exact before rounding
}

Extended Divide(Extended a, Extended b) {
    if (a.m == 0) return {};
    const U128 numerator = static_cast<U128>(a.m) << 64;
    U128 q = numerator / b.m;
    U128 r = numerator % b.m;
    int e = a.e - 64 - b.e;
    if ((q >> 64) == 0) { // one more quotient bit, so that rounding sees the bit below the 64 kept
        r <<= 1;
        q <<= 1;
        if (r >= b.m) {
            q |= 1;
            r -= b.m;
        }
        --e;
    }
    return Round(q, e, r != 0);
}

std::uint64_t Truncate(Extended a) {
    if (a.m == 0 || a.e <= -64) return 0;
    if (a.e < 0) return a.m >> -a.e;
    if (a.e >= 1) return std::numeric_limits<std::uint64_t>::max(); // beyond any count here
    return a.m;
}

} // namespace

std::uint64_t OutputCountSoftware(std::uint32_t count, std::uint32_t src, std::uint32_t dst) {
    if (src == 0 || dst == 0) return 0;
    const Extended r1 = Reciprocal(src);
    const Extended product = Multiply(count, r1);
    const Extended r2 = Reciprocal(dst);
    return Truncate(Divide(product, r2));
}

namespace {

// Whether the x87 unit rounds to its full 64-bit significand now. It does unless something in the process
// set its precision control lower, which the arithmetic below would then silently follow.
bool X87RoundsToFullPrecision() {
#if defined(_FPU_GETCW) && defined(_FPU_EXTENDED)
    fpu_control_t word = 0;
    _FPU_GETCW(word);
    return (word & _FPU_EXTENDED) == _FPU_EXTENDED;
#else
    return true;
#endif
}

} // namespace

std::uint64_t OutputCount(std::uint32_t count, std::uint32_t src, std::uint32_t dst) {
    if (src == 0 || dst == 0) return 0;
#if LDBL_MANT_DIG == 64
    if (!X87RoundsToFullPrecision()) return OutputCountSoftware(count, src, dst);
    // The x87 extended type (x86 and x86-64 with g++ and clang): the hardware rounds each step exactly as
    // the count is defined. Nothing here may be reordered or fused, and without -ffast-math nothing is.
    const long double r1 = 1.0L / static_cast<long double>(src);
    const long double product = static_cast<long double>(count) * r1;
    const long double r2 = 1.0L / static_cast<long double>(dst);
    const long double quotient = product / r2;
    return static_cast<std::uint64_t>(quotient);
#else
    return OutputCountSoftware(count, src, dst);
#endif
}

StepConstants StepConstantsOf(std::uint32_t src, std::uint32_t dst) {
    StepConstants k;
    if (dst == 0) return k;
    k.P = static_cast<std::uint64_t>(src) << 16;
    k.step = k.P / dst;
    k.rem = k.P % dst;
    return k;
}

namespace {

// The interpolation over any source of working samples: fetch(i) gives sample i, for i below count, and
// fetch.Prefetch(i) asks for the memory of sample i ahead of its use (a hint; i may lie past the end).
template <class Fetch>
void InterpolateWith(Fetch fetch, std::uint64_t count, std::uint32_t src, std::uint32_t dst,
                     std::uint16_t* out, std::uint64_t n) {
    if (n == 0 || count == 0) return;
    const StepConstants k = StepConstantsOf(src, dst);
    const std::uint64_t last = count - 1;
    // A source rate below half the target would put the first position before the first sample.
    std::uint64_t pos = k.step >= 32768 ? k.step - 32768 : 0;
    std::uint64_t acc = 0;
    for (std::uint64_t i = 0; i < n; ++i) {
        const std::uint64_t whole = pos >> 16;
        const auto f = static_cast<std::uint32_t>(pos & 0xFFFF);
        // The positions depend on one another, so the processor cannot run far enough ahead to hide the
        // memory's latency by itself.
        fetch.Prefetch(whole + 1024);
        std::uint32_t a;
        std::uint32_t b;
        if (whole - 1 < last) { // 1 <= whole <= last, the usual case (whole = 0 wraps to the top)
            a = fetch(whole - 1);
            b = fetch(whole);
        } else { // the first sample, or past the last one
            a = fetch(std::min(whole == 0 ? 0 : whole - 1, last));
            b = fetch(std::min(whole, last));
        }
        // Each term is rounded down on its own. Their sum never exceeds 65535 (it is at most
        // 65535 x (65536 - f) / 65536 + 65535 x f / 65536), so the clamp to 65535 never acts.
        out[i] = static_cast<std::uint16_t>(((a * (65536 - f)) >> 16) + ((b * f) >> 16));
        // The remainder accumulates; its carry moves the next output. An acc of exactly 65536 is kept, and
        // carries again at the next output.
        acc += k.rem;
        const std::uint64_t carry = acc >> 16;
        if (acc > 65536) acc &= 0xFFFF;
        pos += k.step + carry;
    }
}

template <class Fetch>
ResampleResult ResampleWith(Fetch fetch, std::uint32_t count, std::uint32_t src, std::uint32_t dst) {
    ResampleResult result;
    const std::uint64_t n = count == 0 ? 0 : OutputCount(count, src, dst);
    if (n > kMaxOutputCount) {
        result.failure = kResampleMemoryError;
        result.reason = base::strprintf(
            "the result would hold %llu samples, more than the %llu a result can hold",
            static_cast<unsigned long long>(n), static_cast<unsigned long long>(kMaxOutputCount));
        return result;
    }
    try {
        result.words.resize(static_cast<std::size_t>(n) + kPaddingWords);
    } catch (const std::bad_alloc&) {
        result.failure = kResampleMemoryError;
        result.reason =
            base::strprintf("not enough memory for %llu samples", static_cast<unsigned long long>(n));
        result.words = {};
        return result;
    }
    result.count = n;
    InterpolateWith(fetch, count, src, dst, result.words.data(), n);
    std::fill(result.words.begin() + static_cast<std::ptrdiff_t>(n), result.words.end(), 0x8000);
    return result;
}

} // namespace

namespace {

// The zeroth-order modified Bessel function of the first kind, by its series (for the Kaiser window).
double BesselI0(double x) {
    double sum = 1.0;
    double term = 1.0;
    const double quarter = x * x / 4.0;
    for (int k = 1; k < 200 && term > sum * 1e-17; ++k) {
        term *= quarter / (static_cast<double>(k) * static_cast<double>(k));
        sum += term;
    }
    return sum;
}

constexpr double kStopbandDecibels = 80.0;
constexpr int kTapBlock = 8; // taps are read in groups of 8 (one SSE2 register of 16-bit values)
constexpr int kMaxHalfTaps = 2048; // 192 kHz to 8000 Hz needs 241

} // namespace

std::vector<std::int16_t> LowPassTaps(std::uint32_t src, std::uint32_t dst) {
    if (src == 0 || dst == 0 || dst >= src) return {};
    const double pi = 3.14159265358979323846;
    const double cutoff = 0.5 * dst / src;      // cycles per source sample
    const double transition = 0.25 * dst / src; // cycles per source sample
    // Kaiser's estimates of the window's shape and length for the attenuation and transition asked.
    const double beta = 0.1102 * (kStopbandDecibels - 8.7);
    const double length = (kStopbandDecibels - 7.95) / (2.285 * 2.0 * pi * transition);
    // Rates far apart (a header may claim any source rate) would ask for millions of taps: past
    // kMaxHalfTaps on either side the transition band widens instead.
    const int half = static_cast<int>(std::min(std::ceil(length / 2.0), static_cast<double>(kMaxHalfTaps)));
    std::vector<double> h(static_cast<std::size_t>(2 * half + 1));
    double sum = 0.0;
    for (int j = -half; j <= half; ++j) {
        const double x = 2.0 * cutoff * j;
        const double sinc = j == 0 ? 1.0 : std::sin(pi * x) / (pi * x);
        const double r = static_cast<double>(j) / half;
        const double window = BesselI0(beta * std::sqrt(std::max(0.0, 1.0 - r * r))) / BesselI0(beta);
        const double v = 2.0 * cutoff * sinc * window;
        h[static_cast<std::size_t>(j + half)] = v;
        sum += v;
    }
    std::vector<std::int16_t> taps(h.size());
    long total = 0;
    for (std::size_t i = 0; i < h.size(); ++i) {
        taps[i] = static_cast<std::int16_t>(std::lround(h[i] / sum * 32768.0));
        total += taps[i];
    }
    // The rounding's shortfall goes to the middle tap: the gain at 0 Hz is exactly 1.
    taps[static_cast<std::size_t>(half)] =
        static_cast<std::int16_t>(taps[static_cast<std::size_t>(half)] + (32768 - total));
    return taps;
}

namespace {

// Working samples low-pass filtered where the interpolation reads them. The source is copied a block at a
// time, as signed 16-bit values (the sample minus 0x8000), into a buffer with room for the taps on either
// side; each filtered sample is one dot product over it. The sums are exact 32-bit integers when the taps'
// magnitudes sum below 65536 (2.0 in Q15, which a low-pass's taps never reach), and 64-bit ones otherwise,
// so every build gives the same bytes.
template <class Fetch> class LowPassFetch {
public:
    LowPassFetch(Fetch fetch, std::uint64_t count, std::span<const std::int16_t> taps)
        : fetch_(fetch), count_(count), half_(static_cast<std::int64_t>(taps.size() / 2)) {
        const std::size_t padded = (taps.size() + kTapBlock - 1) / kTapBlock * kTapBlock;
        taps_.assign(padded, 0);
        std::copy(taps.begin(), taps.end(), taps_.begin());
        long magnitude = 0;
        for (std::int16_t t : taps)
            magnitude += t < 0 ? -t : t;
        exact32_ = magnitude < 65536;
        buffer_.assign(kBlock + padded + 1, 0);
    }

    std::uint32_t operator()(std::uint64_t i) {
        // The interpolation reads each position's two samples, the later one again as the next position's
        // earlier one when the target rate is at least the source's: the last two are kept.
        if (i == lastIndex_[0]) return lastValue_[0];
        if (i == lastIndex_[1]) return lastValue_[1];
        const std::uint32_t v = Filter(static_cast<std::int64_t>(i));
        lastIndex_[0] = lastIndex_[1];
        lastValue_[0] = lastValue_[1];
        lastIndex_[1] = i;
        lastValue_[1] = v;
        return v;
    }
    void Prefetch(std::uint64_t) const {}

private:
    static constexpr std::int64_t kBlock = 1 << 15;

    std::uint32_t Filter(std::int64_t i) {
        const std::int64_t first = i - half_; // the source sample under taps_[0]
        const auto span = static_cast<std::int64_t>(taps_.size());
        if (first < start_ || first + span > start_ + static_cast<std::int64_t>(buffer_.size())) Fill(first);
        const std::int16_t* s = buffer_.data() + (first - start_);
        std::int64_t sum = 0;
        if (exact32_) {
            sum = Dot32(s);
        } else {
            for (std::size_t j = 0; j < taps_.size(); ++j)
                sum += static_cast<std::int64_t>(s[j]) * taps_[j];
        }
        // Rounded to the nearest, halves up (the shift floors).
        const std::int64_t v = ((sum + 16384) >> 15) + 32768;
        return static_cast<std::uint32_t>(std::clamp<std::int64_t>(v, 0, 65535));
    }

    std::int32_t Dot32(const std::int16_t* s) const {
#if defined(__SSE2__)
        __m128i acc = _mm_setzero_si128();
        for (std::size_t j = 0; j < taps_.size(); j += kTapBlock) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + j));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(taps_.data() + j));
            acc = _mm_add_epi32(acc, _mm_madd_epi16(a, b));
        }
        acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(1, 0, 3, 2)));
        acc = _mm_add_epi32(acc, _mm_shuffle_epi32(acc, _MM_SHUFFLE(2, 3, 0, 1)));
        return _mm_cvtsi128_si32(acc);
#else
        std::int32_t sum = 0;
        for (std::size_t j = 0; j < taps_.size(); ++j)
            sum += static_cast<std::int32_t>(s[j]) * taps_[j];
        return sum;
#endif
    }

    // Copies the source from sample `first` on into the buffer; samples outside the source repeat its ends.
    void Fill(std::int64_t first) {
        start_ = first;
        const auto last = static_cast<std::int64_t>(count_) - 1;
        for (std::size_t t = 0; t < buffer_.size(); ++t) {
            const std::int64_t index =
                std::clamp<std::int64_t>(first + static_cast<std::int64_t>(t), 0, last);
            buffer_[t] = static_cast<std::int16_t>(
                static_cast<std::int32_t>(fetch_(static_cast<std::uint64_t>(index))) - 32768);
        }
    }

    Fetch fetch_;
    std::uint64_t count_;
    std::int64_t half_;
    std::vector<std::int16_t> taps_;
    bool exact32_ = true;
    std::vector<std::int16_t> buffer_;
    std::int64_t start_ = std::numeric_limits<std::int64_t>::min() / 2;
    std::uint64_t lastIndex_[2] = {~std::uint64_t{0}, ~std::uint64_t{0}};
    std::uint32_t lastValue_[2] = {0, 0};
};

// A LowPassFetch handed to the interpolation, which takes its fetch by value.
template <class Fetch> struct LowPassRef {
    LowPassFetch<Fetch>* filter;
    std::uint32_t operator()(std::uint64_t i) const { return (*filter)(i); }
    void Prefetch(std::uint64_t) const {}
};

// The conversion, through the low-pass filter when it is asked for and the target rate is below the source's.
template <class Fetch>
ResampleResult ResampleFiltered(Fetch fetch, std::uint32_t count, std::uint32_t src, std::uint32_t dst,
                                bool lowPass) {
    const std::vector<std::int16_t> taps =
        lowPass && count > 0 ? LowPassTaps(src, dst) : std::vector<std::int16_t>{};
    if (taps.empty()) return ResampleWith(fetch, count, src, dst);
    LowPassFetch<Fetch> filter(fetch, count, taps);
    return ResampleWith(LowPassRef<Fetch>{&filter}, count, src, dst);
}

} // namespace

namespace {

void PrefetchAt(const void* base, std::uint64_t offset) {
    // Computed as an integer: the address may lie past the end, where a hint does no harm.
    __builtin_prefetch(reinterpret_cast<const void*>(reinterpret_cast<std::uintptr_t>(base) + offset));
}

// Working samples held as words.
struct WordSamples {
    const std::uint16_t* words;
    std::uint32_t operator()(std::uint64_t i) const { return words[i]; }
    void Prefetch(std::uint64_t i) const { PrefetchAt(words, 2 * i); }
};

// Working samples read where a file image holds them.
template <bool SixteenBit> struct ImageSamples {
    const std::uint8_t* image;
    SampleLayout layout;
    std::uint32_t operator()(std::uint64_t i) const {
        return SixteenBit ? WorkingSample16(image, layout, i) : WorkingSample8(image, layout, i);
    }
    void Prefetch(std::uint64_t i) const { PrefetchAt(image, layout.first + i * layout.stride); }
};

} // namespace

void Interpolate(std::span<const std::uint16_t> S, std::uint32_t src, std::uint32_t dst,
                 std::span<std::uint16_t> out) {
    InterpolateWith(WordSamples{S.data()}, S.size(), src, dst, out.data(), out.size());
}

ResampleResult Resample(std::span<const std::uint16_t> S, std::uint32_t src, std::uint32_t dst,
                        bool lowPass) {
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(S.size(), 0xFFFFFFFFu));
    return ResampleFiltered(WordSamples{S.data()}, count, src, dst, lowPass);
}

std::vector<std::uint16_t> LowPassFiltered(std::span<const std::uint16_t> S,
                                           std::span<const std::int16_t> taps) {
    std::vector<std::uint16_t> out(S.begin(), S.end());
    if (taps.empty() || S.empty()) return out;
    LowPassFetch<WordSamples> filter(WordSamples{S.data()}, S.size(), taps);
    for (std::size_t i = 0; i < S.size(); ++i)
        out[i] = static_cast<std::uint16_t>(filter(i));
    return out;
}

std::string ResampleLengthText(std::uint64_t n, SampleWidth width) {
    const std::uint64_t bytes = width == SampleWidth::Bits8 ? n + kPaddingWords : 2 * (n + kPaddingWords);
    return base::strprintf("0x%08X-%08d", static_cast<unsigned>(bytes), static_cast<int>(bytes));
}

GenerateResult GenerateResample(WavState& state, Channel channel, std::uint32_t targetRate, bool lowPass) {
    GenerateResult generated;
    std::vector<std::uint16_t>().swap(state.ResampleBuffer);
    state.resultHeld = false;
    state.resultCount = 0;
    state.resultFiltered = false;
    if (!state.imageHeld || !state.check.accepted) {
        generated.failure = kAnalyzeFileError;
        generated.reason = "no WAV file has been loaded and accepted";
        return generated;
    }
    // The samples are read where the image holds them, in the channel chosen now.
    const std::uint8_t* image = state.WavImage.data();
    const SampleLayout layout = SampleLayoutOf(state.check, channel);
    const std::uint32_t src = state.check.header.SampleRate;
    ResampleResult result =
        layout.sixteenBit
            ? ResampleFiltered(ImageSamples<true>{image, layout}, layout.count, src, targetRate, lowPass)
            : ResampleFiltered(ImageSamples<false>{image, layout}, layout.count, src, targetRate, lowPass);
    if (result.failure) {
        generated.failure = result.failure;
        generated.reason = result.reason;
        return generated;
    }
    state.ResampleBuffer = std::move(result.words);
    state.resultHeld = true;
    state.resultCount = result.count;
    state.resultFiltered = lowPass;
    generated.count = result.count;
    return generated;
}

} // namespace wav
