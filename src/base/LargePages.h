#pragma once

namespace base {

// Lets the process's heap be backed by large pages where the system offers them on request, and keeps the
// buffers of a job on that heap. On machines where a first touch of each 4 KiB page is dear (a virtual
// machine can take 10 us a page), a job that fills a few megabytes of buffers otherwise spends more time in
// those page faults than in its work. Call first thing in main, before any thread starts; nothing is
// touched here, so a job that uses little memory pays nothing but three system calls.
void PreferLargePages();

} // namespace base
