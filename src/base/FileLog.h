#pragma once

#include <string>
#include <vector>

namespace base {

// The files one job read and the files it put in place, in the order it did so, as a build records them to
// tell later whether the job must run again. Paths are as the job named them.
struct FileLog {
    std::vector<std::string> read;
    std::vector<std::string> written;
};

// While an object of this class lives, every input file this thread opens (InputFile, the merge's copies,
// the font files the renderer loads) and every output this thread puts in place (a replaced file, a kept
// append) is listed in log. Logs on other threads are not touched, so jobs that run side by side each see
// only their own files. Nests: the previous log of the thread comes back when this one ends.
class FileLogScope final {
public:
    explicit FileLogScope(FileLog& log);
    ~FileLogScope();
    FileLogScope(const FileLogScope&) = delete;
    FileLogScope& operator=(const FileLogScope&) = delete;

private:
    FileLog* previous_;
};

// Lists path in this thread's log, when it has one; does nothing otherwise.
void LogRead(const std::string& path);
void LogWritten(const std::string& path);

} // namespace base
