#include "wav/ResampleFile.h"

#include "base/Format.h"
#include "base/OutputFile.h"
#include "wav/Interpolation.h"
#include "wav/LowPass.h"

#include <algorithm>
#include <vector>

namespace wav {

namespace {

// A read that could not go on: the file ended early or failed.
struct ReadStopped {
    base::FileProblem problem;
};

// The working samples of one channel held in a window of the file's bytes, from sample `start` on. Stride
// is the bytes from one sample to the next, fixed for the usual layouts (one or two channels of 8 or 16 bits)
// so that finding a sample takes no multiplication; 0 takes it from `stride`.
template <bool SixteenBit, std::size_t Stride = 0> struct WindowSamples {
    const std::uint8_t* bytes;
    std::uint64_t start;
    std::size_t stride;
    std::uint32_t operator()(std::uint64_t i) const {
        const std::uint8_t* p = bytes + (i - start) * (Stride != 0 ? Stride : stride);
        if constexpr (SixteenBit)
            return static_cast<std::uint16_t>((p[0] | (p[1] << 8)) ^ 0x8000);
        else
            return static_cast<std::uint32_t>(p[0]) << 8;
    }
    void Prefetch(std::uint64_t) const {} // the window was just read: it is in the cache
};

// Output blocks of at most kBlockWords words, each reading a window of at most kWindowSamples samples: a
// window that fits a processor's second-level cache, where the interpolation finds it.
constexpr std::uint64_t kBlockWords = 32768;
constexpr std::uint64_t kWindowSamples = 65536;

template <bool SixteenBit>
void Stream(OpenedWav& opened, const SampleLayout& layout, std::uint32_t src, std::uint32_t dst,
            std::uint64_t n, SampleWidth width, Sign sign, EightBit eightBit, base::OutputFile& out) {
    Interpolation interpolation(layout.count, src, dst);
    // As many outputs a block as keep its window within kWindowSamples samples (one output reads two).
    const std::uint64_t blockWords =
        std::clamp<std::uint64_t>(((kWindowSamples - 2) << 16) / interpolation.MostAdvance(), 1, kBlockWords);
    std::vector<std::uint16_t> words(static_cast<std::size_t>(blockWords));
    std::vector<std::uint8_t> window;
    for (std::uint64_t done = 0; done < n;) {
        const auto count = static_cast<std::size_t>(std::min(blockWords, n - done));
        const Interpolation::Reach reach = interpolation.Reads(count);
        const std::size_t bytes = (reach.last - reach.first) * layout.stride + (SixteenBit ? 2 : 1);
        if (window.size() < bytes) window.resize(bytes);
        const long long got =
            opened.file.ReadAt(layout.first + reach.first * layout.stride, window.data(), bytes);
        if (got < 0) throw ReadStopped{opened.file.Problem()};
        if (static_cast<std::size_t>(got) < bytes)
            throw ReadStopped{{opened.path, "it became shorter while it was read"}};
        const auto run = [&]<std::size_t Stride>() {
            WindowSamples<SixteenBit, Stride> samples{window.data(), reach.first, layout.stride};
            interpolation.Run(samples, words.data(), count);
        };
        if (layout.stride == 1)
            run.template operator()<1>();
        else if (layout.stride == 2)
            run.template operator()<2>();
        else if (layout.stride == 4)
            run.template operator()<4>();
        else
            run.template operator()<0>();
        WriteSampleFileBytes(std::span<const std::uint16_t>(words.data(), count), width, sign, eightBit, out);
        done += count;
    }
}

// The working samples of one channel read from the file a window at a time, for the low-pass filter, which
// asks for them in rising order but for the overlap of its taps (at most 4097 back): a sample outside the
// window held reads kFilterWindowSamples samples from kBackSamples before it on, so that the overlap is
// still held.
constexpr std::uint64_t kBackSamples = 8192;
constexpr std::uint64_t kFilterWindowSamples = 262144;

template <bool SixteenBit> class FileSamples {
public:
    FileSamples(OpenedWav& opened, const SampleLayout& layout) : opened_(&opened), layout_(layout) {}

    std::uint32_t operator()(std::uint64_t i) {
        if (i < start_ || i >= end_) Read(i);
        return WindowSamples<SixteenBit>{window_.data(), start_, layout_.stride}(i);
    }
    void Prefetch(std::uint64_t) const {}

private:
    void Read(std::uint64_t i) {
        const std::uint64_t start = i > kBackSamples ? i - kBackSamples : 0;
        const std::uint64_t end = std::min<std::uint64_t>(layout_.count, start + kFilterWindowSamples);
        const std::size_t bytes = (end - 1 - start) * layout_.stride + (SixteenBit ? 2 : 1);
        if (window_.size() < bytes) window_.resize(bytes);
        const long long got =
            opened_->file.ReadAt(layout_.first + start * layout_.stride, window_.data(), bytes);
        if (got < 0) throw ReadStopped{opened_->file.Problem()};
        if (static_cast<std::size_t>(got) < bytes)
            throw ReadStopped{{opened_->path, "it became shorter while it was read"}};
        start_ = start;
        end_ = end;
    }

    OpenedWav* opened_;
    SampleLayout layout_;
    std::vector<std::uint8_t> window_;
    std::uint64_t start_ = 0;
    std::uint64_t end_ = 0; // nothing held
};

// The conversion through the low-pass filter, a block of outputs at a time. The filter keeps its own
// buffer of fixed size and asks the file for the samples it needs; its outputs do not depend on where the
// blocks end, so the words are those of the whole-buffer conversion.
template <bool SixteenBit>
void StreamFiltered(OpenedWav& opened, const SampleLayout& layout, std::uint32_t src, std::uint32_t dst,
                    std::uint64_t n, std::span<const std::int16_t> taps, SampleWidth width, Sign sign,
                    base::OutputFile& out) {
    Interpolation interpolation(layout.count, src, dst);
    LowPassFetch<FileSamples<SixteenBit>> filter(FileSamples<SixteenBit>(opened, layout), layout.count, taps);
    std::vector<std::uint16_t> words(static_cast<std::size_t>(kBlockWords));
    for (std::uint64_t done = 0; done < n;) {
        const auto count = static_cast<std::size_t>(std::min(kBlockWords, n - done));
        interpolation.Run(filter, words.data(), count);
        WriteSampleFileBytes(std::span<const std::uint16_t>(words.data(), count), width, sign,
                             EightBit::Round, out);
        done += count;
    }
}

} // namespace

FileResampleResult ResampleWavFile(OpenedWav& opened, Channel channel, std::uint32_t targetRate,
                                   SampleWidth width, Sign sign, const std::string& output, bool lowPass) {
    FileResampleResult result;
    const SampleLayout layout = SampleLayoutOf(opened.check, channel);
    const std::uint32_t src = opened.check.header.SampleRate;
    const std::uint64_t n = layout.count == 0 ? 0 : OutputCount(layout.count, src, targetRate);
    if (n > kMaxOutputCount) {
        result.failure = kResampleMemoryError;
        result.detail = {
            {opened.path, base::strprintf("the result would hold %llu samples, more than the %llu a result "
                                          "can hold",
                                          static_cast<unsigned long long>(n),
                                          static_cast<unsigned long long>(kMaxOutputCount))}};
        return result;
    }
    result.counted = true;
    result.count = n;

    base::OutputFile out;
    if (!out.Create(output, base::OutputFile::Mode::Binary)) {
        result.failure = kSaveFileError;
        result.detail = {out.Problem()};
        return result;
    }
    try {
        // The filter acts only when the target rate is below the source's; the rounding of 8-bit samples
        // goes with the option whatever the rates.
        const std::vector<std::int16_t> taps =
            lowPass && n > 0 ? LowPassTaps(src, targetRate) : std::vector<std::int16_t>{};
        const EightBit eightBit = lowPass ? EightBit::Round : EightBit::Cut;
        if (n > 0 && !taps.empty()) {
            if (layout.sixteenBit)
                StreamFiltered<true>(opened, layout, src, targetRate, n, taps, width, sign, out);
            else
                StreamFiltered<false>(opened, layout, src, targetRate, n, taps, width, sign, out);
        } else if (n > 0) {
            if (layout.sixteenBit)
                Stream<true>(opened, layout, src, targetRate, n, width, sign, eightBit, out);
            else
                Stream<false>(opened, layout, src, targetRate, n, width, sign, eightBit, out);
        }
    } catch (const ReadStopped& stopped) {
        result.failure = kSaveFileError;
        result.detail = {stopped.problem};
        return result; // out, still open, is abandoned: the old file stays
    }
    const std::uint16_t padding[kPaddingWords] = {0x8000, 0x8000, 0x8000, 0x8000,
                                                  0x8000, 0x8000, 0x8000, 0x8000};
    WriteSampleFileBytes(padding, width, sign, lowPass ? EightBit::Round : EightBit::Cut, out);
    if (!out.Close()) {
        result.failure = kSaveFileError;
        result.detail = {out.Problem()};
    }
    return result;
}

} // namespace wav
