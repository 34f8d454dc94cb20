#pragma once

#include <signal.h>
#include <sys/types.h>

namespace base {

// What an interrupted run leaves behind: nothing. Every temporary file an OutputFile is writing and every
// append it has made is listed here, in a table of fixed size that a signal handler may walk, until the
// output is put in place, removed or kept.

// Installs the process's signal handling for its outputs. SIGXFSZ is ignored, so that a write past the
// file-size limit fails with EFBIG and the job fails like any other write. SIGINT, SIGTERM and SIGHUP (each
// unless the process was started with it ignored) remove every temporary file of the process and cut every
// append back to its old length, then end the process with status 128 + the signal. Call once, early in
// main(); the handlers use nothing but async-signal-safe calls.
void GuardOutputs();

// The same cleanup without ending the process, for a window that is closing: every temporary file removed,
// every append cut back. The OutputFile and OutputSet objects concerned must not be used afterwards.
void RemoveUnfinishedOutputs();

namespace guard {

// The signals that run the cleanup are held back while an object of this class lives, so that a temporary
// file is never made without being listed, and a set of renames is never cut in half. Restores the mask
// the thread had. With threads (a build running jobs side by side), a cleanup that another thread runs
// waits for every such section to end, and a section that would begin after the cleanup began never
// returns: the process is ending.
class SignalsHeld final {
public:
    SignalsHeld();
    ~SignalsHeld();
    SignalsHeld(const SignalsHeld&) = delete;
    SignalsHeld& operator=(const SignalsHeld&) = delete;

private:
    sigset_t saved_; // the thread's previous signal mask
};

// Lists the temporary file `name` (at most 15 bytes) in the folder dirFd; returns its entry, or -1 when the
// table is full (the file is then not removed by a signal). The caller holds the signals back.
int ListTemporary(int dirFd, const char* name);
// Lists an append to the open file fd, which had `length` bytes before it; returns its entry or -1.
int ListAppend(int fd, off_t length);
// Takes an entry off the list (the output was put in place, removed or kept); -1 is ignored.
void Unlist(int entry);

} // namespace guard

} // namespace base
