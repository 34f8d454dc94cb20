#pragma once

#include <string>

namespace testsupport {

// The text with CR LF line ends, as files written in text mode have them.
inline std::string Crlf(const std::string& lf) {
    std::string out;
    for (char c : lf) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

// text, n times over.
inline std::string Repeat(const std::string& text, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += text;
    return out;
}

// The ";Palette" block of a glyph or bank file holding the Font tab's start palette.
inline const std::string kStartPaletteLines = ";Palette\n"
                                              "0xFFFFFF 0x000000 0xFF0000 0xFF00FF\n"
                                              "0x808080 0x008000 0x00FF00 0x000080\n"
                                              "0x800000 0x008080 0x800080 0x0000FF\n"
                                              "0xC0C0C0 0x808000 0xFFFF00 0x00FFFF\n";

} // namespace testsupport
