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

namespace shell {

// All document state of a run, owned by the main window (or by one CLI command). Nothing else holds any.
// File > Open and File > Save go by what the active tab declares (Tab::FileOpenTarget,
// Tab::SaveActivePicture): the workspace names no tab.
struct Workspace {
    settings::Settings settings;
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
