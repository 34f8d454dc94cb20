#include "palette/PaletteSave.h"

#include "osd/ReducedSave.h"
#include "palette/PaletteEdit.h"
#include "picture/Picture.h"

#include <vector>

namespace palette {

void SavePalettePicture(const picture::CurrentBitmap& bitmap, const PaletteTable& table, PaletteState& state,
                        const std::string& path) {
    osd::RequirePictureToSave(bitmap);
    // Entries of the same colour are common (unused entries are often all black): the index the edits gave a
    // pixel decides among them, so the saved indices stay those of the edited picture.
    const std::vector<std::uint8_t> indices = EditedIndices(bitmap, state);
    const picture::IndexedPicture working =
        picture::MatchToPalette(state.PalettePicture, bitmap.Width, bitmap.Height, table, {indices.data()});
    picture::SaveBmp8(working, path);
    state.PalettePicture = picture::ToPicture(working);
}

} // namespace palette
