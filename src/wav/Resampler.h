#pragma once

#include "wav/WavReader.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace wav {

struct WavState;

// The rates "RESample_Frequency" offers, in list order. With no list item selected the target is the first.
inline constexpr std::uint32_t kTargetRates[] = {8000, 16000};

// The target rate of the selected list item (-1: none selected, which means 8000).
std::uint32_t TargetRate(int selectedItem);

// Output words a result holds after its n samples, each 0x8000 (the middle level).
inline constexpr std::uint32_t kPaddingWords = 8;

// The largest n a result may have: its 16-bit file (2n + 16 bytes) stays within a signed 32-bit size.
inline constexpr std::uint64_t kMaxOutputCount = (0x7FFFFFFFull - 2 * kPaddingWords) / 2;

// The number of output samples for count source samples: (count x (1 / src)) / (1 / dst), truncated, each
// of the four operations rounded to nearest in binary floating point with a 64-bit significand, in that
// order (1 / src, the product, 1 / dst, the quotient). Not always floor(count x dst / src): at 8000 to
// 8000, 253 samples give 252 and 2001 give 2001. 0 when src or dst is 0.
std::uint64_t OutputCount(std::uint32_t count, std::uint32_t src, std::uint32_t dst);

// The same count worked out with integers alone (a software 64-bit-significand float): what OutputCount
// uses where long double is not the x87 extended type, and a check of it where it is.
std::uint64_t OutputCountSoftware(std::uint32_t count, std::uint32_t src, std::uint32_t dst);

// The fixed-point constants of a conversion, with 16 fraction bits: P = src x 65536, step = P / dst (the
// distance between output samples in source samples), rem = P mod dst (spread over the outputs as a carry).
// Held in 64 bits, so that rates of 65536 Hz and more do not wrap.
struct StepConstants {
    std::uint64_t P = 0;
    std::uint64_t step = 0;
    std::uint64_t rem = 0;
};
StepConstants StepConstantsOf(std::uint32_t src, std::uint32_t dst); // dst > 0

// Linear interpolation of S into out[0 .. out.size()), output i reading the source at pos / 65536 - 1
// samples: pos starts at step - 32768 (0 when that is below zero) and grows by step plus a carry of 1
// whenever the accumulated rem passes 65536. Each output is A x (65536 - f) / 65536 + B x f / 65536 with
// each term rounded down, A and B the samples before and at the integer part of pos, f its fraction. An
// index past the last sample reads the last sample; S must not be empty when out is not. Reads nothing
// outside S.
void Interpolate(std::span<const std::uint16_t> S, std::uint32_t src, std::uint32_t dst,
                 std::span<std::uint16_t> out);

// The low-pass filter that may run before the interpolation when the target rate is below the source rate:
// a windowed sinc with its cutoff (half gain) at the target's Nyquist frequency dst / 2, a Kaiser window for
// 80 dB of stopband attenuation and a transition band dst / 4 wide (so 8000 Hz passes up to 3 kHz and stops
// from 5 kHz), at most 4097 taps (beyond some 200 times the target rate the transition band widens). The
// taps are in Q15, an odd number of them, symmetric about the middle one, and sum to
// exactly 32768, so that a constant signal (silence at 0x8000 above all) comes through unchanged. Empty when
// dst >= src or either is 0: nothing above the target's Nyquist frequency can be in the source then.
std::vector<std::int16_t> LowPassTaps(std::uint32_t src, std::uint32_t dst);

// S low-pass filtered with taps (LowPassTaps), sample by sample: the working samples taken as offset binary
// (0x8000 the middle), the products summed exactly, rounded to the nearest (halves up) and kept within
// 0..65535. The samples before the first and after the last are taken to repeat those. Taps empty: S as it
// is. What Resample with lowPass interpolates.
std::vector<std::uint16_t> LowPassFiltered(std::span<const std::uint16_t> S,
                                           std::span<const std::int16_t> taps);

struct ResampleResult {
    std::optional<std::string> failure; // kResampleMemoryError: the result cannot be held
    std::string reason;                 // why, one line
    std::uint64_t count = 0;            // n
    std::vector<std::uint16_t> words;   // n output words and kPaddingWords words 0x8000
};

// The whole conversion of the working samples S from src to dst Hz. src and dst above 0. With lowPass, the
// interpolation reads LowPassFiltered(S, LowPassTaps(src, dst)) in place of S (only the samples it reads
// are filtered); the output count and the interpolation's arithmetic stay the same.
ResampleResult Resample(std::span<const std::uint16_t> S, std::uint32_t src, std::uint32_t dst,
                        bool lowPass = false);

enum class SampleWidth { Bits8, Bits16 };

// "0x%08X-%08d" of the size of the file a save at that width writes: n + 8 bytes at 8 bits, 2n + 16 at 16
// ("0x00000FA8-00004008" for 4000 samples at 8 bits).
std::string ResampleLengthText(std::uint64_t n, SampleWidth width);

struct GenerateResult {
    std::optional<std::string> failure; // kResampleMemoryError; or kAnalyzeFileError with no accepted file
    std::string reason;
    std::uint64_t count = 0; // n
};

// "RESample Gen": resamples the chosen channel of the loaded file to targetRate, reading its working samples
// from the file image, and replaces state's result. A failure leaves no result held. lowPass is the
// "Low-pass" box: Resample's lowPass, and the result is marked to be rounded, not cut, to 8 bits.
GenerateResult GenerateResample(WavState& state, Channel channel, std::uint32_t targetRate,
                                bool lowPass = false);

} // namespace wav
