#pragma once

#include "base/FileProblem.h"
#include "base/WholeFile.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace wav {

struct WavState;

// The canonical header: "RIFF", a 16-byte format chunk and the "data" chunk's header, every field at a fixed
// offset.
inline constexpr std::size_t kHeaderSize = 44;

// The largest file a load takes: the header and the most data a 32-bit DataLength can describe.
inline constexpr std::uint64_t kMaxFileSize = kHeaderSize + 0xFFFFFFFFull;

// The lowest SampleRate a file may declare. Below it the resampler's ratio (up to 16000 Hz) would turn a
// small file into an enormous result; no recording meant for the chip's 8000 or 16000 Hz is that slow.
inline constexpr std::uint32_t kMinSampleRate = 1000;

// The messages of the WAV tab, as the user sees them.
inline constexpr const char* kOpenFileError = "Open File Error!!!";
inline constexpr const char* kWavMemoryError = "Wav Memory Error!!!";
inline constexpr const char* kAnalyzeFileError = "Analyze File Error!!!";
inline constexpr const char* kResampleMemoryError = "Rasample Memoey Error!!!";
inline constexpr const char* kSaveFileError = "Save File Error!!!";

// The header fields, little-endian at their fixed offsets.
struct WavHeader {
    std::int32_t ChunkSize = 0;      // offset 4
    std::uint16_t AudioFormat = 0;   // 20
    std::uint16_t NumChannels = 0;   // 22
    std::uint32_t SampleRate = 0;    // 24
    std::uint32_t ByteRate = 0;      // 28
    std::uint16_t BlockAlign = 0;    // 32
    std::uint16_t BitsPerSample = 0; // 34
    std::uint32_t DataLength = 0;    // 40
};

// How far the check of a file got, and so which fields the header view shows; each stage shows the fields
// of the stages before it as well.
enum class HeaderReach {
    None,       // a signature is wrong or lies past the end of the file: no field is shown
    Format,     // ChunkSize and AudioFormat
    Fields,     // NumChannels, SampleRate, ByteRate, BlockAlign and BitsPerSample (the format is PCM)
    DataLength, // DataLength: every field
};

struct HeaderCheck {
    HeaderReach reach = HeaderReach::None;
    bool accepted = false;       // canonical PCM, 8 or 16 bits, 1 or 2 channels, at least kMinSampleRate Hz
    WavHeader header;            // the fields reach covers; the others are 0
    std::uint32_t dataBytes = 0; // accepted files: DataLength clipped to the bytes after the header
    std::string reason;          // refused files: why, in one line; empty when accepted
};

// Checks the image of a whole file against the canonical 44-byte-header PCM layout. No chunk is searched
// for, so a longer format chunk, or another chunk before the data, moves "data" from offset 36 and the file
// is refused. The byte after "fmt" is not looked at. Reads nothing outside image.
HeaderCheck CheckWavHeader(std::span<const std::uint8_t> image);
// The same from the file's first bytes (head, at most 44 of them are looked at) and its size, for a check
// that does not read the whole file.
HeaderCheck CheckWavHeader(std::span<const std::uint8_t> head, std::uint64_t fileSize);

enum class Channel { Left, Right };

// The working samples an accepted file gives: its data bytes divided by the bytes of a frame (rounded down).
std::uint32_t SampleCountOf(const HeaderCheck& check);

// Where one channel's samples lie in the image of an accepted file: sample i starts at byte
// first + i x stride; count samples lie wholly inside the data.
struct SampleLayout {
    std::size_t first = kHeaderSize;
    std::size_t stride = 1;
    bool sixteenBit = false;
    std::uint32_t count = 0;
};
// The right channel of a mono file is its only channel. A refused file has no samples.
SampleLayout SampleLayoutOf(const HeaderCheck& check, Channel channel);

// Working sample i, a 16-bit unsigned value whose middle level is 0x8000: an 8-bit sample times 256; a
// 16-bit sample (two's complement, low byte first) with its top bit inverted, so that interpolation between
// negative and positive samples stays between them. i must be below layout.count.
inline std::uint16_t WorkingSample8(const std::uint8_t* image, const SampleLayout& layout, std::uint64_t i) {
    return static_cast<std::uint16_t>(image[layout.first + i * layout.stride] << 8);
}
inline std::uint16_t WorkingSample16(const std::uint8_t* image, const SampleLayout& layout, std::uint64_t i) {
    const std::uint8_t* p = image + layout.first + i * layout.stride;
    return static_cast<std::uint16_t>((p[0] | (p[1] << 8)) ^ 0x8000);
}

// All working samples of one channel of an accepted file (empty for a refused one). Throws std::bad_alloc
// when they cannot be held.
std::vector<std::uint16_t> PrepareSamples(std::span<const std::uint8_t> image, const HeaderCheck& check,
                                          Channel channel);

// The bypass file beside a WAV file: its name with the extension replaced by ".bin" ("beep.wav" gives
// "beep.bin"), or with ".bin" added when it has no extension or has ".bin" already, so that it can never
// name the WAV file itself.
std::string BypassPathOf(const std::string& wavPath);

// Writes the data bytes of an accepted file (its clipped DataLength from offset 44, unchanged) to path,
// replacing what was there only when every byte is written. False when it could not (problem, when given,
// says why); nothing changed then.
bool WriteBypassFile(std::span<const std::uint8_t> image, const HeaderCheck& check, const std::string& path,
                     base::FileProblem* problem = nullptr);

struct LoadOptions {
    bool writeBypass = false; // "ReSample_ByPass": write BypassPathOf(path) after a successful load
    bool mapFile = false;     // hold the file mapped rather than copied (a job that is over in moments)
};

struct LoadResult {
    std::optional<std::string> failure; // kOpenFileError, kWavMemoryError or kAnalyzeFileError
    base::FailureDetail detail;         // the file it failed on and why; empty after a success
    bool fileRead = false;              // the file is held: its size and name are to be shown
    std::uint64_t fileSize = 0;
    std::string fileName;                     // without its directory
    std::optional<std::string> bypassFile;    // the bypass file written (or tried)
    std::optional<std::string> bypassFailure; // kSaveFileError when the bypass file could not be written
                                              // (also when its name is the WAV file's own)
    base::FailureDetail bypassDetail;         // with bypassFailure: why
};

// A WAV file opened as a load opens it, with its header checked from its first 44 bytes alone: what a job
// that reads the file in blocks starts from. load.failure says why the file cannot be used (the same
// messages and detail as LoadWavFile); file stays open either way once it could be opened.
struct OpenedWav {
    std::string path; // as given
    base::InputFile file;
    LoadResult load;
    HeaderCheck check;
};
OpenedWav OpenWavFile(const std::string& path);

// What a look at a file without holding it finds (tavix-cli's `wav info`): the load's result and header
// check as LoadWavFile gives them, from the file's first 44 bytes, and the bytes of the bank asked for
// (bankInRange: the file has that bank; its bytes are the ones the file has, up to 256).
struct WavInfo {
    LoadResult load;
    HeaderCheck check;
    std::vector<std::uint8_t> bankBytes;
    bool bankInRange = false;
};
// Reads the header and the one bank, nothing more, however large the file.
WavInfo ReadWavInfo(const std::string& path, std::optional<std::uint64_t> bank);

// "ReSample_ByPass" from a file on disk (tavix-cli's `wav strip`): checks the header as a load does and
// copies the data bytes (the clipped DataLength from offset 44) to output in blocks, replacing it only when
// every byte is written. The result's failure is the load's message (kOpenFileError, kAnalyzeFileError)
// or kSaveFileError, its detail the reason: an output that is the WAV file itself ("the output NAME is the
// input"), the output's own failure, or a file that shrank while it was copied. Nothing is written then.
LoadResult StripWavFile(const std::string& path, const std::string& output);

// "WAV Load" of the file at path into state. A file that does not exist, cannot be opened or is not a
// regular file (a FIFO is refused, not waited for: "NAME is not a regular file") changes nothing
// (kOpenFileError). Otherwise the previous image and result are released first; a file that cannot
// be held (kWavMemoryError) leaves neither. A held file is checked (state.check): a refused one gives
// kAnalyzeFileError and keeps its image; an accepted one gets, when asked, its bypass file written.
LoadResult LoadWavFile(WavState& state, const std::string& path, const LoadOptions& options);

} // namespace wav
