#include "base/OutputGuard.h"
#include "cli/Cli.h"

#include <iostream>

int main(int argc, char** argv) {
    // A size limit fails the write instead of killing the process; Ctrl+C, a kill or a hang-up leaves no
    // temporary file and no half append behind.
    base::GuardOutputs();
    std::vector<std::string> args(argv + 1, argv + argc);
    return cli::Run(args, std::cout, std::cerr);
}
