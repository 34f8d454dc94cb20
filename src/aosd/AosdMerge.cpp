#include "aosd/AosdMerge.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "base/WholeFile.h"

#include <filesystem>
#include <string_view>
#include <system_error>
#include <vector>

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

[[noreturn]] void CannotWrite(const std::string& path) {
    throw base::Error(base::strprintf("Cannot write the file \"%s\".", path.c_str()));
}

bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

std::string_view View(const std::vector<std::uint8_t>& bytes) {
    return {reinterpret_cast<const char*>(bytes.data()), bytes.size()};
}

} // namespace

MergeResult MergeBinFile(MergeState& state, const std::string& sourcePath, bool newMerge) {
    MergeResult result;
    MergeState target = state;
    bool fresh = true;
    if (newMerge) {
        target = MergePathsFor(sourcePath);
    } else {
        if (target.MergeBinPath.empty()) target = MergePathsFor(sourcePath);
        if (base::FileExists(target.MergeBinPath)) {
            fresh = false;
        } else {
            target = MergePathsFor(sourcePath);
        }
    }
    if (!fresh && !base::FileExists(target.MergeTablePath)) {
        result.failure = base::strprintf(
            "The offset table %s of the merge file %s is missing, so nothing was merged. Check \"New Merge "
            "File\" to start a new merge.",
            target.MergeTablePath.c_str(), target.MergeBinPath.c_str());
        return result;
    }
    if (SameFile(sourcePath, target.MergeBinPath)) {
        result.failure =
            base::strprintf("The merge file %s cannot be merged into itself.", target.MergeBinPath.c_str());
        return result;
    }

    std::vector<std::uint8_t> source;
    if (base::ReadWholeFile(sourcePath, source) != base::ReadStatus::Ok)
        throw base::Error(base::strprintf("Cannot read the file \"%s\".", sourcePath.c_str()));

    std::uint64_t offset = 0;
    if (!fresh) {
        std::error_code ec;
        offset = std::filesystem::file_size(target.MergeBinPath, ec);
        if (ec)
            throw base::Error(base::strprintf("Cannot read the file \"%s\".", target.MergeBinPath.c_str()));
    }
    const std::string entry = MergeTableEntry(sourcePath, offset);

    base::OutputFile merge;
    base::OutputFile table;
    if (fresh) {
        if (!merge.Create(target.MergeBinPath, base::OutputFile::Mode::Binary))
            CannotWrite(target.MergeBinPath);
        if (!table.Create(target.MergeTablePath, base::OutputFile::Mode::Binary))
            CannotWrite(target.MergeTablePath);
        if (!source.empty()) merge.Write(View(source));
        table.Write(entry);
        // The table goes in place first: should the merge file then fail, the next click finds no merge
        // file and starts afresh, replacing this table, rather than adding to a table of another merge.
        if (!table.Close()) CannotWrite(target.MergeTablePath);
        if (!merge.Close()) CannotWrite(target.MergeBinPath);
    } else {
        if (!merge.OpenForAppend(target.MergeBinPath, base::OutputFile::Mode::Binary))
            CannotWrite(target.MergeBinPath);
        if (!table.OpenForAppend(target.MergeTablePath, base::OutputFile::Mode::Binary))
            CannotWrite(target.MergeTablePath);
        if (!source.empty()) merge.Write(View(source));
        table.Write(entry);
        if (!merge.Close()) CannotWrite(target.MergeBinPath); // the table is cut back as it is dropped
        if (!table.Close()) {
            // The data is in but its entry is not: take the data out again, so both stay in step.
            std::error_code ec;
            std::filesystem::resize_file(target.MergeBinPath, offset, ec);
            CannotWrite(target.MergeTablePath);
        }
    }

    state = target;
    result.fileName = base::FileNameOf(sourcePath);
    result.mergedSize = offset + source.size();
    return result;
}

} // namespace aosd
