#include "aosd/AosdMerge.h"

#include "base/Error.h"
#include "base/FileProblem.h"
#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "base/WholeFile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <utility>

namespace aosd {

std::string MergeTableEntry(const std::string& sourcePath, std::uint64_t offset) {
    // The base name keeps its case; what a macro name cannot hold becomes "_", so logo01-x12 cannot define
    // a macro PIClogo01 with the rest of the line as its value.
    const std::string symbol = base::IdentifierPart(SplitAosdPath(sourcePath).baseName);
    const auto field = static_cast<std::int32_t>(static_cast<std::uint32_t>(offset));
    return base::strprintf("\n#define PIC%s_OFFSET (AOSD_START_ADR+ %10d) //", symbol.c_str(), field) +
           base::FileNameOf(sourcePath);
}

MergeState MergePathsFor(const std::string& sourcePath) {
    const AosdPathParts parts = SplitAosdPath(sourcePath);
    MergeState paths;
    paths.MergeBinPath = base::strprintf("%sMerge_%s.bin", parts.directory.c_str(), parts.baseName.c_str());
    paths.MergeTablePath = base::strprintf("%sMerge_tbl.txt", parts.directory.c_str());
    return paths;
}

namespace {

// The copy goes through a buffer of this size, as the Merge tab's writer copies: memory stays flat whatever
// the sources weigh.
constexpr std::size_t kCopyBlock = 1 << 17;

// The tool has no message of its own for a merge that fails on a file: the problem is the message.
[[noreturn]] void Fail(const base::FileProblem& problem) {
    throw base::Error(base::ProblemText(problem));
}

// An exclusive lock on the folder that holds a merge, for as long as the object lives. A folder that cannot
// be opened for it (one the user may not list) is merged into without the lock.
class FolderLock final {
public:
    explicit FolderLock(const std::string& mergeBinPath) {
        const std::string folder = SplitAosdPath(mergeBinPath).directory;
        fd_ = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) return;
        while (::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(std::exchange(fd_, -1));
                return;
            }
        }
    }
    ~FolderLock() {
        if (fd_ >= 0) ::close(fd_); // closing releases the lock
    }
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

// Which merge a run goes into; fresh when its files are to be made anew.
struct Target {
    MergeState paths;
    bool fresh = true;
};

Target ChooseTarget(const MergeState& state, const std::string& firstSource, bool newMerge) {
    Target target{state, true};
    if (newMerge) {
        target.paths = MergePathsFor(firstSource);
    } else {
        if (target.paths.MergeBinPath.empty()) target.paths = MergePathsFor(firstSource);
        if (base::FileExists(target.paths.MergeBinPath))
            target.fresh = false;
        else
            target.paths = MergePathsFor(firstSource);
    }
    return target;
}

// Copies the whole of source (exactly its size when it was opened) to the end of out.
void CopyInto(base::InputFile& source, const std::string& path, base::OutputFile& out,
              std::vector<char>& block) {
    std::uint64_t at = 0;
    while (at < source.Size()) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), source.Size() - at));
        const long long got = source.ReadAt(at, block.data(), want);
        if (got < 0) Fail(source.Problem());
        if (got == 0) Fail({path, "it became shorter while it was read"});
        out.Write(std::string_view(block.data(), static_cast<std::size_t>(got)));
        at += static_cast<std::uint64_t>(got);
    }
}

} // namespace

MergeResult MergeBinFiles(MergeState& state, const std::vector<std::string>& sourcePaths, bool newMerge) {
    MergeResult result;
    if (sourcePaths.empty()) return result;

    // The choice depends on whether the merge file exists, so it is made again once the folder is locked.
    Target target = ChooseTarget(state, sourcePaths.front(), newMerge);
    auto lock = std::make_unique<FolderLock>(target.paths.MergeBinPath);
    const Target locked = ChooseTarget(state, sourcePaths.front(), newMerge);
    if (locked.paths.MergeBinPath != target.paths.MergeBinPath) {
        lock.reset();
        lock = std::make_unique<FolderLock>(locked.paths.MergeBinPath);
        target = ChooseTarget(state, sourcePaths.front(), newMerge); // fresh now: no longer depends on files
    } else {
        target = locked;
    }

    if (!target.fresh && !base::FileExists(target.paths.MergeTablePath)) {
        result.failure = base::strprintf(
            "The offset table %s of the merge file %s is missing, so nothing was merged. Check \"New Merge "
            "File\" to start a new merge.",
            target.paths.MergeTablePath.c_str(), target.paths.MergeBinPath.c_str());
        return result;
    }

    // Every source is checked and opened before anything is written.
    std::vector<base::InputFile> sources(sourcePaths.size());
    for (std::size_t i = 0; i < sourcePaths.size(); ++i) {
        const std::string& path = sourcePaths[i];
        for (const std::string& output : {target.paths.MergeBinPath, target.paths.MergeTablePath}) {
            if (base::SameFile(path, output)) {
                result.failure = base::ProblemText(base::OutputIsInput(output));
                return result;
            }
        }
        if (sources[i].Open(path) != base::ReadStatus::Ok) Fail(sources[i].Problem());
    }

    std::uint64_t offset = 0;
    if (!target.fresh) {
        struct stat st {};
        if (::stat(target.paths.MergeBinPath.c_str(), &st) != 0)
            Fail({target.paths.MergeBinPath, base::SystemErrorText(errno)});
        offset = static_cast<std::uint64_t>(st.st_size);
    }

    base::OutputSet outputs;
    base::OutputFile merge;
    base::OutputFile table;
    const auto mode = base::OutputFile::Mode::Binary;
    if (target.fresh) {
        if (!merge.Create(target.paths.MergeBinPath, mode, outputs)) Fail(merge.Problem());
        if (!table.Create(target.paths.MergeTablePath, mode, outputs)) Fail(table.Problem());
    } else {
        if (!merge.OpenForAppend(target.paths.MergeBinPath, mode, outputs)) Fail(merge.Problem());
        if (!table.OpenForAppend(target.paths.MergeTablePath, mode, outputs)) Fail(table.Problem());
    }

    // The data first, the table last.
    std::vector<char> block(kCopyBlock);
    std::string entries;
    for (std::size_t i = 0; i < sourcePaths.size(); ++i) {
        entries += MergeTableEntry(sourcePaths[i], offset);
        CopyInto(sources[i], sourcePaths[i], merge, block);
        offset += sources[i].Size();
        result.merged.push_back({base::FileNameOf(sourcePaths[i]), offset});
    }
    table.Write(entries);
    // A new merge puts its table in place first: should the merge file then fail, the next click finds no
    // merge file and starts afresh, replacing this table, rather than adding to a table of another merge.
    if (target.fresh) {
        if (!table.Close()) Fail(table.Problem());
        if (!merge.Close()) Fail(merge.Problem());
    } else {
        if (!merge.Close()) Fail(merge.Problem());
        if (!table.Close()) Fail(table.Problem());
    }
    if (!outputs.Commit()) Fail(outputs.Problem());

    state = target.paths;
    result.fileName = result.merged.back().fileName;
    result.mergedSize = result.merged.back().mergedSize;
    return result;
}

MergeResult MergeBinFile(MergeState& state, const std::string& sourcePath, bool newMerge) {
    return MergeBinFiles(state, {sourcePath}, newMerge);
}

} // namespace aosd
