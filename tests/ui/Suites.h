#pragma once

#include <functional>
#include <map>
#include <string>

int RunMainWindowTest(int argc, char** argv);
int RunOpenBitmapTest(int argc, char** argv);
int RunOsdTabTest(int argc, char** argv);
int RunPaletteTabTest(int argc, char** argv);

inline std::map<std::string, std::function<int(int, char**)>> AllSuites() {
    return {
        {"MainWindowTest", RunMainWindowTest},
        {"OpenBitmapTest", RunOpenBitmapTest},
        {"OsdTabTest", RunOsdTabTest},
        {"PaletteTabTest", RunPaletteTabTest},
    };
}
