// Feeds arbitrary files to "WAV Load" and to what then works on the loaded file: the header check, the
// header and hexadecimal views, the working samples and "RESample Gen" at both rates and in both channels.
// Nothing may be read outside the image. Two properties are checked on the way: the samples read in place
// resample exactly as the prepared ones do, and the output count of the x87 arithmetic equals the integer
// emulation's.
#include "wav/Resampler.h"
#include "wav/SampleWriter.h"
#include "wav/WavState.h"
#include "wav/WavView.h"

#include "FuzzWorkDir.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::uint32_t Le32At(const std::uint8_t* data, std::size_t size, std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(at + i < size ? data[at + i] : 0) << (8 * i);
    return v;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static wav::WavState state;
    wav::LoadResult load;
    if (size % 5 == 0) {
        // Through the file system, as the window and the CLI load it.
        const std::string path = FuzzWorkDir() + "/input.wav";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f) std::abort();
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        load = wav::LoadWavFile(state, path, {.writeBypass = size % 2 == 0, .mapFile = size % 3 == 0});
    } else {
        state.WavImage.Assign({data, size});
        state.imageHeld = true;
        state.check = wav::CheckWavHeader(state.WavImage.Bytes());
        load.fileRead = true;
        load.fileSize = size;
    }
    const auto image = state.WavImage.Bytes();

    wav::HeaderView view = wav::DefaultHeaderView();
    wav::ShowLoad(view, load, state.check);
    for (const auto& label : view)
        (void)wav::HeaderLine(label);
    const std::uint64_t banks = wav::BankCount(image.size());
    (void)wav::DataGridOf(image, 0);
    (void)wav::DataGridOf(image, banks - 1);
    (void)wav::DataGridOf(image, banks + 3);
    (void)wav::BankItemText(banks - 1);

    if (state.check.accepted) {
        const std::uint32_t src = state.check.header.SampleRate;
        for (wav::Channel channel : {wav::Channel::Left, wav::Channel::Right}) {
            const auto prepared = wav::PrepareSamples(image, state.check, channel);
            for (std::uint32_t dst : wav::kTargetRates) {
                // Keep each run fast: a tiny source rate asks for billions of outputs.
                if (wav::OutputCount(static_cast<std::uint32_t>(prepared.size()), src, dst) > (1u << 16))
                    continue;
                const auto generated = wav::GenerateResample(state, channel, dst);
                if (generated.failure) std::abort();
                if (state.ResampleBuffer != wav::Resample(prepared, src, dst).words) std::abort();
                (void)wav::SampleFileBytes(state.ResampleBuffer, wav::SampleWidth::Bits8);
                // The same through the low-pass filter, read in place and from the prepared samples.
                if (wav::GenerateResample(state, channel, dst, true).failure) std::abort();
                if (state.ResampleBuffer != wav::Resample(prepared, src, dst, true).words) std::abort();
                (void)wav::SampleFileBytes(state.ResampleBuffer, wav::SampleWidth::Bits8, wav::Sign::OffsetBinary,
                                           wav::EightBit::Round);
                (void)wav::ResampleLengthText(generated.count, wav::SampleWidth::Bits16);
            }
        }
    }

    // The output count for arbitrary lengths and rates.
    const std::uint32_t count = Le32At(data, size, 0);
    const std::uint32_t src = Le32At(data, size, 4);
    const std::uint32_t dst = Le32At(data, size, 8);
    if (wav::OutputCount(count, src, dst) != wav::OutputCountSoftware(count, src, dst)) std::abort();
    return 0;
}
