#pragma once

#include "base/Error.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace merge {

// Splitting a merged image back into its files with its offset table: the Merge tab's "NAME.BIN" with
// "NAME_TBL.TXT", and the AOSD tab's "Merge_NAME.bin" with "Merge_tbl.txt".

// One record of an offset table: "#define PIC<symbol>_OFFSET (AOSD_START_ADR+ <decimal>) //<comment>", with
// blanks or tabs between the parts.
struct OffsetEntry {
    std::string macro;     // PIC<symbol>_OFFSET, as written
    std::string symbol;    // what lies between PIC and _OFFSET
    std::uint32_t address; // the decimal, read as the signed 32-bit number it was written as
    std::string comment;   // after "//": "0x135" and its padding (Merge tab), the file name (AOSD tab)
    int line = 0;          // 1-based line of the table
};

struct ParsedTable {
    std::vector<OffsetEntry> entries; // in table order
    // A line that is not a record (empty lines are passed over), or a Merge tab comment whose hexadecimal
    // is not the record's address: the line and what is wrong. The entries read before it are kept.
    base::Failure failure;
};
ParsedTable ParseOffsetTable(std::string_view text);

// One file of the split: its name (the symbol, with "_2", "_3", ... for a symbol met again, and any byte a
// file name cannot hold, "/", "\" or NUL, written as "_"), where it starts in the image and how long it is.
struct SplitPiece {
    std::string name;
    std::string macro;
    std::uint64_t offset = 0;
    std::uint64_t size = 0;
};

struct SplitPlan {
    std::vector<SplitPiece> pieces; // the entries that lie in the image, in table order
    // Where the table and the image disagree, a line each naming the entry: an entry past the image's end
    // (left out), an entry whose offset is below the one before it, bytes before the first entry.
    std::vector<std::string> problems;
};

// Cuts an image of imageSize bytes at the entries' addresses: each entry runs to the next larger-or-equal
// address of a later entry, the last to the image's end.
SplitPlan PlanSplit(const std::vector<OffsetEntry>& entries, std::uint64_t imageSize);

struct SplitResult {
    std::vector<SplitPiece> written; // the files written into the folder, in table order
    std::vector<std::string> problems;
    base::Failure failure; // a file that cannot be read or written; what was written before stays
};

// Reads the table at tablePath, plans the split of the image at imagePath and writes every piece into
// directory (empty: the working directory), each file through base::OutputFile. Problems of the table are
// in problems (the pieces that lie in the image are still written); a table or image that cannot be read,
// or a piece that cannot be written, is the failure.
SplitResult SplitMergedImage(const std::string& imagePath, const std::string& tablePath,
                             const std::string& directory);

} // namespace merge
