#pragma once

#include "wav/Resampler.h"

#include <algorithm>
#include <cstdint>

namespace wav {

// The linear interpolation of a conversion, resumable: Run may produce the outputs in one call or in blocks
// of any size, with the same words either way. fetch(i) gives working sample i for i below count; its calls
// ask for samples in an order that never moves back by more than one sample, so a source that reads the
// file block by block can serve them. fetch.Prefetch(i) is a hint that sample i will be wanted (i may lie
// past the end).
class Interpolation {
public:
    // count > 0; src and dst above 0.
    Interpolation(std::uint64_t count, std::uint32_t src, std::uint32_t dst)
        : k_(StepConstantsOf(src, dst)), last_(count - 1),
          // A source rate below half the target would put the first position before the first sample.
          pos_(k_.step >= 32768 ? k_.step - 32768 : 0) {}

    // The samples the next n outputs (n > 0) read lie within [first, last].
    struct Reach {
        std::uint64_t first;
        std::uint64_t last;
    };
    Reach Reads(std::uint64_t n) const {
        const std::uint64_t whole = pos_ >> 16;
        const std::uint64_t end = (pos_ + (n - 1) * MostAdvance()) >> 16;
        return {std::min(whole == 0 ? 0 : whole - 1, last_), std::min(end, last_)};
    }
    // The most the position moves from one output to the next: the step and the remainder's carry.
    std::uint64_t MostAdvance() const { return k_.step + 1 + (k_.rem >> 16); }

    template <class Fetch> void Run(Fetch& fetch, std::uint16_t* out, std::uint64_t n) {
        const std::uint64_t step = k_.step;
        const std::uint64_t rem = k_.rem;
        const std::uint64_t last = last_;
        std::uint64_t pos = pos_;
        std::uint64_t acc = acc_;
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
            // The remainder accumulates; its carry moves the next output. An acc of exactly 65536 is kept,
            // and carries again at the next output.
            acc += rem;
            const std::uint64_t carry = acc >> 16;
            if (acc > 65536) acc &= 0xFFFF;
            pos += step + carry;
        }
        pos_ = pos;
        acc_ = acc;
    }

private:
    StepConstants k_;
    std::uint64_t last_;
    std::uint64_t pos_;
    std::uint64_t acc_ = 0;
};

} // namespace wav
