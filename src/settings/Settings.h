#pragma once

#include "base/Colour.h"

#include <cstdint>
#include <optional>

namespace settings {

// The "Code Format" menu: the syntax of the OSD palette text tables.
enum class CodeFormat { Asm, C };

// The "Bin Sort" menu: how the Font tab's binary outputs order the bytes of a glyph's words.
enum class BinSort { Half, Font };

// The " Palette Format " radio group: how many bits of each colour component every palette written keeps.
enum class PaletteFormat { Rgb666, Rgb888 };

// The "Font Size" menu: the OSD character cell, 12 x 16 to 16 x 16 pixels.
class FontSize final {
public:
    static constexpr int kItems = 5;
    static constexpr std::uint8_t kCellHeight = 16;

    // 16 x 16.
    constexpr FontSize() = default;
    // Menu item n, 0 ("12 x 16") to 4 ("16 x 16"); any other n gives 16 x 16.
    static constexpr FontSize Item(int n) { return FontSize(n >= 0 && n < kItems ? n : kItems - 1); }
    // The cell width pixels wide, 12 to 16; any other width gives 16 x 16.
    static constexpr FontSize OfWidth(int width) { return Item(width - 12); }

    constexpr int Index() const { return index_; }
    constexpr std::uint8_t CellWidth() const { return static_cast<std::uint8_t>(12 + index_); }
    constexpr std::uint8_t CellHeight() const { return kCellHeight; }

    friend constexpr bool operator==(FontSize, FontSize) = default;

private:
    constexpr explicit FontSize(int index) : index_(static_cast<std::uint8_t>(index)) {}

    std::uint8_t index_ = kItems - 1;
};

// The four preferences kept between runs, and the values that follow from them. The menus and the radio
// group set them with one of their items; the settings file holds them as numbers (see Stored).
class Settings final {
public:
    // The numbers of the settings file's four keys. A number no item stands for is kept as it was read (a
    // "Code Format" of 7 is written back as 7 until a menu item is chosen) and means what the tool makes of
    // it everywhere: C for a Code Format other than 0, Half for a Bin Sort other than 1, RGB888 for a Palette
    // Format other than 0. Only a Font Size outside 0..4 is put right, to 4.
    struct Stored {
        std::int32_t FontSize = 4;
        std::int32_t CodeFormat = 1;
        std::int32_t BinSort = 0;
        std::int32_t PaletteFormat = 1;
    };

    // 16 x 16, C, Half, RGB888: the first run's settings.
    Settings() = default;
    static Settings FromStored(const Stored& stored);
    Stored ToStored() const { return {fontSize_.Index(), codeFormat_, binSort_, paletteFormat_}; }

    settings::FontSize FontSize() const { return fontSize_; }
    settings::CodeFormat CodeFormat() const {
        return codeFormat_ == 0 ? settings::CodeFormat::Asm : settings::CodeFormat::C;
    }
    settings::BinSort BinSort() const {
        return binSort_ == 1 ? settings::BinSort::Font : settings::BinSort::Half;
    }
    settings::PaletteFormat PaletteFormat() const {
        return paletteFormat_ == 0 ? settings::PaletteFormat::Rgb666 : settings::PaletteFormat::Rgb888;
    }
    // The radio group's item for the palette format: none when the settings file held a number the group
    // has no item for (which is still RGB888).
    std::optional<settings::PaletteFormat> PaletteFormatItem() const;

    void SetFontSize(settings::FontSize size) { fontSize_ = size; }
    void SetCodeFormat(settings::CodeFormat format) {
        codeFormat_ = format == settings::CodeFormat::Asm ? 0 : 1;
    }
    void SetBinSort(settings::BinSort sort) { binSort_ = sort == settings::BinSort::Font ? 1 : 0; }
    void SetPaletteFormat(settings::PaletteFormat format) {
        paletteFormat_ = format == settings::PaletteFormat::Rgb666 ? 0 : 1;
    }

    // The OSD character cell the font size gives.
    std::uint8_t OsdCellWidth() const { return fontSize_.CellWidth(); }
    std::uint8_t OsdCellHeight() const { return fontSize_.CellHeight(); }
    // What every colour of the OSD tab's after views is ANDed with: 6 bits a component for RGB666.
    base::Colour PaletteColorMask() const {
        return PaletteFormat() == settings::PaletteFormat::Rgb666 ? 0xFCFCFC : 0xFFFFFF;
    }

private:
    settings::FontSize fontSize_;
    std::int32_t codeFormat_ = 1;    // as stored: 0 ASM, anything else C
    std::int32_t binSort_ = 0;       // as stored: 1 Font, anything else Half
    std::int32_t paletteFormat_ = 1; // as stored: 0 RGB666, anything else RGB888
};

} // namespace settings
