#pragma once

#include "base/FileProblem.h"
#include "merge/MergeList.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace merge {

// The name the "Merge" save dialog proposes, and its filter.
inline constexpr const char* kMergeImageName = "Pic.BIN";
inline constexpr const char* kMergeImageFilter = "Binary File(*.BIN)|*.BIN|All File(*.*)|*.*";

// The symbol of an entry: its name with ASCII letters in upper case and every byte that a C identifier
// cannot hold (anything but a letter, digit or "_": ".", "-", a blank, the bytes of a non-ASCII character)
// written as "_". So my-logo.big.bin gives MY_LOGO_BIG_BIN.
std::string MergeSymbol(const std::string& name);

// The symbols of a list of names in list order: each name's MergeSymbol, and for a symbol met again the
// first of "_2", "_3", ... that gives a symbol not used before (logo.bin, logo.bin: LOGO_BIN, LOGO_BIN_2),
// so that no two records define the same macro.
std::vector<std::string> UniqueSymbols(const std::vector<std::string>& names);

// One record of the offset table: "\n#define\tPIC%s_OFFSET\t(AOSD_START_ADR+ %10d)\t//0x%-8X" with the
// symbol and the address twice (signed decimal, then its 32-bit pattern in hexadecimal).
std::string OffsetRecord(const std::string& symbol, std::uint32_t address);

// The whole offset table of the list: one record per entry in list order, with the entries' UniqueSymbols,
// nothing else.
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
// Merged file name error !!!" and "Open file name table error !!!" leave the previous files as they were.
// An empty list writes nothing and returns nullopt. When detail is given, a file that could not be written
// is added to it with the reason ("cannot replace NAME safely: Permission denied").
std::optional<std::string> MergeFiles(const MergeList& list, const std::string& chosen,
                                      base::FailureDetail* detail = nullptr);

} // namespace merge
