#pragma once

#include "base/FileProblem.h"
#include "wav/Resampler.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace base {
class OutputFile;
}

namespace wav {

// How 16-bit samples are written. The working samples are offset binary (0x8000 the middle level), as the
// 8-bit output is unsigned; TwosComplement inverts the top bit back, for firmware that plays signed samples.
enum class Sign { OffsetBinary, TwosComplement };

// How a 16-bit word becomes an 8-bit sample: its high byte (Cut), or the nearest 8-bit level, halves up and
// 0xFF at most (Round: min(255, (w + 0x80) >> 8)), which a low-pass filtered result uses.
enum class EightBit { Cut, Round };

// The bytes of a sample file made from a result's words (its samples and padding): at 16 bits every word,
// low byte first (2 bytes a word); at 8 bits one byte a word as eightBit says. sign only matters at 16 bits,
// eightBit only at 8.
std::string SampleFileBytes(std::span<const std::uint16_t> words, SampleWidth width,
                            Sign sign = Sign::OffsetBinary, EightBit eightBit = EightBit::Cut);

// Writes SampleFileBytes(words, width, sign, eightBit) to out, converted straight into its write buffer.
void WriteSampleFileBytes(std::span<const std::uint16_t> words, SampleWidth width, Sign sign,
                          EightBit eightBit, base::OutputFile& out);

// "RESample Save": writes SampleFileBytes to path, replacing an existing file only when every byte is
// written. Returns kSaveFileError when the file could not be written or is source, the WAV file the samples
// came from (compared by device and inode), with the file and the reason added to *detail when it is given
// ("the output NAME is the input", "cannot write NAME: File too large"); what was at path is unchanged then.
std::optional<std::string> SaveSampleFile(std::span<const std::uint16_t> words, SampleWidth width, Sign sign,
                                          const std::string& path, const std::string& source = {},
                                          base::FailureDetail* detail = nullptr,
                                          EightBit eightBit = EightBit::Cut);

} // namespace wav
