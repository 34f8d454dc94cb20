#include "wav/ResampleFile.h"

#include "base/Format.h"
#include "base/OutputFile.h"
#include "wav/Interpolation.h"

#include <algorithm>
#include <vector>

namespace wav {

namespace {

// A read that could not go on: the file ended early or failed.
struct ReadStopped {
    base::FileProblem problem;
};

// The working samples of one channel held in a window of the file's bytes, from sample `start` on.
template <bool SixteenBit> struct WindowSamples {
    const std::uint8_t* bytes;
    std::uint64_t start;
    std::size_t stride;
    std::uint32_t operator()(std::uint64_t i) const {
        const std::uint8_t* p = bytes + (i - start) * stride;
        if constexpr (SixteenBit)
            return static_cast<std::uint16_t>((p[0] | (p[1] << 8)) ^ 0x8000);
        else
            return static_cast<std::uint32_t>(p[0]) << 8;
    }
    void Prefetch(std::uint64_t) const {} // the window was just read: it is in the cache
};

// Output blocks of at most kBlockWords words, each reading a window of at most kWindowSamples samples.
constexpr std::uint64_t kBlockWords = 32768;
constexpr std::uint64_t kWindowSamples = 262144;

template <bool SixteenBit>
void Stream(OpenedWav& opened, const SampleLayout& layout, std::uint32_t src, std::uint32_t dst,
            std::uint64_t n, SampleWidth width, Sign sign, base::OutputFile& out) {
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
        const long long got = opened.file.ReadAt(layout.first + reach.first * layout.stride, window.data(), bytes);
        if (got < 0) throw ReadStopped{opened.file.Problem()};
        if (static_cast<std::size_t>(got) < bytes)
            throw ReadStopped{{opened.path, "it became shorter while it was read"}};
        WindowSamples<SixteenBit> samples{window.data(), reach.first, layout.stride};
        interpolation.Run(samples, words.data(), count);
        out.Write(SampleFileBytes(std::span<const std::uint16_t>(words.data(), count), width, sign));
        done += count;
    }
}

} // namespace

FileResampleResult ResampleWavFile(OpenedWav& opened, Channel channel, std::uint32_t targetRate,
                                   SampleWidth width, Sign sign, const std::string& output) {
    FileResampleResult result;
    const SampleLayout layout = SampleLayoutOf(opened.check, channel);
    const std::uint32_t src = opened.check.header.SampleRate;
    const std::uint64_t n = layout.count == 0 ? 0 : OutputCount(layout.count, src, targetRate);
    if (n > kMaxOutputCount) {
        result.failure = kResampleMemoryError;
        result.detail = {{opened.path,
                          base::strprintf("the result would hold %llu samples, more than the %llu a result "
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
        if (n > 0) {
            if (layout.sixteenBit)
                Stream<true>(opened, layout, src, targetRate, n, width, sign, out);
            else
                Stream<false>(opened, layout, src, targetRate, n, width, sign, out);
        }
    } catch (const ReadStopped& stopped) {
        result.failure = kSaveFileError;
        result.detail = {stopped.problem};
        return result; // out, still open, is abandoned: the old file stays
    }
    const std::uint16_t padding[kPaddingWords] = {0x8000, 0x8000, 0x8000, 0x8000,
                                                  0x8000, 0x8000, 0x8000, 0x8000};
    out.Write(SampleFileBytes(padding, width, sign));
    if (!out.Close()) {
        result.failure = kSaveFileError;
        result.detail = {out.Problem()};
    }
    return result;
}

} // namespace wav
