#pragma once

#include "base/FileProblem.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace base {

enum class ReadStatus { Ok, CannotOpen, NotRegular, TooLarge, ReadError };

// A file opened for reading the way every reader of Tavix opens its input: only a regular file is taken (a
// FIFO, a device or a folder is refused without being waited for or read), and its size, known before a
// byte is read, is checked against the reader's cap. Move-only; closes the file when destroyed.
class InputFile final {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    InputFile(InputFile&& other) noexcept;
    InputFile& operator=(InputFile&& other) noexcept;
    ~InputFile();

    // Opens path. Ok, or why not: CannotOpen (missing, not permitted), NotRegular, TooLarge (more than
    // maxBytes). The file is open only after Ok.
    ReadStatus Open(const std::string& path, std::uint64_t maxBytes = UINT64_MAX);

    bool IsOpen() const { return fd_ >= 0; }
    int Descriptor() const { return fd_; }
    // The size the file had when it was opened.
    std::uint64_t Size() const { return size_; }
    // Reads up to size bytes at offset into out; returns how many it got (fewer at the end of the file), or
    // -1 for a read error (see Problem).
    long long ReadAt(std::uint64_t offset, void* out, std::size_t size);

    // Why Open or ReadAt failed, naming the file as given: "NAME: REASON" with the system's text ("No such
    // file or directory") or the cap ("larger than 64 MiB"), or "NAME is not a regular file".
    const FileProblem& Problem() const { return problem_; }

private:
    int fd_ = -1;
    std::uint64_t size_ = 0;
    std::string path_;
    FileProblem problem_;
};

// Reads the whole file at path into out, as InputFile opens it: nothing is read from a file that is not
// regular or holds more than maxBytes, and nothing past the size the file had when it was opened. On any
// status but Ok, out is empty and problem (when given) says why, as InputFile::Problem does.
ReadStatus ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out,
                         std::size_t maxBytes = static_cast<std::size_t>(-1), FileProblem* problem = nullptr);

} // namespace base
