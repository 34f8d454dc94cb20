#include "wav/WavReader.h"

#include "base/FileProblem.h"
#include "base/Format.h"
#include "base/LittleEndian.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "base/WholeFile.h"
#include "wav/WavState.h"
#include "wav/WaveFormatNames.h"

#include <algorithm>
#include <cstring>

namespace wav {

namespace {

constexpr const char* kTakes =
    "; Tavix takes canonical PCM WAV files with a 44-byte header, 8 or 16 bits, mono or stereo";

std::string TooShort(std::uint64_t size) {
    return base::strprintf("the file holds %llu bytes, fewer than the 44 of the header",
                           static_cast<unsigned long long>(size)) +
           kTakes;
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
    return CheckWavHeader(image.first(std::min(image.size(), kHeaderSize)), image.size());
}

HeaderCheck CheckWavHeader(std::span<const std::uint8_t> head, std::uint64_t fileSize) {
    HeaderCheck check;
    // Every field lies in the first 44 bytes; head holds them as far as the file has them.
    if (head.size() < std::min<std::uint64_t>(fileSize, kHeaderSize)) fileSize = head.size();
    const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kHeaderSize));
    for (const Signature& s : kSignatures) {
        const std::size_t length = std::strlen(s.letters);
        if (size < s.offset + length) {
            check.reason = TooShort(fileSize);
            return check;
        }
        if (std::memcmp(head.data() + s.offset, s.letters, length) != 0) {
            const std::string why = s.offset == 36 ? WhatMovedTheData(head.first(size)) : std::string();
            check.reason = base::strprintf("\"%s\" is not at offset %zu", s.letters, s.offset) + why + kTakes;
            return check;
        }
    }

    // From here on the file reaches offset 40.
    WavHeader& h = check.header;
    const std::uint8_t* p = head.data();
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
    if (size < kHeaderSize) {
        check.reason = TooShort(fileSize);
        return check;
    }
    h.DataLength = base::ReadLe32(p + 40);
    check.reach = HeaderReach::DataLength;

    if (h.SampleRate < kMinSampleRate) {
        // Below this a recording is no sound Tavix could resample: 1 Hz up to 16000 Hz would multiply the
        // samples by 16000 (a 60 KB file would give a 1.9 GB result).
        check.reason =
            base::strprintf("SampleRate is %u Hz, below the %u Hz Tavix takes",
                            static_cast<unsigned>(h.SampleRate), static_cast<unsigned>(kMinSampleRate)) +
            kTakes;
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
        static_cast<std::uint32_t>(std::min<std::uint64_t>(h.DataLength, fileSize - kHeaderSize));
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

bool WriteBypassFile(std::span<const std::uint8_t> image, const HeaderCheck& check, const std::string& path,
                     base::FileProblem* problem) {
    if (!check.accepted) return false;
    base::OutputFile out;
    bool ok = out.Create(path, base::OutputFile::Mode::Binary);
    if (ok) {
        out.Write(
            std::string_view(reinterpret_cast<const char*>(image.data()) + kHeaderSize, check.dataBytes));
        ok = out.Close();
    }
    if (!ok && problem) *problem = out.Problem();
    return ok;
}

namespace {

base::FileProblem TooLarge(const std::string& path, std::uint64_t size) {
    return {path, base::strprintf("the file holds %llu bytes, more than a WAV file's sizes can describe",
                                  static_cast<unsigned long long>(size))};
}

} // namespace

OpenedWav OpenWavFile(const std::string& path) {
    OpenedWav peeked;
    peeked.path = path;
    LoadResult& load = peeked.load;
    if (peeked.file.Open(path) != base::ReadStatus::Ok) {
        load.failure = kOpenFileError;
        load.detail = {peeked.file.Problem()};
        return peeked;
    }
    if (peeked.file.Size() > kMaxFileSize) {
        load.failure = kWavMemoryError;
        load.detail = {TooLarge(path, peeked.file.Size())};
        return peeked;
    }
    std::uint8_t head[kHeaderSize];
    const long long got = peeked.file.ReadAt(0, head, sizeof head);
    if (got < 0) {
        load.failure = kOpenFileError;
        load.detail = {peeked.file.Problem()};
        return peeked;
    }
    load.fileRead = true;
    load.fileSize = peeked.file.Size();
    load.fileName = base::FileNameOf(path);
    peeked.check = CheckWavHeader(std::span<const std::uint8_t>(head, static_cast<std::size_t>(got)),
                                  peeked.file.Size());
    if (!peeked.check.accepted) {
        load.failure = kAnalyzeFileError;
        load.detail = {{path, peeked.check.reason}};
    }
    return peeked;
}

WavInfo ReadWavInfo(const std::string& path, std::optional<std::uint64_t> bank) {
    OpenedWav peeked = OpenWavFile(path);
    WavInfo info{std::move(peeked.load), std::move(peeked.check), {}, false};
    if (!info.load.fileRead || !bank || *bank > info.load.fileSize / 256) return info;
    info.bankInRange = true;
    info.bankBytes.resize(256);
    const long long got = peeked.file.ReadAt(*bank * 256, info.bankBytes.data(), info.bankBytes.size());
    info.bankBytes.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return info;
}

LoadResult StripWavFile(const std::string& path, const std::string& output) {
    if (base::SameFile(output, path)) {
        LoadResult refused;
        refused.failure = kSaveFileError;
        refused.detail = {base::OutputIsInput(output)};
        return refused;
    }
    OpenedWav peeked = OpenWavFile(path);
    if (peeked.load.failure) return std::move(peeked.load);
    base::OutputFile out;
    std::optional<base::FileProblem> problem;
    if (out.Create(output, base::OutputFile::Mode::Binary)) {
        // In blocks: a file of any length is copied with the memory of one block.
        std::vector<char> block(std::size_t{1} << 17);
        std::uint64_t at = 0;
        while (at < peeked.check.dataBytes) {
            const auto want =
                static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), peeked.check.dataBytes - at));
            const long long got = peeked.file.ReadAt(kHeaderSize + at, block.data(), want);
            if (got <= 0) {
                problem = got < 0 ? peeked.file.Problem()
                                  : base::FileProblem{path, "it became shorter while it was read"};
                break;
            }
            out.Write(std::string_view(block.data(), static_cast<std::size_t>(got)));
            at += static_cast<std::uint64_t>(got);
        }
        if (!problem && out.Close()) return std::move(peeked.load);
    }
    LoadResult failed = std::move(peeked.load);
    failed.failure = kSaveFileError;
    failed.detail = {problem ? *problem : out.Problem()};
    return failed; // out, still open after a read failure, is abandoned: the old file stays
}

namespace {

void Release(WavState& state) {
    state.WavImage.Clear();
    std::vector<std::uint16_t>().swap(
        state.ResampleBuffer); // gives the memory back, which clear() would keep
    state.imageHeld = false;
    state.WavPath.clear();
    state.resultHeld = false;
    state.resultCount = 0;
    state.check = HeaderCheck{};
}

LoadResult Failed(const char* message, base::FileProblem problem) {
    LoadResult result;
    result.failure = message;
    result.detail = {std::move(problem)};
    return result;
}

} // namespace

LoadResult LoadWavFile(WavState& state, const std::string& path, const LoadOptions& options) {
    base::InputFile file;
    if (file.Open(path) != base::ReadStatus::Ok) return Failed(kOpenFileError, file.Problem());

    Release(state);
    const std::uint64_t size = file.Size();
    if (size > kMaxFileSize) return Failed(kWavMemoryError, TooLarge(path, size));
    switch (state.WavImage.Take(file.Descriptor(), size, options.mapFile)) {
    case FileImage::Status::Ok:
        break;
    case FileImage::Status::NoMemory:
        return Failed(kWavMemoryError, {path, "not enough memory to hold the file"});
    case FileImage::Status::ReadError:
        return Failed(kOpenFileError, {path, "could not be read"});
    }
    state.imageHeld = true;
    state.WavPath = path;

    LoadResult result;
    result.fileRead = true;
    result.fileSize = state.WavImage.size();
    result.fileName = base::FileNameOf(path);
    state.check = CheckWavHeader(state.WavImage.Bytes());
    if (!state.check.accepted) {
        result.failure = kAnalyzeFileError;
        result.detail = {{path, state.check.reason}};
        return result;
    }
    if (options.writeBypass) {
        result.bypassFile = BypassPathOf(path);
        base::FileProblem problem;
        if (base::SameFile(*result.bypassFile, path)) {
            result.bypassFailure = kSaveFileError;
            result.bypassDetail = {base::OutputIsInput(*result.bypassFile)};
        } else if (!WriteBypassFile(state.WavImage.Bytes(), state.check, *result.bypassFile, &problem)) {
            result.bypassFailure = kSaveFileError;
            result.bypassDetail = {problem};
        }
    }
    return result;
}

} // namespace wav
