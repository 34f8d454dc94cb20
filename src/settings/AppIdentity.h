#pragma once

namespace settings {

// The application's names: the main window's caption (and the start of it once a bitmap is open), the
// version the About window and `tavix-cli --version` show, and the name the window system knows it by.
inline constexpr const char* AppTitle = "Tavix v0.1.5.9";
inline constexpr const char* AppVersion = "0.1.5.9";
inline constexpr const char* AppName = "Tavix";

} // namespace settings
