#include "base/FileProblem.h"

#include "base/Format.h"
#include "base/Path.h"

#include <cstring>

namespace base {

namespace {

// The problem in words, with the file called name.
std::string Worded(const FileProblem& p, const std::string& name) {
    switch (p.wording) {
    case Wording::Reason:
        return name.empty() ? p.reason : name + ": " + p.reason;
    case Wording::CannotCreate:
        return "cannot create " + name + ": " + p.reason;
    case Wording::CannotReplace:
        return "cannot replace " + name + " safely: " + p.reason;
    case Wording::CannotWrite:
        return "cannot write " + name + ": " + p.reason;
    case Wording::NotReplaced:
        return "cannot replace " + name + ": " + p.reason;
    case Wording::NotCompleted:
        return name + " was not completed";
    case Wording::NotRegular:
        return name + " is not a regular file";
    case Wording::OutputIsInput:
        return "the output " + name + " is the input";
    }
    return name + ": " + p.reason;
}

} // namespace

std::string ProblemText(const FileProblem& problem) {
    return Worded(problem, problem.path);
}

std::string DetailLines(const FailureDetail& detail) {
    std::string text;
    for (const FileProblem& p : detail)
        text += ProblemText(p) + "\n";
    return text;
}

std::string DetailPanelText(const FailureDetail& detail) {
    std::string text;
    for (const FileProblem& p : detail) {
        if (!text.empty()) text += "; ";
        text += Worded(p, FileNameOf(p.path));
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
