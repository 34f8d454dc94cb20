#include "cli/MergeCommand.h"

#include "base/FileProblem.h"
#include "cli/Commands.h"
#include "merge/ListFile.h"
#include "merge/MergeList.h"
#include "merge/MergeWriter.h"

#include <filesystem>
#include <ostream>

namespace cli {

MergeJob ParseMergeArgs(const std::vector<std::string>& args) {
    MergeJob job;
    bool haveOutput = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--list") {
            if (job.listFile) throw UsageError{"merge takes one --list"};
            job.listFile = ValueOf(args, i);
        } else if (a.rfind("--", 0) == 0) {
            throw UsageError{"merge: unknown option '" + a + "'"};
        } else if (!haveOutput) {
            job.output = a;
            haveOutput = true;
        } else {
            job.files.push_back(a);
        }
    }
    if (!haveOutput) throw UsageError{"merge needs OUT and the files to merge"};
    if (job.listFile && !job.files.empty())
        throw UsageError{"merge takes either FILE... or --list, not both"};
    if (!job.listFile && job.files.empty()) throw UsageError{"merge needs at least one FILE or a --list"};
    return job;
}

namespace {

int RunMerge(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const MergeJob job = ParseMergeArgs(args);
    merge::MergeList list;
    if (job.listFile) {
        const merge::LoadListResult loaded = merge::LoadFileList(list, 1, *job.listFile);
        if (loaded.failure) {
            err << *loaded.failure << '\n' << base::DetailLines(loaded.detail);
            return kExitFailure;
        }
        // A build script must not get an image that quietly lacks a file its list names.
        const std::vector<std::string> errors = base::TextsOf(loaded.notes, base::Note::Kind::Error);
        for (std::size_t i = 0; i < errors.size(); ++i)
            err << errors[i] << '\n' << (i == 0 ? base::DetailLines(loaded.detail) : "");
        if (!errors.empty()) return kExitFailure;
    } else {
        // The list keeps each file's absolute path: the working directory is read once, not once a file.
        std::error_code ec;
        const std::filesystem::path workingDirectory = std::filesystem::current_path(ec);
        for (const std::string& file : job.files) {
            const bool join = !ec && !file.empty() && file.front() != '/';
            const merge::EditResult added =
                merge::AddFile(list, list.MergeCount() + 1, join ? (workingDirectory / file).string() : file);
            if (added.failure) {
                err << *added.failure << '\n';
                return kExitFailure;
            }
        }
    }
    if (list.Empty()) {
        err << "Nothing to merge: " << *job.listFile << " names no file\n";
        return kExitFailure;
    }
    out << merge::TotalText(list) << '\n' << merge::CountText(list) << '\n';
    base::FailureDetail detail;
    if (const auto failure = merge::MergeFiles(list, job.output, &detail)) {
        err << *failure << '\n' << base::DetailLines(detail);
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace

const Command kMergeCommand{
    "merge",
    {"concatenate files into one image with a table of their offsets, as the Merge tab does",
     {{"",
       "OUT FILE...",
       "Write the files back to back into OUT's name without its extension + \".BIN\" and their #define "
       "offsets into OUT's name + \"_TBL.TXT\", and print the total size and the count as the Merge tab's "
       "labels show them.",
       {},
       ""},
      {"",
       "OUT --list FILE_LIST.TXT",
       "The same with the files a file list names, one a line.",
       {{"--list", "FILE_LIST.TXT", "the file list to merge instead of FILE..."}},
       ""}},
     "A file's symbol is its name in upper case, each character a C identifier cannot hold written as \"_\" "
     "(my-logo.bin: PICMY_LOGO_BIN_OFFSET); a symbol met again gets \"_2\", \"_3\", ...",
     {"tavix-cli merge images.bin logo.bin font.bin sound.bin"}},
    RunMerge};

} // namespace cli
