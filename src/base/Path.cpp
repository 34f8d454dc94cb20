#include "base/Path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>

namespace base {

namespace {
size_t LastSeparator(const std::string& path) {
    return path.find_last_of("/\\");
}
} // namespace

PathParts SplitPath(const std::string& path) {
    PathParts parts;
    const size_t sep = LastSeparator(path);
    const size_t nameStart = sep == std::string::npos ? 0 : sep + 1;
    parts.directory = path.substr(0, nameStart);
    const std::string name = path.substr(nameStart);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos) {
        parts.baseName = name;
    } else {
        parts.baseName = name.substr(0, dot);
        parts.extension = name.substr(dot);
    }
    return parts;
}

std::string FileNameOf(const std::string& path) {
    const size_t sep = LastSeparator(path);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty()) return name;
    if (dir.back() == '/' || dir.back() == '\\') return dir + name;
    return dir + "/" + name;
}

std::string ResolvePath(const std::string& folder, const std::string& name) {
    if (!name.empty() && name.front() == '/') return name;
    return JoinPath(folder, name);
}

bool IsEnterableDirectory(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           ::access(path.c_str(), X_OK) == 0;
}

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::optional<FileId> ExistingFileId(const std::string& path) {
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;
    return FileId{static_cast<unsigned long long>(info.st_dev), static_cast<unsigned long long>(info.st_ino)};
}

bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty()) return false;
    struct stat sa {};
    struct stat sb {};
    const bool aExists = ::stat(a.c_str(), &sa) == 0;
    const bool bExists = ::stat(b.c_str(), &sb) == 0;
    if (aExists && bExists) return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    if (aExists || bExists) return false;
    // Neither exists yet (an output a job is about to make, named again as one of its inputs): the same
    // place once links and ".." are resolved as far as the folders exist.
    std::error_code ea, eb;
    const std::filesystem::path pa = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ea), ea);
    const std::filesystem::path pb = std::filesystem::weakly_canonical(std::filesystem::absolute(b, eb), eb);
    return !ea && !eb && pa == pb;
}

std::string ExecutableDirectory() {
    char buffer[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    return SplitPath(std::string(buffer, static_cast<size_t>(n))).directory;
}

std::string ToLowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

} // namespace base
