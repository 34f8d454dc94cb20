#pragma once

#include <cstdlib>
#include <string>

#include <unistd.h>

// A temporary directory of the fuzz run's own, made once, for targets that must go through real files.
inline const std::string& FuzzWorkDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/tavix-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        if (!made) std::abort();
        return std::string(made);
    }();
    return dir;
}
