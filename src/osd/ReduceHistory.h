#pragma once

#include "base/UndoHistory.h"
#include "osd/OsdState.h"
#include "picture/BmpLoader.h"

#include <cstdint>

namespace osd {

// What Ctrl+Z restores on the OSD tab: the current bitmap (its pixels as far as the picture reaches) and the
// tab's pictures and remap table.
struct ReduceSnapshot {
    picture::CurrentBitmap bitmap; // Pixels cut to the picture's rows
    OsdState state;

    std::size_t Bytes() const;
};

// The OSD tab's steps: Reduce Palette. Opening a picture clears it, and so does a change of the picture
// made elsewhere (the Palette tab's edits), found when a step is to be taken back.
class ReduceHistory final {
public:
    void Begin(const picture::CurrentBitmap& bitmap, const OsdState& state);
    void End(const picture::CurrentBitmap& bitmap);
    bool Undo(picture::CurrentBitmap& bitmap, OsdState& state);
    bool Redo(picture::CurrentBitmap& bitmap, OsdState& state);
    void Clear() { steps_.Clear(); }

private:
    base::UndoHistory<ReduceSnapshot> steps_;
    std::uint64_t after_ = 0; // the fingerprint of the bitmap the last step (or undo, or redo) left
};

} // namespace osd
