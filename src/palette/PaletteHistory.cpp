#include "palette/PaletteHistory.h"

#include <algorithm>
#include <cstring>

namespace palette {

namespace {

// The bytes of Pixels the picture's rows take: the edits change nothing past them.
std::size_t UsedPixels(const picture::CurrentBitmap& bitmap) {
    const std::size_t rows = static_cast<std::size_t>(bitmap.WalkHeight()) * bitmap.BytesPerRow;
    return std::min(bitmap.Pixels.size(), rows);
}

PaletteSnapshot SnapshotOf(const picture::CurrentBitmap& bitmap, const PaletteTable& table,
                           const PaletteState& state) {
    PaletteSnapshot s{bitmap, table, state};
    s.bitmap.Pixels.resize(UsedPixels(bitmap));
    s.bitmap.Pixels.shrink_to_fit();
    return s;
}

void Restore(const PaletteSnapshot& s, picture::CurrentBitmap& bitmap, PaletteTable& table,
             PaletteState& state) {
    std::vector<std::uint8_t> pixels = std::move(bitmap.Pixels);
    bitmap = s.bitmap;
    std::copy(s.bitmap.Pixels.begin(), s.bitmap.Pixels.end(), pixels.begin());
    bitmap.Pixels = std::move(pixels);
    table = s.table;
    state = s.state;
}

void Mix(std::uint64_t& h, const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        h ^= p[i];
        h *= 0x100000001B3ull; // FNV-1a
    }
}

} // namespace

std::size_t PaletteSnapshot::Bytes() const {
    return sizeof(PaletteSnapshot) + bitmap.Pixels.size() +
           state.PalettePicture.pixels.size() * sizeof(base::Colour) + state.PalettePicture.indices.size() +
           state.PalettePicture.palette.size() * sizeof(base::Colour) + state.Indices8.size();
}

std::uint64_t EditedFingerprint(const picture::CurrentBitmap& bitmap, const PaletteTable& table,
                                const PaletteState& state) {
    std::uint64_t h = 0xCBF29CE484222325ull;
    Mix(h, bitmap.Pixels.data(), UsedPixels(bitmap));
    Mix(h, bitmap.ColourTable.data(), sizeof(bitmap.ColourTable));
    Mix(h, &bitmap.PaletteBytes, sizeof(bitmap.PaletteBytes));
    Mix(h, &bitmap.ReducedCount, sizeof(bitmap.ReducedCount));
    Mix(h, &bitmap.Generation, sizeof(bitmap.Generation));
    Mix(h, table.data(), sizeof(table));
    Mix(h, state.Indices8.data(), state.Indices8.size());
    Mix(h, state.ColourTable8.data(), sizeof(state.ColourTable8));
    return h;
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
    if (last && EditedFingerprint(last->bitmap, last->table, last->state) == after_ &&
        last->bitmap.Pixels.size() == UsedPixels(bitmap))
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
