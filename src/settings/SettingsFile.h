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

// Where the settings file is kept, and whether that is the place beside the executable.
struct SettingsLocation {
    std::string path;
    bool besideExecutable = true;
};

// What the choice of the settings file looks at: the executable's folder, $XDG_CONFIG_HOME and $HOME (empty
// when unset), and whether a folder may be written.
struct SettingsPlaces {
    std::string executableDirectory;
    std::string xdgConfigHome;
    std::string home;
    bool (*writable)(const std::string& directory) = nullptr;
};

// Tavix.INI beside the executable when its folder may be written (a portable copy keeps its settings beside
// it); otherwise $XDG_CONFIG_HOME/tavix/Tavix.INI, an unset, empty or relative $XDG_CONFIG_HOME standing for
// $HOME/.config. Without a home either, the place beside the executable stays (and saving there fails with its
// reason).
SettingsLocation ChooseSettingsLocation(const SettingsPlaces& places);

// The choice for this process: its executable's folder, its environment (the password database's home when
// $HOME is unset), the folder's write permission for this user.
SettingsLocation SettingsLocationOfThisProcess();

// Whether this user may create and replace files in directory.
bool DirectoryWritable(const std::string& directory);

// Makes the folder of a settings file that is not beside the executable (and its parents) before a save;
// the save then says why when it cannot be made.
void MakeSettingsFolder(const SettingsLocation& location);

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
