#pragma once

#include "aosd/AosdState.h"
#include "font/FontState.h"
#include "merge/MergeList.h"
#include "osd/OsdState.h"
#include "palette/PaletteState.h"
#include "picture/BmpLoader.h"
#include "picture/Picture.h"
#include "settings/Settings.h"
#include "wav/WavState.h"

#include <string>

namespace shell {

// All document state of a run, owned by the main window (or by one CLI command). Nothing else holds any.
// File > Open and File > Save go by what the active tab declares (Tab::FileOpenTarget,
// Tab::SaveActivePicture): the workspace names no tab.
struct Workspace {
    settings::Settings settings;
    // The current folder: the folder of the file a file dialog last confirmed, or the one the Merge tab's
    // folder list last opened; "" until then (the process's working directory, which never changes). Every
    // operation writes its outputs with fixed names there.
    std::string folder;
    picture::CurrentBitmap bitmap;
    picture::PaletteTable PaletteTable{};
    osd::OsdState osd;
    palette::PaletteState palette;
    font::FontState font;
    wav::WavState wav;
    merge::MergeList mergeList;
    aosd::AosdState aosd;
};

} // namespace shell
