#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

namespace base {

// The one way Tavix writes a file. In Text mode every "\n" written (by Write, Put or Printf) becomes CR LF,
// the line end of every text file the tool writes; in Binary mode the bytes go out exactly as given.
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
    // Formats straight into the write buffer; only a text longer than a few hundred bytes takes a detour
    // through a string.
    void Printf(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // For writers of many small pieces (hex items, the values of a table row): room for up to `size` bytes
    // in the write buffer, so that a piece is formatted where it will be written instead of being built
    // elsewhere and copied. Put the bytes there and pass the end of what was put to Commit(). They are
    // written as they stand, not looked at again: in Text mode a room must hold no "\n" (debug builds check
    // it); end the line with Put('\n') or Write() between rooms, which writes CR LF. A room is given up,
    // writing nothing, when anything else is written or another room is asked for before its Commit(). Any
    // size is served, but the buffer grows to fit a large one, so ask for a piece, not a whole file.
    char* Room(std::size_t size);
    void Commit(const char* end);

    // Finishes the file: flushes, closes and puts it in place. False when any step failed; the target then
    // holds what it held before. Closing a closed object returns true.
    bool Close();

    // The system's error number of the first step that failed since the last Create or OpenForAppend
    // (EACCES, ENOSPC, ...), for telling the user why; 0 while nothing has failed.
    int ErrorNumber() const { return error_; }

private:
    enum class Kind { Replace, InPlace, Append };

    char* RoomAfterFlush(std::size_t size);
    void PutAfterFlush(std::uint8_t byte);
    // Forgets any write in progress and takes the target, its mode and a fresh buffer.
    void Begin(const std::string& path, Mode mode);
    void StartBuffer();
    void Flush();
    void AppendBytes(const char* data, size_t size);
    void Abandon();
    // A step failed: the write is lost, and errno says why (kept for the first failure only).
    void Fail();

    std::FILE* file_ = nullptr;
    Mode mode_ = Mode::Binary;
    Kind kind_ = Kind::Replace;
    std::string path_;     // the target as given
    std::string tempPath_; // the temporary file being written (Replace)
    std::string realPath_; // the target with symbolic links followed
    long appendStart_ = 0; // the length before an append
    std::unique_ptr<char[]> buffer_;
    size_t capacity_ = 0;
    size_t used_ = 0;
    const char* roomEnd_ = nullptr; // the end of the room handed out last, to catch a commit past it
    bool failed_ = false;
    int error_ = 0;
};

// Room, Commit and Put stay inline: the writers that use them call them for every few bytes.

inline char* OutputFile::Room(std::size_t size) {
    if (!file_ || capacity_ - used_ < size) return RoomAfterFlush(size);
    char* room = buffer_.get() + used_;
    roomEnd_ = room + size;
    return room;
}

inline void OutputFile::Commit(const char* end) {
    const char* room = buffer_.get() + used_;
    assert(end >= room && end <= roomEnd_ && "commit of bytes outside the room handed out");
    assert((mode_ == Mode::Binary || !std::memchr(room, '\n', static_cast<std::size_t>(end - room))) &&
           "a line end in a Text-mode room");
    if (file_) used_ += static_cast<std::size_t>(end - room);
}

inline void OutputFile::Put(std::uint8_t byte) {
    if (mode_ == Mode::Text && byte == '\n') {
        if (file_ && capacity_ - used_ >= 2) {
            buffer_[used_++] = '\r';
            buffer_[used_++] = '\n';
            return;
        }
    } else if (file_ && used_ < capacity_) {
        buffer_[used_++] = static_cast<char>(byte);
        return;
    }
    PutAfterFlush(byte);
}

// Creates or replaces the file at path with the bytes, as OutputFile does. Returns false when it could not;
// the file then holds what it held before.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);

} // namespace base
