#include "base/LargePages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace base {

namespace {
// Kept, so that the compiler cannot drop the allocation.
void* volatile g_filler = nullptr;
} // namespace

void PreferLargePages() {
#if defined(__GLIBC__) && defined(MADV_HUGEPAGE)
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    constexpr std::uintptr_t kLargePage = 2 * kMiB;
    // Blocks up to 64 MiB come from the heap instead of a mapping of their own, the heap grows 64 MiB at a
    // time (address space only until touched), and up to 128 MiB freed at its end stays with it, so that
    // one buffer after another reuses the same pages.
    if (mallopt(M_MMAP_THRESHOLD, static_cast<int>(64 * kMiB)) == 0 ||
        mallopt(M_TOP_PAD, static_cast<int>(64 * kMiB)) == 0 ||
        mallopt(M_TRIM_THRESHOLD, static_cast<int>(128 * kMiB)) == 0)
        return;
    // A large page can back a range only while none of its small pages is in use, and malloc writes a word
    // at the start of its free space whenever it hands out a block. So: find where the free space begins
    // (a block this large comes from the heap's end), then fill it up to a large-page boundary that no write
    // has reached with a block that is never freed nor touched (address space only; the heap grows by
    // M_TOP_PAD to hold it), and ask for large pages from that boundary on. The job's buffers come from
    // there.
    constexpr std::size_t kProbe = 256 * 1024;
    void* const probe = std::malloc(kProbe);
    if (!probe) return;
    const auto at = reinterpret_cast<std::uintptr_t>(probe);
    std::free(probe); // back into the free space at the heap's end, which begins at `at` again
    const std::uintptr_t start = (at + kProbe + 2 * 4096 + kLargePage - 1) & ~(kLargePage - 1);
    g_filler = std::malloc(start - at - 64);
    const auto filler = reinterpret_cast<std::uintptr_t>(g_filler);
    const auto end = reinterpret_cast<std::uintptr_t>(::sbrk(0));
    if (!g_filler || filler != at || end == static_cast<std::uintptr_t>(-1) || end <= start + kLargePage)
        return;
    // Only a request: where the system declines, the heap stays on small pages and nothing else changes.
    (void)::madvise(reinterpret_cast<void*>(start), (end - start) & ~(kLargePage - 1), MADV_HUGEPAGE);
#endif
}

} // namespace base
