#pragma once

#include <optional>
#include <string>

namespace base {

// A path cut at its last directory separator and its last dot. Both '/' and '\' separate directories, so
// "C:\pics\logo01.bmp" splits like "/pics/logo01.bmp".
struct PathParts {
    std::string directory; // up to and including the last separator; empty when there is none
    std::string baseName;  // between the directory and the extension
    std::string extension; // from the last dot of the file name to the end, dot included; may be empty
};

PathParts SplitPath(const std::string& path);

// The file name of a path: everything after its last separator.
std::string FileNameOf(const std::string& path);

// dir joined with name; an empty dir leaves name as it is (relative to the process's working directory).
std::string JoinPath(const std::string& dir, const std::string& name);

// name as seen from folder: an absolute name ("/...") as it is, a relative one joined to folder (an empty
// folder leaves it relative, to the process's working directory).
std::string ResolvePath(const std::string& folder, const std::string& name);

bool FileExists(const std::string& path);
// Whether path names a directory that can be entered (and so listed and written into by name).
bool IsEnterableDirectory(const std::string& path);

// Whether a and b name the same file, by device and inode, so that hard links, symbolic links and ".." are
// seen through. When neither exists, whether they name the same place; when only one does, false.
bool SameFile(const std::string& a, const std::string& b);

// The device and inode of an existing file that is not a folder (what FileExists accepts), or none: for a job
// that compares one output with many inputs, one look at each name instead of two for every pair.
struct FileId {
    unsigned long long device = 0;
    unsigned long long inode = 0;
    bool operator==(const FileId&) const = default;
};
std::optional<FileId> ExistingFileId(const std::string& path);

// The directory of the running executable with its trailing separator ("" when it cannot be found).
std::string ExecutableDirectory();

std::string ToLowerAscii(std::string text);

} // namespace base
