#include "palette/PaletteOpen.h"

namespace palette {

void ResetPicks(const PaletteTable& table, PaletteState& state) {
    state.HoverIndex = 0;
    state.RightIndex = 0;
    state.LeftIndex = 0;
    state.HoverSwatch = state.RightSwatch = state.LeftSwatch = base::ColourOf(table[0]);
}

picture::OpenOutcome OpenPalettePicture(picture::CurrentBitmap& bitmap, PaletteTable& table,
                                        PaletteState& state, const std::string& path) {
    const picture::OpenOutcome outcome = picture::OpenBitmap(bitmap, path, {&state.PalettePicture, &table});
    if (!outcome.failure) ResetPicks(table, state);
    return outcome;
}

} // namespace palette
