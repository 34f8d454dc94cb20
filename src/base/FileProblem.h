#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace base {

// How a problem puts its file and its reason into words. NAME stands for the file (its path as the operation
// was given it on the CLI's lines, its name alone in the window's status bar), REASON for the reason.
enum class Wording {
    Reason,        // "NAME: REASON" (a file that cannot be read, a size a reader does not take, ...)
    CannotCreate,  // "cannot create NAME: REASON" (no file can be made where a new one should go)
    CannotReplace, // "cannot replace NAME safely: REASON" (no temporary file can be made beside the target)
    CannotWrite,   // "cannot write NAME: REASON" (the target refuses writing, or a write failed)
    NotReplaced,   // "cannot replace NAME: REASON" (the finished file could not be renamed over the target)
    NotCompleted,  // "NAME was not completed" (the job gave the file up before it was finished)
    NotRegular,    // "NAME is not a regular file" (a FIFO, a device or a folder where a file belongs)
    OutputIsInput, // "the output NAME is the input"
};

// Which file a failure concerns and why. Where the tool has a message of its own for the failure ("Wrong File
// Size !!!", "Create FONT File Error !!!"), that message stays exactly as it is and the problem is told
// beside it: the window shows it beside the message in its status bar, the CLI on the lines after it. Where
// the tool has none (an AOSD output that cannot be written), ProblemText is the message.
struct FileProblem {
    std::string path;   // the file as the operation was given it
    std::string reason; // why: the limit it exceeds, the system's error text, what moved the data
    Wording wording = Wording::Reason;
};
using FailureDetail = std::vector<FileProblem>;

// The problem in words, naming the file by its path: "cannot replace out/a.BIN safely: Permission denied",
// "in/x.txt: No such file or directory". A problem without a path is its reason alone.
std::string ProblemText(const FileProblem& problem);

// ProblemText of every problem, a line each, as the CLI prints them after a message; "" for none.
std::string DetailLines(const FailureDetail& detail);
// Every problem with each file named by its name alone, joined by "; ", for one status-bar panel; "" for
// none.
std::string DetailPanelText(const FailureDetail& detail);

// The refusal of a job whose output is one of its inputs.
inline FileProblem OutputIsInput(const std::string& output) {
    return {output, {}, Wording::OutputIsInput};
}

// The system's text for an errno value ("No such file or directory"); "unknown error" for 0.
std::string SystemErrorText(int errorNumber);

// A size limit as a reader states it: "64 MiB" for whole mebibytes, otherwise "N bytes".
std::string SizeLimitText(std::size_t bytes);

} // namespace base
