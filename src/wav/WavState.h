#pragma once

#include "wav/FileImage.h"
#include "wav/WavReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace wav {

// What the WAV tab holds between its handlers: the last file loaded and what was made from it. Nothing else
// reads it; a load replaces all of it.
struct WavState {
    FileImage WavImage;     // the whole file, as read
    std::string WavPath;    // the file WavImage holds (no output may replace it)
    bool imageHeld = false; // false before any load and after a file that could not be held
    HeaderCheck check;      // of WavImage
    // The working samples are not held: the resampler reads them from WavImage where it needs them, in the
    // channel chosen at generation.
    std::vector<std::uint16_t> ResampleBuffer; // n output words, then 8 padding words 0x8000
    bool resultHeld = false;
    std::uint64_t resultCount = 0; // n
    bool resultFiltered = false;   // made with "Low-pass": an 8-bit save rounds its samples
};

} // namespace wav
