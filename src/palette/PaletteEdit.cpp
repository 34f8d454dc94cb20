#include "palette/PaletteEdit.h"

#include "base/Format.h"
#include "osd/PaletteViews.h"
#include "osd/ReducedSave.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace palette {

namespace {

using base::Colour;

constexpr int kEntries = 256;
constexpr Colour kRgb = 0xFFFFFF;

bool IsPacked(std::uint8_t bitsPerPixel) {
    return bitsPerPixel == 1 || bitsPerPixel == 2 || bitsPerPixel == 4;
}

// The bitmap's pixels as one index byte a pixel, width x height, row by row.
std::vector<std::uint8_t> Unpacked(const picture::CurrentBitmap& bm, int width, int height) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                osd::PackedIndex(bm, x, y);
    return out;
}

// Stores index as pixel (x, y) at the bitmap's depth (1, 2 or 4), leaving the other pixels of its byte.
void StorePacked(picture::CurrentBitmap& bm, int x, int y, std::uint8_t index) {
    const unsigned bpp = bm.BitsPerPixel;
    const std::size_t bit = static_cast<std::size_t>(x) * bpp;
    const std::size_t at = static_cast<std::size_t>(y) * bm.BytesPerRow + bit / 8;
    if (at >= bm.Pixels.size()) return;
    const unsigned shift = 8 - bpp - static_cast<unsigned>(bit % 8);
    const unsigned field = ((1u << bpp) - 1) << shift;
    bm.Pixels[at] =
        static_cast<std::uint8_t>((bm.Pixels[at] & ~field) | ((unsigned{index} << shift) & field));
}

bool CopyIsCurrent(const picture::CurrentBitmap& bm, const PaletteState& st) {
    return st.CopyGeneration == bm.Generation;
}

// Where an edit finds the pixel indices and the colour table they index. Without pixels (no picture, or a
// depth the tab cannot edit) indices is null and only the table takes part.
struct Target {
    std::uint8_t* indices = nullptr;
    std::size_t size = 0;   // bytes behind indices
    std::size_t stride = 0; // bytes from one row to the next
    int width = 0;
    int height = 0;
    Colour* table = nullptr;

    // The byte of pixel (x, y), or npos when it lies outside the buffer.
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);
    std::size_t OffsetOf(int x, int y) const {
        const std::size_t at = static_cast<std::size_t>(y) * stride + static_cast<std::size_t>(x);
        return at < size ? at : npos;
    }
};

// What an edit works on, plus the tables it changes together.
struct Edit {
    picture::CurrentBitmap& bm;
    PaletteTable& table;
    PaletteState& st;
    Target t;

    Edit(picture::CurrentBitmap& bitmap, PaletteTable& paletteTable, PaletteState& state)
        : bm(bitmap), table(paletteTable), st(state) {
        t.width = bm.WalkWidth();
        t.height = bm.WalkHeight();
        if (bm.BitsPerPixel == 8) {
            t.indices = bm.Pixels.data();
            t.size = bm.Pixels.size();
            t.stride = bm.BytesPerRow;
            t.table = bm.ColourTable.data();
        } else if (IsPacked(bm.BitsPerPixel)) {
            // While the bitmap holds the last edit, it is what this one starts from, as at 8 bits.
            if (!CopyIsCurrent(bm, st) || !st.CopyAhead) {
                st.Indices8 = Unpacked(bm, t.width, t.height);
                st.ColourTable8 = bm.ColourTable;
                st.CopyGeneration = bm.Generation;
                st.CopyAhead = false;
            }
            t.indices = st.Indices8.data();
            t.size = st.Indices8.size();
            t.stride = static_cast<std::size_t>(t.width);
            t.table = st.ColourTable8.data();
        } else {
            t.table = bm.ColourTable.data();
        }
    }

    void SetEntry(int i, Colour c) {
        t.table[i] = c;
        table[static_cast<std::size_t>(i)] = base::EntryOf(c);
    }

    void MoveEntry(int to, int from) {
        t.table[to] = t.table[from];
        table[static_cast<std::size_t>(to)] = table[static_cast<std::size_t>(from)];
    }

    // Renumbers every pixel whose index p passes touch to remap[p] and repaints it with its entry's colour.
    // The old indices come from a snapshot: when the header makes rows shorter than the picture is wide,
    // pixels share bytes, and each byte must still be renumbered exactly once.
    template <typename Touch> void Renumber(const std::array<std::uint8_t, 256>& remap, Touch touch) {
        if (!t.indices) return;
        const std::vector<std::uint8_t> old(t.indices, t.indices + t.size);
        for (int y = 0; y < t.height; ++y) {
            for (int x = 0; x < t.width; ++x) {
                const std::size_t at = t.OffsetOf(x, y);
                if (at == Target::npos) continue;
                const std::uint8_t p = old[at];
                if (!touch(p)) continue;
                const std::uint8_t q = remap[p];
                t.indices[at] = q;
                st.PalettePicture.SetPixel(x, y, t.table[q]);
            }
        }
    }

    void Repaint(std::uint8_t index, Colour c) {
        if (!t.indices) return;
        for (int y = 0; y < t.height; ++y) {
            for (int x = 0; x < t.width; ++x) {
                const std::size_t at = t.OffsetOf(x, y);
                if (at != Target::npos && t.indices[at] == index) st.PalettePicture.SetPixel(x, y, c);
            }
        }
    }

    // Below 8 bits: hands the edited copy back to the bitmap when its depth can hold every index.
    EditResult Finish() {
        if (!IsPacked(bm.BitsPerPixel)) return {};
        const unsigned bpp = bm.BitsPerPixel;
        const std::uint8_t top =
            st.Indices8.empty() ? std::uint8_t{0} : *std::max_element(st.Indices8.begin(), st.Indices8.end());
        if (top >= (1u << bpp)) {
            st.CopyAhead = true;
            return {false,
                    {{base::Note::Kind::Status,
                      base::strprintf("Index %u does not fit %u bpp: File > Save writes the edited picture "
                                      "as 8 bpp; Generate uses the last edit that fit.",
                                      unsigned{top}, bpp)}}};
        }
        for (int y = 0; y < t.height; ++y)
            for (int x = 0; x < t.width; ++x)
                StorePacked(
                    bm, x, y,
                    st.Indices8[static_cast<std::size_t>(y) * t.stride + static_cast<std::size_t>(x)]);
        bm.ColourTable = st.ColourTable8;
        st.CopyAhead = false;
        return {};
    }
};

} // namespace

Colour EntryColour(const PaletteTable& table, int i) {
    return i >= 0 && i < kEntries ? base::ColourOf(table[static_cast<std::size_t>(i)]) : 0;
}

std::vector<std::uint8_t> EditedIndices(const picture::CurrentBitmap& bm, const PaletteState& st) {
    const int width = bm.WalkWidth();
    const int height = bm.WalkHeight();
    if (!IsPacked(bm.BitsPerPixel) || !CopyIsCurrent(bm, st) || !st.CopyAhead)
        return Unpacked(bm, width, height);
    // The copy was made at these sizes; a shorter copy reads as 0.
    std::vector<std::uint8_t> out = st.Indices8;
    out.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    return out;
}

EditResult InsertEntry(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state,
                       std::uint8_t index, Colour colour) {
    Edit e(bitmap, table, state);
    const int left = index;
    for (int i = kEntries - 1; i > left; --i)
        e.MoveEntry(i, i - 1);
    e.SetEntry(left, colour);

    for (int i = 0; i < kEntries; ++i)
        state.IndexRemap[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i < left ? i : i + 1);
    state.IndexRemap[255] = 0;

    if (bitmap.PaletteBytes < 1024) bitmap.PaletteBytes = static_cast<std::uint16_t>(bitmap.PaletteBytes + 4);
    e.Renumber(state.IndexRemap, [](std::uint8_t) { return true; });
    return e.Finish();
}

EditResult DeleteEntry(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state,
                       std::uint8_t index) {
    Edit e(bitmap, table, state);
    const int left = index;
    const Colour asideColour = e.t.table[left];
    const base::PALETTEENTRY asideEntry = table[static_cast<std::size_t>(left)];
    for (int i = left; i < kEntries - 1; ++i)
        e.MoveEntry(i, i + 1);
    e.t.table[kEntries - 1] = asideColour;
    table[kEntries - 1] = asideEntry;

    for (int i = 0; i < kEntries; ++i)
        state.IndexRemap[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i < left ? i : i - 1);
    state.IndexRemap[static_cast<std::size_t>(left)] = 255;

    if (bitmap.PaletteBytes > 4) bitmap.PaletteBytes = static_cast<std::uint16_t>(bitmap.PaletteBytes - 4);
    e.Renumber(state.IndexRemap, [left](std::uint8_t p) { return p >= left; });
    return e.Finish();
}

EditResult SwapEntries(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state,
                       std::uint8_t left, std::uint8_t right, std::uint8_t count) {
    Edit e(bitmap, table, state);
    const int n = std::min({static_cast<int>(count), kEntries - left, kEntries - right});

    // at[j] follows which old entry sits at position j while the pairs are exchanged one after the other;
    // when the blocks overlap, an entry can move more than once, so pixels must follow the final places.
    std::array<std::uint8_t, 256> at{};
    for (int i = 0; i < kEntries; ++i)
        at[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    for (int k = 0; k < n; ++k) {
        const int a = left + k;
        const int b = right + k;
        std::swap(at[static_cast<std::size_t>(a)], at[static_cast<std::size_t>(b)]);
        std::swap(e.t.table[a], e.t.table[b]);
        std::swap(table[static_cast<std::size_t>(a)], table[static_cast<std::size_t>(b)]);
    }
    std::array<std::uint8_t, 256> placeOf{};
    for (int j = 0; j < kEntries; ++j)
        placeOf[at[static_cast<std::size_t>(j)]] = static_cast<std::uint8_t>(j);

    e.Renumber(placeOf, [&placeOf](std::uint8_t p) { return placeOf[p] != p; });
    return e.Finish();
}

EditResult UpdateEntry(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state,
                       std::uint8_t index, Colour colour) {
    Edit e(bitmap, table, state);
    e.SetEntry(index, colour);
    e.Repaint(index, colour);
    return e.Finish();
}

EditResult InvertEntry(picture::CurrentBitmap& bitmap, PaletteTable& table, PaletteState& state,
                       std::uint8_t index) {
    Edit e(bitmap, table, state);
    const Colour c = e.t.table[index] ^ kRgb;
    e.SetEntry(index, c);
    e.Repaint(index, c);
    return e.Finish();
}

std::string HoverEntryText(const PaletteTable& table, const PaletteState& state) {
    return osd::EntryText("Palette Index:", state.HoverIndex, EntryColour(table, state.HoverIndex));
}

std::string LeftEntryText(const PaletteTable& table, const PaletteState& state) {
    return osd::EntryText("LEFT Index:", state.LeftIndex, EntryColour(table, state.LeftIndex));
}

std::string RightEntryText(const PaletteTable& table, const PaletteState& state) {
    return osd::EntryText("RIGHT Index:", state.RightIndex, EntryColour(table, state.RightIndex));
}

bool PointAt(const PaletteTable& table, PaletteState& state, int i) {
    if (i < 0 || i >= kEntries) return false;
    state.HoverIndex = static_cast<std::uint16_t>(i);
    state.HoverSwatch = EntryColour(table, i);
    return true;
}

void ShowLeftEntry(const PaletteTable& table, PaletteState& state) {
    state.LeftSwatch = EntryColour(table, state.LeftIndex);
}

void ShowRightEntry(const PaletteTable& table, PaletteState& state) {
    state.RightSwatch = EntryColour(table, state.RightIndex);
}

void PickLeft(const PaletteTable& table, PaletteState& state, int i) {
    if (i < 0 || i >= kEntries) return;
    state.LeftIndex = static_cast<std::uint8_t>(i);
    ShowLeftEntry(table, state);
}

void PickRight(const PaletteTable& table, PaletteState& state, int i) {
    if (i < 0 || i >= kEntries) return;
    state.RightIndex = static_cast<std::uint8_t>(i);
    ShowRightEntry(table, state);
}

} // namespace palette
