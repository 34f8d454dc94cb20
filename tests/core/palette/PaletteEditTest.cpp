#include "palette/PaletteEdit.h"

#include "core/palette/PaletteFixture.h"
#include "osd/PaletteViews.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

namespace {

using base::Colour;
using base::ColourOf;
using base::EntryOf;
using base::MakeColour;
using palettetest::PaletteFixture;
using testsupport::BmpLayout;
using testsupport::DistinctPalette;
using testsupport::IndicesOf;

// An 8-bit picture with the given indices, a row after the other.
BmpLayout Picture8(int width, int height, std::vector<std::uint8_t> indices, int entries = 256) {
    BmpLayout s;
    s.width = width;
    s.height = height;
    s.bpp = 8;
    s.palette = DistinctPalette(entries);
    s.indices = std::move(indices);
    return s;
}

const std::vector<Colour> kP = DistinctPalette(256);

class PaletteEdit : public PaletteFixture {
protected:
    // The colours the picture showed for these indices with the file's palette.
    std::vector<Colour> ColoursOf(const std::vector<std::uint8_t>& indices) const {
        std::vector<Colour> out;
        for (auto i : indices)
            out.push_back(kP[i]);
        return out;
    }
    std::vector<int> Indices() const {
        const auto v = EditedIndices();
        return {v.begin(), v.end()};
    }
};

TEST_F(PaletteEdit, InsertAtZeroMovesEveryEntryUpAndSendsIndex255ToTheNewEntry) {
    const std::vector<std::uint8_t> before = {0, 1, 2, 100, 254, 255, 255, 254, 3, 3, 0, 7};
    Open(Picture8(6, 2, before));
    PickLeft(0);
    ws_->palette.LeftSwatch = 0x123456; // chosen with the colour dialog

    Insert();

    EXPECT_EQ(ws_->PaletteTable[0], EntryOf(0x123456));
    EXPECT_EQ(ws_->bitmap.ColourTable[0], 0x123456u);
    for (int i = 1; i < 256; ++i) {
        ASSERT_EQ(ColourOf(ws_->PaletteTable[static_cast<size_t>(i)]), kP[static_cast<size_t>(i - 1)]) << i;
        ASSERT_EQ(ws_->bitmap.ColourTable[static_cast<size_t>(i)], kP[static_cast<size_t>(i - 1)]) << i;
    }
    EXPECT_EQ(Indices(), (std::vector<int>{1, 2, 3, 101, 255, 0, 0, 255, 4, 4, 1, 8}));
    std::vector<Colour> looks = ColoursOf(before);
    looks[5] = looks[6] = 0x123456; // the old entry 255 is gone; its pixels show the new entry 0
    ExpectLooks(looks);
    EXPECT_EQ(ws_->palette.IndexRemap[0], 1);
    EXPECT_EQ(ws_->palette.IndexRemap[254], 255);
    EXPECT_EQ(ws_->palette.IndexRemap[255], 0);
    EXPECT_EQ(ws_->bitmap.PaletteBytes, 1024); // already 256 entries
    EXPECT_EQ(ws_->palette.LeftSwatch, 0x123456u);
    EXPECT_EQ(ws_->palette.RightSwatch, 0x123456u); // RIGHT is entry 0 as well
}

TEST_F(PaletteEdit, InsertAt255ReplacesOnlyTheLastEntry) {
    const std::vector<std::uint8_t> before = {0, 255, 7, 255, 254, 1};
    Open(Picture8(3, 2, before));
    PickRight(7);
    PickLeft(255);
    ws_->palette.LeftSwatch = 0xABCDEF;

    Insert();

    for (int i = 0; i < 255; ++i)
        ASSERT_EQ(ColourOf(ws_->PaletteTable[static_cast<size_t>(i)]), kP[static_cast<size_t>(i)]) << i;
    EXPECT_EQ(ws_->PaletteTable[255], EntryOf(0xABCDEF));
    EXPECT_EQ(ws_->bitmap.ColourTable[255], 0xABCDEFu);
    EXPECT_EQ(Indices(), (std::vector<int>{0, 0, 7, 0, 254, 1}));
    ExpectLooks({kP[0], kP[0], kP[7], kP[0], kP[254], kP[1]});
    EXPECT_EQ(ws_->palette.LeftSwatch, 0xABCDEFu);
    EXPECT_EQ(ws_->palette.RightSwatch, kP[7]);
}

TEST_F(PaletteEdit, DeleteTurnsTheEntryToTheEndAndKeepsTheLook) {
    const std::vector<std::uint8_t> before = {0, 1, 2, 3, 4, 5, 5, 4, 3, 2, 1, 0};
    Open(Picture8(6, 2, before, 16));
    ASSERT_EQ(ws_->bitmap.PaletteBytes, 64);
    PickLeft(3);

    Delete();

    EXPECT_EQ(Indices(), (std::vector<int>{0, 1, 2, 255, 3, 4, 4, 3, 255, 2, 1, 0}));
    ExpectLooks(ColoursOf(before));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(ColourOf(ws_->PaletteTable[static_cast<size_t>(i)]), kP[static_cast<size_t>(i)]);
    for (int i = 3; i < 15; ++i)
        EXPECT_EQ(ColourOf(ws_->PaletteTable[static_cast<size_t>(i)]), kP[static_cast<size_t>(i + 1)]) << i;
    for (int i = 15; i < 255; ++i)
        EXPECT_EQ(ColourOf(ws_->PaletteTable[static_cast<size_t>(i)]), 0u) << i;
    EXPECT_EQ(ColourOf(ws_->PaletteTable[255]), kP[3]);
    EXPECT_EQ(ws_->bitmap.ColourTable[255], kP[3]);
    EXPECT_EQ(ws_->bitmap.PaletteBytes, 60);
    EXPECT_EQ(osd::PictureStatusText(ws_->bitmap), "Width:  6/Height: 2/Palette:  15");
    EXPECT_EQ(ws_->palette.LeftSwatch, kP[4]);
}

TEST_F(PaletteEdit, DeleteThenInsertRestoresTheTableButNotTheDeletedPixels) {
    const std::vector<std::uint8_t> before = {0, 1, 2, 3, 4, 5, 5, 4, 3, 2, 1, 0};
    Open(Picture8(6, 2, before, 16));
    const auto table = ws_->PaletteTable;
    const auto colours = ws_->bitmap.ColourTable;
    PickLeft(3);

    Delete();
    ws_->palette.LeftSwatch = kP[3]; // the deleted colour, put back with the colour dialog
    Insert();

    EXPECT_EQ(ws_->PaletteTable, table);
    EXPECT_EQ(ws_->bitmap.ColourTable, colours);
    EXPECT_EQ(ws_->bitmap.PaletteBytes, 64);
    // Delete sent the pixels of 3 to 255, Insert sends 255 to 0.
    EXPECT_EQ(Indices(), (std::vector<int>{0, 1, 2, 0, 4, 5, 5, 4, 0, 2, 1, 0}));
    ExpectLooks({kP[0], kP[1], kP[2], kP[0], kP[4], kP[5], kP[5], kP[4], kP[0], kP[2], kP[1], kP[0]});
}

TEST_F(PaletteEdit, SwapOfTheFirstTwoGridRowsKeepsTheLook) {
    Open(Picture8(16, 3, IndicesOf(16, 3, [](int x, int y) { return y == 2 ? 40 + x % 3 : 16 * y + x; })));
    const std::vector<Colour> looks = ShownPixels();
    PickLeft(0);
    PickRight(16);
    ws_->palette.RepeatCount = 16;

    Swap();

    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(ColourOf(ws_->PaletteTable[static_cast<size_t>(i)]), kP[static_cast<size_t>(16 + i)]) << i;
        EXPECT_EQ(ColourOf(ws_->PaletteTable[static_cast<size_t>(16 + i)]), kP[static_cast<size_t>(i)]) << i;
        EXPECT_EQ(IndexAt(i, 0), 16 + i);
        EXPECT_EQ(IndexAt(i, 1), i);
        EXPECT_EQ(IndexAt(i, 2), 40 + i % 3);
    }
    ExpectLooks(looks);
    EXPECT_EQ(ws_->palette.LeftSwatch, kP[16]);
    EXPECT_EQ(ws_->palette.RightSwatch, kP[0]);
}

// Entries that a swap moves, as (old place, new place); all others stay.
using Moves = std::vector<std::pair<int, int>>;
Moves Exchange(int a, int b, int n) {
    Moves m;
    for (int k = 0; k < n; ++k) {
        m.push_back({a + k, b + k});
        m.push_back({b + k, a + k});
    }
    return m;
}

TEST_F(PaletteEdit, SwapMovesEntriesAndPixelsTogetherForOverlappingAndClippedBlocks) {
    struct Case {
        const char* what;
        int left, right, repeat;
        Moves moves;
    };
    const Case cases[] = {
        {"separate blocks", 0, 128, 100, Exchange(0, 128, 100)},
        // Pairs (2,4) (3,5) (4,6) (5,7) in turn: old 2 ends at 6, old 3 at 7, old 4..7 at 2..5.
        {"overlapping blocks", 2, 4, 4, {{2, 6}, {3, 7}, {4, 2}, {5, 3}, {6, 4}, {7, 5}}},
        // Pairs (5,4) (6,5): old 4 ends at 6, old 5 at 4, old 6 at 5.
        {"blocks one apart", 5, 4, 2, {{4, 6}, {5, 4}, {6, 5}}},
        {"left block cut at 255", 250, 10, 10, Exchange(250, 10, 6)},
        {"right block cut at 255", 3, 253, 5, Exchange(3, 253, 3)},
        {"block with itself", 7, 7, 4, {}},
        {"repeat 0", 1, 2, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ws_ = std::make_unique<shell::Workspace>();
        Open(Picture8(16, 16, IndicesOf(16, 16, [](int x, int y) { return 16 * y + x; })));
        const std::vector<Colour> looks = ShownPixels();
        std::array<int, 256> placeOf{};
        for (int i = 0; i < 256; ++i)
            placeOf[static_cast<size_t>(i)] = i;
        for (auto [from, to] : c.moves)
            placeOf[static_cast<size_t>(from)] = to;
        palette::SwapEntries(ws_->bitmap, ws_->PaletteTable, ws_->palette, static_cast<std::uint8_t>(c.left),
                             static_cast<std::uint8_t>(c.right), static_cast<std::uint8_t>(c.repeat));

        for (int old = 0; old < 256; ++old) {
            const int now = placeOf[static_cast<size_t>(old)];
            ASSERT_EQ(ColourOf(ws_->PaletteTable[static_cast<size_t>(now)]), kP[static_cast<size_t>(old)])
                << old;
            ASSERT_EQ(ws_->bitmap.ColourTable[static_cast<size_t>(now)], kP[static_cast<size_t>(old)]) << old;
            ASSERT_EQ(IndexAt(old % 16, old / 16), now) << old;
        }
        ExpectLooks(looks);
    }
}

TEST_F(PaletteEdit, ShownPaletteSizeStopsAt256And1) {
    struct Case {
        const char* what;
        int entries;
        std::function<void()> edit;
        std::vector<int> shownAfterEach;
    };
    const Case cases[] = {
        {"insert", 254, [this] { Insert(); }, {255, 256, 256}},
        {"delete", 2, [this] { Delete(); }, {1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ws_ = std::make_unique<shell::Workspace>();
        Open(Picture8(2, 1, {0, 1}, c.entries));
        for (int shown : c.shownAfterEach) {
            c.edit();
            EXPECT_EQ(ws_->bitmap.PaletteBytes / 4, shown);
        }
        EXPECT_EQ(osd::PictureStatusText(ws_->bitmap),
                  "Width:  2/Height: 1/Palette:  " + std::to_string(c.shownAfterEach.back()));
    }
}

TEST_F(PaletteEdit, InvertTwiceGivesTheColourBack) {
    const std::vector<std::uint8_t> before = {5, 1, 5, 2};
    Open(Picture8(4, 1, before, 16));
    PickLeft(5);
    const Colour inverted = MakeColour(255 - 36, 255 - 250, 255 - 15); // entry 5 is (36, 250, 15)
    ASSERT_EQ(kP[5], MakeColour(36, 250, 15));

    Invert();
    EXPECT_EQ(ws_->PaletteTable[5], EntryOf(inverted));
    EXPECT_EQ(ws_->palette.LeftSwatch, inverted);
    ExpectLooks({inverted, kP[1], inverted, kP[2]});

    Invert();
    EXPECT_EQ(ws_->PaletteTable[5], EntryOf(kP[5]));
    EXPECT_EQ(Indices(), (std::vector<int>{5, 1, 5, 2}));
    ExpectLooks(ColoursOf(before));
}

TEST_F(PaletteEdit, InvertStartsFromTheTableThePixelsIndex) {
    Open(Picture8(4, 1, {5, 1, 5, 2}, 16));
    PickLeft(5);
    ws_->PaletteTable[5] = {1, 2, 3, 0}; // replaced elsewhere (the AOSD tab's Open Picture)
    ws_->palette.LeftSwatch = 0x000000;

    Invert();

    const Colour inverted = MakeColour(255 - 36, 255 - 250, 255 - 15);
    EXPECT_EQ(ws_->PaletteTable[5], EntryOf(inverted));
    EXPECT_EQ(ws_->bitmap.ColourTable[5], inverted);
    EXPECT_EQ(ShownAt(0, 0), inverted);
}

TEST_F(PaletteEdit, UpdateRepaintsThePixelsOfTheEntryAndPickingDiscardsTheChosenColour) {
    Open(Picture8(4, 1, {5, 1, 5, 2}, 16));
    PickLeft(5);
    ws_->palette.LeftSwatch = 0x00FF00; // pure green from the colour dialog

    Update();

    EXPECT_EQ(ws_->PaletteTable[5], (base::PALETTEENTRY{0x00, 0xFF, 0x00, 0}));
    EXPECT_EQ(ws_->bitmap.ColourTable[5], 0x00FF00u);
    EXPECT_EQ(Indices(), (std::vector<int>{5, 1, 5, 2}));
    ExpectLooks({0x00FF00, kP[1], 0x00FF00, kP[2]});
    EXPECT_EQ(ws_->palette.LeftSwatch, 0x00FF00u);

    ws_->palette.LeftSwatch = 0x0000FF;
    PickLeft(1);
    EXPECT_EQ(ws_->palette.LeftSwatch, kP[1]);
    Update();
    ExpectLooks({0x00FF00, kP[1], 0x00FF00, kP[2]});
}

TEST_F(PaletteEdit, PicturesBelow8BitsAreEditedInACopyAndKeepCurrentBitmap) {
    for (int bpp : {1, 2, 4}) {
        SCOPED_TRACE("bpp " + std::to_string(bpp));
        ws_ = std::make_unique<shell::Workspace>();
        const int colours = 1 << bpp;
        auto f = [colours](int x, int y) { return (3 * x + y) % colours; };
        BmpLayout s;
        s.width = 13;
        s.height = 3;
        s.bpp = bpp;
        s.palette = DistinctPalette(colours);
        s.indices = IndicesOf(13, 3, f);
        Open(s);
        const auto pixels = ws_->bitmap.Pixels;
        const auto colourTable = ws_->bitmap.ColourTable;
        const std::vector<Colour> looks = ShownPixels();

        // Insert at 0 lifts the top index to 1 << bpp, which the packed pixels could not hold.
        PickLeft(0);
        ws_->palette.LeftSwatch = 0x0A0B0C;
        Insert();
        // Entries 1..colours move to 200..
        palette::SwapEntries(ws_->bitmap, ws_->PaletteTable, ws_->palette, 1, 200,
                             static_cast<std::uint8_t>(colours));

        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(IndexAt(x, y), 200 + f(x, y)) << x << "," << y;
        ExpectLooks(looks);
        EXPECT_EQ(ws_->bitmap.PaletteBytes, 4 * colours + 4);

        // Update entry 200 (the pixels of old index 0) to pure blue.
        PickLeft(200);
        ws_->palette.LeftSwatch = 0xFF0000;
        Update();
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 13; ++x)
                ASSERT_EQ(ShownAt(x, y), f(x, y) == 0 ? 0xFF0000u : kP[static_cast<size_t>(f(x, y))]);

        EXPECT_EQ(ws_->bitmap.Pixels, pixels);
        EXPECT_EQ(ws_->bitmap.ColourTable, colourTable);
        EXPECT_EQ(ws_->palette.Indices8.size(), 39u);
        for (size_t i = 0; i < 39; ++i) {
            const std::uint8_t index = ws_->palette.Indices8[i];
            ASSERT_EQ(ws_->palette.ColourTable8[index], ws_->palette.PalettePicture.pixels[i]) << i;
            ASSERT_EQ(ColourOf(ws_->PaletteTable[index]), ws_->palette.PalettePicture.pixels[i]) << i;
        }
    }
}

TEST_F(PaletteEdit, ALaterOpenGivesTheEditsAFreshCopy) {
    BmpLayout first;
    first.width = 4;
    first.height = 4;
    first.bpp = 4;
    first.palette = DistinctPalette(16);
    first.indices = IndicesOf(4, 4, [](int x, int y) { return x + 4 * y; });
    Open(first, OpenOn::Palette, "first.bmp");
    PickLeft(0);
    Insert();
    ASSERT_EQ(IndexAt(3, 3), 16);

    BmpLayout second = first;
    second.palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    second.indices = IndicesOf(4, 4, [](int x, int y) { return (x + y) % 4; });
    Open(second, OpenOn::Palette, "second.bmp");
    EXPECT_EQ(IndexAt(3, 3), 2); // the new picture's pixels, before any edit

    PickLeft(2);
    Invert();

    EXPECT_EQ(ws_->palette.CopyGeneration, ws_->bitmap.Generation);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            ASSERT_EQ(IndexAt(x, y), (x + y) % 4);
    EXPECT_EQ(ws_->palette.ColourTable8[0], 0x000000u);
    EXPECT_EQ(ws_->palette.ColourTable8[1], 0x0000FFu);
    EXPECT_EQ(ws_->palette.ColourTable8[2], 0xFF00FFu);
    EXPECT_EQ(ws_->palette.ColourTable8[3], 0xFF0000u);
    EXPECT_EQ(ShownAt(1, 1), 0xFF00FFu);
    EXPECT_EQ(ShownAt(0, 0), 0x000000u);
}

TEST_F(PaletteEdit, WithoutAPictureOnlyTheTablesChange) {
    PickLeft(0);
    ws_->palette.LeftSwatch = 0x112233;
    Insert();
    EXPECT_EQ(ws_->PaletteTable[0], EntryOf(0x112233));
    EXPECT_EQ(ws_->bitmap.ColourTable[0], 0x112233u);
    EXPECT_EQ(ws_->bitmap.PaletteBytes, 4);

    Delete();
    EXPECT_EQ(ws_->PaletteTable[255], EntryOf(0x112233));
    EXPECT_EQ(ws_->PaletteTable[0], EntryOf(0));
    EXPECT_EQ(ws_->bitmap.PaletteBytes, 4);

    palette::SwapEntries(ws_->bitmap, ws_->PaletteTable, ws_->palette, 0, 255, 1);
    EXPECT_EQ(ws_->bitmap.ColourTable[0], 0x112233u);

    Invert();
    EXPECT_EQ(ws_->PaletteTable[0], EntryOf(0xEEDDCC));
    Update();

    EXPECT_TRUE(ws_->palette.PalettePicture.Empty());
    EXPECT_TRUE(
        std::all_of(ws_->bitmap.Pixels.begin(), ws_->bitmap.Pixels.end(), [](auto b) { return b == 0; }));
    EXPECT_TRUE(ws_->palette.Indices8.empty());
}

TEST_F(PaletteEdit, RowsThatShareBytesAreRenumberedOnce) {
    // Rows of 4 bytes for 3 rows of 6 pixels, so pixel (4, 0) and pixel (0, 1) are the same byte. A file no
    // longer loads this way (its rows are as long as its width needs), so the state is set by hand.
    BmpLayout s = Picture8(6, 3, IndicesOf(6, 3, [](int x, int y) { return x + 10 * y; }));
    Open(s);
    ws_->bitmap.BytesPerRow = 4;
    const std::vector<std::uint8_t> loaded = {10, 11, 12, 13, 24, 25, 0, 0, 20, 21, 22, 23, 0, 0, 0};
    std::copy(loaded.begin(), loaded.end(), ws_->bitmap.Pixels.begin());
    PickLeft(0);

    Insert();

    const std::vector<std::uint8_t> after = {11, 12, 13, 14, 25, 26, 1, 1, 21, 22, 23, 24, 1, 1, 0};
    EXPECT_TRUE(std::equal(after.begin(), after.end(), ws_->bitmap.Pixels.begin()));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(ShownAt(x, y),
                      ws_->bitmap.ColourTable[ws_->bitmap.Pixels[static_cast<size_t>(4 * y + x)]]);
}

TEST_F(PaletteEdit, PointerOverAnEntryHoversItAndOffTheEntriesNothing) {
    ws_->PaletteTable[255] = {0x01, 0x02, 0x03, 0};
    for (const int entry : {0, 1, 18, 255}) {
        EXPECT_TRUE(palette::PointAt(ws_->PaletteTable, ws_->palette, entry)) << entry;
        EXPECT_EQ(ws_->palette.HoverIndex, entry);
    }
    EXPECT_EQ(ws_->palette.HoverSwatch, 0x030201u);
    palette::PointAt(ws_->PaletteTable, ws_->palette, 18);
    for (const int entry : {-1, 256, 1000}) {
        EXPECT_FALSE(palette::PointAt(ws_->PaletteTable, ws_->palette, entry)) << entry;
        EXPECT_EQ(ws_->palette.HoverIndex, 18);
    }
}

TEST_F(PaletteEdit, ReadOutsShowIndexAndColourFromThePaletteTable) {
    ws_->PaletteTable[26] = {0xFF, 0x00, 0x00, 0};
    ws_->PaletteTable[200] = {0x12, 0x80, 0x00, 0};

    ASSERT_TRUE(palette::PointAt(ws_->PaletteTable, ws_->palette, 26)); // row 1, column 10
    EXPECT_EQ(palette::HoverEntryText(ws_->PaletteTable, ws_->palette),
              "Palette Index: 0x1A ( 26), R=0xFF, G=0x00, B=0x00");
    EXPECT_EQ(ws_->palette.HoverSwatch, 0x0000FFu);

    PickLeft(26);
    EXPECT_EQ(palette::LeftEntryText(ws_->PaletteTable, ws_->palette),
              "LEFT Index: 0x1A ( 26), R=0xFF, G=0x00, B=0x00");
    EXPECT_EQ(ws_->palette.LeftSwatch, 0x0000FFu);

    PickRight(200);
    EXPECT_EQ(palette::RightEntryText(ws_->PaletteTable, ws_->palette),
              "RIGHT Index: 0xC8 (200), R=0x12, G=0x80, B=0x00");
    EXPECT_EQ(ws_->palette.RightSwatch, 0x008012u);

    PickLeft(256); // not an entry
    EXPECT_EQ(ws_->palette.LeftIndex, 26);
}

} // namespace
