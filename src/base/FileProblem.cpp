#include "base/FileProblem.h"

#include "base/Format.h"
#include "base/Path.h"

#include <cstring>

namespace base {

std::string DetailLines(const FailureDetail& detail) {
    std::string text;
    for (const FileProblem& p : detail)
        text += p.path + ": " + p.reason + "\n";
    return text;
}

std::string DetailPanelText(const FailureDetail& detail) {
    std::string text;
    for (const FileProblem& p : detail) {
        if (!text.empty()) text += "; ";
        text += FileNameOf(p.path) + ": " + p.reason;
    }
    return text;
}

std::string SystemErrorText(int errorNumber) {
    if (errorNumber == 0) return "unknown error";
    char buffer[256];
    // The GNU strerror_r returns the text, which need not be in buffer.
    return ::strerror_r(errorNumber, buffer, sizeof buffer);
}

std::string SizeLimitText(std::size_t bytes) {
    constexpr std::size_t kMiB = std::size_t{1} << 20;
    if (bytes >= kMiB && bytes % kMiB == 0) return strprintf("%zu MiB", bytes / kMiB);
    return strprintf("%zu bytes", bytes);
}

} // namespace base
