#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace base {

// Which file a failure concerns and why, told beside the failure's message, whose text stays as the tool
// words it ("Wrong File Size !!!"): the window shows it in the status bar's panel 2, the CLI on the lines
// after the message.
struct FileProblem {
    std::string path;   // the file as the operation was given it
    std::string reason; // why: the limit it exceeds, the system's error text, what moved the data
};
using FailureDetail = std::vector<FileProblem>;

// "path: reason\n" for every problem, as the CLI prints them; "" for none.
std::string DetailLines(const FailureDetail& detail);
// "name: reason", each file by its name alone and the problems joined by "; ", for one status-bar panel;
// "" for none.
std::string DetailPanelText(const FailureDetail& detail);

// The system's text for an errno value ("No such file or directory"); "unknown error" for 0.
std::string SystemErrorText(int errorNumber);

// A size limit as a reader states it: "64 MiB" for whole mebibytes, otherwise "N bytes".
std::string SizeLimitText(std::size_t bytes);

} // namespace base
