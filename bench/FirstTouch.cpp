// What a first touch of fresh memory costs: maps N MiB, optionally asks for large pages, and writes every
// byte once (floor_bench.sh's note on page faults; run it under `perf stat -r 21 -e task-clock,page-faults`).
//
//   first-touch MIB [large]
#include <sys/mman.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: first-touch MIB [large]\n");
        return 2;
    }
    const std::size_t size = static_cast<std::size_t>(std::atol(argv[1])) << 20;
    void* const map = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map == MAP_FAILED) return 1;
    if (argc > 2 && std::strcmp(argv[2], "large") == 0) ::madvise(map, size, MADV_HUGEPAGE);
    auto* bytes = static_cast<volatile char*>(map);
    std::memset(map, 1, size);
    return bytes[size / 2] == 1 ? 0 : 1;
}
