#pragma once

#include "base/FileProblem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace merge {

// The grid that shows the list has one title row over 199 entry rows.
inline constexpr int kMaxMergeEntries = 199;

struct MergeEntry {
    std::uint32_t Size = 0; // bytes the file held when it was put into the list
    std::string Name;       // the file name without its directory: what the grid shows, the table's symbol
    std::string Path;       // the full path the file was measured at; saving the list and merging read it
};

// The files to merge, in merge order. Rows are numbered from 1, as the grid shows them; an entry's address
// is the sum of the sizes of all entries before it, so it is never stored. Sizes are 32-bit and the list
// never lets their sum pass 0xFFFFFFFF, so every address and the total are exact.
class MergeList final {
public:
    std::uint16_t MergeCount() const { return static_cast<std::uint16_t>(entries_.size()); }
    // The sum of all sizes, read as signed 32-bit (a total of 2 GiB or more is negative).
    std::int32_t MergeTotal() const;
    bool Empty() const { return entries_.empty(); }
    bool Full() const { return entries_.size() >= kMaxMergeEntries; }

    // row 1..MergeCount().
    const MergeEntry& Entry(int row) const { return entries_.at(static_cast<size_t>(row - 1)); }
    std::uint32_t Address(int row) const;
    const std::vector<MergeEntry>& Entries() const { return entries_; }
    // The address of every entry, in order.
    std::vector<std::uint32_t> Addresses() const;

    // The list's own edits, for the operations below. Insert puts entry at row (1..MergeCount() + 1) and
    // returns false, changing nothing, when the list is full or the sizes would sum past 0xFFFFFFFF.
    bool Insert(int row, MergeEntry entry);
    void Remove(int row);
    void Swap(int rowA, int rowB);
    void Clear() { entries_.clear(); }

    // Whether an entry of size bytes still fits under the 32-bit total.
    bool Fits(std::uint64_t size) const;

private:
    std::vector<MergeEntry> entries_;
};

// The texts the tab shows and the CLI prints: "Total: 0x%0X (%d)" with the total twice, "Merged File No.: %d"
// with the count, an address or size cell "0x%08X", a row number "%i".
std::string TotalText(const MergeList& list);
std::string CountText(const MergeList& list);
std::string HexCell(std::uint32_t value);
std::string RowNumberText(int row);

// The row a new entry goes to: 1 in an empty list, otherwise the selected row but at most MergeCount() + 1.
int InsertionRow(const MergeList& list, int selectedRow);

// A file as it was found for the list.
struct MeasuredFile {
    enum class Status { Ok, CannotOpen, NotRegular, TooLarge };
    Status status = Status::CannotOpen;
    std::uint64_t size = 0;
    std::string fullPath;      // path made absolute against the process's working directory
    base::FileProblem problem; // CannotOpen, NotRegular: the path as given and why
};

// Opens path for reading and takes its size. Only a regular file counts: a directory, a device or a pipe is
// NotRegular (a pipe is opened without waiting for a writer), a name with a NUL byte in it CannotOpen. A
// file of more than 0xFFFFFFFF bytes is TooLarge.
MeasuredFile MeasureFile(const std::string& path);

// What an edit leaves behind: the row the grid selects next and, when nothing was added, the message for
// a plain message box.
struct EditResult {
    int selectRow = 1;
    std::optional<std::string> failure;
};

// A double-click in the file list: measures the file at path and inserts it, under its file name, at
// InsertionRow(selectedRow), then selects the row after it (at most row 199). Nothing is added, and the
// selection stays, when the list is full, the file cannot be opened or is not a regular file ("NAME is not
// a regular file"), or it would take the total past 0xFFFFFFFF bytes; failure then says which.
EditResult AddFile(MergeList& list, int selectedRow, const std::string& path);

// "Delete": removes the entry at the selected row; the selection stays, on the entry that followed. Nothing
// happens when the selected row holds no entry. Returns the row to select.
int DeleteEntry(MergeList& list, int selectedRow);
// "Down" / "Up": exchange the selected entry with the next / previous one and select that row. Nothing
// happens at the last / first entry, below two entries, or when the selected row holds no entry.
int MoveEntryDown(MergeList& list, int selectedRow);
int MoveEntryUp(MergeList& list, int selectedRow);

// The messages the list operations give.
std::string ListFullMessage();
std::string CannotOpenMessage(const std::string& path);
std::string TooLargeMessage(const std::string& path);

} // namespace merge
