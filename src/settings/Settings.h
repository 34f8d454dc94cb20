#pragma once

#include "base/Colour.h"
#include "base/FileProblem.h"

#include <cstdint>
#include <optional>
#include <string>

namespace settings {

inline constexpr const char* SettingsFileName = "Tavix.INI";
inline constexpr const char* SettingsSection = "Tavix CONFIG";

// The one test of the palette format: 0 is RGB666 (6 bits a component), anything else RGB888.
inline bool IsRgb666(std::int32_t paletteFormat) {
    return paletteFormat == 0;
}

// The four preferences kept between runs, and the values derived from them.
struct Settings {
    std::int32_t FontSize = 4;      // 0..4 = 12 x 16 .. 16 x 16
    std::int32_t CodeFormat = 1;    // 0 = ASM, 1 = C
    std::int32_t BinSort = 0;       // 0 = Half, 1 = Font
    std::int32_t PaletteFormat = 1; // 0 = RGB666, 1 = RGB888

    std::uint8_t OsdCellWidth = 16;
    std::uint8_t OsdCellHeight = 16;
    base::Colour PaletteColorMask = 0xFFFFFF;

    // n in 0..4.
    void SetFontSize(std::int32_t n);
    void SetCodeFormat(std::int32_t n) { CodeFormat = n; }
    void SetBinSort(std::int32_t n) { BinSort = n; }
    void SetPaletteFormat(std::int32_t n);

    // Brings FontSize into 0..4 (anything else becomes 16 x 16) and recomputes the derived values, as
    // start-up does after reading the file. CodeFormat and BinSort keep the numbers read.
    void ApplyLoaded();
};

// The settings file's path: the executable's directory followed by "Tavix.INI".
std::string DefaultSettingsPath();

// Reads "Font Size", "Code Format", "Bin Sort" and "Palette Format" from the "Tavix CONFIG" section of the
// file at path. A missing file, section or key, or a value that is not a decimal 32-bit integer, gives that
// key's default. Never fails. The derived values are not applied (see Settings::ApplyLoaded).
Settings LoadSettings(const std::string& path);

// Writes the four values as decimal integers into the "Tavix CONFIG" section, creating the file, the section
// or a key as needed and replacing the values of keys present; every other line of the file is kept as it
// was. Returns the message "Unable to write to <path>" when the file cannot be written, with the reason
// added to *detail when it is given (the file is not a regular one, the folder refuses a temporary file
// beside it, ...), nothing on success. A file that cannot be read whole is not rewritten.
std::optional<std::string> SaveSettings(const Settings& settings, const std::string& path,
                                        base::FailureDetail* detail = nullptr);

} // namespace settings
