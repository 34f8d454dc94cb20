#pragma once

#include "base/FileProblem.h"
#include "wav/Resampler.h"
#include "wav/SampleWriter.h"
#include "wav/WavReader.h"

#include <cstdint>
#include <optional>
#include <string>

namespace wav {

struct FileResampleResult {
    std::optional<std::string> failure; // kResampleMemoryError (n too large) or kSaveFileError
    base::FailureDetail detail;         // the file and why
    bool counted = false;               // n was accepted: the result's length is known (the save may fail)
    std::uint64_t count = 0;            // n
};

// "RESample Gen" and "RESample Save" in one pass, for a job that keeps no result (tavix-cli): the chosen
// channel of an accepted file (opened.load without failure) resampled to targetRate and written to output
// as SaveSampleFile writes a result, byte for byte. The samples are read from the file and the output
// written through the safe replacement in blocks, so the memory used does not grow with the file. A file
// that cannot be read to its end (cut short meanwhile, a read error) fails with kSaveFileError and leaves
// what was at output unchanged. output must not be the input (the caller checks, naming both).
FileResampleResult ResampleWavFile(OpenedWav& opened, Channel channel, std::uint32_t targetRate,
                                   SampleWidth width, Sign sign, const std::string& output);

} // namespace wav
