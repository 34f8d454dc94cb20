#pragma once

#include "aosd/AosdState.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace aosd {

// The offset table entry of one merged file: a line feed, the macro definition and the source's file name.
// offset is the merge file's length before the source was added, shown as a signed 32-bit number. The macro
// is "PIC" + the source's base name + "_OFFSET", every byte of the base name that a C identifier cannot hold
// written as "_" (logo01-x12.bin gives PIClogo01_x12_OFFSET); the comment keeps the file name as it is.
std::string MergeTableEntry(const std::string& sourcePath, std::uint64_t offset);

// The merge file and table a merge that starts with sourcePath uses: "<dir>Merge_<base>.bin" and
// "<dir>Merge_tbl.txt" in the source's directory.
MergeState MergePathsFor(const std::string& sourcePath);

// What the "Information" rows show after one source was merged.
struct MergedSource {
    std::string fileName;         // "File Name:": the source's file name
    std::uint64_t mergedSize = 0; // "Write Size:": the merge file's length after it
};

struct MergeResult {
    std::optional<std::string> failure; // a refused merge; neither file changed
    std::vector<MergedSource> merged;   // one per source, in order
    std::string fileName;               // the last source's
    std::uint64_t mergedSize = 0;       // the merge file's length afterwards
};

// "Merge Bin Files" with sourcePath chosen. newMerge ("New Merge File") starts a new merge named after the
// source, replacing any merge file and table of the same names. Otherwise the source is added to the
// current merge while its merge file exists; without one (no merge yet, or its file was removed) a new
// merge named after this source starts. The source's bytes go to the end of the merge file, copied in
// blocks, and its entry to the end of the table, both or neither: the data is written first and the table
// last, and a failure cuts both back (a new merge replaces both files together or neither).
//
// The folder of the merge file is locked (flock) for the whole run, so that runs at once in one folder (the
// table is the folder's one) take turns and each run's result lands whole.
//
// Refused with failure, nothing written: a merge file that exists without its table, and a source that is
// the merge file or the table ("the output NAME is the input", compared by device and inode). Throws
// base::Error when the source cannot be read (also when it is not a regular file: "NAME is not a regular
// file"), changes while it is copied, or a file cannot be written; the message names the file and the
// reason, and both files are as they were. The merge paths in state change only when the merge succeeds.
MergeResult MergeBinFile(MergeState& state, const std::string& sourcePath, bool newMerge);

// The same for several sources in one run (tavix-cli's `aosd merge`): the first decides the merge as above,
// the others follow it as further clicks would, and the run is one job. Every source is opened before
// anything is written, and a run that fails at any source leaves the merge file and the table as they were
// before the run.
MergeResult MergeBinFiles(MergeState& state, const std::vector<std::string>& sourcePaths, bool newMerge);

} // namespace aosd
