#include "aosd/AosdPicture.h"
#include "aosd/AosdState.h"

#include "base/Error.h"
#include "picture/Picture.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

namespace {

using aosd::AosdState;
using aosd::MultiButton;
using aosd::PaletteTable;
using base::MakeColour;
using testsupport::BmpLayout;
using testsupport::TempDir;
using Bytes = std::vector<std::uint8_t>;

TEST(AosdPicture, PathsSplitAtTheLastSeparatorAndTheLastDot) {
    const struct {
        const char* path;
        const char* directory;
        const char* baseName;
        const char* extension;
    } cases[] = {
        {"C:\\pics\\logo01.bmp", "C:\\pics\\", "logo01", ".bmp"},
        {"/pics/anim008.bmp", "/pics/", "anim008", ".bmp"},
        {"logo.tar.bmp", "", "logo.tar", ".bmp"},
        {"C:\\pics\\logo01", "C:\\pics\\", "", "C:\\pics\\logo01"},
        {"C:\\my.dir\\logo", "C:\\my.dir\\", "", ".dir\\logo"},
        {"/my.dir/logo", "/my.dir/", "", ".dir/logo"},
        {"logo.", "", "logo", "."},
        {"/pics/.bmp", "/pics/", "", ".bmp"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const aosd::AosdPathParts parts = aosd::SplitAosdPath(c.path);
        EXPECT_EQ(parts.directory, c.directory);
        EXPECT_EQ(parts.baseName, c.baseName);
        EXPECT_EQ(parts.extension, c.extension);
    }
}

// A picture whose palette holds one colour twice: the indices must come from the file, not from colours.
BmpLayout TwinColourPicture(int bpp) {
    BmpLayout s;
    s.bpp = bpp;
    s.width = 5;
    s.height = 2;
    const int entries = 1 << bpp;
    s.palette = testsupport::DistinctPalette(entries);
    s.palette[entries - 1] = s.palette[0];
    const auto last = static_cast<std::uint8_t>(entries - 1);
    s.indices = {last, 0, 1, last, 0, 1, last, last, 0, 0};
    return s;
}

TEST(AosdPicture, LoadingKeepsTheFilesOwnIndicesAtEveryIndexedDepth) {
    TempDir dir;
    for (const int bpp : {1, 2, 4, 8}) {
        SCOPED_TRACE(bpp);
        for (const bool topDown : {false, true}) {
            BmpLayout s = TwinColourPicture(bpp);
            s.topDown = topDown;
            const std::string path = dir / "twin.bmp";
            testsupport::WriteFile(path, testsupport::BuildBmp(s));
            const aosd::LoadedPicture loaded = aosd::LoadAosdPicture(path);
            ASSERT_FALSE(loaded.failure) << *loaded.failure;
            EXPECT_EQ(loaded.picture.width, 5);
            EXPECT_EQ(loaded.picture.height, 2);
            EXPECT_EQ(loaded.picture.pixels, s.indices);
            EXPECT_EQ(loaded.picture.palette, s.palette);
        }
    }
}

TEST(AosdPicture, PicturesWithoutIndicesOrPixelsAreRefusedByName) {
    TempDir dir;
    BmpLayout deep; // 4 x 2 at 24 bits: 12 bytes a row, built as 12 one-byte pixels
    deep.width = 12;
    deep.height = 2;
    deep.biWidth = 4;
    deep.biBitCount = 24;
    testsupport::WriteFile(dir / "deep.bmp", testsupport::BuildBmp(deep));
    auto loaded = aosd::LoadAosdPicture(dir / "deep.bmp");
    ASSERT_TRUE(loaded.failure);
    EXPECT_NE(loaded.failure->find(dir / "deep.bmp"), std::string::npos) << *loaded.failure;
    EXPECT_NE(loaded.failure->find("24 bits per pixel"), std::string::npos) << *loaded.failure;

    BmpLayout empty;
    empty.width = 0;
    empty.height = 3;
    empty.palette = testsupport::DistinctPalette(4);
    testsupport::WriteFile(dir / "empty.bmp", testsupport::BuildBmp(empty));
    loaded = aosd::LoadAosdPicture(dir / "empty.bmp");
    ASSERT_TRUE(loaded.failure);
    EXPECT_NE(loaded.failure->find(dir / "empty.bmp"), std::string::npos) << *loaded.failure;
    EXPECT_NE(loaded.failure->find("no pixels"), std::string::npos) << *loaded.failure;

    EXPECT_THROW(aosd::LoadAosdPicture(dir / "missing.bmp"), base::Error);
}

// The sizes are 16-bit: every side up to 65535 is taken, bottom-up and top-down.
TEST(AosdPicture, SidesUpTo65535AreTaken) {
    TempDir dir;
    const struct {
        int width, height;
        bool topDown;
    } cases[] = {{40000, 2, false}, {65535, 1, false}, {3, 40000, true}, {1, 65535, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        BmpLayout s;
        s.width = c.width;
        s.height = c.height;
        s.topDown = c.topDown;
        s.palette = testsupport::DistinctPalette(256);
        s.indices =
            testsupport::IndicesOf(c.width, c.height, [](int x, int y) { return (x * 7 + y * 3) & 0xFF; });
        testsupport::WriteFile(dir / "big.bmp", testsupport::BuildBmp(s));
        const aosd::LoadedPicture loaded = aosd::LoadAosdPicture(dir / "big.bmp");
        ASSERT_FALSE(loaded.failure) << *loaded.failure;
        EXPECT_EQ(loaded.picture.width, c.width);
        EXPECT_EQ(loaded.picture.height, c.height);
        EXPECT_EQ(loaded.picture.pixels, s.indices);
    }
    BmpLayout over;
    over.width = 65536;
    over.height = 1;
    over.palette = testsupport::DistinctPalette(2);
    over.indices.assign(65536, 1);
    testsupport::WriteFile(dir / "over.bmp", testsupport::BuildBmp(over));
    EXPECT_THROW(aosd::LoadAosdPicture(dir / "over.bmp"), base::Error);
}

TEST(AosdPicture, OpenFillsThePaletteTableAndTheNames) {
    TempDir dir;
    BmpLayout s;
    s.bpp = 4;
    s.width = 3;
    s.height = 1;
    s.palette = testsupport::DistinctPalette(16);
    s.indices = {15, 0, 7};
    const std::string path = dir / "logo01.bmp";
    testsupport::WriteFile(path, testsupport::BuildBmp(s));

    AosdState state;
    state.AosdImageCount = 9;
    state.AosdOutputPath = "kept.bin";
    PaletteTable table;
    table.fill(base::PALETTEENTRY{0xAA, 0xBB, 0xCC, 0});
    const auto outcome = aosd::OpenAosdPicture(state, table, path, "12");
    ASSERT_TRUE(outcome.opened);
    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(state.AosdPicturePath, path);
    EXPECT_EQ(state.AosdDirectory, dir.path() + "/");
    EXPECT_EQ(state.AosdBaseName, "logo01");
    EXPECT_EQ(state.AosdExtension, ".bmp");
    EXPECT_EQ(state.AosdImageCount, 12);
    EXPECT_EQ(state.AosdPaletteBytes, 1024);
    EXPECT_EQ(state.AosdOutputPath, "kept.bin");
    EXPECT_EQ(state.picture.pixels, (Bytes{15, 0, 7}));
    for (std::size_t i = 0; i < 256; ++i) {
        const base::PALETTEENTRY expected = i < 16 ? base::EntryOf(s.palette[i]) : base::PALETTEENTRY{};
        EXPECT_EQ(table[i], expected) << i;
    }
    // Shown through its palette; an index past the palette shows black.
    state.picture.pixels[1] = 200;
    EXPECT_EQ(aosd::ShownPicture(state.picture).pixels,
              (std::vector<base::Colour>{s.palette[15], 0, s.palette[7]}));
    EXPECT_EQ(aosd::ShownPaletteEntries(state.AosdPaletteBytes), 256);
    EXPECT_EQ(aosd::ShownPaletteEntries(AosdState{}.AosdPaletteBytes), 0);

    // An empty "Image Number:" keeps the count.
    ASSERT_TRUE(aosd::OpenAosdPicture(state, table, path, "").opened);
    EXPECT_EQ(state.AosdImageCount, 12);
    EXPECT_EQ(state.picture.pixels, (Bytes{15, 0, 7}));
}

TEST(AosdPicture, AFailedOpenChangesNothing) {
    TempDir dir;
    BmpLayout good;
    good.width = 2;
    good.height = 1;
    good.palette = {MakeColour(1, 2, 3), MakeColour(4, 5, 6)};
    good.indices = {1, 0};
    testsupport::WriteFile(dir / "good.bmp", testsupport::BuildBmp(good));
    BmpLayout deep;
    deep.width = 6;
    deep.height = 1;
    deep.biWidth = 2;
    deep.biBitCount = 24;
    testsupport::WriteFile(dir / "deep7.bmp", testsupport::BuildBmp(deep));

    AosdState state;
    PaletteTable table{};
    ASSERT_TRUE(aosd::OpenAosdPicture(state, table, dir / "good.bmp", "3").opened);
    const AosdState before = state;
    const PaletteTable tableBefore = table;
    auto same = [&] {
        EXPECT_EQ(state.AosdPicturePath, before.AosdPicturePath);
        EXPECT_EQ(state.AosdBaseName, before.AosdBaseName);
        EXPECT_EQ(state.AosdExtension, before.AosdExtension);
        EXPECT_EQ(state.AosdDirectory, before.AosdDirectory);
        EXPECT_EQ(state.AosdImageCount, before.AosdImageCount);
        EXPECT_EQ(state.picture.pixels, before.picture.pixels);
        EXPECT_EQ(table, tableBefore);
    };

    const auto refused = aosd::OpenAosdPicture(state, table, dir / "deep7.bmp", "5");
    EXPECT_FALSE(refused.opened);
    ASSERT_TRUE(refused.failure);
    same();
    EXPECT_THROW(aosd::OpenAosdPicture(state, table, dir / "none.bmp", "5"), base::Error);
    same();
    // A pasted text that is not a number ends the open without a word.
    const auto silent = aosd::OpenAosdPicture(state, table, dir / "good.bmp", "1x");
    EXPECT_FALSE(silent.opened);
    EXPECT_FALSE(silent.failure);
    same();
}

TEST(AosdPicture, ImageNumberDrivesTheMultiImagesButton) {
    const struct {
        const char* text;
        bool open;
        MultiButton button;
        std::uint16_t count; // starting from 7
    } cases[] = {
        {"", true, MultiButton::Disable, 7},      {"1", true, MultiButton::Disable, 1},
        {"0", true, MultiButton::Disable, 0},     {"12", true, MultiButton::Enable, 12},
        {"12", false, MultiButton::Keep, 12},     {"2", true, MultiButton::Enable, 2},
        {"65537", true, MultiButton::Disable, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        AosdState state;
        state.AosdImageCount = 7;
        EXPECT_EQ(aosd::ImageNumberChanged(state, c.text, c.open), c.button);
        EXPECT_EQ(state.AosdImageCount, c.count);
    }
    AosdState state;
    state.AosdImageCount = 7;
    EXPECT_THROW(aosd::ImageNumberChanged(state, "4a", true), base::Error);
    EXPECT_EQ(state.AosdImageCount, 7);
}

} // namespace
