#pragma once

#include "base/Colour.h"
#include "font/GlyphCodec.h"
#include "settings/Settings.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace font {

// The text forms the glyph files and the bank file share, written and read.

// One word line: cellWidth characters, "X" for a set bit and "." for a clear one from bit cellWidth - 1 (the
// leftmost pixel) down to bit 0, then " 0x%02X,0x%02X, DB %03Xh,%03Xh" with the high byte, low byte, high
// byte, low byte, then "," when trailingComma, then "\n".
void AppendWordLine(std::string& out, std::uint16_t word, int cellWidth, bool trailingComma = false);

// ";Palette\n" and the 16 entries as four lines of "0x%06X 0x%06X 0x%06X 0x%06X\n".
void AppendPaletteLines(std::string& out, const Palette& palette);

// The raw bytes of words split into high and low bytes: with Bin Sort "Font" each group of 16 words is its 16
// high bytes followed by its 16 low bytes; with "Half" all high bytes come first, then all low bytes.
// 2 * words.size() bytes either way.
std::string SplitWordBytes(std::span<const std::uint16_t> words, settings::BinSort binSort);

// Reads a text as tokens separated by white space (blanks, tabs, line ends).
class TokenReader final {
public:
    explicit TokenReader(std::string_view text) : text_(text) {}
    // The next token, or nothing at the end of the text.
    std::optional<std::string_view> Next();

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The digit value of token[i] (";BPPi=2" at 6 gives 2); -1 when the token is shorter. A character that is
// not a digit gives its distance from '0', which no index accepts.
int DigitAt(std::string_view token, std::size_t i);

// The width index of a ";Xi=" token: the number its fifth and sixth characters write (one or two digits,
// an optional sign), 4 when they do not form a number.
int WidthIndexOf(std::string_view token);

// A palette token: decimal, or hexadecimal after "0x"; 0 when it is not a number that fits 32 bits. Only
// the colour's 24 bits are kept.
base::Colour PaletteNumberOf(std::string_view token);

// A word token ("XX..X..." and whatever follows): its first cellWidth characters, "X" setting the bit,
// the first character bit cellWidth - 1. Missing characters are clear bits.
std::uint16_t WordOf(std::string_view token, int cellWidth);

// A token that is a word line's picture: it begins with "X" or ".".
inline bool IsWordToken(std::string_view token) {
    return !token.empty() && (token[0] == 'X' || token[0] == '.');
}

// The two characters after a header token's ";" (";BPPi=0" gives "BP"); empty when the token is shorter.
inline std::string_view HeaderKey(std::string_view token) {
    return token.size() >= 3 ? token.substr(1, 2) : std::string_view{};
}

} // namespace font
