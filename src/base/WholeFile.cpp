#include "base/WholeFile.h"

#include "base/FileLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace base {

InputFile::InputFile(InputFile&& other) noexcept {
    *this = std::move(other);
}

InputFile& InputFile::operator=(InputFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
        path_ = std::move(other.path_);
        problem_ = std::move(other.problem_);
    }
    return *this;
}

InputFile::~InputFile() {
    if (fd_ >= 0) ::close(fd_);
}

ReadStatus InputFile::Open(const std::string& path, std::uint64_t maxBytes) {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    path_ = path;
    size_ = 0;
    problem_ = {};
    auto cannotOpen = [&](int error) {
        problem_ = {path, SystemErrorText(error), Wording::Reason};
        return ReadStatus::CannotOpen;
    };
    auto notRegular = [&] {
        problem_ = {path, {}, Wording::NotRegular};
        return ReadStatus::NotRegular;
    };
    if (path.empty()) return cannotOpen(ENOENT);
    // Looked at before it is opened: opening a device can do things of its own. O_NONBLOCK covers a FIFO
    // put in its place meanwhile, whose open would otherwise wait for a writer; fstat then decides.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return cannotOpen(errno);
    if (!S_ISREG(st.st_mode)) return notRegular();
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return cannotOpen(errno);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return notRegular();
    }
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size > maxBytes) {
        ::close(fd);
        problem_ = {path, "larger than " + SizeLimitText(static_cast<std::size_t>(maxBytes)),
                    Wording::Reason};
        return ReadStatus::TooLarge;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    fd_ = fd;
    size_ = size;
    LogRead(path);
    return ReadStatus::Ok;
}

long long InputFile::ReadAt(std::uint64_t offset, void* out, std::size_t size) {
    std::size_t got = 0;
    auto* bytes = static_cast<char*>(out);
    while (got < size) {
        const ssize_t n = ::pread(fd_, bytes + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            problem_ = {path_, SystemErrorText(errno), Wording::Reason};
            return -1;
        }
        if (n == 0) break; // the end of the file
        got += static_cast<std::size_t>(n);
    }
    return static_cast<long long>(got);
}

ReadStatus ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxBytes,
                         FileProblem* problem) {
    out.clear();
    InputFile file;
    ReadStatus status = file.Open(path, maxBytes);
    if (status == ReadStatus::Ok) {
        // One allocation of the size the file had when it was opened; a file that grows meanwhile is read
        // as it was then, one that shrinks as far as it goes.
        out.resize(static_cast<std::size_t>(file.Size()));
        const long long got = file.ReadAt(0, out.data(), out.size());
        if (got < 0) {
            out.clear();
            status = ReadStatus::ReadError;
        } else {
            out.resize(static_cast<std::size_t>(got));
        }
    }
    if (status != ReadStatus::Ok && problem) *problem = file.Problem();
    return status;
}

} // namespace base
