#include "base/OutputGuard.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstring>

namespace base {

namespace {

// Room for every output that jobs running side by side hold open at once: a build runs up to 256 jobs, and
// a font bank with its code holds a dozen files. An output that finds no room is still written, but an
// interrupt would leave its temporary file behind.
constexpr int kEntries = 4096;
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

enum : int { kFree = 0, kTemporary = 1, kAppend = 2, kClaimed = 3 };

// One unfinished output. kind is written last when an entry is filled and first when it is freed, so a
// handler never acts on half an entry. Threads that write side by side claim a free entry by changing its
// kind from kFree to kClaimed in one step, so no two of them fill the same entry.
struct Entry {
    std::atomic<int> kind;
    int fd;       // the folder of a temporary file, or the file appended to
    off_t length; // an append's old length
    char name[16];
};

// Constant-initialised: a dynamic initialiser would touch all 128 KiB of it at every start.
constinit Entry g_entries[kEntries]{};
// A lock-free atomic is what a signal handler may read.
static_assert(std::atomic<int>::is_always_lock_free);

void CleanUp() {
    for (Entry& e : g_entries) {
        if (e.kind == kTemporary)
            ::unlinkat(e.fd, e.name, 0);
        else if (e.kind == kAppend)
            (void)::ftruncate(e.fd, e.length);
    }
}

// Sections in which a thread holds the cleanup back (SignalsHeld), over all threads; and whether a cleanup
// has begun. A signal is held back only in the thread that blocks it: jobs on other threads can take it
// while one is between making a temporary file and listing it, or amid a set's renames.
std::atomic<int> g_held{0};
std::atomic<bool> g_stopping{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnCleanupSignal(int signal) {
    // A section no thread may leave half done ends first; a thread that would start one now waits for the
    // end of the process instead.
    g_stopping = true;
    while (g_held.load() > 0) {
    }
    CleanUp();
    ::_exit(128 + signal);
}

sigset_t CleanupSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int s : kCleanupSignals)
        sigaddset(&set, s);
    return set;
}

// Claims a free entry for the caller to fill; -1 when every entry is taken.
int FreeEntry() {
    for (int i = 0; i < kEntries; ++i) {
        int expected = kFree;
        if (g_entries[i].kind.compare_exchange_strong(expected, kClaimed)) return i;
    }
    return -1;
}

} // namespace

void GuardOutputs() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGXFSZ, &ignore, nullptr);

    struct sigaction cleanup {};
    cleanup.sa_handler = OnCleanupSignal;
    cleanup.sa_mask = CleanupSignals(); // one cleanup at a time
    for (const int s : kCleanupSignals) {
        struct sigaction old {};
        // A signal the process was started with ignored (a job run with nohup) stays ignored.
        if (::sigaction(s, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
        ::sigaction(s, &cleanup, nullptr);
    }
}

void RemoveUnfinishedOutputs() {
    const guard::SignalsHeld held;
    CleanUp();
}

namespace guard {

SignalsHeld::SignalsHeld() {
    const sigset_t set = CleanupSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, &saved_);
    ++g_held;
    if (g_stopping) {
        // Another thread is cleaning up and ends the process: nothing more of this one may begin.
        --g_held;
        for (;;)
            ::pause();
    }
}

SignalsHeld::~SignalsHeld() {
    --g_held;
    ::pthread_sigmask(SIG_SETMASK, &saved_, nullptr);
}

int ListTemporary(int dirFd, const char* name) {
    const int i = FreeEntry();
    if (i < 0) return -1;
    Entry& e = g_entries[i];
    e.fd = dirFd;
    std::strncpy(e.name, name, sizeof e.name - 1);
    e.name[sizeof e.name - 1] = '\0';
    e.kind = kTemporary;
    return i;
}

int ListAppend(int fd, off_t length) {
    const int i = FreeEntry();
    if (i < 0) return -1;
    Entry& e = g_entries[i];
    e.fd = fd;
    e.length = length;
    e.kind = kAppend;
    return i;
}

void Unlist(int entry) {
    if (entry >= 0 && entry < kEntries) g_entries[entry].kind = kFree;
}

} // namespace guard

} // namespace base
