#include "merge/MergeList.h"

#include "base/FileProblem.h"
#include "base/Format.h"
#include "base/Path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <system_error>
#include <utility>

namespace merge {

namespace {

constexpr std::uint64_t kMaxTotal = 0xFFFFFFFFu;

std::uint64_t SumOfSizes(const std::vector<MergeEntry>& entries) {
    std::uint64_t sum = 0;
    for (const MergeEntry& e : entries)
        sum += e.Size;
    return sum;
}

bool HoldsEntry(const MergeList& list, int row) {
    return row >= 1 && row <= list.MergeCount();
}

} // namespace

std::int32_t MergeList::MergeTotal() const {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(SumOfSizes(entries_)));
}

std::uint32_t MergeList::Address(int row) const {
    std::uint32_t address = 0;
    for (int r = 1; r < row; ++r)
        address += Entry(r).Size;
    return address;
}

std::vector<std::uint32_t> MergeList::Addresses() const {
    std::vector<std::uint32_t> out;
    out.reserve(entries_.size());
    std::uint32_t address = 0;
    for (const MergeEntry& e : entries_) {
        out.push_back(address);
        address += e.Size;
    }
    return out;
}

bool MergeList::Fits(std::uint64_t size) const {
    return !Full() && size <= kMaxTotal - SumOfSizes(entries_);
}

bool MergeList::Insert(int row, MergeEntry entry) {
    if (!Fits(entry.Size) || row < 1 || row > MergeCount() + 1) return false;
    entries_.insert(entries_.begin() + (row - 1), std::move(entry));
    return true;
}

void MergeList::Remove(int row) {
    entries_.erase(entries_.begin() + (row - 1));
}

void MergeList::Swap(int rowA, int rowB) {
    std::swap(entries_.at(static_cast<size_t>(rowA - 1)), entries_.at(static_cast<size_t>(rowB - 1)));
}

std::string TotalText(const MergeList& list) {
    const std::int32_t total = list.MergeTotal();
    return base::strprintf("Total: 0x%0X (%d)", static_cast<unsigned>(total), total);
}

std::string CountText(const MergeList& list) {
    return base::strprintf("Merged File No.: %d", static_cast<int>(list.MergeCount()));
}

std::string HexCell(std::uint32_t value) {
    return base::strprintf("0x%08X", value);
}

std::string RowNumberText(int row) {
    return base::strprintf("%i", row);
}

int InsertionRow(const MergeList& list, int selectedRow) {
    if (list.Empty()) return 1;
    return std::clamp(selectedRow, 1, list.MergeCount() + 1);
}

MeasuredFile MeasureFile(const std::string& path) {
    MeasuredFile m;
    if (path.empty() || path.find('\0') != std::string::npos) {
        m.problem = {path, base::SystemErrorText(ENOENT)};
        return m;
    }
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec).lexically_normal();
    m.fullPath = ec ? path : full.string();
    // Only a plain file is looked at further: opening a device can have effects of its own, and a named pipe
    // would hang the window waiting for a writer.
    struct stat info {};
    if (::stat(m.fullPath.c_str(), &info) != 0) {
        m.problem = {path, base::SystemErrorText(errno)};
        return m;
    }
    if (!S_ISREG(info.st_mode)) {
        m.status = MeasuredFile::Status::NotRegular;
        m.problem = {path, {}, base::Wording::NotRegular};
        return m;
    }
    // Whether it could be opened for reading, asked without opening it (the kernel checks as open would, with
    // the effective ids). The merge looks at the file again before it copies it.
    if (::faccessat(AT_FDCWD, m.fullPath.c_str(), R_OK, AT_EACCESS) != 0) {
        m.problem = {path, base::SystemErrorText(errno)};
        return m;
    }
    m.size = static_cast<std::uint64_t>(info.st_size);
    m.status = m.size > kMaxTotal ? MeasuredFile::Status::TooLarge : MeasuredFile::Status::Ok;
    return m;
}

EditResult AddFile(MergeList& list, int selectedRow, const std::string& path) {
    EditResult result;
    result.selectRow = selectedRow;
    if (list.Full()) {
        result.failure = ListFullMessage();
        return result;
    }
    const MeasuredFile m = MeasureFile(path);
    if (m.status == MeasuredFile::Status::CannotOpen) {
        result.failure = CannotOpenMessage(m.fullPath.empty() ? path : m.fullPath);
        return result;
    }
    if (m.status == MeasuredFile::Status::NotRegular) {
        result.failure = base::ProblemText({m.fullPath, {}, base::Wording::NotRegular});
        return result;
    }
    if (m.status == MeasuredFile::Status::TooLarge || !list.Fits(m.size)) {
        result.failure = TooLargeMessage(m.fullPath);
        return result;
    }
    const int row = InsertionRow(list, selectedRow);
    list.Insert(row,
                MergeEntry{static_cast<std::uint32_t>(m.size), base::FileNameOf(m.fullPath), m.fullPath});
    result.selectRow = std::min(row + 1, kMaxMergeEntries);
    return result;
}

int DeleteEntry(MergeList& list, int selectedRow) {
    if (HoldsEntry(list, selectedRow)) list.Remove(selectedRow);
    return selectedRow;
}

int MoveEntryDown(MergeList& list, int selectedRow) {
    if (list.MergeCount() < 2 || !HoldsEntry(list, selectedRow) || selectedRow == list.MergeCount())
        return selectedRow;
    list.Swap(selectedRow, selectedRow + 1);
    return selectedRow + 1;
}

int MoveEntryUp(MergeList& list, int selectedRow) {
    if (list.MergeCount() < 2 || !HoldsEntry(list, selectedRow) || selectedRow == 1) return selectedRow;
    list.Swap(selectedRow, selectedRow - 1);
    return selectedRow - 1;
}

std::string ListFullMessage() {
    return base::strprintf("The file list is full: it holds %d files at most !", kMaxMergeEntries);
}

std::string CannotOpenMessage(const std::string& path) {
    return base::strprintf("File %s cannot be opened !", path.c_str());
}

std::string TooLargeMessage(const std::string& path) {
    return base::strprintf("File %s would make the merged image larger than 4 GiB !", path.c_str());
}

} // namespace merge
