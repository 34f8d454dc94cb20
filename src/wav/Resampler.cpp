#include "wav/Resampler.h"

#include "base/Format.h"
#include "wav/Interpolation.h"
#include "wav/WavState.h"

#include <algorithm>
#include <cfloat>
#if defined(__i386__) || defined(__x86_64__)
#include <fpu_control.h>
#endif
#include <limits>
#include <new>

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

// The interpolation over any source of working samples, in one call.
template <class Fetch>
void InterpolateWith(Fetch fetch, std::uint64_t count, std::uint32_t src, std::uint32_t dst,
                     std::uint16_t* out, std::uint64_t n) {
    if (n == 0 || count == 0) return;
    Interpolation interpolation(count, src, dst);
    interpolation.Run(fetch, out, n);
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

ResampleResult Resample(std::span<const std::uint16_t> S, std::uint32_t src, std::uint32_t dst) {
    const auto count = static_cast<std::uint32_t>(std::min<std::size_t>(S.size(), 0xFFFFFFFFu));
    return ResampleWith(WordSamples{S.data()}, count, src, dst);
}

std::string ResampleLengthText(std::uint64_t n, SampleWidth width) {
    const std::uint64_t bytes = width == SampleWidth::Bits8 ? n + kPaddingWords : 2 * (n + kPaddingWords);
    return base::strprintf("0x%08X-%08d", static_cast<unsigned>(bytes), static_cast<int>(bytes));
}

GenerateResult GenerateResample(WavState& state, Channel channel, std::uint32_t targetRate) {
    GenerateResult generated;
    std::vector<std::uint16_t>().swap(state.ResampleBuffer);
    state.resultHeld = false;
    state.resultCount = 0;
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
        layout.sixteenBit ? ResampleWith(ImageSamples<true>{image, layout}, layout.count, src, targetRate)
                          : ResampleWith(ImageSamples<false>{image, layout}, layout.count, src, targetRate);
    if (result.failure) {
        generated.failure = result.failure;
        generated.reason = result.reason;
        return generated;
    }
    state.ResampleBuffer = std::move(result.words);
    state.resultHeld = true;
    state.resultCount = result.count;
    generated.count = result.count;
    return generated;
}

} // namespace wav
