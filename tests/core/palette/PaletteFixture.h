#pragma once

#include "palette/PaletteEdit.h"
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

    // Builds the picture, writes it and opens it with File > Open on the given page.
    void Open(const testsupport::BmpLayout& layout, shell::Page page = shell::Page::Palette,
              const std::string& name = "picture.bmp") {
        const std::string path = dir_ / name;
        testsupport::WriteFile(path, testsupport::BuildBmp(layout));
        const shell::OpenOutcome outcome = shell::OpenBitmap(*ws_, path, page);
        ASSERT_EQ(outcome.status, bitmap::OpenStatus::Ok) << outcome.message;
    }

    int Width() const { return ws_->bitmap.Width; }
    int Height() const { return ws_->bitmap.Height; }

    // The index the edits keep for pixel (x, y).
    int IndexAt(int x, int y) const {
        return palette::EditedIndices(*ws_)[static_cast<size_t>(y * Width() + x)];
    }
    // What the picture control shows at (x, y).
    Colour ShownAt(int x, int y) const { return ws_->palette.PalettePicture.PixelAt(x, y); }
    // The colour the pixel's index names in the table the pixels index.
    Colour ImpliedAt(int x, int y) const {
        const auto& table =
            ws_->bitmap.BitsPerPixel == 8 ? ws_->bitmap.ColourTable : ws_->palette.ColourTable8;
        return table[static_cast<size_t>(IndexAt(x, y))];
    }
    // The colour the pixel's index names in PaletteTable, which the grid shows.
    Colour GridColourAt(int x, int y) const {
        return base::ColourOf(ws_->PaletteTable[static_cast<size_t>(IndexAt(x, y))]);
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
