#include "base/FileLog.h"

namespace base {

namespace {
thread_local FileLog* t_log = nullptr;
} // namespace

FileLogScope::FileLogScope(FileLog& log) : previous_(t_log) {
    t_log = &log;
}

FileLogScope::~FileLogScope() {
    t_log = previous_;
}

void LogRead(const std::string& path) {
    if (t_log) t_log->read.push_back(path);
}

void LogWritten(const std::string& path) {
    if (t_log) t_log->written.push_back(path);
}

} // namespace base
