#pragma once

#include "font/TextRenderer.h"

namespace testsupport {

// A renderer whose pixels can be worked out by hand. Every character is 8 pixels wide and 12 high (ascent
// 10, descent 2). With (x, y) the character's cell corner: row y is inked over columns x..x+6; in rows
// y+2..y+9 column x+k is inked when bit k of the character code is set (k = 0..6). Underline inks row
// y+11 and strike-out row y+5 across the text. It also leaves one grey pixel (0x808080) at (x+7, y+1) of
// every character, as a smoothing renderer would, so that what turns grey into ink can be tested. A
// family whose name begins with "Missing" is not installed (its face is a substitute), and the face has
// no glyph for the characters above U+FFFF.
class BlockRenderer final : public font::TextRenderer {
public:
    std::string ResolveFamily(const font::FontChoice& font) override { return "Block " + font.Family; }
    bool Substitutes(const font::FontChoice& font) override { return font.Family.rfind("Missing", 0) == 0; }
    bool HasGlyph(const font::FontChoice&, char32_t c) override { return c <= 0xFFFF; }

    void DrawText(font::ColourImage& image, int x, int y, const font::FontChoice& font,
                  std::u32string_view text, base::Colour ink) override {
        ++drawCalls;
        int pen = x;
        for (char32_t c : text) {
            for (int k = 0; k < 7; ++k)
                image.SetPixel(pen + k, y, ink);
            for (int r = 2; r < 10; ++r)
                for (int k = 0; k < 7; ++k)
                    if ((c >> k) & 1) image.SetPixel(pen + k, y + r, ink);
            image.SetPixel(pen + 7, y + 1, 0x808080);
            pen += 8;
        }
        for (int col = x; col < pen; ++col) {
            if (font.Style & font::kUnderline) image.SetPixel(col, y + 11, ink);
            if (font.Style & font::kStrikeOut) image.SetPixel(col, y + 5, ink);
        }
    }

    font::TextExtent MeasureText(const font::FontChoice&, std::u32string_view text) override {
        return font::TextExtent{8 * static_cast<int>(text.size()), 12};
    }

    int drawCalls = 0;
};

} // namespace testsupport
