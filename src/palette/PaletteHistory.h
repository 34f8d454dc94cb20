#pragma once

#include "base/UndoHistory.h"
#include "palette/PaletteState.h"
#include "picture/BmpLoader.h"

#include <cstdint>

namespace palette {

// What Ctrl+Z restores on the Palette tab: the current bitmap (its pixels as far as the picture reaches,
// where the edits renumber them), the palette table and the tab's state (picks, the picture shown, the
// 8-bit working copy).
struct PaletteSnapshot {
    picture::CurrentBitmap bitmap; // Pixels cut to the picture's rows
    PaletteTable table;
    PaletteState state;

    std::size_t Bytes() const;
};

// The Palette tab's steps: Insert, Delete, Swap, Update and Invert. Opening a picture clears it; so does a
// change of the picture made elsewhere (Reduce Palette on the OSD tab), found when a step is to be taken
// back: the steps recorded no longer lead to the picture as it is.
class PaletteHistory final {
public:
    void Begin(const picture::CurrentBitmap& bitmap, const PaletteTable& table, const PaletteState& state);
    void End(const picture::CurrentBitmap& bitmap, const PaletteTable& table, const PaletteState& state);
    bool Undo(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state);
    bool Redo(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state);
    void Clear();

private:
    base::UndoHistory<PaletteSnapshot> steps_;
    std::uint64_t after_ = 0; // the fingerprint of the state the last step (or undo, or redo) left
};

// A fingerprint of what the edits change: the pixels as far as the picture reaches, the colour tables, the
// palette table and the 8-bit working copy.
std::uint64_t EditedFingerprint(const picture::CurrentBitmap& bitmap, const PaletteTable& table,
                                const PaletteState& state);

} // namespace palette
