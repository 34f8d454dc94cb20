#include "palette/PaletteEdit.h"

#include "base/Error.h"
#include "core/palette/PaletteFixture.h"
#include "osd/OsdFont.h"
#include "osd/PaletteReduce.h"
#include "osd/ReducedSave.h"

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <functional>
#include <map>

namespace {

using base::Colour;
using base::EntryOf;
using base::MakeColour;
using palettetest::PaletteFixture;
using testsupport::BmpLayout;
using testsupport::DistinctPalette;
using testsupport::IndicesOf;

const std::vector<Colour> kP = DistinctPalette(256);

// 20 x 16 pixels: one 16-pixel cell and part of the next, rows with padding at every depth.
constexpr int kW = 20;
constexpr int kH = 16;

BmpLayout Picture(int bpp, int entries, std::vector<std::uint8_t> indices) {
    BmpLayout s;
    s.width = kW;
    s.height = kH;
    s.bpp = bpp;
    s.palette = DistinctPalette(entries);
    s.indices = std::move(indices);
    return s;
}

using Files = std::map<std::string, std::vector<std::uint8_t>>;

class WriteBack : public PaletteFixture {
protected:
    // Every file Generate writes for the bitmap as it stands, by name.
    Files Generated(const std::string& subdirectory) {
        const std::string dir = dir_ / subdirectory;
        std::filesystem::create_directories(dir);
        osd::OsdOptions options;
        options.sourcePath = "sheet.bmp";
        options.outputDirectory = dir;
        const osd::GenerateResult result = osd::GenerateOsdFont(ws_->bitmap, options);
        EXPECT_TRUE(result.ran);
        EXPECT_FALSE(result.failure) << *result.failure;
        Files files;
        for (const auto& entry : std::filesystem::directory_iterator(dir))
            files[entry.path().filename().string()] = testsupport::ReadFile(entry.path().string());
        return files;
    }
    void Fresh() { ws_ = std::make_unique<shell::Workspace>(); }
};

TEST_F(WriteBack, FittingEditsBelow8BitsReachGenerateAsAt8Bits) {
    struct Case {
        const char* what;
        std::function<palette::EditResult(shell::Workspace&, int colours)> edit;
        std::function<int(int index, int colours)> moved;    // where the edit sends a pixel index
        std::function<Colour(int entry, int colours)> entry; // the colour table after the edit, below colours
    };
    const Case cases[] = {
        {"update of entry 1 to green",
         [](shell::Workspace& ws, int) {
             return palette::UpdateEntry(ws.bitmap, ws.PaletteTable, ws.palette, 1, 0x00FF00);
         },
         [](int p, int) { return p; },
         [](int i, int) { return i == 1 ? Colour{0x00FF00} : kP[static_cast<size_t>(i)]; }},
        // Entry 0 is (1, 255, 0).
        {"invert of entry 0",
         [](shell::Workspace& ws, int) {
             return palette::InvertEntry(ws.bitmap, ws.PaletteTable, ws.palette, 0);
         },
         [](int p, int) { return p; },
         [](int i, int) { return i == 0 ? MakeColour(254, 0, 255) : kP[static_cast<size_t>(i)]; }},
        {"swap of the lower half of the entries with the upper half",
         [](shell::Workspace& ws, int colours) {
             const auto half = static_cast<std::uint8_t>(colours / 2);
             return palette::SwapEntries(ws.bitmap, ws.PaletteTable, ws.palette, 0, half, half);
         },
         [](int p, int colours) { return p ^ (colours / 2); },
         [](int i, int colours) { return kP[static_cast<size_t>(i ^ (colours / 2))]; }},
    };
    for (int bpp : {1, 2, 4}) {
        const int colours = 1 << bpp;
        auto opened = [colours](int x, int y) { return (x + 3 * y) % colours; };
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(bpp) + " bpp, " + c.what);
            std::array<Colour, 256> table{};
            for (int i = 0; i < colours; ++i)
                table[static_cast<size_t>(i)] = c.entry(i, colours);
            auto edited = [&](int x, int y) { return c.moved(opened(x, y), colours); };

            // The same edit at 8 bits, in the bitmap's own pixels and colour table.
            Fresh();
            Open(Picture(8, colours, IndicesOf(kW, kH, opened)));
            c.edit(*ws_, colours);
            ASSERT_EQ(ws_->bitmap.ColourTable, table);
            for (int y = 0; y < kH; ++y)
                for (int x = 0; x < kW; ++x)
                    ASSERT_EQ(ws_->bitmap.Pixels[static_cast<size_t>(y * ws_->bitmap.BytesPerRow + x)],
                              edited(x, y));

            Fresh();
            Open(Picture(bpp, colours, IndicesOf(kW, kH, opened)));
            const Files before = Generated("before");
            const palette::EditResult result = c.edit(*ws_, colours);
            EXPECT_TRUE(result.inBitmap);
            EXPECT_TRUE(result.notes.empty());
            EXPECT_EQ(ws_->bitmap.ColourTable, table);
            const std::vector<std::uint8_t> pixels = ws_->bitmap.Pixels;
            const Files after = Generated("after");
            EXPECT_NE(after, before);

            // What Generate must write: the picture stored with the edited indices at the same depth, the
            // file's palette for the R, G and B tables, the edited colour table for B.C.
            Fresh();
            Open(Picture(bpp, colours, IndicesOf(kW, kH, edited)));
            ws_->bitmap.ColourTable = table;
            EXPECT_EQ(pixels, ws_->bitmap.Pixels);
            EXPECT_EQ(after, Generated("expected"));
            std::filesystem::remove_all(dir_ / "before");
            std::filesystem::remove_all(dir_ / "after");
            std::filesystem::remove_all(dir_ / "expected");
        }
    }
}

TEST_F(WriteBack, AnIndexPastTheDepthLeavesTheBitmapAndSaysSoUntilTheIndicesFitAgain) {
    const std::pair<int, const char*> depths[] = {
        {1,
         "Index 2 does not fit 1 bpp: File > Save writes the edited picture as 8 bpp; Generate uses the last "
         "edit that fit."},
        {2,
         "Index 4 does not fit 2 bpp: File > Save writes the edited picture as 8 bpp; Generate uses the last "
         "edit that fit."},
        {4, "Index 16 does not fit 4 bpp: File > Save writes the edited picture as 8 bpp; Generate uses the "
            "last edit that fit."},
    };
    for (auto [bpp, note] : depths) {
        SCOPED_TRACE(std::to_string(bpp) + " bpp");
        Fresh();
        const int colours = 1 << bpp;
        auto opened = [colours](int x, int y) { return (x + 3 * y) % colours; };
        Open(Picture(bpp, colours, IndicesOf(kW, kH, opened)));
        const std::vector<std::uint8_t> pixels = ws_->bitmap.Pixels;
        const std::array<Colour, 256> colourTable = ws_->bitmap.ColourTable;
        const Files before = Generated("before");

        const palette::EditResult inserted =
            palette::InsertEntry(ws_->bitmap, ws_->PaletteTable, ws_->palette, 0, 0x0A0B0C);

        EXPECT_FALSE(inserted.inBitmap);
        EXPECT_EQ(base::TextsOf(inserted.notes, base::Note::Kind::Status), std::vector<std::string>{note});
        EXPECT_EQ(ws_->bitmap.Pixels, pixels);
        EXPECT_EQ(ws_->bitmap.ColourTable, colourTable);
        EXPECT_EQ(Generated("inserted"), before);
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x)
                ASSERT_EQ(IndexAt(x, y), opened(x, y) + 1);

        // Delete at 0 takes every index back below the depth: the bitmap takes the edits again.
        const palette::EditResult deleted =
            palette::DeleteEntry(ws_->bitmap, ws_->PaletteTable, ws_->palette, 0);

        EXPECT_TRUE(deleted.inBitmap);
        EXPECT_TRUE(deleted.notes.empty());
        EXPECT_EQ(ws_->bitmap.Pixels, pixels);
        for (int i = 0; i < 255; ++i)
            ASSERT_EQ(ws_->bitmap.ColourTable[static_cast<size_t>(i)],
                      i < colours ? kP[static_cast<size_t>(i)] : 0u)
                << i;
        EXPECT_EQ(ws_->bitmap.ColourTable[255], 0x0A0B0Cu);
        std::filesystem::remove_all(dir_ / "before");
        std::filesystem::remove_all(dir_ / "inserted");
    }
}

TEST_F(WriteBack, AnEditStartsFromTheBitmapWhileTheBitmapHoldsTheLastEdit) {
    BmpLayout s;
    s.width = 4;
    s.height = 1;
    s.bpp = 4;
    s.palette = DistinctPalette(16);
    s.indices = {0, 1, 2, 3};
    Open(s);
    ASSERT_TRUE(palette::InvertEntry(ws_->bitmap, ws_->PaletteTable, ws_->palette, 1).inBitmap);
    // Reduce Palette renumbers the bitmap's pixels behind the Palette tab's back: 0 and 3 change places.
    std::array<std::uint8_t, 256> remap{};
    for (int i = 0; i < 256; ++i)
        remap[static_cast<size_t>(i)] = static_cast<std::uint8_t>(i);
    remap[0] = 3;
    remap[3] = 0;
    osd::RemapPixels(ws_->bitmap, remap);
    ASSERT_EQ(ws_->bitmap.Pixels[0], 0x31);

    ASSERT_TRUE(palette::UpdateEntry(ws_->bitmap, ws_->PaletteTable, ws_->palette, 3, 0x00FF00).inBitmap);

    EXPECT_EQ(ws_->bitmap.Pixels[0], 0x31);
    EXPECT_EQ(ws_->bitmap.Pixels[1], 0x20);
    EXPECT_EQ(EditedIndices(), (std::vector<std::uint8_t>{3, 1, 2, 0}));
    EXPECT_EQ(ws_->bitmap.ColourTable[1], MakeColour(247, 1, 252)); // entry 1 (8, 254, 3), inverted
    EXPECT_EQ(ws_->bitmap.ColourTable[3], 0x00FF00u);
}

TEST_F(WriteBack, EditsTakeTheirInputsAsArgumentsAndLeaveTheSelectionAlone) {
    BmpLayout s;
    s.width = 4;
    s.height = 1;
    s.palette = DistinctPalette(16);
    s.indices = {0, 1, 2, 3};
    Open(s);
    palette::PaletteState& st = ws_->palette;
    st.HoverIndex = 9;
    st.LeftIndex = 2;
    st.RightIndex = 7;
    st.RepeatCount = 3;
    st.HoverSwatch = 0x111111;
    st.LeftSwatch = 0x222222;
    st.RightSwatch = 0x333333;
    auto selectionKept = [&st] {
        EXPECT_EQ(st.HoverIndex, 9);
        EXPECT_EQ(st.LeftIndex, 2);
        EXPECT_EQ(st.RightIndex, 7);
        EXPECT_EQ(st.RepeatCount, 3);
        EXPECT_EQ(st.HoverSwatch, 0x111111u);
        EXPECT_EQ(st.LeftSwatch, 0x222222u);
        EXPECT_EQ(st.RightSwatch, 0x333333u);
    };

    palette::InsertEntry(ws_->bitmap, ws_->PaletteTable, st, 5, 0x123456);
    EXPECT_EQ(ws_->PaletteTable[5], EntryOf(0x123456));
    EXPECT_EQ(ws_->PaletteTable[2], EntryOf(kP[2]));
    selectionKept();

    palette::SwapEntries(ws_->bitmap, ws_->PaletteTable, st, 0, 1, 1);
    EXPECT_EQ(EditedIndices(), (std::vector<std::uint8_t>{1, 0, 2, 3}));
    selectionKept();

    palette::UpdateEntry(ws_->bitmap, ws_->PaletteTable, st, 3, 0x00FF00);
    EXPECT_EQ(ws_->PaletteTable[3], EntryOf(0x00FF00));
    palette::InvertEntry(ws_->bitmap, ws_->PaletteTable, st, 3);
    EXPECT_EQ(ws_->PaletteTable[3], EntryOf(0xFF00FF));
    palette::DeleteEntry(ws_->bitmap, ws_->PaletteTable, st, 4);
    EXPECT_EQ(ws_->PaletteTable[4], EntryOf(0x123456));
    EXPECT_EQ(ws_->PaletteTable[255], EntryOf(kP[4]));
    selectionKept();
}

TEST_F(WriteBack, SavesBeforeAnyOpenThrowAndWriteNothing) {
    const std::pair<const char*, std::function<void(shell::Workspace&, const std::string&)>> saves[] = {
        {"palette",
         [](shell::Workspace& ws, const std::string& path) {
             palette::SavePalettePicture(ws.bitmap, ws.PaletteTable, ws.palette, path);
         }},
        {"reduced",
         [](shell::Workspace& ws, const std::string& path) {
             osd::SaveReducedPicture(ws.bitmap, ws.osd, ws.settings.PaletteColorMask(), path);
         }},
    };
    for (const auto& [what, save] : saves) {
        SCOPED_TRACE(what);
        const std::string path = dir_ / (std::string(what) + ".bmp");
        try {
            save(*ws_, path);
            ADD_FAILURE() << "no error";
        } catch (const base::Error& e) {
            EXPECT_STREQ(e.what(),
                         "There is no picture to save: open a BMP file of at most 1024 x 768 pixels first.");
        }
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

} // namespace
