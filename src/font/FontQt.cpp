#include "font/FontQt.h"

#include <algorithm>

namespace font {

QImage ToQImage(const ColourImage& image) {
    QImage out(image.Width(), image.Height(), QImage::Format_RGB32);
    for (int y = 0; y < image.Height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image.Width(); ++x) {
            const base::Colour c = image.Pixel(x, y);
            line[x] = qRgb(base::RedOf(c), base::GreenOf(c), base::BlueOf(c));
        }
    }
    return out;
}

FontChoice FromDialog(const ui::FontChoice& chosen) {
    FontChoice font;
    font.Family = FamilyWithoutFoundry(chosen.Name);
    font.Size = chosen.Size;
    font.Style =
        static_cast<std::uint8_t>((chosen.Bold ? kBold : 0) | (chosen.Italic ? kItalic : 0) |
                                  (chosen.Underline ? kUnderline : 0) | (chosen.StrikeOut ? kStrikeOut : 0));
    // The desktop's dialog names no character set; its "default set" (1) is no set of its own either.
    font.Charset = chosen.Charset == 1 ? 0 : static_cast<std::uint8_t>(std::clamp(chosen.Charset, 0, 255));
    return font;
}

ui::FontChoice ToDialog(const FontChoice& font) {
    ui::FontChoice preset;
    preset.Name = font.Family;
    preset.Size = font.Size;
    preset.Bold = font.Style & kBold;
    preset.Italic = font.Style & kItalic;
    preset.Underline = font.Style & kUnderline;
    preset.StrikeOut = font.Style & kStrikeOut;
    preset.Charset = font.Charset;
    return preset;
}

} // namespace font
