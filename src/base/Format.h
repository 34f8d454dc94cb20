#pragma once

#include <cstdarg>
#include <string>

namespace base {

// printf with a std::string result. The tool's format strings ("%10d", "%-8X", "0x%02X,") are used as they
// stand, so their output is exactly what printf defines.
std::string strprintf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string vstrprintf(const char* format, std::va_list args);

// Two upper-case hexadecimal digits of a byte, the hot path of "%02X": written at out (returning the end),
// or appended to a string.
inline char* PutHex2(char* out, unsigned value) {
    static constexpr char digits[] = "0123456789ABCDEF";
    out[0] = digits[(value >> 4) & 0xF];
    out[1] = digits[value & 0xF];
    return out + 2;
}
inline void AppendHex2(std::string& out, unsigned value) {
    char digits[2];
    PutHex2(digits, value);
    out.append(digits, 2);
}

// text with every byte that cannot stand in a C identifier (anything but an ASCII letter, digit or "_")
// turned into "_", so that a file name can become part of a macro name: "my-logo.big" gives "my_logo_big".
inline std::string IdentifierPart(std::string text) {
    for (char& c : text) {
        const bool keep =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
        if (!keep) c = '_';
    }
    return text;
}

} // namespace base
