#include "base/OutputFile.h"

#include "base/Format.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace base {

namespace {

constexpr size_t kBufferSize = 1 << 16;
// What Printf formats in place; a longer text is formatted a second time into a string of its size.
constexpr size_t kPrintfRoom = 512;

// The file a path names, with symbolic links followed (also a link to a file that does not exist yet), so
// that replacing it replaces the file the user meant and keeps the link.
std::string FollowLinks(const std::string& path) {
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
        std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n <= 0) return current;
        target.resize(static_cast<size_t>(n));
        if (target[0] == '/') {
            current = target;
        } else {
            const size_t slash = current.rfind('/');
            current = slash == std::string::npos ? target : current.substr(0, slash + 1) + target;
        }
    }
    return current;
}

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Turns each "\n" of data[0..size) into CR LF where the text stands, using the room after it (one byte a
// line end); returns the new size.
size_t WidenLineEnds(char* data, size_t size) {
    size_t lineEnds = 0;
    const char* const end = data + size;
    for (const char* p = data; p < end; ++p) {
        p = static_cast<const char*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
        if (!p) break;
        ++lineEnds;
    }
    // From the back, each byte moves up by the number of line ends before it.
    char* from = data + size;
    char* to = from + lineEnds;
    while (from != to) {
        const char ch = *--from;
        *--to = ch;
        if (ch == '\n') *--to = '\r';
    }
    return size + lineEnds;
}

// The permission bits a newly created file gets: 0666 less the process's umask.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

OutputFile::OutputFile(OutputFile&& other) noexcept
    : file_(std::exchange(other.file_, nullptr)), mode_(other.mode_), kind_(other.kind_),
      path_(std::move(other.path_)), tempPath_(std::move(other.tempPath_)),
      realPath_(std::move(other.realPath_)), appendStart_(other.appendStart_),
      buffer_(std::move(other.buffer_)), capacity_(std::exchange(other.capacity_, 0)),
      used_(std::exchange(other.used_, 0)), roomEnd_(std::exchange(other.roomEnd_, nullptr)),
      failed_(other.failed_), error_(other.error_) {}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        Abandon();
        file_ = std::exchange(other.file_, nullptr);
        mode_ = other.mode_;
        kind_ = other.kind_;
        path_ = std::move(other.path_);
        tempPath_ = std::move(other.tempPath_);
        realPath_ = std::move(other.realPath_);
        appendStart_ = other.appendStart_;
        buffer_ = std::move(other.buffer_);
        capacity_ = std::exchange(other.capacity_, 0);
        used_ = std::exchange(other.used_, 0);
        roomEnd_ = std::exchange(other.roomEnd_, nullptr);
        failed_ = other.failed_;
        error_ = other.error_;
    }
    return *this;
}

OutputFile::~OutputFile() {
    Abandon();
}

void OutputFile::Begin(const std::string& path, Mode mode) {
    Abandon();
    path_ = path;
    mode_ = mode;
    failed_ = false;
    error_ = 0;
    StartBuffer();
    realPath_ = FollowLinks(path);
}

bool OutputFile::Create(const std::string& path, Mode mode) {
    Begin(path, mode);

    struct stat st {};
    const bool exists = ::stat(realPath_.c_str(), &st) == 0;
    if (exists) {
        // A target the user may not write stays refused, exactly as opening it for writing would refuse
        // it; the rename below must never get round that.
        const int fd = ::open(realPath_.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) {
            Fail();
            return false;
        }
        ::close(fd);
        if (!S_ISREG(st.st_mode)) {
            // A device or a pipe is written as it is; there is nothing to replace.
            file_ = std::fopen(realPath_.c_str(), "wb");
            kind_ = Kind::InPlace;
            if (!file_) Fail();
            return file_ != nullptr;
        }
    }

    std::string temp = DirectoryOf(realPath_) + "/." + NameOf(realPath_) + ".tavix-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        // The directory refuses new files: the only way left is to write the target itself.
        file_ = std::fopen(realPath_.c_str(), "wb");
        kind_ = Kind::InPlace;
        if (!file_) Fail();
        return file_ != nullptr;
    }
    if (exists) {
        (void)::fchmod(fd, st.st_mode & 07777);
        (void)::fchown(fd, st.st_uid, st.st_gid); // keeps the owner where we may (as root); else ours
    } else {
        (void)::fchmod(fd, NewFileMode());
    }
    file_ = ::fdopen(fd, "wb");
    if (!file_) {
        Fail();
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    tempPath_ = std::move(temp);
    kind_ = Kind::Replace;
    return true;
}

bool OutputFile::OpenForAppend(const std::string& path, Mode mode) {
    Begin(path, mode);
    kind_ = Kind::Append;
    file_ = std::fopen(realPath_.c_str(), "ab");
    if (!file_) {
        Fail();
        return false;
    }
    if (std::fseek(file_, 0, SEEK_END) != 0 || (appendStart_ = std::ftell(file_)) < 0) {
        Fail();
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    return true;
}

void OutputFile::StartBuffer() {
    if (!buffer_) {
        buffer_ = std::make_unique_for_overwrite<char[]>(kBufferSize);
        capacity_ = kBufferSize;
    }
    used_ = 0;
    roomEnd_ = nullptr;
}

void OutputFile::AppendBytes(const char* data, size_t size) {
    if (capacity_ - used_ < size) {
        Flush();
        if (size >= capacity_) {
            if (std::fwrite(data, 1, size, file_) != size) Fail();
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
}

void OutputFile::Write(std::string_view text) {
    assert(file_ && "write to an output file that is not open");
    if (!file_) return;
    if (mode_ == Mode::Binary) {
        AppendBytes(text.data(), text.size());
        return;
    }
    // Text mode: whole spans between line ends, each line end found with memchr.
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end) {
        const void* nl = std::memchr(p, '\n', static_cast<size_t>(end - p));
        if (!nl) {
            AppendBytes(p, static_cast<size_t>(end - p));
            break;
        }
        const char* lineEnd = static_cast<const char*>(nl);
        AppendBytes(p, static_cast<size_t>(lineEnd - p));
        AppendBytes("\r\n", 2);
        p = lineEnd + 1;
    }
}

void OutputFile::PutAfterFlush(std::uint8_t byte) {
    assert(file_ && "write to an output file that is not open");
    if (!file_) return;
    if (mode_ == Mode::Text && byte == '\n') {
        AppendBytes("\r\n", 2);
        return;
    }
    Flush();
    buffer_[used_++] = static_cast<char>(byte);
}

char* OutputFile::RoomAfterFlush(size_t size) {
    assert(file_ && "write to an output file that is not open");
    Flush();
    if (capacity_ < size) {
        // Also serves an object that is not open, so that a misuse writes nothing instead of crashing.
        capacity_ = std::max(size, kBufferSize);
        buffer_ = std::make_unique_for_overwrite<char[]>(capacity_);
    }
    roomEnd_ = buffer_.get() + size;
    return buffer_.get();
}

void OutputFile::Printf(const char* format, ...) {
    assert(file_ && "write to an output file that is not open");
    if (!file_) return;
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    // In Text mode the room is twice the text, so that every line end can be widened where it stands.
    char* room = Room(mode_ == Mode::Text ? 2 * kPrintfRoom : kPrintfRoom);
    const int n = std::vsnprintf(room, kPrintfRoom, format, args);
    va_end(args);
    if (n >= 0 && static_cast<size_t>(n) < kPrintfRoom) {
        used_ += mode_ == Mode::Text ? WidenLineEnds(room, static_cast<size_t>(n)) : static_cast<size_t>(n);
    } else if (n >= 0) {
        Write(vstrprintf(format, again));
    }
    va_end(again);
}

void OutputFile::Flush() {
    if (used_ != 0 && file_ && std::fwrite(buffer_.get(), 1, used_, file_) != used_) Fail();
    used_ = 0;
}

bool OutputFile::Close() {
    if (!file_) return true;
    Flush();
    if (std::fflush(file_) != 0 || std::ferror(file_) != 0) Fail();
    if (std::fclose(file_) != 0) Fail();
    file_ = nullptr;
    switch (kind_) {
    case Kind::Replace:
        if (!failed_ && std::rename(tempPath_.c_str(), realPath_.c_str()) != 0) Fail();
        if (failed_) ::unlink(tempPath_.c_str());
        tempPath_.clear();
        break;
    case Kind::Append:
        if (failed_) (void)::truncate(realPath_.c_str(), appendStart_);
        break;
    case Kind::InPlace:
        break;
    }
    return !failed_;
}

void OutputFile::Fail() {
    if (!failed_ && error_ == 0) error_ = errno != 0 ? errno : EIO;
    failed_ = true;
}

void OutputFile::Abandon() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    used_ = 0;
    roomEnd_ = nullptr;
    if (kind_ == Kind::Replace) {
        ::unlink(tempPath_.c_str());
        tempPath_.clear();
    } else if (kind_ == Kind::Append) {
        (void)::truncate(realPath_.c_str(), appendStart_);
    }
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes) {
    OutputFile file;
    if (!file.Create(path, OutputFile::Mode::Binary)) return false;
    file.Write(bytes);
    return file.Close();
}

} // namespace base
