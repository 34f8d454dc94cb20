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

// Creates or replaces the file at path with the bytes. False when it could not be created or not every
// byte reached it; a partly written file is left as it is.
bool WriteWholeFile(const std::string& path, const void* data, std::size_t size);

} // namespace base
