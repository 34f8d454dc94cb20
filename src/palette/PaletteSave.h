#pragma once

#include "shell/Dialogs.h"
#include "shell/Workspace.h"

#include <string>

namespace palette {

// File > Save on the Palette tab: PalettePicture, cut or extended to Width x Height, held at 8 bits with
// PaletteTable as its colour table (each pixel refers to the entry holding the colour it shows, preferring
// the entry its index names), written to path as an 8-bit BMP. PalettePicture then shows the saved picture.
// Throws base::Error naming the path when it cannot be written, and when no picture of an accepted size is
// open (before any Open, or after a file refused for its size); nothing changes then.
void SavePalettePicture(shell::Workspace& ws, const std::string& path);

// File > Save on the OSD tab: the After picture, Width x Height, with ReducedPalette as its colour table
// (colours compared as the After picture shows them, through mask), written to path. The After picture then
// shows the saved picture. Throws base::Error as SavePalettePicture does.
void SaveReducedPicture(shell::Workspace& ws, const std::string& path);

// The whole command: remembers the save dialog's file name, filter, default extension and filter index,
// sets "Bitmap File(*.BMP)|*.BMP|All File(*.*)|*.*", index 1 and ".BMP", shows it, saves by the active page
// (Palette: SavePalettePicture, OSD: SaveReducedPicture, others: nothing) and puts the four back on every
// path, an exception included. Returns whether a file was written.
bool SaveActivePicture(shell::Workspace& ws, shell::Page active, shell::FileDialog& saveDialog,
                       shell::DialogDriver& driver);

} // namespace palette
