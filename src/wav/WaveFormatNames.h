#pragma once

#include <cstdint>
#include <span>

namespace wav {

// One row of the format-name table: a WAVE format tag and its published registry name without the
// "WAVE_FORMAT_" prefix.
struct WaveFormatName {
    std::uint16_t tag;
    const char* name;
};

// The 149 rows, in increasing tag order (0x0001 "PCM" to 0x2001 "DTS2").
std::span<const WaveFormatName> WaveFormatNames();

// The name shown for a format tag: the table's name, or "UNKNOWN" for a tag it does not hold (0x0000 and
// 0xFFFE among them).
const char* WaveFormatNameOf(std::uint16_t tag);

} // namespace wav
