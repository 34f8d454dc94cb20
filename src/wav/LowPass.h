#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace wav {

// Working samples low-pass filtered where the interpolation reads them. The source is copied a block at a
// time, as signed 16-bit values (the sample minus 0x8000), into a buffer with room for the taps on either
// side; each filtered sample is one dot product over it. The sums are exact 32-bit integers when the taps'
// magnitudes sum below 65536 (2.0 in Q15, which a low-pass's taps never reach), and 64-bit ones otherwise,
// so every build gives the same bytes.
template <class Fetch> class LowPassFetch {
public:
    static constexpr int kTapBlock = 8; // taps are read in groups of 8 (one SSE2 register of 16-bit values)

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

} // namespace wav
