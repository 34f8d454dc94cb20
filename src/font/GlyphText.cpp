#include "font/GlyphText.h"

#include "base/Format.h"

#include <charconv>

namespace font {

void AppendWordLine(std::string& out, std::uint16_t word, int cellWidth, bool trailingComma) {
    for (int bit = cellWidth - 1; bit >= 0; --bit)
        out += (word >> bit) & 1 ? 'X' : '.';
    const unsigned high = word >> 8;
    const unsigned low = word & 0xFF;
    out += " 0x";
    base::AppendHex2(out, high);
    out += ",0x";
    base::AppendHex2(out, low);
    out += ", DB 0";
    base::AppendHex2(out, high);
    out += "h,0";
    base::AppendHex2(out, low);
    out += trailingComma ? "h,\n" : "h\n";
}

void AppendPaletteLines(std::string& out, const Palette& palette) {
    out += ";Palette\n";
    for (std::size_t i = 0; i < palette.size(); i += 4)
        out += base::strprintf("0x%06X 0x%06X 0x%06X 0x%06X\n", palette[i], palette[i + 1], palette[i + 2],
                               palette[i + 3]);
}

std::string SplitWordBytes(std::span<const std::uint16_t> words, settings::BinSort binSort) {
    std::string out;
    out.reserve(words.size() * 2);
    if (binSort == settings::BinSort::Font) {
        for (std::size_t g = 0; g < words.size(); g += 16) {
            const std::size_t end = std::min(words.size(), g + 16);
            for (std::size_t i = g; i < end; ++i)
                out += static_cast<char>(words[i] >> 8);
            for (std::size_t i = g; i < end; ++i)
                out += static_cast<char>(words[i] & 0xFF);
        }
    } else {
        for (std::uint16_t w : words)
            out += static_cast<char>(w >> 8);
        for (std::uint16_t w : words)
            out += static_cast<char>(w & 0xFF);
    }
    return out;
}

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

std::optional<std::string_view> TokenReader::Next() {
    while (pos_ < text_.size() && IsSpace(text_[pos_]))
        ++pos_;
    if (pos_ >= text_.size()) return std::nullopt;
    const std::size_t start = pos_;
    while (pos_ < text_.size() && !IsSpace(text_[pos_]))
        ++pos_;
    return text_.substr(start, pos_ - start);
}

int DigitAt(std::string_view token, std::size_t i) {
    return i < token.size() ? token[i] - '0' : -1;
}

int WidthIndexOf(std::string_view token) {
    std::string_view digits = token.size() > 4 ? token.substr(4, 2) : std::string_view{};
    bool negative = false;
    if (!digits.empty() && (digits[0] == '+' || digits[0] == '-')) {
        negative = digits[0] == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty()) return 4;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 4;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

base::Colour PaletteNumberOf(std::string_view token) {
    std::uint64_t value = 0;
    const char* first = token.data();
    const char* last = token.data() + token.size();
    bool negative = false;
    int base = 10;
    if (token.size() > 2 && token[0] == '0' && (token[1] == 'x' || token[1] == 'X')) {
        first += 2;
        base = 16;
    } else if (!token.empty() && (token[0] == '-' || token[0] == '+')) {
        negative = token[0] == '-';
        ++first;
    }
    if (first == last || *first == '+' || *first == '-') return 0;
    const auto [end, ec] = std::from_chars(first, last, value, base);
    if (ec != std::errc() || end != last) return 0;
    if (base == 16 ? value > 0xFFFFFFFFu : value > (negative ? 0x80000000u : 0x7FFFFFFFu)) return 0;
    const auto bits = static_cast<std::uint32_t>(negative ? 0u - value : value);
    return bits & 0xFFFFFF;
}

std::uint16_t WordOf(std::string_view token, int cellWidth) {
    std::uint16_t word = 0;
    for (int i = 0; i < cellWidth && static_cast<std::size_t>(i) < token.size(); ++i)
        if (token[static_cast<std::size_t>(i)] == 'X')
            word = static_cast<std::uint16_t>(word | (1u << (cellWidth - 1 - i)));
    return word;
}

} // namespace font
