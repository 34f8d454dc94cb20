#include "wav/SampleWriter.h"

#include "base/OutputFile.h"

namespace wav {

std::string SampleFileBytes(std::span<const std::uint16_t> words, SampleWidth width, Sign sign) {
    std::string bytes;
    if (width == SampleWidth::Bits8) {
        bytes.resize(words.size());
        for (std::size_t i = 0; i < words.size(); ++i)
            bytes[i] = static_cast<char>(words[i] >> 8);
        return bytes;
    }
    const std::uint16_t flip = sign == Sign::TwosComplement ? 0x8000 : 0;
    bytes.resize(2 * words.size());
    for (std::size_t i = 0; i < words.size(); ++i) {
        const auto w = static_cast<std::uint16_t>(words[i] ^ flip);
        bytes[2 * i] = static_cast<char>(w & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(w >> 8);
    }
    return bytes;
}

std::optional<std::string> SaveSampleFile(std::span<const std::uint16_t> words, SampleWidth width, Sign sign,
                                          const std::string& path) {
    base::OutputFile out;
    if (!out.Create(path, base::OutputFile::Mode::Binary)) return std::string(kSaveFileError);
    out.Write(SampleFileBytes(words, width, sign));
    if (!out.Close()) return std::string(kSaveFileError);
    return std::nullopt;
}

} // namespace wav
