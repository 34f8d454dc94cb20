#pragma once

#include "aosd/AosdState.h"

#include <cstdint>
#include <optional>
#include <string>

namespace aosd {

// The offset table entry of one merged file: a line feed, the macro definition and the source's file name.
// offset is the merge file's length before the source was added, shown as a signed 32-bit number. The macro
// is "PIC" + the source's base name + "_OFFSET", every byte of the base name that a C identifier cannot hold
// written as "_" (logo01-x12.bin gives PIClogo01_x12_OFFSET); the comment keeps the file name as it is.
std::string MergeTableEntry(const std::string& sourcePath, std::uint64_t offset);

// The merge file and table a merge that starts with sourcePath uses: "<dir>Merge_<base>.bin" and
// "<dir>Merge_tbl.txt" in the source's directory.
MergeState MergePathsFor(const std::string& sourcePath);

struct MergeResult {
    std::optional<std::string> failure; // a refused merge; neither file changed
    std::string fileName;               // "File Name:": the source's file name
    std::uint64_t mergedSize = 0;       // "Write Size:": the merge file's length afterwards
};

// "Merge Bin Files" with sourcePath chosen. newMerge ("New Merge File") starts a new merge named after the
// source, replacing any merge file and table of the same names. Otherwise the source is added to the
// current merge while its merge file exists; without one (no merge yet, or its file was removed) a new
// merge named after this source starts. The source's bytes go to the end of the merge file and its entry to
// the end of the table, both or neither: a failure leaves both files as they were. (The one exception: a
// new merge whose table went in place while its merge file then could not leaves the new table.)
//
// Refused with failure, nothing written: a merge file that exists without its table, and a source that is
// the merge file itself. Throws base::Error when the source cannot be read or a file cannot be written.
// The merge paths in state change only when the merge succeeds.
MergeResult MergeBinFile(MergeState& state, const std::string& sourcePath, bool newMerge);

} // namespace aosd
