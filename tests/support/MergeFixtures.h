#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace testsupport {

// size bytes that differ from file to file: byte i is (seed + i * 7 + i / 256) mod 256, so a file shifted,
// cut or taken from another seed does not compare equal.
std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint8_t seed);

// Writes PatternBytes(size, seed) to path and returns them.
std::vector<std::uint8_t> WritePatternFile(const std::string& path, std::size_t size, std::uint8_t seed);

// A list file's text: the names joined by lineEnd, with lineEnd after the last one too when finalEnd.
std::string ListFileText(const std::vector<std::string>& names, const std::string& lineEnd = "\n",
                         bool finalEnd = true);

// The bytes of the files one after another, as a merged image holds them.
std::vector<std::uint8_t> Concatenated(const std::vector<std::vector<std::uint8_t>>& parts);

} // namespace testsupport
