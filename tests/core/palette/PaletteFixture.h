#pragma once

#include "osd/OsdOpen.h"
#include "palette/PaletteEdit.h"
#include "palette/PaletteOpen.h"
#include "palette/PaletteSave.h"
#include "shell/Workspace.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace palettetest {

using base::Colour;

// A workspace (large: kept on the heap) and a directory for the pictures a test opens and saves.
class PaletteFixture : public ::testing::Test {
protected:
    testsupport::TempDir dir_;
    std::unique_ptr<shell::Workspace> ws_ = std::make_unique<shell::Workspace>();

    // The tab that is active when File > Open runs.
    enum class OpenOn { Palette, Osd };

    // Builds the picture, writes it and opens it with File > Open while the given tab is active, as the
    // window does (the OSD tab follows every open).
    void Open(const testsupport::BmpLayout& layout, OpenOn on = OpenOn::Palette,
              const std::string& name = "picture.bmp") {
        const std::string path = dir_ / name;
        testsupport::WriteFile(path, testsupport::BuildBmp(layout));
        picture::OpenOutcome outcome;
        if (on == OpenOn::Palette) {
            outcome = palette::OpenPalettePicture(ws_->bitmap, ws_->PaletteTable, ws_->palette, path);
            osd::FollowOpen(ws_->osd, outcome);
        } else {
            outcome = osd::OpenSheet(ws_->bitmap, ws_->osd, path);
        }
        ASSERT_EQ(outcome.status, picture::OpenStatus::Ok) << outcome.failure.value_or("");
    }

    // The tab's buttons: the edit of the LEFT (and RIGHT) entry with the LEFT swatch's colour and the
    // repeat count, then the swatches the handler refreshes show their entries again.
    palette::EditResult Insert() {
        const auto r = palette::InsertEntry(ws_->bitmap, ws_->PaletteTable, ws_->palette,
                                            ws_->palette.LeftIndex, ws_->palette.LeftSwatch);
        ShowRightAndLeft();
        return r;
    }
    palette::EditResult Delete() {
        const auto r =
            palette::DeleteEntry(ws_->bitmap, ws_->PaletteTable, ws_->palette, ws_->palette.LeftIndex);
        ShowRightAndLeft();
        return r;
    }
    palette::EditResult Swap() {
        const auto r =
            palette::SwapEntries(ws_->bitmap, ws_->PaletteTable, ws_->palette, ws_->palette.LeftIndex,
                                 ws_->palette.RightIndex, ws_->palette.RepeatCount);
        ShowRightAndLeft();
        return r;
    }
    palette::EditResult Update() {
        const auto r = palette::UpdateEntry(ws_->bitmap, ws_->PaletteTable, ws_->palette,
                                            ws_->palette.LeftIndex, ws_->palette.LeftSwatch);
        palette::ShowLeftEntry(ws_->PaletteTable, ws_->palette);
        return r;
    }
    palette::EditResult Invert() {
        const auto r =
            palette::InvertEntry(ws_->bitmap, ws_->PaletteTable, ws_->palette, ws_->palette.LeftIndex);
        palette::ShowLeftEntry(ws_->PaletteTable, ws_->palette);
        return r;
    }
    void PickLeft(int i) { palette::PickLeft(ws_->PaletteTable, ws_->palette, i); }
    void PickRight(int i) { palette::PickRight(ws_->PaletteTable, ws_->palette, i); }
    void Save(const std::string& path) {
        palette::SavePalettePicture(ws_->bitmap, ws_->PaletteTable, ws_->palette, path);
    }
    std::vector<std::uint8_t> EditedIndices() const {
        return palette::EditedIndices(ws_->bitmap, ws_->palette);
    }

    int Width() const { return ws_->bitmap.Width; }
    int Height() const { return ws_->bitmap.Height; }

    // The index the edits keep for pixel (x, y).
    int IndexAt(int x, int y) const { return EditedIndices()[static_cast<size_t>(y * Width() + x)]; }
    // What the picture control shows at (x, y).
    Colour ShownAt(int x, int y) const { return ws_->palette.PalettePicture.PixelAt(x, y); }
    // The colour the pixel's index names in the table the pixels index.
    Colour ImpliedAt(int x, int y) const {
        const auto& table = ws_->bitmap.BitsPerPixel == 8 || !ws_->palette.CopyAhead
                                ? ws_->bitmap.ColourTable
                                : ws_->palette.ColourTable8;
        return table[static_cast<size_t>(IndexAt(x, y))];
    }
    // The colour the pixel's index names in PaletteTable, which the grid shows.
    Colour GridColourAt(int x, int y) const {
        return base::ColourOf(ws_->PaletteTable[static_cast<size_t>(IndexAt(x, y))]);
    }

    void ShowRightAndLeft() {
        palette::ShowRightEntry(ws_->PaletteTable, ws_->palette);
        palette::ShowLeftEntry(ws_->PaletteTable, ws_->palette);
    }

    std::vector<Colour> ShownPixels() const { return ws_->palette.PalettePicture.pixels; }

    // The picture looks as it did (expected, row by row), and every pixel's index names that colour in both
    // tables.
    void ExpectLooks(const std::vector<Colour>& expected) const {
        ASSERT_EQ(ws_->palette.PalettePicture.pixels.size(), expected.size());
        for (int y = 0; y < Height(); ++y) {
            for (int x = 0; x < Width(); ++x) {
                const Colour want = expected[static_cast<size_t>(y * Width() + x)];
                ASSERT_EQ(ShownAt(x, y), want) << "shown at " << x << "," << y;
                ASSERT_EQ(ImpliedAt(x, y), want) << "index " << IndexAt(x, y) << " at " << x << "," << y;
                ASSERT_EQ(GridColourAt(x, y), want)
                    << "grid entry " << IndexAt(x, y) << " at " << x << "," << y;
            }
        }
    }
};

} // namespace palettetest
