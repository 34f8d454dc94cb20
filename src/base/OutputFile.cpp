#include "base/OutputFile.h"

#include "base/FileLog.h"
#include "base/Format.h"
#include "base/OutputGuard.h"
#include "base/Path.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

namespace base {

std::string OutputDirectory::PathOf(const std::string& name) const {
    return JoinPath(path, name);
}

std::string OutputDirectory::MessageNameOf(const std::string& name) const {
    return namesAlone ? name : PathOf(name);
}

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

// ".tavix-" and six characters that differ from run to run and from call to call.
std::string TemporaryName() {
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    // Per thread: jobs that run side by side make their names at the same time.
    thread_local std::uint64_t state = 0;
    std::uint64_t seed = 0;
    if (::getrandom(&seed, sizeof seed, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof seed))
        seed = static_cast<std::uint64_t>(::getpid()) << 32 ^ static_cast<std::uint64_t>(::time(nullptr));
    state = state * 6364136223846793005ull + 1442695040888963407ull + seed;
    std::uint64_t bits = state ^ (state >> 29);
    std::string name = ".tavix-";
    for (int i = 0; i < 6; ++i) {
        name += kLetters[bits % (sizeof kLetters - 1)];
        bits /= sizeof kLetters - 1;
    }
    return name;
}

// Writes all of data to fd; false, with errno set, when a write fails.
bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
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

OutputFile::OutputFile(OutputFile&& other) noexcept {
    *this = std::move(other);
}

OutputFile& OutputFile::operator=(OutputFile&& other) noexcept {
    if (this != &other) {
        Abandon();
        fd_ = std::exchange(other.fd_, -1);
        mode_ = other.mode_;
        kind_ = other.kind_;
        set_ = std::exchange(other.set_, nullptr);
        if (set_) set_->Moved(&other, this);
        path_ = std::move(other.path_);
        messageName_ = std::move(other.messageName_);
        dirFd_ = std::exchange(other.dirFd_, -1);
        targetName_ = std::move(other.targetName_);
        tempName_ = std::move(other.tempName_);
        listed_ = std::exchange(other.listed_, -1);
        appendStart_ = other.appendStart_;
        error_ = other.error_;
        problem_ = std::move(other.problem_);
        buffer_ = std::move(other.buffer_);
        capacity_ = std::exchange(other.capacity_, 0);
        used_ = std::exchange(other.used_, 0);
        roomEnd_ = std::exchange(other.roomEnd_, nullptr);
        failed_ = other.failed_;
    }
    return *this;
}

OutputFile::~OutputFile() {
    Abandon();
}

void OutputFile::Begin(const std::string& path, const std::string& messageName, Mode mode, OutputSet* set) {
    Abandon();
    path_ = path;
    messageName_ = messageName;
    mode_ = mode;
    failed_ = false;
    error_ = 0;
    problem_ = {};
    StartBuffer();
    set_ = set;
}

void OutputFile::Fail(Wording wording, int error) {
    problem_ = {messageName_, SystemErrorText(error), wording};
}

bool OutputFile::Refuse(Wording wording, int error) {
    Fail(wording, error);
    set_ = nullptr; // a file that never opened is no member: the job decides whether it can go on
    return false;
}

bool OutputFile::Create(const std::string& path, Mode mode) {
    Begin(path, path, mode, nullptr);
    return StartReplace();
}

bool OutputFile::Create(const std::string& path, Mode mode, OutputSet& set) {
    Begin(path, path, mode, &set);
    return StartReplace();
}

bool OutputFile::Create(const OutputDirectory& directory, const std::string& name, Mode mode,
                        OutputSet& set) {
    Begin(directory.PathOf(name), directory.MessageNameOf(name), mode, &set);
    return StartReplace();
}

bool OutputFile::OpenForAppend(const std::string& path, Mode mode) {
    Begin(path, path, mode, nullptr);
    return StartAppend();
}

bool OutputFile::OpenForAppend(const std::string& path, Mode mode, OutputSet& set) {
    Begin(path, path, mode, &set);
    return StartAppend();
}

bool OutputFile::StartReplace() {
    kind_ = Kind::Replace;
    const std::string real = FollowLinks(path_);
    const size_t slash = real.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : real.substr(0, slash);
    targetName_ = slash == std::string::npos ? real : real.substr(slash + 1);
    if (targetName_.empty()) return Refuse(Wording::CannotWrite, EISDIR);

    // The folder is held open: the temporary file is made, renamed and (when it must be) removed there, by
    // its short name, whatever becomes of the path meanwhile.
    const int dir = ::open(directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return Refuse(Wording::CannotCreate, errno);
    auto fail = [&](Wording wording, int error) {
        ::close(dir);
        return Refuse(wording, error);
    };

    struct stat st {};
    const bool exists = ::fstatat(dir, targetName_.c_str(), &st, 0) == 0;
    if (!exists && errno != ENOENT) return fail(Wording::CannotCreate, errno);
    if (exists && S_ISDIR(st.st_mode)) return fail(Wording::CannotWrite, EISDIR);
    if (exists) {
        // A target the user may not write stays refused, exactly as opening it for writing would refuse it;
        // the rename below must never get round that. O_NONBLOCK: a pipe that nobody reads is refused, not
        // waited for.
        const int fd = ::openat(dir, targetName_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) return fail(Wording::CannotWrite, errno);
        if (!S_ISREG(st.st_mode)) {
            // A device or a pipe is written as it stands; there is nothing to replace.
            ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            ::close(dir);
            fd_ = fd;
            kind_ = Kind::Device;
            if (set_) set_->Joined(this);
            return true;
        }
        ::close(fd);
    }

    // Listed before it exists and made with the signals held back, so an interrupt never leaves it behind.
    int fd = -1;
    int error = EEXIST;
    {
        const guard::SignalsHeld held;
        for (int attempt = 0; attempt < 100 && fd < 0 && error == EEXIST; ++attempt) {
            tempName_ = TemporaryName();
            listed_ = guard::ListTemporary(dir, tempName_.c_str());
            fd = ::openat(dir, tempName_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            error = errno;
            if (fd < 0) guard::Unlist(std::exchange(listed_, -1));
        }
    }
    if (fd < 0) {
        tempName_.clear();
        return fail(exists ? Wording::CannotReplace : Wording::CannotCreate, error);
    }
    if (exists) {
        (void)::fchmod(fd, st.st_mode & 07777);
        (void)::fchown(fd, st.st_uid, st.st_gid); // keeps the owner where we may (as root); else ours
    } else {
        (void)::fchmod(fd, NewFileMode());
    }
    fd_ = fd;
    dirFd_ = dir;
    if (set_) set_->Joined(this);
    return true;
}

bool OutputFile::StartAppend() {
    kind_ = Kind::Append;
    const int fd = ::open(FollowLinks(path_).c_str(),
                          O_WRONLY | O_CREAT | O_APPEND | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) return Refuse(Wording::CannotWrite, errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        problem_ = {messageName_, {}, Wording::NotRegular};
        set_ = nullptr;
        return false;
    }
    appendStart_ = st.st_size;
    {
        const guard::SignalsHeld held;
        listed_ = guard::ListAppend(fd, static_cast<off_t>(appendStart_));
    }
    fd_ = fd;
    if (set_) set_->Joined(this);
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
            WriteOut(data, size);
            return;
        }
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
}

void OutputFile::Write(std::string_view text) {
    assert(fd_ >= 0 && "write to an output file that is not open");
    if (fd_ < 0) return;
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
    assert(fd_ >= 0 && "write to an output file that is not open");
    if (fd_ < 0) return;
    if (mode_ == Mode::Text && byte == '\n') {
        AppendBytes("\r\n", 2);
        return;
    }
    Flush();
    buffer_[used_++] = static_cast<char>(byte);
}

char* OutputFile::RoomAfterFlush(size_t size) {
    assert(fd_ >= 0 && "write to an output file that is not open");
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
    assert(fd_ >= 0 && "write to an output file that is not open");
    if (fd_ < 0) return;
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

void OutputFile::WriteOut(const char* data, size_t size) {
    // After a failed write the file is lost anyway: the rest is dropped, not written into a full disk
    // again and again.
    if (failed_ || fd_ < 0) return;
    if (!WriteAll(fd_, data, size)) {
        failed_ = true;
        error_ = errno;
    }
}

long long OutputFile::CopyFrom(int in, std::uint64_t from, std::uint64_t size) {
    assert(fd_ >= 0 && mode_ == Mode::Binary && "copy into an output file that is not open in binary mode");
    if (fd_ < 0) return 0;
    Flush();
    roomEnd_ = nullptr;
    std::uint64_t done = 0;
    // In the kernel first. It refuses across file systems (on older kernels), for devices, pipes and
    // appends (EXDEV, EINVAL, EBADF, EOPNOTSUPP, ENOSYS); those copies, and one after a read error it
    // cannot tell from a write error, go on through the buffer, which tells them apart.
    while (!failed_ && done < size) {
        auto at = static_cast<off_t>(from + done);
        const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(size - done, 1u << 30));
        const ssize_t n = ::copy_file_range(in, &at, fd_, nullptr, piece, 0);
        if (n > 0) {
            done += static_cast<std::uint64_t>(n);
            continue;
        }
        // The end of the input, or a file system that reports none to copy (some special and network
        // ones do): the reads below tell which.
        if (n == 0) break;
        if (errno == EINTR) continue;
        if (errno == ENOSPC || errno == EFBIG || errno == EDQUOT) { // the output cannot take more
            failed_ = true;
            error_ = errno;
        }
        break;
    }
    // After a failed write the rest is dropped, as Write drops it: Close() reports the failure.
    if (failed_) return static_cast<long long>(size);
    if (capacity_ == 0) StartBuffer();
    while (done < size) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size - done, capacity_));
        const ssize_t n = ::pread(in, buffer_.get(), want, static_cast<off_t>(from + done));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return -1;
        if (n == 0) break;
        WriteOut(buffer_.get(), static_cast<std::size_t>(n));
        done += static_cast<std::uint64_t>(n);
    }
    return static_cast<long long>(done);
}

void OutputFile::Flush() {
    if (used_ != 0) WriteOut(buffer_.get(), used_);
    used_ = 0;
}

bool OutputFile::Close() {
    if (fd_ < 0) return true;
    Flush();
    roomEnd_ = nullptr;
    OutputSet::Finished f;
    f.append = kind_ == Kind::Append;
    f.path = messageName_;
    f.target = path_;
    f.listed = std::exchange(listed_, -1);
    f.appendStart = appendStart_;
    if (kind_ == Kind::Append) {
        // Closed by the steps below; in a set it stays open, so that abandoning the set (or a signal) can
        // still cut the file back.
        f.fd = std::exchange(fd_, -1);
    } else if (::close(std::exchange(fd_, -1)) != 0 && !failed_) {
        failed_ = true;
        error_ = errno;
    }
    if (kind_ == Kind::Replace) {
        f.fd = std::exchange(dirFd_, -1);
        f.tempName = std::exchange(tempName_, {});
        f.targetName = std::exchange(targetName_, {});
    }
    if (failed_) Fail(Wording::CannotWrite, error_ != 0 ? error_ : EIO);

    OutputSet* set = std::exchange(set_, nullptr);
    if (kind_ == Kind::Device) {
        guard::Unlist(f.listed);
    } else if (failed_) {
        OutputSet::Drop(f);
    } else if (set) {
        set->Add(std::move(f));
    } else if (!OutputSet::PutInPlace(f)) {
        failed_ = true;
        problem_ = f.problem;
    }
    if (set) {
        set->Left(this);
        if (failed_) set->Fail(problem_);
    }
    return !failed_;
}

void OutputFile::Abandon() {
    if (fd_ < 0) return;
    OutputSet::Finished f;
    f.append = kind_ == Kind::Append;
    f.path = messageName_;
    f.listed = std::exchange(listed_, -1);
    f.appendStart = appendStart_;
    if (kind_ == Kind::Replace) {
        ::close(std::exchange(fd_, -1));
        f.fd = std::exchange(dirFd_, -1);
        f.tempName = std::exchange(tempName_, {});
        OutputSet::Drop(f);
    } else if (kind_ == Kind::Append) {
        f.fd = std::exchange(fd_, -1);
        OutputSet::Drop(f);
    } else {
        ::close(std::exchange(fd_, -1));
    }
    used_ = 0;
    roomEnd_ = nullptr;
    if (set_) {
        OutputSet* set = std::exchange(set_, nullptr);
        set->Left(this);
        set->Fail({messageName_, {}, Wording::NotCompleted});
    }
}

OutputSet::~OutputSet() {
    // Members still open are abandoned first: none may outlive the set it reports to.
    while (!open_.empty())
        open_.back()->Abandon();
    if (!committed_) Abandon();
}

void OutputSet::Joined(OutputFile* file) {
    open_.push_back(file);
}

void OutputSet::Left(OutputFile* file) {
    open_.erase(std::remove(open_.begin(), open_.end(), file), open_.end());
}

void OutputSet::Moved(OutputFile* from, OutputFile* to) {
    std::replace(open_.begin(), open_.end(), from, to);
}

void OutputSet::Drop(Finished& f) {
    const guard::SignalsHeld held;
    if (f.append) {
        if (f.fd >= 0) (void)::ftruncate(f.fd, static_cast<off_t>(f.appendStart));
    } else if (f.fd >= 0 && !f.tempName.empty()) {
        ::unlinkat(f.fd, f.tempName.c_str(), 0);
    }
    guard::Unlist(std::exchange(f.listed, -1));
    if (f.fd >= 0) ::close(std::exchange(f.fd, -1));
}

bool OutputSet::PutInPlace(Finished& f) {
    const guard::SignalsHeld held;
    bool ok = true;
    if (f.append) {
        if (f.fd >= 0 && ::close(f.fd) != 0) {
            f.problem = {f.path, SystemErrorText(errno), Wording::CannotWrite};
            ok = false; // nothing to cut back through: the descriptor is gone
        }
        f.fd = -1;
    } else if (::renameat(f.fd, f.tempName.c_str(), f.fd, f.targetName.c_str()) != 0) {
        f.problem = {f.path, SystemErrorText(errno), Wording::NotReplaced};
        ::unlinkat(f.fd, f.tempName.c_str(), 0);
        ok = false;
    }
    guard::Unlist(std::exchange(f.listed, -1));
    if (f.fd >= 0) ::close(std::exchange(f.fd, -1));
    if (ok) LogWritten(f.target);
    return ok;
}

bool OutputSet::Commit() {
    if (committed_) return !failed_;
    while (!open_.empty())
        open_.back()->Abandon(); // a member never closed: the job did not finish it
    if (failed_) {
        Abandon();
        return false;
    }
    committed_ = true;
    // Held back across all renames: a signal that comes now ends the process once the set is in place.
    const guard::SignalsHeld held;
    for (Finished& f : finished_) {
        if (failed_) {
            Drop(f);
        } else if (!PutInPlace(f)) {
            Fail(f.problem);
        }
    }
    finished_.clear();
    return !failed_;
}

void OutputSet::Abandon() {
    for (Finished& f : finished_)
        Drop(f);
    finished_.clear();
    Fail({{}, "the job was abandoned", Wording::Reason});
    committed_ = true;
}

void OutputSet::Fail(const FileProblem& problem) {
    if (failed_) return;
    failed_ = true;
    problem_ = problem;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, FileProblem* problem) {
    OutputFile file;
    bool ok = file.Create(path, OutputFile::Mode::Binary);
    if (ok) {
        file.Write(bytes);
        ok = file.Close();
    }
    if (!ok && problem) *problem = file.Problem();
    return ok;
}

} // namespace base
