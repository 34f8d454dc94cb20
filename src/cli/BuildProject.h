#pragma once

#include "cli/Cli.h"

#include <cstddef>
#include <string>
#include <vector>

namespace cli {

// One job of a project file: a table such as [[osd]] turned into the argument vector of its command, as a
// user would type it in the project file's folder.
struct BuildJob {
    std::string name;
    std::string table;    // "osd", "aosd_image", ...
    std::size_t line = 0; // of the table's header in the project file
    const Command* command = nullptr;
    std::vector<std::string> args;    // what the command runs with, paths joined to the project's folder
    std::vector<std::string> keyArgs; // the same with the paths as the project file writes them
    std::vector<std::string> inputs;  // the files named by input, inputs and the options that name files
    // What the job is known to write before it runs: files, and folders (ending in "/") whose files it
    // writes.
    std::vector<std::string> outputs;
    std::vector<std::size_t> needs; // the jobs (by position) that write one of its inputs
};

struct BuildProject {
    std::string path;   // the project file as named
    std::string folder; // its folder, "" for the working directory
    std::vector<BuildJob> jobs;
};

// A project file that cannot be built: every problem found, a line each ("tavix.toml:12: osd.cell must be a
// number from 12 to 16, not '17'").
struct ProjectError {
    std::vector<std::string> lines;
};

// Reads and checks the project file: its tables, their keys, the types and values of the keys (through each
// command's own parser, so every option of a command is a key of its table), unique names, and the order of
// the jobs by what they read and write. Throws ProjectError when anything is wrong; then nothing may run.
BuildProject LoadProject(const std::string& path);

// The path as a job names it, cleaned of "." and "x/.." steps, to compare one job's outputs with another's
// inputs.
std::string CleanPath(const std::string& path);

} // namespace cli
