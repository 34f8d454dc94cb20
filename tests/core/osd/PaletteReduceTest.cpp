#include "osd/PaletteReduce.h"

#include "picture/BmpLoader.h"
#include "picture/Picture.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

using base::Colour;
using base::MakeColour;
using osd::OsdState;
using picture::CurrentBitmap;
using picture::Picture;
using testsupport::BmpLayout;
using testsupport::TempDir;
using Bytes = std::vector<std::uint8_t>;

constexpr Colour kWhite = 0xFFFFFF;

Picture PictureOf(int width, int height, const std::vector<Colour>& colours) {
    Picture p = Picture::Blank(width, height, 0);
    p.pixels = colours;
    return p;
}

Bytes PixelBytes(const CurrentBitmap& bm, size_t n) {
    return Bytes(bm.Pixels.begin(), bm.Pixels.begin() + n);
}

// Loads a built BMP as File > Open does: into CurrentBitmap and, as drawn, into the Before picture.
struct Reduce : ::testing::Test {
    TempDir dir;
    std::unique_ptr<CurrentBitmap> bm = std::make_unique<CurrentBitmap>();
    OsdState state;

    void Open(const BmpLayout& layout) {
        testsupport::WriteFile(dir / "pic.bmp", testsupport::BuildBmp(layout));
        ASSERT_EQ(picture::LoadBitmapFile(*bm, dir / "pic.bmp").status, picture::OpenStatus::Ok);
        state.Before = picture::ReadBmpPicture(dir / "pic.bmp");
        state.After = Picture{};
    }
};

// ---------------------------------------------------------------------------------------------------------
// Collecting colours

TEST(CollectColours, DistinctColoursInOrderOfFirstAppearance) {
    const Colour a = 0x0000FF, b = 0x00FF00, c = 0xFF0000, d = 0x123456;
    const Picture p = PictureOf(3, 2, {a, b, a, c, b, d});
    Colour out[256] = {};
    ASSERT_EQ(osd::CollectColours(p, 3, 2, out), 4);
    EXPECT_EQ(std::vector<Colour>(out, out + 4), (std::vector<Colour>{a, b, c, d}));

    // A column past the picture reads black, which is collected like any colour.
    ASSERT_EQ(osd::CollectColours(p, 4, 2, out), 5);
    EXPECT_EQ(std::vector<Colour>(out, out + 5), (std::vector<Colour>{a, b, 0, c, d}));

    // The first pixel is always taken, black included.
    EXPECT_EQ(osd::CollectColours(Picture::Blank(2, 2, 0), 2, 2, out), 1);
    EXPECT_EQ(out[0], 0u);

    EXPECT_EQ(osd::CollectColours(p, 0, 2, out), 0);
    EXPECT_EQ(osd::CollectColours(p, 3, 0, out), 0);
}

TEST(CollectColours, StopsAt256) {
    std::vector<Colour> colours;
    for (int i = 0; i < 300; ++i)
        colours.push_back(static_cast<Colour>(0x010000 + i));
    const Picture p = PictureOf(300, 1, colours);
    std::array<Colour, 257> out{};
    out[256] = 0xABCDEF; // must survive
    ASSERT_EQ(osd::CollectColours(p, 300, 1, out.data()), 256);
    EXPECT_EQ(out[255], 0x010000u + 255);
    EXPECT_EQ(out[256], 0xABCDEFu);
}

// ---------------------------------------------------------------------------------------------------------
// Renumbering

TEST(RemapPixels, EachDepthRenumbersItsFields) {
    std::array<std::uint8_t, 256> remap{};

    // 8 bpp: only the Width bytes of each row change.
    auto bm = std::make_unique<CurrentBitmap>();
    bm->Width = 2;
    bm->Height = 2;
    bm->BytesPerRow = 4;
    bm->BitsPerPixel = 8;
    const Bytes rows = {1, 2, 3, 4, 5, 6, 7, 8};
    std::copy(rows.begin(), rows.end(), bm->Pixels.begin());
    for (int i = 0; i < 256; ++i)
        remap[i] = static_cast<std::uint8_t>(i + 10);
    osd::RemapPixels(*bm, remap);
    EXPECT_EQ(PixelBytes(*bm, 8), (Bytes{11, 12, 3, 4, 15, 16, 7, 8}));

    // 4 bpp: 16 x new high + new low, kept to 8 bits; the padding byte is renumbered too.
    remap.fill(0);
    remap[0xA] = 0x12;
    remap[0xB] = 0x01;
    remap[0x0] = 0x03;
    bm->BitsPerPixel = 4;
    bm->Width = 2;
    bm->Height = 1;
    bm->BytesPerRow = 2;
    bm->Pixels[0] = 0xAB;
    bm->Pixels[1] = 0x00;
    osd::RemapPixels(*bm, remap);
    EXPECT_EQ(PixelBytes(*bm, 2), (Bytes{0x21, 0x33}));

    // 2 bpp: four fields, bits 7-6 first.
    remap.fill(0);
    remap[0] = 3;
    remap[1] = 2;
    remap[2] = 1;
    remap[3] = 0;
    bm->BitsPerPixel = 2;
    bm->BytesPerRow = 1;
    bm->Pixels[0] = 0x1B; // 00 01 10 11
    osd::RemapPixels(*bm, remap);
    EXPECT_EQ(bm->Pixels[0], 0xE4); // 11 10 01 00

    // 1 bpp: a bit becomes 1 where its new number is not 0.
    struct Case {
        std::uint8_t zero, one, before, after;
    };
    for (const Case& c :
         {Case{1, 0, 0xF0, 0x0F}, Case{0, 5, 0xF0, 0xF0}, Case{0, 0, 0xF0, 0x00}, Case{2, 2, 0x00, 0xFF}}) {
        remap.fill(0);
        remap[0] = c.zero;
        remap[1] = c.one;
        bm->BitsPerPixel = 1;
        bm->Pixels[0] = c.before;
        osd::RemapPixels(*bm, remap);
        EXPECT_EQ(bm->Pixels[0], c.after) << int(c.zero) << " " << int(c.one);
    }

    // Another depth is left alone.
    bm->BitsPerPixel = 3;
    bm->Pixels[0] = 0x5A;
    osd::RemapPixels(*bm, remap);
    EXPECT_EQ(bm->Pixels[0], 0x5A);
}

TEST(RemapPixels, RowsPastTheBufferAreNotTouched) {
    auto bm = std::make_unique<CurrentBitmap>();
    bm->Width = 1024;
    bm->Height = 800;
    bm->BytesPerRow = 1024;
    bm->BitsPerPixel = 8;
    std::array<std::uint8_t, 256> remap{};
    remap[0] = 9;
    osd::RemapPixels(*bm, remap);
    EXPECT_EQ(bm->Pixels.front(), 9);
    EXPECT_EQ(bm->Pixels.back(), 9);
}

// ---------------------------------------------------------------------------------------------------------
// Painting the After picture

Colour Grey(int i) {
    return static_cast<Colour>(i) * 0x010101u;
}

TEST(DrawRemapped, LastByteOfARowIsPaintedWhole) {
    struct Case {
        int bpp, width;
        Bytes row;                // BytesPerRow 4
        std::vector<int> indices; // the pixels painted, from x = 0
    };
    const Case cases[] = {
        {8, 2, {5, 6, 7, 8}, {5, 6}},
        {4, 3, {0x12, 0x30, 0x45, 0x67}, {1, 2, 3, 0}},
        {2, 5, {0x1B, 0xC0, 0xFF, 0xFF}, {0, 1, 2, 3, 3, 0, 0, 0}},
        {1, 3, {0xA0, 0xFF, 0xFF, 0xFF}, {1, 0, 1, 0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bpp);
        auto bm = std::make_unique<CurrentBitmap>();
        bm->Width = static_cast<std::uint16_t>(c.width);
        bm->Height = 1;
        bm->BytesPerRow = 4;
        bm->BitsPerPixel = static_cast<std::uint8_t>(c.bpp);
        std::copy(c.row.begin(), c.row.end(), bm->Pixels.begin());
        for (int i = 0; i < 256; ++i)
            bm->ReducedPalette[i] = Grey(i);
        bm->ReducedPalette[0] = 0x0000FF; // tells index 0 from the white canvas and from black

        Picture after;
        osd::DrawRemapped(*bm, 0xFFFFFF, after);
        ASSERT_EQ(after.width, 256);
        ASSERT_EQ(after.height, 256);
        for (size_t x = 0; x < c.indices.size(); ++x)
            EXPECT_EQ(after.PixelAt(static_cast<int>(x), 0), bm->ReducedPalette[c.indices[x]]) << "x " << x;
        EXPECT_EQ(after.PixelAt(static_cast<int>(c.indices.size()), 0), kWhite);
        EXPECT_EQ(after.PixelAt(0, 1), kWhite);
    }
}

TEST(DrawRemapped, CanvasHoldsTheWholePictureAndAnExistingOneIsPaintedOver) {
    auto bm = std::make_unique<CurrentBitmap>();
    bm->Width = 300;
    bm->Height = 2;
    bm->BytesPerRow = 300;
    bm->BitsPerPixel = 8;
    std::fill(bm->Pixels.begin(), bm->Pixels.begin() + 600, 1);
    bm->ReducedPalette[1] = 0x0D0E0F;

    Picture after;
    osd::DrawRemapped(*bm, 0xFCFCFC, after);
    EXPECT_EQ(after.width, 300);
    EXPECT_EQ(after.height, 256);
    EXPECT_EQ(after.PixelAt(299, 1), 0x0C0C0Cu);
    EXPECT_EQ(after.PixelAt(0, 2), kWhite);

    // An earlier picture smaller than this one: painted where they overlap, the rest kept, size kept.
    Picture earlier = Picture::Blank(4, 4, 0x123456);
    osd::DrawRemapped(*bm, 0xFFFFFF, earlier);
    EXPECT_EQ(earlier.width, 4);
    EXPECT_EQ(earlier.height, 4);
    EXPECT_EQ(earlier.PixelAt(3, 1), 0x0D0E0Fu);
    EXPECT_EQ(earlier.PixelAt(3, 2), 0x123456u);
}

// ---------------------------------------------------------------------------------------------------------
// Reduce Palette

TEST_F(Reduce, EightBppKeepsTheColoursInUseInOrder) {
    BmpLayout layout;
    layout.width = 3;
    layout.height = 1;
    layout.bpp = 8;
    layout.palette = testsupport::DistinctPalette(256);
    layout.palette[200] = MakeColour(0x03, 0xFF, 0x00);
    layout.palette[7] = MakeColour(0xFF, 0x81, 0x80);
    layout.indices = {200, 7, 200};
    Open(layout);
    bm->ColourTable[7] = 0; // as if edited on the Palette tab: the reduction takes the file's colours again

    const int n = osd::ReducePalette(*bm, state, 0xFCFCFC);
    EXPECT_EQ(n, 2);
    EXPECT_EQ(osd::PaletteNumberText(n), "[A] Palette Number:   2");
    EXPECT_EQ(bm->ReducedCount, 2);
    EXPECT_EQ(bm->ColourCount, 2);
    EXPECT_EQ(bm->ReducedPalette[0], 0x00FF03u);
    EXPECT_EQ(bm->ReducedPalette[1], 0x8081FFu);
    EXPECT_EQ(state.RemapTable[200], 0);
    EXPECT_EQ(state.RemapTable[7], 1);
    // The reduced palette is now the table the pixels index.
    EXPECT_EQ(bm->ColourTable[0], 0x00FF03u);
    EXPECT_EQ(bm->ColourTable[1], 0x8081FFu);
    EXPECT_TRUE(
        std::all_of(bm->ColourTable.begin() + 2, bm->ColourTable.end(), [](Colour c) { return c == 0; }));
    EXPECT_EQ(PixelBytes(*bm, 4), (Bytes{0, 1, 0, 0})); // the padding byte of an 8-bpp row is left alone

    // Painted through the RGB666 mask on a fresh white canvas.
    ASSERT_EQ(state.After.width, 256);
    ASSERT_EQ(state.After.height, 256);
    EXPECT_EQ(state.After.PixelAt(0, 0), 0x00FC00u);
    EXPECT_EQ(state.After.PixelAt(1, 0), 0x8080FCu);
    EXPECT_EQ(state.After.PixelAt(2, 0), 0x00FC00u);
    EXPECT_EQ(state.After.PixelAt(3, 0), kWhite);
    EXPECT_EQ(state.After.PixelAt(0, 1), kWhite);
}

TEST_F(Reduce, EveryEntryOfARepeatedColourTakesItsNumber) {
    // Entries 3 and 9 hold one colour and pixels use both: both become the colour's new number, whatever an
    // earlier reduction left in the table.
    BmpLayout layout;
    layout.width = 4;
    layout.height = 1;
    layout.bpp = 8;
    layout.palette = testsupport::DistinctPalette(16);
    layout.palette[9] = layout.palette[3];
    layout.indices = {3, 9, 5, 9};

    for (const std::uint8_t stale : {0, 7}) {
        SCOPED_TRACE(int(stale));
        Open(layout);
        state.RemapTable.fill(stale);
        EXPECT_EQ(osd::ReducePalette(*bm, state, 0xFFFFFF), 2);
        EXPECT_EQ(bm->ReducedPalette[0], layout.palette[3]);
        EXPECT_EQ(bm->ReducedPalette[1], layout.palette[5]);
        EXPECT_EQ(PixelBytes(*bm, 4), (Bytes{0, 0, 1, 0}));
        EXPECT_EQ(state.RemapTable[9], 0);
        EXPECT_EQ(state.RemapTable[3], 0);
        EXPECT_EQ(state.RemapTable[5], 1);
        EXPECT_EQ(state.RemapTable[6], 0); // an entry of no collected colour
    }

    // Black in use behind an earlier black entry, at 4 bpp: palette entries 0 and 6 are black, the pixels
    // use 6 and 2.
    BmpLayout four;
    four.width = 2;
    four.height = 1;
    four.bpp = 4;
    four.palette = testsupport::DistinctPalette(16);
    four.palette[0] = 0;
    four.palette[6] = 0;
    four.indices = {2, 6};
    Open(four);
    state.RemapTable.fill(9);
    EXPECT_EQ(osd::ReducePalette(*bm, state, 0xFFFFFF), 2);
    EXPECT_EQ(PixelBytes(*bm, 4), (Bytes{0x01, 0x11, 0x11, 0x11})); // padding nibbles are index 0: black
    EXPECT_EQ(state.After.PixelAt(1, 0), 0u);
}

TEST_F(Reduce, PressingAgainLeavesPixelsAndPaletteAsTheyAre) {
    BmpLayout eight;
    eight.width = 4;
    eight.height = 1;
    eight.bpp = 8;
    eight.palette = testsupport::DistinctPalette(16);
    eight.indices = {5, 9, 5, 2};
    // At 1 bpp the first reduction swaps the numbers of the two colours; a second must not swap them back.
    BmpLayout one;
    one.width = 3;
    one.height = 1;
    one.bpp = 1;
    one.palette = {MakeColour(0x10, 0x20, 0x30), MakeColour(0xE0, 0xD0, 0xC0)};
    one.indices = {1, 0, 1};

    struct Case {
        BmpLayout layout;
        int colours;
        Bytes pixels;
    };
    const Case cases[] = {
        {eight, 3, {0, 1, 0, 2}},
        {one, 2, {0x5F, 0xFF, 0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.layout.bpp);
        Open(c.layout);
        EXPECT_EQ(osd::ReducePalette(*bm, state, 0xFFFFFF), c.colours);
        EXPECT_EQ(PixelBytes(*bm, 4), c.pixels);
        const auto table = bm->ColourTable;
        const auto reduced = bm->ReducedPalette;
        for (int press = 2; press <= 3; ++press) {
            EXPECT_EQ(osd::ReducePalette(*bm, state, 0xFFFFFF), c.colours);
            EXPECT_EQ(PixelBytes(*bm, 4), c.pixels) << "press " << press;
            EXPECT_TRUE(bm->ColourTable == table) << "press " << press;
            EXPECT_TRUE(bm->ReducedPalette == reduced) << "press " << press;
        }
    }
    EXPECT_EQ(state.After.PixelAt(0, 0), one.palette[1]);
    EXPECT_EQ(state.After.PixelAt(1, 0), one.palette[0]);
}

TEST_F(Reduce, AnEditOfTheReducedPaletteIsRenumberedBackOnTheNextPress) {
    // After a reduction the Palette tab edits the reduced palette. A swap of entries 0 and 1 (table and
    // pixels) is undone by pressing again: the colours come back in the order they appear.
    BmpLayout layout;
    layout.width = 3;
    layout.height = 1;
    layout.bpp = 8;
    layout.palette = testsupport::DistinctPalette(16);
    layout.indices = {4, 8, 4};
    Open(layout);
    osd::ReducePalette(*bm, state, 0xFFFFFF);
    std::swap(bm->ColourTable[0], bm->ColourTable[1]);
    bm->Pixels[0] = bm->Pixels[2] = 1;
    bm->Pixels[1] = 0;
    EXPECT_EQ(osd::ReducePalette(*bm, state, 0xFFFFFF), 2);
    EXPECT_EQ(PixelBytes(*bm, 3), (Bytes{0, 1, 0}));
    EXPECT_EQ(bm->ColourTable[0], layout.palette[4]);
    EXPECT_EQ(bm->ColourTable[1], layout.palette[8]);
}

TEST_F(Reduce, FourBppUsingAllSixteenColours) {
    BmpLayout layout;
    layout.width = 16;
    layout.height = 1;
    layout.bpp = 4;
    layout.palette = testsupport::DistinctPalette(16);
    layout.indices = testsupport::IndicesOf(16, 1, [](int x, int) { return 15 - x; });
    Open(layout);

    EXPECT_EQ(osd::ReducePalette(*bm, state, 0xFFFFFF), 16);
    EXPECT_EQ(osd::PaletteNumberText(16), "[A] Palette Number:  16");
    EXPECT_EQ(bm->ReducedPalette[0], layout.palette[15]);
    EXPECT_EQ(bm->ReducedPalette[15], layout.palette[0]);
    EXPECT_EQ(PixelBytes(*bm, 8), (Bytes{0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}));
    for (int x = 0; x < 16; ++x)
        EXPECT_EQ(state.After.PixelAt(x, 0), layout.palette[15 - x]) << x;
}

TEST_F(Reduce, PackedDepthsRenumberThePaddingBytesToo) {
    // 4 bpp, pixels 9 0 9: colours 9 and 0 become 0 and 1, so the nibble 0 of the padding becomes 1.
    BmpLayout four;
    four.width = 3;
    four.height = 1;
    four.bpp = 4;
    four.palette = testsupport::DistinctPalette(16);
    four.indices = {9, 0, 9};
    Open(four);
    EXPECT_EQ(osd::ReducePalette(*bm, state, 0xFFFFFF), 2);
    EXPECT_EQ(PixelBytes(*bm, 4), (Bytes{0x01, 0x01, 0x11, 0x11}));

    // 1 bpp, pixels 1 0 1: the colours swap numbers, so every bit of the row flips, padding included.
    BmpLayout one;
    one.width = 3;
    one.height = 1;
    one.bpp = 1;
    one.palette = {MakeColour(0x10, 0x20, 0x30), MakeColour(0xE0, 0xD0, 0xC0)};
    one.indices = {1, 0, 1};
    Open(one);
    EXPECT_EQ(osd::ReducePalette(*bm, state, 0xFFFFFF), 2);
    EXPECT_EQ(PixelBytes(*bm, 4), (Bytes{0x5F, 0xFF, 0xFF, 0xFF}));
    // The picture looks as before: bit 0 is now the first colour found.
    EXPECT_EQ(state.After.PixelAt(0, 0), one.palette[1]);
    EXPECT_EQ(state.After.PixelAt(1, 0), one.palette[0]);
    EXPECT_EQ(state.After.PixelAt(2, 0), one.palette[1]);

    // 2 bpp, pixels 2 3 2: 2 -> 0, 3 -> 1.
    BmpLayout two;
    two.width = 3;
    two.height = 1;
    two.bpp = 2;
    two.palette = testsupport::DistinctPalette(4);
    two.indices = {2, 3, 2};
    Open(two);
    EXPECT_EQ(osd::ReducePalette(*bm, state, 0xFFFFFF), 2);
    EXPECT_EQ(PixelBytes(*bm, 4), (Bytes{0x10, 0x00, 0x00, 0x00}));
}

TEST_F(Reduce, NothingOpenedChangesNothing) {
    const int n = osd::ReducePalette(*bm, state, 0xFFFFFF);
    EXPECT_EQ(n, 0);
    EXPECT_EQ(osd::PaletteNumberText(n), "[A] Palette Number:   0");
    EXPECT_EQ(bm->ReducedCount, 0);
    EXPECT_TRUE(state.After.Empty());
}

TEST(PaletteNumberText, ThreeColumnCount) {
    EXPECT_EQ(osd::PaletteNumberText(256), "[A] Palette Number: 256");
    EXPECT_EQ(osd::PaletteNumberText(7), "[A] Palette Number:   7");
}

} // namespace
