#include "shell/Workspace.h"

#include "base/Path.h"
#include "base/WholeFile.h"
#include "osd/ReducedSave.h"
#include "palette/PaletteSave.h"

namespace shell {

OpenOutcome OpenBitmap(Workspace& ws, const std::string& path, Page active) {
    OpenOutcome outcome;
    if (!base::FileExists(path)) {
        outcome.status = picture::OpenStatus::FileNotExist;
        outcome.failure = picture::MessageOf(outcome.status);
        ws.osd.Before = picture::Picture{};
        return outcome;
    }
    {
        // A FIFO or a device is refused before any reader opens it: a FIFO would keep it waiting.
        base::InputFile probe;
        if (probe.Open(path) == base::ReadStatus::NotRegular) {
            outcome.status = picture::OpenStatus::NotRegular;
            outcome.failure = picture::MessageOf(outcome.status);
            outcome.detail = {probe.Problem()};
            ws.osd.Before = picture::Picture{};
            return outcome;
        }
    }
    if (active == Page::Osd) {
        ws.osd.Before = picture::ReadBmpPicture(path);
        outcome.pictureLoaded = true;
    } else if (active == Page::Palette) {
        ws.palette.PalettePicture = picture::ReadBmpPicture(path);
        const auto& palette = ws.palette.PalettePicture.palette;
        for (std::size_t i = 0; i < palette.size() && i < ws.PaletteTable.size(); ++i)
            ws.PaletteTable[i] = base::EntryOf(palette[i]);
        outcome.pictureLoaded = true;
    }
    const picture::LoadResult loaded = picture::LoadBitmapFile(ws.bitmap, path);
    outcome.status = loaded.status;
    outcome.headersRead = loaded.headersRead;
    if (loaded.status != picture::OpenStatus::Ok) {
        outcome.failure = picture::MessageOf(loaded.status);
        outcome.detail = loaded.detail;
        ws.osd.Before = picture::Picture{};
        return outcome;
    }
    ws.osd.After = picture::Picture{};
    if (active == Page::Palette) {
        ws.palette.HoverIndex = 0;
        ws.palette.RightIndex = 0;
        ws.palette.LeftIndex = 0;
        ws.palette.HoverSwatch = ws.palette.RightSwatch = ws.palette.LeftSwatch =
            ColourOf(ws.PaletteTable[0]);
    }
    return outcome;
}

bool SaveActivePicture(Workspace& ws, Page active, FileDialog& saveDialog, DialogDriver& driver) {
    // The save dialog belongs to other commands as well: whatever happens here, they find it as they left it.
    const DialogRestore guard(saveDialog);
    saveDialog.Filter = "Bitmap File(*.BMP)|*.BMP|All File(*.*)|*.*";
    saveDialog.FilterIndex = 1;
    saveDialog.DefaultExt = ".BMP";
    if (!saveDialog.Execute(driver)) return false;
    switch (active) {
    case Page::Palette:
        palette::SavePalettePicture(ws.bitmap, ws.PaletteTable, ws.palette, saveDialog.FileName);
        return true;
    case Page::Osd:
        osd::SaveReducedPicture(ws.bitmap, ws.osd, ws.settings.PaletteColorMask, saveDialog.FileName);
        return true;
    default:
        return false;
    }
}

} // namespace shell
