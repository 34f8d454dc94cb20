#include "base/LargePages.h"
#include "base/OutputGuard.h"
#include "cli/Cli.h"

#include <iostream>

int main(int argc, char** argv) {
    // First, while the heap is still small: a job's buffers then come from large pages where the system
    // gives them on request.
    base::PreferLargePages();
    // A size limit fails the write instead of killing the process; Ctrl+C, a kill or a hang-up leaves no
    // temporary file and no half append behind.
    base::GuardOutputs();
    std::vector<std::string> args(argv + 1, argv + argc);
    return cli::Run(args, std::cout, std::cerr);
}
