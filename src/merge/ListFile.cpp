#include "merge/ListFile.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "base/WholeFile.h"

#include <algorithm>

namespace merge {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// A path the reader would give back unchanged from its own line.
bool FitsOnOneLine(const std::string& path) {
    if (path.empty() || path.find_first_of("\r\n") != std::string::npos) return false;
    return !IsBlank(path.front()) && !IsBlank(path.back());
}

} // namespace

bool IsListFileName(const std::string& path) {
    if (path.size() < 4) return false;
    std::string tail = path.substr(path.size() - 4);
    for (char& c : tail)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return tail == ".TXT";
}

std::vector<std::string> ParseFileList(std::string_view text) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        while (!line.empty() && IsBlank(line.front()))
            line.remove_prefix(1);
        while (!line.empty() && IsBlank(line.back()))
            line.remove_suffix(1);
        if (!line.empty()) names.emplace_back(line);
    }
    return names;
}

SaveListResult SaveFileList(const MergeList& list, const std::string& path) {
    SaveListResult result;
    base::OutputFile out;
    if (!out.Create(path, base::OutputFile::Mode::Binary)) {
        result.failure = "Open file list name error !!!";
        return result;
    }
    for (const MergeEntry& e : list.Entries()) {
        if (!base::FileExists(e.Path)) {
            result.notes.push_back(
                {base::Note::Kind::Error, base::strprintf("File %s does not exit !", e.Path.c_str())});
        } else if (!FitsOnOneLine(e.Path)) {
            result.notes.push_back(
                {base::Note::Kind::Error,
                 base::strprintf("File %s cannot be kept in a list file: its name does not fit on one line !",
                                 e.Path.c_str())});
        } else {
            out.Write(e.Path);
            out.Write("\n");
        }
    }
    if (!out.Close()) result.failure = "Open file list name error !!!";
    return result;
}

LoadListResult LoadFileList(MergeList& list, int selectedRow, const std::string& listPath) {
    LoadListResult result;
    result.selectRow = selectedRow;
    std::vector<std::uint8_t> bytes;
    base::FileProblem problem;
    if (base::ReadWholeFile(listPath, bytes, kMaxListFileBytes, &problem) != base::ReadStatus::Ok) {
        result.failure = "Open File List Error !";
        result.detail.push_back(problem);
        return result;
    }
    const std::string listDirectory = base::SplitPath(listPath).directory;
    const std::vector<std::string> names =
        ParseFileList(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));

    int row = InsertionRow(list, selectedRow);
    int missing = 0;
    int notAdded = 0;
    int tooLarge = 0;
    for (const std::string& name : names) {
        if (list.Full()) {
            ++notAdded;
            continue;
        }
        const std::string path = name.front() == '/' ? name : base::JoinPath(listDirectory, name);
        const MeasuredFile m = MeasureFile(path);
        if (m.status == MeasuredFile::Status::CannotOpen || m.status == MeasuredFile::Status::NotRegular) {
            ++missing;
            result.detail.push_back(m.problem);
            continue;
        }
        if (m.status == MeasuredFile::Status::TooLarge || !list.Fits(m.size)) {
            ++tooLarge;
            continue;
        }
        list.Insert(row,
                    MergeEntry{static_cast<std::uint32_t>(m.size), base::FileNameOf(m.fullPath), m.fullPath});
        ++row;
        ++result.added;
        result.selectRow = std::min(row, kMaxMergeEntries);
    }
    constexpr auto kError = base::Note::Kind::Error;
    if (missing > 0) result.notes.push_back({kError, base::strprintf("%d File does not exit !", missing)});
    if (tooLarge > 0)
        result.notes.push_back(
            {kError,
             base::strprintf("%d File not added: the merged image would be larger than 4 GiB !", tooLarge)});
    if (notAdded > 0)
        result.notes.push_back(
            {kError, base::strprintf("%d File not added: the file list holds %d files at most !", notAdded,
                                     kMaxMergeEntries)});
    return result;
}

} // namespace merge
