#pragma once

// What `tavix --help` prints; the man page tavix(1) is made from the same text.
namespace shell {

inline constexpr const char* kWindowUsage =
    "usage: tavix [FILE]\n"
    "       tavix --help\n"
    "       tavix --version\n"
    "\n"
    "Start the Tavix window. With FILE, open it as File > Open does on the\n"
    "OSD tab (a BMP or PNG picture), or, for a .wav file, as WAV Load does on\n"
    "the WAV tab.\n"
    "\n"
    "The settings (Font Size, Code Format, Bin Sort and Palette Format) are\n"
    "kept in Tavix.INI beside the executable when that folder may be written,\n"
    "otherwise in $XDG_CONFIG_HOME/tavix/Tavix.INI (~/.config/tavix/Tavix.INI\n"
    "when XDG_CONFIG_HOME is not set), with the same contents. Quit writes\n"
    "them. When the file is not the one beside the executable, the status bar\n"
    "at start and the About window name it.\n"
    "\n"
    "The toolkit's own options (-platform, -style, ...) are taken as well.\n"
    "tavix-cli runs the window's jobs without a window.\n"
    "\n"
    "Exit status: 0 the window was closed, 1 it could not start, 2 the\n"
    "command line is wrong.\n";

} // namespace shell
