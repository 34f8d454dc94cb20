#include "osd/PaletteViews.h"

#include "base/Format.h"

namespace osd {

std::string EntryText(const std::string& caption, std::uint16_t index, base::Colour colour) {
    return caption + base::strprintf(" 0x%02X (%3d), R=0x%02X, G=0x%02X, B=0x%02X", index, index,
                                     base::RedOf(colour), base::GreenOf(colour), base::BlueOf(colour));
}

std::string PictureStatusText(const picture::CurrentBitmap& bitmap) {
    return base::strprintf("Width:  %u/Height: %u/Palette:  %u", unsigned{bitmap.Width},
                           unsigned{bitmap.Height}, unsigned{bitmap.PaletteBytes} / 4u);
}

base::Colour RawEntryColour(const picture::CurrentBitmap& bitmap, int i) {
    if (i < 0 || i > 255) return 0;
    const auto* e = &bitmap.RawPalette[static_cast<std::size_t>(4 * i)];
    return base::MakeColour(e[2], e[1], e[0]);
}

} // namespace osd
