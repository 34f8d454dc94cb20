#include "shell/Workspace.h"

#include "base/Path.h"

namespace shell {

OpenOutcome OpenBitmap(Workspace& ws, const std::string& path, Page active) {
    OpenOutcome outcome;
    if (!base::FileExists(path)) {
        outcome.status = bitmap::OpenStatus::FileNotExist;
        outcome.message = bitmap::MessageOf(outcome.status);
        ws.osd.Before = Picture{};
        return outcome;
    }
    if (active == Page::Osd) {
        ws.osd.Before = ReadBmpPicture(path);
        outcome.pictureLoaded = true;
    } else if (active == Page::Palette) {
        ws.palette.PalettePicture = ReadBmpPicture(path);
        const auto& palette = ws.palette.PalettePicture.palette;
        for (std::size_t i = 0; i < palette.size() && i < ws.PaletteTable.size(); ++i)
            ws.PaletteTable[i] = base::EntryOf(palette[i]);
        outcome.pictureLoaded = true;
    }
    const bitmap::LoadResult loaded = bitmap::LoadBitmapFile(ws.bitmap, path);
    outcome.status = loaded.status;
    outcome.headersRead = loaded.headersRead;
    if (loaded.status != bitmap::OpenStatus::Ok) {
        outcome.message = bitmap::MessageOf(loaded.status);
        ws.osd.Before = Picture{};
        return outcome;
    }
    ws.osd.After = Picture{};
    if (active == Page::Palette) {
        ws.palette.HoverIndex = 0;
        ws.palette.RightIndex = 0;
        ws.palette.LeftIndex = 0;
        ws.palette.HoverSwatch = ws.palette.RightSwatch = ws.palette.LeftSwatch =
            ColourOf(ws.PaletteTable[0]);
    }
    return outcome;
}

} // namespace shell
