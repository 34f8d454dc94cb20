#include "palette/PaletteHistory.h"

#include "picture/BitmapSnapshot.h"

namespace palette {

namespace {

PaletteSnapshot SnapshotOf(const picture::CurrentBitmap& bitmap, const PaletteTable& table,
                           const PaletteState& state) {
    return PaletteSnapshot{picture::TrimmedCopy(bitmap), table, state};
}

void Restore(const PaletteSnapshot& s, picture::CurrentBitmap& bitmap, PaletteTable& table,
             PaletteState& state) {
    picture::RestoreTrimmed(bitmap, s.bitmap);
    table = s.table;
    state = s.state;
}

} // namespace

std::size_t PaletteSnapshot::Bytes() const {
    return sizeof(PaletteSnapshot) + bitmap.Pixels.size() +
           state.PalettePicture.pixels.size() * sizeof(base::Colour) + state.PalettePicture.indices.size() +
           state.PalettePicture.palette.size() * sizeof(base::Colour) + state.Indices8.size();
}

std::uint64_t EditedFingerprint(const picture::CurrentBitmap& bitmap, const PaletteTable& table,
                                const PaletteState& state) {
    std::uint64_t h = picture::EditedFingerprint(bitmap);
    h = picture::MixFingerprint(h, table.data(), sizeof(table));
    h = picture::MixFingerprint(h, state.Indices8.data(), state.Indices8.size());
    return picture::MixFingerprint(h, state.ColourTable8.data(), sizeof(state.ColourTable8));
}

void PaletteHistory::Begin(const picture::CurrentBitmap& bitmap, const PaletteTable& table,
                           const PaletteState& state) {
    // Steps recorded before a change made elsewhere would take that change back too: they are dropped.
    if (steps_.CanUndo() || steps_.CanRedo())
        if (EditedFingerprint(bitmap, table, state) != after_) steps_.Clear();
    steps_.Record(SnapshotOf(bitmap, table, state));
}

void PaletteHistory::End(const picture::CurrentBitmap& bitmap, const PaletteTable& table,
                         const PaletteState& state) {
    after_ = EditedFingerprint(bitmap, table, state);
    const PaletteSnapshot* last = steps_.Last();
    // A trimmed copy has the fingerprint of the bitmap it was cut from.
    if (last && after_ == EditedFingerprint(last->bitmap, last->table, last->state))
        steps_.DropLast(); // the step changed nothing
}

bool PaletteHistory::Undo(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state) {
    if (!steps_.CanUndo()) return false;
    if (EditedFingerprint(bitmap, table, state) != after_) {
        steps_.Clear();
        return false;
    }
    const auto back = steps_.Undo(SnapshotOf(bitmap, table, state));
    Restore(*back, bitmap, table, state);
    after_ = EditedFingerprint(bitmap, table, state);
    return true;
}

bool PaletteHistory::Redo(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state) {
    if (!steps_.CanRedo()) return false;
    if (EditedFingerprint(bitmap, table, state) != after_) {
        steps_.Clear();
        return false;
    }
    const auto again = steps_.Redo(SnapshotOf(bitmap, table, state));
    Restore(*again, bitmap, table, state);
    after_ = EditedFingerprint(bitmap, table, state);
    return true;
}

void PaletteHistory::Clear() {
    steps_.Clear();
}

} // namespace palette
