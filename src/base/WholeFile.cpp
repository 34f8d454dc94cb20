#include "base/WholeFile.h"

#include <cstdio>

namespace base {

ReadStatus ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxBytes) {
    out.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return ReadStatus::CannotOpen;
    std::uint8_t chunk[65536];
    std::size_t n;
    ReadStatus status = ReadStatus::Ok;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        out.insert(out.end(), chunk, chunk + n);
        if (out.size() > maxBytes) {
            status = ReadStatus::TooLarge;
            break;
        }
    }
    if (status == ReadStatus::Ok && std::ferror(f) != 0) status = ReadStatus::ReadError;
    std::fclose(f);
    return status;
}


} // namespace base
