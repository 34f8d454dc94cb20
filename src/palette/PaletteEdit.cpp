#include "palette/PaletteEdit.h"

#include "osd/PaletteViews.h"

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

// CurrentBitmap's pixels as one index byte a pixel, width x height, row by row.
std::vector<std::uint8_t> Unpacked(const bitmap::CurrentBitmap& bm, int width, int height) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            out[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)] =
                PackedIndex(bm, x, y);
    return out;
}

bool CopyIsCurrent(const shell::Workspace& ws) {
    return ws.palette.CopyGeneration == ws.bitmap.Generation;
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

Target TargetOf(shell::Workspace& ws) {
    bitmap::CurrentBitmap& bm = ws.bitmap;
    PaletteState& st = ws.palette;
    Target t;
    t.width = bm.WalkWidth();
    t.height = bm.WalkHeight();
    if (bm.BitsPerPixel == 8) {
        t.indices = bm.Pixels.data();
        t.size = bm.Pixels.size();
        t.stride = bm.BytesPerRow;
        t.table = bm.ColourTable.data();
    } else if (IsPacked(bm.BitsPerPixel)) {
        if (!CopyIsCurrent(ws)) {
            st.Indices8 = Unpacked(bm, t.width, t.height);
            st.ColourTable8 = bm.ColourTable;
            st.CopyGeneration = bm.Generation;
        }
        t.indices = st.Indices8.data();
        t.size = st.Indices8.size();
        t.stride = static_cast<std::size_t>(t.width);
        t.table = st.ColourTable8.data();
    } else {
        t.table = bm.ColourTable.data();
    }
    return t;
}

void SetEntry(shell::Workspace& ws, Target& t, int i, Colour c) {
    t.table[i] = c;
    ws.PaletteTable[static_cast<std::size_t>(i)] = base::EntryOf(c);
}

void MoveEntry(shell::Workspace& ws, Target& t, int to, int from) {
    t.table[to] = t.table[from];
    ws.PaletteTable[static_cast<std::size_t>(to)] = ws.PaletteTable[static_cast<std::size_t>(from)];
}

// Renumbers every pixel whose index p passes touch to remap[p] and repaints it with its entry's colour.
// The old indices come from a snapshot: when the header makes rows shorter than the picture is wide, pixels
// share bytes, and each byte must still be renumbered exactly once.
template <typename Touch>
void Renumber(shell::Workspace& ws, const Target& t, const std::array<std::uint8_t, 256>& remap,
              Touch touch) {
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
            ws.palette.PalettePicture.SetPixel(x, y, t.table[q]);
        }
    }
}

void Repaint(shell::Workspace& ws, const Target& t, std::uint8_t index, Colour c) {
    if (!t.indices) return;
    for (int y = 0; y < t.height; ++y) {
        for (int x = 0; x < t.width; ++x) {
            const std::size_t at = t.OffsetOf(x, y);
            if (at != Target::npos && t.indices[at] == index) ws.palette.PalettePicture.SetPixel(x, y, c);
        }
    }
}

Colour EntryColour(const shell::Workspace& ws, int i) {
    return i >= 0 && i < kEntries ? base::ColourOf(ws.PaletteTable[static_cast<std::size_t>(i)]) : 0;
}

void ShowLeftEntry(shell::Workspace& ws) {
    ws.palette.LeftSwatch = EntryColour(ws, ws.palette.LeftIndex);
}
void ShowRightEntry(shell::Workspace& ws) {
    ws.palette.RightSwatch = EntryColour(ws, ws.palette.RightIndex);
}

} // namespace

std::uint8_t PackedIndex(const bitmap::CurrentBitmap& bm, int x, int y) {
    if (x < 0 || y < 0) return 0;
    const std::size_t row = static_cast<std::size_t>(y) * bm.BytesPerRow;
    if (bm.BitsPerPixel == 8) return bm.PixelByte(row + static_cast<std::size_t>(x));
    if (!IsPacked(bm.BitsPerPixel)) return 0;
    const unsigned bpp = bm.BitsPerPixel;
    const std::size_t bit = static_cast<std::size_t>(x) * bpp;
    const unsigned shift = 8 - bpp - static_cast<unsigned>(bit % 8);
    return static_cast<std::uint8_t>((bm.PixelByte(row + bit / 8) >> shift) & ((1u << bpp) - 1));
}

std::vector<std::uint8_t> EditedIndices(const shell::Workspace& ws) {
    const bitmap::CurrentBitmap& bm = ws.bitmap;
    const int width = bm.WalkWidth();
    const int height = bm.WalkHeight();
    if (!IsPacked(bm.BitsPerPixel) || !CopyIsCurrent(ws)) return Unpacked(bm, width, height);
    // The copy was made at these sizes; a shorter copy (none yet) reads as 0.
    std::vector<std::uint8_t> out = ws.palette.Indices8;
    out.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    return out;
}

void InsertEntry(shell::Workspace& ws) {
    PaletteState& st = ws.palette;
    Target t = TargetOf(ws);
    const int left = st.LeftIndex;
    for (int i = kEntries - 1; i > left; --i)
        MoveEntry(ws, t, i, i - 1);
    SetEntry(ws, t, left, st.LeftSwatch);

    for (int i = 0; i < kEntries; ++i)
        st.IndexRemap[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i < left ? i : i + 1);
    st.IndexRemap[255] = 0;

    if (ws.bitmap.PaletteBytes < 1024)
        ws.bitmap.PaletteBytes = static_cast<std::uint16_t>(ws.bitmap.PaletteBytes + 4);
    ShowRightEntry(ws);
    ShowLeftEntry(ws);
    Renumber(ws, t, st.IndexRemap, [](std::uint8_t) { return true; });
}

void DeleteEntry(shell::Workspace& ws) {
    PaletteState& st = ws.palette;
    Target t = TargetOf(ws);
    const int left = st.LeftIndex;
    const Colour asideColour = t.table[left];
    const base::PALETTEENTRY asideEntry = ws.PaletteTable[static_cast<std::size_t>(left)];
    for (int i = left; i < kEntries - 1; ++i)
        MoveEntry(ws, t, i, i + 1);
    t.table[kEntries - 1] = asideColour;
    ws.PaletteTable[kEntries - 1] = asideEntry;

    for (int i = 0; i < kEntries; ++i)
        st.IndexRemap[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i < left ? i : i - 1);
    st.IndexRemap[static_cast<std::size_t>(left)] = 255;

    if (ws.bitmap.PaletteBytes > 4)
        ws.bitmap.PaletteBytes = static_cast<std::uint16_t>(ws.bitmap.PaletteBytes - 4);
    ShowRightEntry(ws);
    ShowLeftEntry(ws);
    Renumber(ws, t, st.IndexRemap, [left](std::uint8_t p) { return p >= left; });
}

void SwapEntries(shell::Workspace& ws) {
    PaletteState& st = ws.palette;
    Target t = TargetOf(ws);
    const int left = st.LeftIndex;
    const int right = st.RightIndex;
    const int count = std::min({static_cast<int>(st.RepeatCount), kEntries - left, kEntries - right});

    // at[j] follows which old entry sits at position j while the pairs are exchanged one after the other;
    // when the blocks overlap, an entry can move more than once, so pixels must follow the final places.
    std::array<std::uint8_t, 256> at{};
    for (int i = 0; i < kEntries; ++i)
        at[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(i);
    for (int k = 0; k < count; ++k) {
        const int a = left + k;
        const int b = right + k;
        std::swap(at[static_cast<std::size_t>(a)], at[static_cast<std::size_t>(b)]);
        std::swap(t.table[a], t.table[b]);
        std::swap(ws.PaletteTable[static_cast<std::size_t>(a)], ws.PaletteTable[static_cast<std::size_t>(b)]);
    }
    std::array<std::uint8_t, 256> placeOf{};
    for (int j = 0; j < kEntries; ++j)
        placeOf[at[static_cast<std::size_t>(j)]] = static_cast<std::uint8_t>(j);

    ShowRightEntry(ws);
    ShowLeftEntry(ws);
    Renumber(ws, t, placeOf, [&placeOf](std::uint8_t p) { return placeOf[p] != p; });
}

void UpdateEntry(shell::Workspace& ws) {
    Target t = TargetOf(ws);
    const std::uint8_t left = ws.palette.LeftIndex;
    const Colour c = ws.palette.LeftSwatch;
    SetEntry(ws, t, left, c);
    ShowLeftEntry(ws);
    Repaint(ws, t, left, c);
}

void InvertEntry(shell::Workspace& ws) {
    Target t = TargetOf(ws);
    const std::uint8_t left = ws.palette.LeftIndex;
    const Colour c = t.table[left] ^ kRgb;
    SetEntry(ws, t, left, c);
    ShowLeftEntry(ws);
    Repaint(ws, t, left, c);
}

std::string HoverEntryText(const shell::Workspace& ws) {
    return osd::EntryText("Palette Index:", ws.palette.HoverIndex, EntryColour(ws, ws.palette.HoverIndex));
}

std::string LeftEntryText(const shell::Workspace& ws) {
    return osd::EntryText("LEFT Index:", ws.palette.LeftIndex, EntryColour(ws, ws.palette.LeftIndex));
}

std::string RightEntryText(const shell::Workspace& ws) {
    return osd::EntryText("RIGHT Index:", ws.palette.RightIndex, EntryColour(ws, ws.palette.RightIndex));
}

bool PointAt(shell::Workspace& ws, int x, int y) {
    const int entry = osd::EntryAt(x, y);
    if (entry < 0) return false;
    ws.palette.HoverIndex = static_cast<std::uint16_t>(entry);
    ws.palette.HoverSwatch = EntryColour(ws, entry);
    return true;
}

void PickLeft(shell::Workspace& ws, int i) {
    if (i < 0 || i >= kEntries) return;
    ws.palette.LeftIndex = static_cast<std::uint8_t>(i);
    ShowLeftEntry(ws);
}

void PickRight(shell::Workspace& ws, int i) {
    if (i < 0 || i >= kEntries) return;
    ws.palette.RightIndex = static_cast<std::uint8_t>(i);
    ShowRightEntry(ws);
}

} // namespace palette
