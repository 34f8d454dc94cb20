#pragma once

#include "merge/MergeList.h"

#include <cstdint>
#include <optional>
#include <string>

namespace merge {

// The name the "Merge" save dialog proposes, and its filter.
inline constexpr const char* kMergeImageName = "Pic.BIN";
inline constexpr const char* kMergeImageFilter = "Binary File(*.BIN)|*.BIN|All File(*.*)|*.*";

// The symbol of an entry: its name in upper case (ASCII letters only; other bytes stay as they are) with
// every
// "." replaced by "_". No check is made that the result is a valid identifier.
std::string MergeSymbol(const std::string& name);

// One record of the offset table: "\n#define\tPIC%s_OFFSET\t(AOSD_START_ADR+ %10d)\t//0x%-8X" with the
// entry's symbol and its address twice (signed decimal, then its 32-bit pattern in hexadecimal).
std::string OffsetRecord(const std::string& name, std::uint32_t address);

// The whole offset table of the list: one record per entry in list order, nothing else.
std::string OffsetTable(const MergeList& list);

// The two files a chosen name stands for: its directory and base name (the extension, from the last "." of
// the file name on, dropped) followed by ".BIN" and by "_TBL.TXT".
struct MergeOutputs {
    std::string image;
    std::string table;
};
MergeOutputs MergeOutputNames(const std::string& chosen);

// "Merge": writes the merged image (every entry's file whole, back to back in list order, nothing between)
// and its offset table, for the name chosen in the save dialog. Returns the message for a plain message box
// when it did not write them, nullopt when both were written.
//
// Before anything is written every entry is checked: a file that is missing, or whose size is no longer the
// one in the list, stops the merge with one message naming those files and asking to add them again; an
// output that is one of the entries' files (by device and inode: also through a link) stops it with "the
// output NAME is the input". A file that changes or cannot be read while it is copied stops it the same
// way. The image and the table are replaced together at the end or not at all, so a stopped merge, "Open
// Merged file name error !!!" and "Open file name table error !!!" (each followed, on a line of its own, by
// the file and the reason) leave the previous files as they were. An empty list writes nothing and returns
// nullopt.
std::optional<std::string> MergeFiles(const MergeList& list, const std::string& chosen);

} // namespace merge
