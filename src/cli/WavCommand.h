#pragma once

#include "wav/Resampler.h"
#include "wav/SampleWriter.h"
#include "wav/WavReader.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cli {

// `wav info F.wav [--bank N]`: the "Header" group's rows after "WAV Load" (and a bank of the hexadecimal
// view).
// `wav resample F.wav OUT [--rate 8000|16000] [--bits 8|16] [--channel left|right] [--signed]`: "RESample
// Gen" then "RESample Save" with the choices the tab's controls would hold (defaults: 8000, 8 Bit, Left
// Channel; --signed writes 16-bit samples in two's complement instead of offset binary; --filter is the
// "Low-pass" box).
// `wav strip F.wav OUT`: the "ReSample_ByPass" file's bytes, written to OUT.
struct WavJob {
    enum class Action { Info, Resample, Strip };
    Action action = Action::Info;
    std::string input;
    std::string output;
    std::optional<std::uint64_t> bank;
    std::uint32_t rate = wav::kTargetRates[0];
    wav::SampleWidth width = wav::SampleWidth::Bits8;
    wav::Channel channel = wav::Channel::Left;
    wav::Sign sign = wav::Sign::OffsetBinary;
    bool lowPass = false; // --filter
};
WavJob ParseWavArgs(const std::vector<std::string>& args); // throws UsageError

} // namespace cli
