#include "font/TextRenderer.h"

#include "base/Error.h"

#include <cmath>

namespace font {

std::int32_t FontChoice::Height() const {
    return -static_cast<std::int32_t>(std::lround(static_cast<double>(Size) * 96.0 / 72.0));
}

FontChoice StartFont() {
    return FontChoice{"sans-serif", 10, 0, 0};
}

FontChoice DialogStartFont() {
    return FontChoice{"Arial", 8, 0, 0};
}

std::string FamilyWithoutFoundry(std::string_view name) {
    std::string_view family = name;
    while (!family.empty() && family.back() == ' ')
        family.remove_suffix(1);
    const std::size_t open = family.rfind(" [");
    if (family.empty() || family.back() != ']' || open == std::string_view::npos ||
        family.find(']', open) != family.size() - 1 || open + 3 > family.size() - 1)
        return std::string(name);
    family = family.substr(0, open);
    while (!family.empty() && family.back() == ' ')
        family.remove_suffix(1);
    return family.empty() ? std::string(name) : std::string(family);
}

std::string FontStyleText(std::uint8_t style) {
    static constexpr const char* kNames[] = {"Bold", "Italic", "Underline", "StrikeOut"};
    std::string text;
    for (int bit = 0; bit < 4; ++bit) {
        if (!(style & (1u << bit))) continue;
        if (!text.empty()) text += '/';
        text += kNames[bit];
    }
    return text.empty() ? "Normal" : text;
}

std::u32string DecodeUtf8(std::string_view text) {
    std::u32string out;
    out.reserve(text.size());
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t i = 0; i < text.size();) {
        const unsigned b = byte(i);
        int extra = 0;
        char32_t c = 0;
        char32_t min = 0;
        if (b < 0x80) {
            out += static_cast<char32_t>(b);
            ++i;
            continue;
        }
        if ((b & 0xE0) == 0xC0) {
            extra = 1, c = b & 0x1F, min = 0x80;
        } else if ((b & 0xF0) == 0xE0) {
            extra = 2, c = b & 0x0F, min = 0x800;
        } else if ((b & 0xF8) == 0xF0) {
            extra = 3, c = b & 0x07, min = 0x10000;
        } else {
            extra = -1;
        }
        bool ok = extra > 0;
        if (ok) {
            for (int k = 1; k <= extra; ++k) {
                const std::size_t at = i + static_cast<std::size_t>(k);
                if (at >= text.size() || (byte(at) & 0xC0) != 0x80) {
                    ok = false;
                    break;
                }
                c = (c << 6) | (byte(at) & 0x3F);
            }
        }
        // Overlong forms, surrogates and values past U+10FFFF are not UTF-8: the byte stands for itself.
        if (ok && (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) ok = false;
        if (!ok) {
            out += static_cast<char32_t>(b);
            ++i;
            continue;
        }
        out += c;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string EncodeUtf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

std::string TextRenderer::UseFontFile(const std::string& path, int) {
    throw base::Error("Cannot read the font file \"" + path + "\": this renderer draws no font files.");
}

} // namespace font
