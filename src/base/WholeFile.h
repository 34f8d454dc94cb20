#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace base {

enum class ReadStatus { Ok, CannotOpen, TooLarge, ReadError };

// Reads the whole file at path into out. A file of more than maxBytes stops the read (TooLarge); out then
// holds only part of it, as it does after a ReadError. When errorNumber is given, it receives the system's
// error number of a CannotOpen or ReadError (0 otherwise).
ReadStatus ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                         std::size_t maxBytes = static_cast<std::size_t>(-1), int* errorNumber = nullptr);

// Why a read failed, in a few words for the user: the system's error text, or "larger than 64 MiB" for
// TooLarge with the reader's limit maxBytes. "" for Ok.
std::string ReadFailureReason(ReadStatus status, int errorNumber, std::size_t maxBytes);
} // namespace base
