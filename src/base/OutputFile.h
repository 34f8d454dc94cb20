#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace base {

// The one way Tavix writes a file. In Text mode every "\n" written becomes CR LF, the line end of every text
// file the tool writes; in Binary mode the bytes go out exactly as given.
//
// Create() never touches the target: the bytes go to a new temporary file beside it, and Close() renames that
// over the target only when every byte was written, flushed and closed without error. A failure (a full disk,
// a size limit, a target the user may not write) leaves the target exactly as it was and removes the
// temporary file; nothing here ever removes a file it did not create. A replaced file keeps its permission
// bits, and a symbolic link is followed (the file it points to is replaced). Where the directory refuses new
// files but the target itself may be written, the target is written in place instead.
//
// OpenForAppend() adds to the end of a file (creating it when missing); when anything fails, Close() cuts
// the file back to the length it had before.
//
// Destroying an object that is still open abandons the write: the target keeps its old bytes (an append is
// cut back). Writing to an object that is not open is a programming error (it asserts in debug builds and
// writes nothing).
class OutputFile final {
public:
    enum class Mode { Text, Binary };

    OutputFile() = default;
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    OutputFile(OutputFile&& other) noexcept;
    OutputFile& operator=(OutputFile&& other) noexcept;
    ~OutputFile(); // abandons an open write

    // Starts replacing (or creating) the file at path. False, leaving the object closed and nothing on disk
    // changed, when it cannot: the target may not be written, or neither a temporary file nor the target
    // can be opened.
    bool Create(const std::string& path, Mode mode);
    // Starts adding to the end of the file at path (created when missing). False when it cannot be opened.
    bool OpenForAppend(const std::string& path, Mode mode);

    bool IsOpen() const { return file_ != nullptr; }
    const std::string& Path() const { return path_; }

    void Write(std::string_view text);
    void Put(std::uint8_t byte);
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Finishes the file: flushes, closes and puts it in place. False when any step failed; the target then
    // holds what it held before. Closing a closed object returns true.
    bool Close();

private:
    enum class Kind { Replace, InPlace, Append };

    void Flush();
    void AppendBytes(const char* data, size_t size);
    void Abandon();

    std::FILE* file_ = nullptr;
    Mode mode_ = Mode::Binary;
    Kind kind_ = Kind::Replace;
    std::string path_;     // the target as given
    std::string tempPath_; // the temporary file being written (Replace)
    std::string realPath_; // the target with symbolic links followed
    long appendStart_ = 0; // the length before an append
    std::string buffer_;
    bool failed_ = false;
};

// Creates or replaces the file at path with the bytes, as OutputFile does. Returns false when it could not;
// the file then holds what it held before.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace base
