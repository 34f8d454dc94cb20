#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// Describes a WAV file to build: by default a canonical 44-byte-header PCM file ("RIFF", a 16-byte format
// chunk, "data") holding `data` as its sample bytes. Fields can be overridden, and chunks added, to make
// broken or unusual files.
struct WavLayout {
    std::uint16_t audioFormat = 1;
    std::uint16_t channels = 1;
    std::uint32_t sampleRate = 8000;
    std::uint16_t bits = 16;
    std::vector<std::uint8_t> data; // the sample bytes as the file stores them

    std::optional<std::uint32_t> chunkSize;  // default: the file size less 8
    std::optional<std::uint32_t> byteRate;   // default: sampleRate * blockAlign
    std::optional<std::uint16_t> blockAlign; // default: channels * bits / 8
    std::optional<std::uint32_t> dataLength; // default: data.size()
    std::string riff = "RIFF";
    std::string wave = "WAVE";
    std::string fmt = "fmt ";
    std::string dataId = "data";
    std::vector<std::uint8_t> formatExtra;     // appended to the format chunk, whose size grows by it
    std::vector<std::uint8_t> chunkBeforeData; // whole chunks between the format chunk and "data"
};

std::vector<std::uint8_t> BuildWav(const WavLayout& layout);

// A whole chunk: four letters, a little-endian size and the body.
std::vector<std::uint8_t> Chunk(const std::string& id, const std::vector<std::uint8_t>& body);

// 16-bit sample bytes, low byte first, of the bit patterns given (so -1 is 0xFFFF: FF FF).
std::vector<std::uint8_t> Le16Bytes(const std::vector<std::uint16_t>& samples);

// The 16-bit file samples whose working samples (top bit inverted) are the words given: 0x8000 gives the
// file sample 0, 0 the file sample -32768.
std::vector<std::uint8_t> Pcm16ForWorking(const std::vector<std::uint16_t>& working);

} // namespace testsupport
