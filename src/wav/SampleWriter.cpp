#include "wav/SampleWriter.h"

#include "base/FileProblem.h"
#include "base/OutputFile.h"
#include "base/Path.h"

#include <algorithm>

namespace wav {

namespace {

// The bytes of words[0 .. count) at the width into out (count or 2 x count bytes).
void PutWords(const std::uint16_t* words, std::size_t count, SampleWidth width, Sign sign, EightBit eightBit,
              char* out) {
    if (width == SampleWidth::Bits8) {
        if (eightBit == EightBit::Round) {
            for (std::size_t i = 0; i < count; ++i)
                out[i] = static_cast<char>(std::min(255u, (words[i] + 0x80u) >> 8));
            return;
        }
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<char>(words[i] >> 8);
        return;
    }
    const std::uint16_t flip = sign == Sign::TwosComplement ? 0x8000 : 0;
    for (std::size_t i = 0; i < count; ++i) {
        const auto w = static_cast<std::uint16_t>(words[i] ^ flip);
        out[2 * i] = static_cast<char>(w & 0xFF);
        out[2 * i + 1] = static_cast<char>(w >> 8);
    }
}

std::size_t BytesPerWord(SampleWidth width) {
    return width == SampleWidth::Bits8 ? 1 : 2;
}

} // namespace

std::string SampleFileBytes(std::span<const std::uint16_t> words, SampleWidth width, Sign sign,
                            EightBit eightBit) {
    std::string bytes(words.size() * BytesPerWord(width), '\0');
    PutWords(words.data(), words.size(), width, sign, eightBit, bytes.data());
    return bytes;
}

void WriteSampleFileBytes(std::span<const std::uint16_t> words, SampleWidth width, Sign sign,
                          EightBit eightBit, base::OutputFile& out) {
    // In pieces, so that a long result is not held a second time as bytes.
    constexpr std::size_t kPieceWords = 16384;
    for (std::size_t at = 0; at < words.size(); at += kPieceWords) {
        const std::size_t count = std::min(kPieceWords, words.size() - at);
        char* room = out.Room(count * BytesPerWord(width));
        PutWords(words.data() + at, count, width, sign, eightBit, room);
        out.Commit(room + count * BytesPerWord(width));
    }
}

std::optional<std::string> SaveSampleFile(std::span<const std::uint16_t> words, SampleWidth width, Sign sign,
                                          const std::string& path, const std::string& source,
                                          base::FailureDetail* detail, EightBit eightBit) {
    const auto failed = [detail](const base::FileProblem& problem) {
        if (detail) detail->push_back(problem);
        return std::string(kSaveFileError);
    };
    if (base::SameFile(path, source)) return failed(base::OutputIsInput(path));
    base::OutputFile out;
    if (!out.Create(path, base::OutputFile::Mode::Binary)) return failed(out.Problem());
    WriteSampleFileBytes(words, width, sign, eightBit, out);
    if (!out.Close()) return failed(out.Problem());
    return std::nullopt;
}

} // namespace wav
