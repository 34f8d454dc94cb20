#pragma once

#include "aosd/AosdPicture.h"

#include <cstdint>
#include <string>

namespace aosd {

// The merge that "Merge Bin Files" keeps adding to: both paths empty until the first merge, then the merge
// file and its offset table, for the rest of the run.
struct MergeState {
    std::string MergeBinPath;
    std::string MergeTablePath;
};

// What the AOSD tab keeps for the whole run. PaletteTable and PaletteFormat are shared with other tabs and
// live beside it in the workspace.
struct AosdState {
    std::string AosdPicturePath; // the picture last opened; empty until then
    std::string AosdDirectory;   // its parts, as SplitAosdPath cuts them
    std::string AosdBaseName;
    std::string AosdExtension;
    std::uint16_t AosdImageCount = 0;   // members of a numbered sequence, from "Image Number:"
    std::string AosdOutputPath;         // the output file last chosen
    std::uint16_t AosdPaletteBytes = 0; // 1024 once a picture is open: the palette grid shows colours
    AosdPicture picture;                // the picture shown
    MergeState merge;
};

} // namespace aosd
