#pragma once

#include "support/BmpBuilder.h"

#include <fcntl.h>
#include <grp.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <string>
#include <vector>

namespace clitest {

// How a tavix-cli process is started: the faults of a real machine, set in the child before it runs.
struct ProcessLimits {
    long fileSizeLimit = -1;    // RLIMIT_FSIZE in bytes, SIGXFSZ left at its default as `ulimit -f` leaves it
    bool unprivileged = false;  // as root, run as "nobody", so that file permissions apply
    unsigned alarmSeconds = 30; // a run that blocks is ended by SIGALRM instead of hanging the test
    int cpus = 0;               // > 0: the process may run on that many of the test's CPUs only
};

// How a process ended: its exit code (or -1) or the signal that ended it (or 0), what it wrote, and the
// most memory it held at once.
struct ProcessResult {
    int code = -1;
    int signal = 0;
    std::string out;
    std::string err;
    long maxRssKb = 0;
};

// One run of the real tavix-cli executable, started at once and waited for on demand.
class CliProcess final {
public:
    CliProcess(const std::vector<std::string>& args, const ProcessLimits& limits = {}) {
        const std::string outPath = dir_ / "out";
        const std::string errPath = dir_ / "err";
        pid_ = ::fork();
        if (pid_ != 0) return;
        // The child: streams to files, the limits, then the executable.
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0) ::_exit(120);
        std::signal(SIGXFSZ, SIG_DFL);
        if (limits.fileSizeLimit >= 0) {
            const rlimit rl{static_cast<rlim_t>(limits.fileSizeLimit),
                            static_cast<rlim_t>(limits.fileSizeLimit)};
            if (::setrlimit(RLIMIT_FSIZE, &rl) != 0) ::_exit(121);
        }
        if (limits.unprivileged && ::geteuid() == 0) {
            if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(122);
        }
        if (limits.cpus > 0) {
            cpu_set_t all, some;
            CPU_ZERO(&some);
            if (::sched_getaffinity(0, sizeof all, &all) != 0) ::_exit(124);
            for (int cpu = 0, taken = 0; cpu < CPU_SETSIZE && taken < limits.cpus; ++cpu)
                if (CPU_ISSET(cpu, &all)) {
                    CPU_SET(cpu, &some);
                    ++taken;
                }
            if (::sched_setaffinity(0, sizeof some, &some) != 0) ::_exit(124);
        }
        ::alarm(limits.alarmSeconds);
        std::vector<char*> argv;
        std::string program = TAVIX_CLI_PATH;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (std::string& a : copies)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(123);
    }
    CliProcess(const CliProcess&) = delete;
    CliProcess& operator=(const CliProcess&) = delete;
    ~CliProcess() {
        if (!waited_ && pid_ > 0) {
            ::kill(pid_, SIGKILL);
            Wait();
        }
    }

    pid_t Pid() const { return pid_; }

    ProcessResult Wait() {
        ProcessResult r;
        int status = 0;
        rusage usage{};
        if (pid_ > 0 && ::wait4(pid_, &status, 0, &usage) == pid_) {
            if (WIFEXITED(status)) r.code = WEXITSTATUS(status);
            if (WIFSIGNALED(status)) r.signal = WTERMSIG(status);
            r.maxRssKb = usage.ru_maxrss;
        }
        waited_ = true;
        r.out = testsupport::ReadText(dir_ / "out");
        r.err = testsupport::ReadText(dir_ / "err");
        return r;
    }

private:
    testsupport::TempDir dir_;
    pid_t pid_ = -1;
    bool waited_ = false;
};

inline ProcessResult RunCliProcess(const std::vector<std::string>& args, const ProcessLimits& limits = {}) {
    CliProcess process(args, limits);
    return process.Wait();
}

} // namespace clitest
