#include "wav/WavReader.h"

#include "base/FileProblem.h"
#include "base/Format.h"
#include "base/LittleEndian.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "wav/WavState.h"
#include "wav/WaveFormatNames.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace wav {

namespace {

constexpr const char* kTakes =
    "; Tavix takes canonical PCM WAV files with a 44-byte header, 8 or 16 bits, mono or stereo";

std::string TooShort(std::size_t size) {
    return base::strprintf("the file holds %zu bytes, fewer than the 44 of the header", size) + kTakes;
}

struct Signature {
    std::size_t offset;
    const char* letters; // compared on strlen(letters) bytes
};

constexpr Signature kSignatures[] = {{0, "RIFF"}, {8, "WAVE"}, {12, "fmt"}, {36, "data"}};

// What moved "data" from offset 36 (the image reaches offset 40): a format chunk longer than 16 bytes, or the
// chunk that stands where "data" should.
std::string WhatMovedTheData(std::span<const std::uint8_t> image) {
    const std::uint32_t formatSize = base::ReadLe32(image.data() + 16);
    if (formatSize != 16) return base::strprintf(": the format chunk holds %u bytes, not 16", formatSize);
    std::string id;
    for (std::size_t i = 36; i < 40; ++i) {
        const std::uint8_t b = image[i];
        if (b < 0x20 || b > 0x7E) return ", where a chunk with an unreadable name stands";
        id += static_cast<char>(b);
    }
    if (image.size() < 44) return ", where a \"" + id + "\" chunk stands";
    return base::strprintf(", where a \"%s\" chunk of %u bytes stands", id.c_str(),
                           base::ReadLe32(image.data() + 40));
}

} // namespace

HeaderCheck CheckWavHeader(std::span<const std::uint8_t> image) {
    HeaderCheck check;
    for (const Signature& s : kSignatures) {
        const std::size_t length = std::strlen(s.letters);
        if (image.size() < s.offset + length) {
            check.reason = TooShort(image.size());
            return check;
        }
        if (std::memcmp(image.data() + s.offset, s.letters, length) != 0) {
            const std::string why = s.offset == 36 ? WhatMovedTheData(image) : std::string();
            check.reason = base::strprintf("\"%s\" is not at offset %zu", s.letters, s.offset) + why + kTakes;
            return check;
        }
    }

    // From here on the file reaches offset 40.
    WavHeader& h = check.header;
    const std::uint8_t* p = image.data();
    h.ChunkSize = static_cast<std::int32_t>(base::ReadLe32(p + 4));
    h.AudioFormat = base::ReadLe16(p + 20);
    check.reach = HeaderReach::Format;
    if (h.AudioFormat != 1) {
        check.reason =
            base::strprintf("AudioFormat is 0x%04X (%s), not 0x0001 (PCM)",
                            static_cast<unsigned>(h.AudioFormat), WaveFormatNameOf(h.AudioFormat)) +
            kTakes;
        return check;
    }

    h.NumChannels = base::ReadLe16(p + 22);
    h.SampleRate = base::ReadLe32(p + 24);
    h.ByteRate = base::ReadLe32(p + 28);
    h.BlockAlign = base::ReadLe16(p + 32);
    h.BitsPerSample = base::ReadLe16(p + 34);
    check.reach = HeaderReach::Fields;
    if (image.size() < kHeaderSize) {
        check.reason = TooShort(image.size());
        return check;
    }
    h.DataLength = base::ReadLe32(p + 40);
    check.reach = HeaderReach::DataLength;

    if (h.SampleRate == 0) {
        check.reason = std::string("SampleRate is 0") + kTakes;
        return check;
    }
    if (h.BitsPerSample != 8 && h.BitsPerSample != 16) {
        check.reason =
            base::strprintf("BitsPerSample is %u, not 8 or 16", static_cast<unsigned>(h.BitsPerSample)) +
            kTakes;
        return check;
    }
    if (h.NumChannels != 1 && h.NumChannels != 2) {
        check.reason =
            base::strprintf("NumChannels is %u, not 1 or 2", static_cast<unsigned>(h.NumChannels)) + kTakes;
        return check;
    }
    check.accepted = true;
    check.dataBytes =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(h.DataLength, image.size() - kHeaderSize));
    return check;
}

std::uint32_t SampleCountOf(const HeaderCheck& check) {
    if (!check.accepted) return 0;
    const std::uint32_t frameBytes = check.header.NumChannels * (check.header.BitsPerSample / 8u);
    return check.dataBytes / frameBytes;
}

SampleLayout SampleLayoutOf(const HeaderCheck& check, Channel channel) {
    SampleLayout layout;
    if (!check.accepted) return layout;
    const std::size_t bytesPerSample = check.header.BitsPerSample / 8u;
    layout.stride = check.header.NumChannels * bytesPerSample;
    layout.first =
        kHeaderSize + (channel == Channel::Right && check.header.NumChannels == 2 ? bytesPerSample : 0);
    layout.sixteenBit = bytesPerSample == 2;
    layout.count = SampleCountOf(check);
    return layout;
}

std::vector<std::uint16_t> PrepareSamples(std::span<const std::uint8_t> image, const HeaderCheck& check,
                                          Channel channel) {
    const SampleLayout layout = SampleLayoutOf(check, channel);
    std::vector<std::uint16_t> samples(layout.count);
    // count x stride <= dataBytes, which the image holds after the header.
    for (std::uint32_t i = 0; i < layout.count; ++i)
        samples[i] = layout.sixteenBit ? WorkingSample16(image.data(), layout, i)
                                       : WorkingSample8(image.data(), layout, i);
    return samples;
}

std::string BypassPathOf(const std::string& wavPath) {
    const base::PathParts parts = base::SplitPath(wavPath);
    if (parts.extension.empty() || base::ToLowerAscii(parts.extension) == ".bin") return wavPath + ".bin";
    return parts.directory + parts.baseName + ".bin";
}

bool WriteBypassFile(std::span<const std::uint8_t> image, const HeaderCheck& check, const std::string& path) {
    if (!check.accepted) return false;
    base::OutputFile out;
    if (!out.Create(path, base::OutputFile::Mode::Binary)) return false;
    out.Write(std::string_view(reinterpret_cast<const char*>(image.data()) + kHeaderSize, check.dataBytes));
    return out.Close();
}

namespace {

struct FdCloser {
    int fd;
    ~FdCloser() {
        if (fd >= 0) ::close(fd);
    }
};

void Release(WavState& state) {
    state.WavImage.Clear();
    std::vector<std::uint16_t>().swap(
        state.ResampleBuffer); // gives the memory back, which clear() would keep
    state.imageHeld = false;
    state.resultHeld = false;
    state.resultCount = 0;
    state.check = HeaderCheck{};
}

LoadResult Failed(const char* message, std::string reason) {
    LoadResult result;
    result.failure = message;
    result.reason = std::move(reason);
    return result;
}

} // namespace

LoadResult LoadWavFile(WavState& state, const std::string& path, const LoadOptions& options) {
    if (!base::FileExists(path)) return Failed(kOpenFileError, "does not exist");
    const FdCloser file{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat info {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0)
        return Failed(kOpenFileError, "cannot be opened for reading: " + base::SystemErrorText(errno));

    Release(state);
    const auto size = static_cast<std::uint64_t>(info.st_size);
    if (size > kMaxFileSize)
        return Failed(kWavMemoryError,
                      base::strprintf("the file holds %llu bytes, more than a WAV file's sizes can describe",
                                      static_cast<unsigned long long>(size)));
    switch (state.WavImage.Take(file.fd, size, options.mapFile)) {
    case FileImage::Status::Ok:
        break;
    case FileImage::Status::NoMemory:
        return Failed(kWavMemoryError, "not enough memory to hold the file");
    case FileImage::Status::ReadError:
        return Failed(kOpenFileError, "could not be read");
    }
    state.imageHeld = true;

    LoadResult result;
    result.fileRead = true;
    result.fileSize = state.WavImage.size();
    result.fileName = base::FileNameOf(path);
    state.check = CheckWavHeader(state.WavImage.Bytes());
    if (!state.check.accepted) {
        result.failure = kAnalyzeFileError;
        result.reason = state.check.reason;
        return result;
    }
    if (options.writeBypass) {
        result.bypassFile = BypassPathOf(path);
        if (!WriteBypassFile(state.WavImage.Bytes(), state.check, *result.bypassFile))
            result.bypassFailure = kSaveFileError;
    }
    return result;
}

} // namespace wav
