#include "base/WholeFile.h"

#include "base/FileProblem.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace base {

ReadStatus ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxBytes,
                         int* errorNumber) {
    out.clear();
    if (errorNumber) *errorNumber = 0;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (errorNumber) *errorNumber = errno;
        return ReadStatus::CannotOpen;
    }
    // Room for the size the file reports, plus one byte to see its end in the same read: one allocation and
    // one copy, where a growing buffer copies everything again at every step. What the size does not tell
    // (a file that grows meanwhile, one without a size) is read on in growing steps.
    std::size_t room = 65536;
    struct stat st;
    if (fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0)
        room = static_cast<std::size_t>(st.st_size) + 1;
    if (maxBytes < static_cast<std::size_t>(-1)) room = std::min(room, maxBytes + 1);
    // Stdio's own buffer would only add a copy.
    std::setvbuf(f, nullptr, _IONBF, 0);

    ReadStatus status = ReadStatus::Ok;
    std::size_t have = 0;
    for (;;) {
        if (have == out.size()) {
            if (have > maxBytes) {
                status = ReadStatus::TooLarge;
                break;
            }
            out.resize(have + std::max(room, have));
            room = 65536;
        }
        const std::size_t want = out.size() - have;
        const std::size_t n = std::fread(out.data() + have, 1, want, f);
        have += n;
        // Less than asked for: the end of the file, or an error.
        if (n < want) {
            if (std::ferror(f) != 0) {
                status = ReadStatus::ReadError;
                if (errorNumber) *errorNumber = errno;
            }
            break;
        }
    }
    if (status == ReadStatus::Ok && have > maxBytes) status = ReadStatus::TooLarge;
    out.resize(have);
    std::fclose(f);
    return status;
}

std::string ReadFailureReason(ReadStatus status, int errorNumber, std::size_t maxBytes) {
    switch (status) {
    case ReadStatus::Ok:
        return "";
    case ReadStatus::TooLarge:
        return "larger than " + SizeLimitText(maxBytes);
    case ReadStatus::CannotOpen:
    case ReadStatus::ReadError:
        break;
    }
    return SystemErrorText(errorNumber);
}

} // namespace base
