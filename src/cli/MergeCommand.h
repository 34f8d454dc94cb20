#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cli {

// `merge OUT FILE...` or `merge OUT --list FILE_LIST.TXT`: the Merge tab's job. OUT names the outputs as the
// "Merge" dialog's name does (its extension dropped, ".BIN" and "_TBL.TXT" added); each FILE is read from
// the path given and listed under its file name; a list file is read as "Load File List" reads it.
struct MergeJob {
    std::string output;
    std::vector<std::string> files;
    std::optional<std::string> listFile;
};
MergeJob ParseMergeArgs(const std::vector<std::string>& args); // throws UsageError

} // namespace cli
