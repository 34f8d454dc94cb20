#pragma once

#include "base/Error.h"
#include "base/FileProblem.h"
#include "base/Note.h"
#include "merge/MergeList.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace merge {

// The name the list file dialogs propose, and their filter.
inline constexpr const char* kFileListName = "FILE_LIST.TXT";
inline constexpr const char* kFileListFilter = "File List(*.TXT)|*.TXT|All File(*.*)|*.*";

// Whether a file's name is a list file's, as the list filter takes them: it ends in ".TXT", in any case.
bool IsListFileName(const std::string& path);

// The names of a list file: one a line, lines ended by LF or CR LF (the last one may have no end), blanks
// (spaces and tabs) at both ends of a line trimmed, empty lines skipped. A name may hold blanks inside and be
// of any length. Reads nothing outside text.
std::vector<std::string> ParseFileList(std::string_view text);

struct SaveListResult {
    base::Failure failure; // the list file could not be written; it holds what it held before
    base::Notes notes;     // an error per entry left out, in list order
};

// "Save File List": writes the full path of every entry whose file exists, each followed by one LF, to path
// (replaced whole, or left as it was on failure: "Open file list name error !!!"). A missing file gives
// "File %s does not exit !" with its path and is left out; so is a path that one line could not hold
// (a line end in it, or blanks at its end that reading would trim), with its own message.
SaveListResult SaveFileList(const MergeList& list, const std::string& path);

struct LoadListResult {
    base::Failure failure; // "Open File List Error !": the list file could not be read
    base::Notes notes;     // errors: the names that were not added, one note a reason
    // The files behind "%d File does not exit !" (the first note then), each with the reason; with a
    // failure, the list file and why it could not be read.
    base::FailureDetail detail;
    int selectRow = 1; // the row the grid selects next
    int added = 0;
};

// A list file larger than this is not a list the tool wrote; reading it is refused.
inline constexpr std::size_t kMaxListFileBytes = 16u << 20;

// "Load File List": inserts the files the list file at listPath names, in its order, from
// InsertionRow(selectedRow) on; each goes in under its file name and is measured now. A relative name is
// taken from the list file's directory. The names left out are counted and reported in one message per
// reason, in this order: files that cannot be opened ("%d File does not exit !"), files that would take the
// total past 0xFFFFFFFF bytes, and the names that came after the list was full. When the list file cannot
// be read (or is larger than kMaxListFileBytes) nothing changes and failure is set.
LoadListResult LoadFileList(MergeList& list, int selectedRow, const std::string& listPath);

} // namespace merge
