#pragma once

#include "base/FileProblem.h"
#include "settings/Settings.h"

#include <optional>
#include <string>

namespace settings {

inline constexpr const char* SettingsFileName = "Tavix.INI";
inline constexpr const char* SettingsSection = "Tavix CONFIG";

// The settings file's path: the executable's directory followed by "Tavix.INI".
std::string DefaultSettingsPath();

// Reads "Font Size", "Code Format", "Bin Sort" and "Palette Format" from the "Tavix CONFIG" section of the
// file at path into a valid record (Settings::FromStored). A missing file, section or key, or a value that is
// not a decimal 32-bit integer, gives that key's default. Never fails.
Settings LoadSettings(const std::string& path);

// Writes the four numbers (Settings::ToStored) as decimal integers into the "Tavix CONFIG" section, creating
// the file, the section or a key as needed and replacing the values of keys present; every other line of the
// file is kept as it was. Returns the message "Unable to write to <path>" when the file cannot be written,
// with the reason added to *detail when it is given (the file is not a regular one, the folder refuses a
// temporary file beside it, ...), nothing on success. A file that cannot be read whole is not rewritten.
std::optional<std::string> SaveSettings(const Settings& settings, const std::string& path,
                                        base::FailureDetail* detail = nullptr);

} // namespace settings
