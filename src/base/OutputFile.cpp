#include "base/OutputFile.h"

#include "base/Format.h"

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
      buffer_(std::move(other.buffer_)), failed_(other.failed_) {}

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
        failed_ = other.failed_;
    }
    return *this;
}

OutputFile::~OutputFile() {
    Abandon();
}

bool OutputFile::Create(const std::string& path, Mode mode) {
    Abandon();
    path_ = path;
    mode_ = mode;
    failed_ = false;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    realPath_ = FollowLinks(path);

    struct stat st {};
    const bool exists = ::stat(realPath_.c_str(), &st) == 0;
    if (exists) {
        // A target the user may not write stays refused, exactly as opening it for writing would refuse
        // it; the rename below must never get round that.
        const int fd = ::open(realPath_.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd < 0) return false;
        ::close(fd);
        if (!S_ISREG(st.st_mode)) {
            // A device or a pipe is written as it is; there is nothing to replace.
            file_ = std::fopen(realPath_.c_str(), "wb");
            kind_ = Kind::InPlace;
            return file_ != nullptr;
        }
    }

    std::string temp = DirectoryOf(realPath_) + "/." + NameOf(realPath_) + ".tavix-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) {
        // The directory refuses new files: the only way left is to write the target itself.
        file_ = std::fopen(realPath_.c_str(), "wb");
        kind_ = Kind::InPlace;
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
        ::close(fd);
        ::unlink(temp.c_str());
        return false;
    }
    tempPath_ = std::move(temp);
    kind_ = Kind::Replace;
    return true;
}

bool OutputFile::OpenForAppend(const std::string& path, Mode mode) {
    Abandon();
    path_ = path;
    mode_ = mode;
    failed_ = false;
    buffer_.clear();
    buffer_.reserve(kBufferSize);
    realPath_ = FollowLinks(path);
    kind_ = Kind::Append;
    file_ = std::fopen(realPath_.c_str(), "ab");
    if (!file_) return false;
    if (std::fseek(file_, 0, SEEK_END) != 0 || (appendStart_ = std::ftell(file_)) < 0) {
        std::fclose(file_);
        file_ = nullptr;
        return false;
    }
    return true;
}

void OutputFile::AppendBytes(const char* data, size_t size) {
    if (buffer_.size() + size > kBufferSize) Flush();
    if (size >= kBufferSize) {
        if (std::fwrite(data, 1, size, file_) != size) failed_ = true;
        return;
    }
    buffer_.append(data, size);
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

void OutputFile::Put(std::uint8_t byte) {
    assert(file_ && "write to an output file that is not open");
    if (!file_) return;
    if (mode_ == Mode::Text && byte == '\n') {
        AppendBytes("\r\n", 2);
        return;
    }
    if (buffer_.size() >= kBufferSize) Flush();
    buffer_.push_back(static_cast<char>(byte));
}

void OutputFile::Printf(const char* format, ...) {
    assert(file_ && "write to an output file that is not open");
    if (!file_) return;
    char small[512];
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (n >= 0 && static_cast<size_t>(n) < sizeof small) {
        Write(std::string_view(small, static_cast<size_t>(n)));
    } else if (n >= 0) {
        const std::string text = vstrprintf(format, again);
        Write(text);
    }
    va_end(again);
}

void OutputFile::Flush() {
    if (!file_ || buffer_.empty()) return;
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
}

bool OutputFile::Close() {
    if (!file_) return true;
    Flush();
    if (std::fflush(file_) != 0 || std::ferror(file_) != 0) failed_ = true;
    if (std::fclose(file_) != 0) failed_ = true;
    file_ = nullptr;
    switch (kind_) {
    case Kind::Replace:
        if (!failed_ && std::rename(tempPath_.c_str(), realPath_.c_str()) != 0) failed_ = true;
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

void OutputFile::Abandon() {
    if (!file_) return;
    std::fclose(file_);
    file_ = nullptr;
    buffer_.clear();
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
