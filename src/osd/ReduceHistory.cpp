#include "osd/ReduceHistory.h"

#include "picture/BitmapSnapshot.h"

namespace osd {

std::size_t ReduceSnapshot::Bytes() const {
    return sizeof(ReduceSnapshot) + bitmap.Pixels.size() +
           (state.Before.pixels.size() + state.After.pixels.size()) * sizeof(base::Colour) +
           state.Before.indices.size() + state.After.indices.size();
}

void ReduceHistory::Begin(const picture::CurrentBitmap& bitmap, const OsdState& state) {
    if ((steps_.CanUndo() || steps_.CanRedo()) && picture::EditedFingerprint(bitmap) != after_)
        steps_.Clear();
    steps_.Record(ReduceSnapshot{picture::TrimmedCopy(bitmap), state});
}

void ReduceHistory::End(const picture::CurrentBitmap& bitmap) {
    after_ = picture::EditedFingerprint(bitmap);
    const ReduceSnapshot* last = steps_.Last();
    // A second reduction of a reduced picture changes nothing: no step.
    if (last && picture::EditedFingerprint(last->bitmap) == after_) steps_.DropLast();
}

bool ReduceHistory::Undo(picture::CurrentBitmap& bitmap, OsdState& state) {
    if (!steps_.CanUndo()) return false;
    if (picture::EditedFingerprint(bitmap) != after_) {
        steps_.Clear();
        return false;
    }
    const auto back = steps_.Undo(ReduceSnapshot{picture::TrimmedCopy(bitmap), state});
    picture::RestoreTrimmed(bitmap, back->bitmap);
    state = back->state;
    after_ = picture::EditedFingerprint(bitmap);
    return true;
}

bool ReduceHistory::Redo(picture::CurrentBitmap& bitmap, OsdState& state) {
    if (!steps_.CanRedo()) return false;
    if (picture::EditedFingerprint(bitmap) != after_) {
        steps_.Clear();
        return false;
    }
    const auto again = steps_.Redo(ReduceSnapshot{picture::TrimmedCopy(bitmap), state});
    picture::RestoreTrimmed(bitmap, again->bitmap);
    state = again->state;
    after_ = picture::EditedFingerprint(bitmap);
    return true;
}

} // namespace osd
