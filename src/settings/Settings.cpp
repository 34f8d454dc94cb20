#include "settings/Settings.h"

namespace settings {

Settings Settings::FromStored(const Stored& stored) {
    Settings s;
    s.fontSize_ = settings::FontSize::Item(stored.FontSize);
    s.codeFormat_ = stored.CodeFormat;
    s.binSort_ = stored.BinSort;
    s.paletteFormat_ = stored.PaletteFormat;
    return s;
}

std::optional<PaletteFormat> Settings::PaletteFormatItem() const {
    if (paletteFormat_ == 0) return settings::PaletteFormat::Rgb666;
    if (paletteFormat_ == 1) return settings::PaletteFormat::Rgb888;
    return std::nullopt;
}

} // namespace settings
