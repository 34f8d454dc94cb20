#include "shell/Registry.h"

#include "aosd/AosdTab.h"
#include "bitmap/BitmapHeaderTab.h"
#include "font/FontTab.h"
#include "merge/MergeTab.h"
#include "osd/OsdTab.h"
#include "palette/PaletteTab.h"
#include "shell/Workspace.h"
#include "wav/WavTab.h"

namespace shell {

std::vector<ui::Tab*> CreateTabs(const ui::TabContext& context, Workspace& ws, QWidget* parent) {
    return {
        new osd::OsdTab(context, ws.settings, ws.bitmap, ws.osd, parent),
        new bitmap::BitmapHeaderTab(context, ws.bitmap, parent),
        new palette::PaletteTab(context, ws.bitmap, ws.PaletteTable, ws.palette, parent),
        new font::FontTab(context, ws.settings, ws.font, parent),
        new aosd::AosdTab(context, ws.settings, ws.PaletteTable, ws.aosd, parent),
        new wav::WavTab(context, ws.wav, parent),
        new merge::MergeTab(context, ws.mergeList, parent),
    };
}

} // namespace shell
