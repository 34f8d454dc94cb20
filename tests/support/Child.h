#pragma once

#include <csignal>
#include <functional>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

// How a child process is limited before it runs the body.
struct ChildLimits {
    bool unprivileged = false; // as root, become "nobody" first, so that file permissions apply
    long fileSizeLimit = -1;   // RLIMIT_FSIZE in bytes (-1: unlimited); SIGXFSZ is ignored so the write fails
    bool defaultSigxfsz = false; // leave SIGXFSZ at its default (ending the process), for the body to handle
    unsigned alarmSeconds = 0;   // a body that blocks is ended by SIGALRM after this long (0: never)
};

// Runs body in a forked child under the limits and returns its result (0..255), or -1 when the child did not
// exit normally. Writes that must fail the way a full disk or a read-only file makes them fail are tried
// here, so the test process itself keeps its rights and limits.
inline int RunInChild(const ChildLimits& limits, const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid < 0) return -1;
    if (pid == 0) {
        if (limits.alarmSeconds > 0) ::alarm(limits.alarmSeconds);
        if (limits.fileSizeLimit >= 0) {
            std::signal(SIGXFSZ, limits.defaultSigxfsz ? SIG_DFL : SIG_IGN);
            const rlimit rl{static_cast<rlim_t>(limits.fileSizeLimit),
                            static_cast<rlim_t>(limits.fileSizeLimit)};
            if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(101);
        }
        if (limits.unprivileged && ::geteuid() == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(102);
        }
        ::_exit(body());
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

} // namespace testsupport
