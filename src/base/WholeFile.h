#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace base {

enum class ReadStatus { Ok, CannotOpen, TooLarge, ReadError };

// Reads the whole file at path into out. A file of more than maxBytes stops the read (TooLarge); out then
// holds only part of it, as it does after a ReadError.
ReadStatus ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                         std::size_t maxBytes = static_cast<std::size_t>(-1));



} // namespace base
