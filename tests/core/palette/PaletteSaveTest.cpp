#include "palette/PaletteSave.h"

#include "base/Error.h"
#include "base/Path.h"
#include "core/palette/PaletteFixture.h"
#include "osd/ReducedSave.h"
#include "palette/PaletteEdit.h"
#include "picture/Picture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <optional>
#include <utility>

namespace {

using base::Colour;
using base::MakeColour;
using palettetest::PaletteFixture;
using testsupport::BmpLayout;
using testsupport::DistinctPalette;
using testsupport::IndicesOf;

const std::vector<Colour> kP = DistinctPalette(256);

std::uint32_t Le32(const std::vector<std::uint8_t>& b, size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
std::uint16_t Le16(const std::vector<std::uint8_t>& b, size_t at) {
    return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}

// A saved file taken apart by hand: its header fields, colour table and pixel bytes.
struct SavedBmp {
    std::vector<std::uint8_t> bytes;
    int width = 0;
    int height = 0;

    explicit SavedBmp(const std::string& path) : bytes(testsupport::ReadFile(path)) {
        if (bytes.size() >= 54) {
            width = static_cast<int>(Le32(bytes, 18));
            height = static_cast<int>(Le32(bytes, 22));
        }
    }
    int Stride() const { return (width + 3) / 4 * 4; }
    // Table entry i as the colour value it stands for.
    Colour Entry(int i) const {
        const size_t at = 54 + 4 * static_cast<size_t>(i);
        return MakeColour(bytes[at + 2], bytes[at + 1], bytes[at]);
    }
    // The pixel bytes, top row first.
    std::vector<int> Indices() const {
        std::vector<int> out;
        for (int y = 0; y < height; ++y) {
            const size_t row = 1078 + static_cast<size_t>(Stride()) * static_cast<size_t>(height - 1 - y);
            for (int x = 0; x < width; ++x)
                out.push_back(bytes[row + static_cast<size_t>(x)]);
        }
        return out;
    }
    picture::Picture Decoded() const {
        return picture::DecodeBmpPicture(bytes.data(), bytes.size(), "saved");
    }

    // The fixed layout of an 8-bit file with a full table, rows padded to 4 bytes.
    void ExpectLayout(int w, int h) const {
        ASSERT_EQ(width, w);
        ASSERT_EQ(height, h);
        const size_t size = 1078 + static_cast<size_t>(Stride()) * static_cast<size_t>(h);
        ASSERT_EQ(bytes.size(), size);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(Le32(bytes, 2), size);
        EXPECT_EQ(Le32(bytes, 6), 0u); // both reserved words
        EXPECT_EQ(Le32(bytes, 10), 1078u);
        EXPECT_EQ(Le32(bytes, 14), 40u);
        EXPECT_EQ(Le16(bytes, 26), 1);
        EXPECT_EQ(Le16(bytes, 28), 8);
        EXPECT_EQ(Le32(bytes, 30), 0u);
        for (int i = 0; i < 256; ++i)
            EXPECT_EQ(bytes[54 + 4 * static_cast<size_t>(i) + 3], 0) << i;
        for (int y = 0; y < h; ++y)
            for (int x = w; x < Stride(); ++x)
                EXPECT_EQ(bytes[1078 + static_cast<size_t>(y * Stride() + x)], 0)
                    << "padding " << x << "," << y;
    }
};

class PaletteSave : public PaletteFixture {};

// 5 x 3 pixels, so each row carries 3 bytes of padding; 8 colours.
BmpLayout FiveByThree() {
    BmpLayout s;
    s.width = 5;
    s.height = 3;
    s.bpp = 8;
    s.palette = DistinctPalette(8);
    s.indices = IndicesOf(5, 3, [](int x, int y) { return (x + 2 * y) % 8; });
    return s;
}

TEST_F(PaletteSave, SavesTheEditedPaletteAndPixelsAsShown) {
    struct Case {
        const char* what;
        std::function<void(shell::Workspace&)> edit;
        std::vector<int> indices;                  // top row first
        std::vector<std::pair<int, Colour>> table; // entries that differ from the file's (others 0 past 7)
    };
    const std::vector<int> opened = {0, 1, 2, 3, 4, 2, 3, 4, 5, 6, 4, 5, 6, 7, 0};
    const Case cases[] = {
        {"as opened", [](shell::Workspace&) {}, opened, {}},
        {"swap of entries 0 and 1",
         [](shell::Workspace& ws) { palette::SwapEntries(ws.bitmap, ws.PaletteTable, ws.palette, 0, 1, 1); },
         {1, 0, 2, 3, 4, 2, 3, 4, 5, 6, 4, 5, 6, 7, 1},
         {{0, kP[1]}, {1, kP[0]}}},
        {"update of entry 2 to pure green",
         [](shell::Workspace& ws) {
             palette::UpdateEntry(ws.bitmap, ws.PaletteTable, ws.palette, 2, 0x00FF00);
         },
         opened,
         {{2, 0x00FF00}}},
        {"delete of entry 0",
         [](shell::Workspace& ws) { palette::DeleteEntry(ws.bitmap, ws.PaletteTable, ws.palette, 0); },
         {255, 0, 1, 2, 3, 1, 2, 3, 4, 5, 3, 4, 5, 6, 255},
         {{0, kP[1]},
          {1, kP[2]},
          {2, kP[3]},
          {3, kP[4]},
          {4, kP[5]},
          {5, kP[6]},
          {6, kP[7]},
          {7, 0},
          {255, kP[0]}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ws_ = std::make_unique<shell::Workspace>();
        Open(FiveByThree());
        c.edit(*ws_);
        const std::vector<Colour> shown = ShownPixels();
        const auto tableBefore = ws_->PaletteTable;
        const auto pixelsBefore = ws_->bitmap.Pixels;

        Save(dir_ / "saved.bmp");

        const SavedBmp saved(dir_ / "saved.bmp");
        saved.ExpectLayout(5, 3);
        std::array<Colour, 256> table{};
        for (int i = 0; i < 8; ++i)
            table[static_cast<size_t>(i)] = kP[static_cast<size_t>(i)];
        for (auto [i, colour] : c.table)
            table[static_cast<size_t>(i)] = colour;
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(saved.Entry(i), table[static_cast<size_t>(i)]) << "entry " << i;
        EXPECT_EQ(saved.Indices(), c.indices);
        const picture::Picture decoded = saved.Decoded();
        EXPECT_EQ(decoded.pixels, shown);
        for (size_t i = 0; i < shown.size(); ++i)
            EXPECT_EQ(shown[i], table[static_cast<size_t>(c.indices[i])]) << "pixel " << i;

        // The picture control now holds the saved picture; the edited state stays as it was.
        EXPECT_EQ(ws_->palette.PalettePicture.pixels, shown);
        ASSERT_EQ(ws_->palette.PalettePicture.palette.size(), 256u);
        for (int i = 0; i < 256; ++i)
            EXPECT_EQ(ws_->palette.PalettePicture.palette[static_cast<size_t>(i)],
                      table[static_cast<size_t>(i)]);
        EXPECT_EQ(ws_->PaletteTable, tableBefore);
        EXPECT_EQ(ws_->bitmap.Pixels, pixelsBefore);
    }
}

TEST_F(PaletteSave, EntriesOfTheSameColourKeepTheEditedIndex) {
    BmpLayout s;
    s.width = 5;
    s.height = 1;
    s.palette = DistinctPalette(8);
    s.palette[2] = s.palette[6] = 0x336699;
    s.indices = {2, 6, 2, 6, 0};
    Open(s);

    Save(dir_ / "saved.bmp");

    EXPECT_EQ(SavedBmp(dir_ / "saved.bmp").Indices(), (std::vector<int>{2, 6, 2, 6, 0}));
}

TEST_F(PaletteSave, PicturesBelow8BitsSaveTheIndicesOfTheEditedCopy) {
    BmpLayout s;
    s.width = 4;
    s.height = 4;
    s.bpp = 4;
    s.palette = DistinctPalette(16);
    s.indices = IndicesOf(4, 4, [](int x, int y) { return x + 4 * y; });
    Open(s);
    ws_->palette.LeftSwatch = 0x0A0B0C;
    Insert(); // at entry 0: index 15 becomes 16
    const std::vector<Colour> shown = ShownPixels();

    Save(dir_ / "saved.bmp");

    const SavedBmp saved(dir_ / "saved.bmp");
    saved.ExpectLayout(4, 4);
    std::vector<int> expected;
    for (int i = 1; i <= 16; ++i)
        expected.push_back(i);
    EXPECT_EQ(saved.Indices(), expected);
    EXPECT_EQ(saved.Entry(0), 0x0A0B0Cu);
    for (int i = 1; i <= 16; ++i)
        EXPECT_EQ(saved.Entry(i), kP[static_cast<size_t>(i - 1)]);
    EXPECT_EQ(saved.Decoded().pixels, shown);
}

TEST_F(PaletteSave, PictureIsCutOrExtendedToTheOpenedSizeWithBlackOutside) {
    // The Palette tab's picture (6 x 1) stays when a 3 x 2 file is opened on the OSD tab.
    BmpLayout shownFile;
    shownFile.width = 6;
    shownFile.height = 1;
    shownFile.palette = DistinctPalette(8);
    shownFile.palette[3] = 0x000000;
    shownFile.indices = {0, 1, 2, 4, 5, 6};
    Open(shownFile, OpenOn::Palette, "shown.bmp");
    BmpLayout opened;
    opened.width = 3;
    opened.height = 2;
    opened.palette = DistinctPalette(8);
    opened.indices = {7, 7, 7, 7, 7, 7};
    Open(opened, OpenOn::Osd, "opened.bmp");

    Save(dir_ / "saved.bmp");

    const SavedBmp saved(dir_ / "saved.bmp");
    saved.ExpectLayout(3, 2);
    // Columns 3..5 are cut; row 1 lies outside the picture and reads black, first held by entry 3.
    EXPECT_EQ(saved.Indices(), (std::vector<int>{0, 1, 2, 3, 3, 3}));
}

TEST_F(PaletteSave, ReducedPictureSavesTheReducedPaletteAndTheRenumberedIndicesAtEveryDepth) {
    for (int bpp : {1, 2, 4, 8}) {
        SCOPED_TRACE("bpp " + std::to_string(bpp));
        ws_ = std::make_unique<shell::Workspace>();
        ws_->settings.SetPaletteFormat(
            settings::PaletteFormat::Rgb666); // RGB666: the After picture shows colours through 0xFCFCFC
        BmpLayout s;
        s.width = 5;
        s.height = 2;
        s.bpp = bpp;
        s.palette = DistinctPalette(1 << bpp);
        s.indices = IndicesOf(5, 2, [](int x, int y) { return (x + y) % 2; });
        Open(s, OpenOn::Osd);
        // What a reduction to two colours leaves: both look black through the mask, as do the unused
        // entries, so only the renumbered pixels tell them apart.
        ws_->bitmap.ReducedPalette[0] = 0x010101;
        ws_->bitmap.ReducedPalette[1] = 0x020202;
        ws_->bitmap.ReducedCount = 2;
        ws_->osd.After = picture::Picture::Blank(256, 256, 0xFFFFFF);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 5; ++x)
                ws_->osd.After.SetPixel(x, y, 0x000000);

        osd::SaveReducedPicture(ws_->bitmap, ws_->osd, ws_->settings.PaletteColorMask(),
                                dir_ / "reduced.bmp");

        const SavedBmp saved(dir_ / "reduced.bmp");
        saved.ExpectLayout(5, 2);
        EXPECT_EQ(saved.Indices(), (std::vector<int>{0, 1, 0, 1, 0, 1, 0, 1, 0, 1}));
        EXPECT_EQ(saved.Entry(0), 0x010101u);
        EXPECT_EQ(saved.Entry(1), 0x020202u);
        for (int i = 2; i < 256; ++i)
            ASSERT_EQ(saved.Entry(i), 0u) << i;
        ASSERT_EQ(ws_->osd.After.width, 5);
        ASSERT_EQ(ws_->osd.After.height, 2);
        EXPECT_EQ(ws_->osd.After.PixelAt(0, 0), 0x010101u);
        EXPECT_EQ(ws_->osd.After.PixelAt(1, 0), 0x020202u);
    }
}

} // namespace
