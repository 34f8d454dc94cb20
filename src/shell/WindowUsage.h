#pragma once

// What `tavix --help` prints; the man page tavix(1) is made from the same text.
namespace shell {

inline constexpr const char* kWindowUsage =
    "usage: tavix [FILE]\n"
    "       tavix --help\n"
    "       tavix --version\n"
    "\n"
    "Start the Tavix window. With FILE, open it as File > Open does on the OSD tab\n"
    "(a BMP or PNG picture), or, for a .wav file, as WAV Load does on the WAV tab.\n"
    "\n"
    "The settings (Font Size, Code Format, Bin Sort and Palette Format) are kept in\n"
    "Tavix.INI beside the executable when that folder may be written, otherwise in\n"
    "$XDG_CONFIG_HOME/tavix/Tavix.INI (~/.config/tavix/Tavix.INI when\n"
    "XDG_CONFIG_HOME is not set), with the same contents. Quit writes them. When\n"
    "the file is not the one beside the executable, the status bar at start and the\n"
    "About window name it.\n"
    "\n"
    "The toolkit's own options (-platform, -style, ...) are taken as well.\n"
    "tavix-cli runs the window's jobs without a window.\n"
    "\n"
    "Exit status: 0 the window was closed, 1 it could not start, 2 the command\n"
    "line is wrong.\n";

} // namespace shell
