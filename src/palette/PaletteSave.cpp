#include "palette/PaletteSave.h"

#include "base/Error.h"
#include "palette/PaletteEdit.h"

#include <array>
#include <vector>

namespace palette {

namespace {

constexpr const char* kBitmapFilter = "Bitmap File(*.BMP)|*.BMP|All File(*.*)|*.*";

// The save dialog belongs to other commands as well: whatever happens here, they find it as they left it.

// Before any Open, or after a file refused for its size, there is no picture of a size a BMP could sensibly
// hold (0, or what the refused file claimed); saving it would write an empty or a huge black file.
void RequirePicture(const bitmap::CurrentBitmap& bm) {
    if (!bm.HasAcceptedSize())
        throw base::Error("There is no picture to save: open a BMP file of at most 1024 x 768 pixels first.");
}

} // namespace

void SavePalettePicture(shell::Workspace& ws, const std::string& path) {
    RequirePicture(ws.bitmap);
    const int width = ws.bitmap.Width;
    const int height = ws.bitmap.Height;
    // Entries of the same colour are common (unused entries are often all black): the index the edits gave a
    // pixel decides among them, so the saved indices stay those of the edited picture.
    const std::vector<std::uint8_t> indices = EditedIndices(ws);
    const shell::IndexedPicture working =
        shell::MatchToPalette(ws.palette.PalettePicture, width, height, ws.PaletteTable, {indices.data()});
    shell::SaveBmp8(working, path);
    ws.palette.PalettePicture = shell::ToPicture(working);
}

void SaveReducedPicture(shell::Workspace& ws, const std::string& path) {
    const bitmap::CurrentBitmap& bm = ws.bitmap;
    RequirePicture(bm);
    const int width = bm.Width;
    const int height = bm.Height;
    std::array<base::PALETTEENTRY, 256> table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = base::EntryOf(bm.ReducedPalette[i]);

    // The After picture shows masked colours, under which several reduced entries can look alike; the
    // renumbered pixels tell which of them each pixel means.
    const bool indexed =
        bm.BitsPerPixel == 1 || bm.BitsPerPixel == 2 || bm.BitsPerPixel == 4 || bm.BitsPerPixel == 8;
    std::vector<std::uint8_t> indices;
    if (indexed) {
        indices.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                        static_cast<std::size_t>(x)] = PackedIndex(bm, x, y);
    }
    const shell::IndexedPicture working =
        shell::MatchToPalette(ws.osd.After, width, height, table, {indexed ? indices.data() : nullptr},
                              ws.settings.PaletteColorMask);
    shell::SaveBmp8(working, path);
    ws.osd.After = shell::ToPicture(working);
}

bool SaveActivePicture(shell::Workspace& ws, shell::Page active, shell::FileDialog& saveDialog,
                       shell::DialogDriver& driver) {
    const shell::DialogRestore guard(saveDialog);
    saveDialog.Filter = kBitmapFilter;
    saveDialog.FilterIndex = 1;
    saveDialog.DefaultExt = ".BMP";
    if (!saveDialog.Execute(driver)) return false;
    switch (active) {
    case shell::Page::Palette:
        SavePalettePicture(ws, saveDialog.FileName);
        return true;
    case shell::Page::Osd:
        SaveReducedPicture(ws, saveDialog.FileName);
        return true;
    default:
        return false;
    }
}

} // namespace palette
