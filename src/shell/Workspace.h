#pragma once

#include "aosd/AosdState.h"
#include "base/Colour.h"
#include "font/FontState.h"
#include "merge/MergeList.h"
#include "osd/OsdState.h"
#include "palette/PaletteState.h"
#include "picture/BmpLoader.h"
#include "settings/Settings.h"
#include "shell/Dialogs.h"
#include "shell/FileOpen.h"
#include "wav/WavState.h"

#include <array>
#include <string>

namespace shell {

// All document state of a run, owned by the main window (or by one CLI command). Nothing else holds any.
struct Workspace {
    settings::Settings settings;
    picture::CurrentBitmap bitmap;
    std::array<base::PALETTEENTRY, 256> PaletteTable{};
    osd::OsdState osd;
    palette::PaletteState palette;
    font::FontState font;
    wav::WavState wav;
    merge::MergeList mergeList;
    aosd::AosdState aosd;
};

// File > Open of path with page active, on the workspace alone: loads the file into the active tab's picture
// (the OSD tab's Before picture; the Palette tab's picture, whose colour table entries go into PaletteTable),
// then into CurrentBitmap. A refusal clears the Before picture; acceptance clears the After picture and, on
// the Palette tab, puts the hover, LEFT and RIGHT entries back to 0. What the
// window must show afterwards is in the outcome. Throws base::Error when the active tab's picture cannot
// be decoded; nothing has changed then.
OpenOutcome OpenBitmap(Workspace& ws, const std::string& path, Page active);

// File > Save with page active: remembers the save dialog's file name, filter, default extension and filter
// index, sets "Bitmap File(*.BMP)|*.BMP|All File(*.*)|*.*", index 1 and ".BMP", shows it, saves by the
// active page (Palette: palette::SavePalettePicture, OSD: osd::SaveReducedPicture through PaletteColorMask,
// others: nothing) and puts the four back on every path, an exception included. Returns whether a file was
// written; throws base::Error as the saves do.
bool SaveActivePicture(Workspace& ws, Page active, FileDialog& saveDialog, DialogDriver& driver);

} // namespace shell
