#include "aosd/AosdWriters.h"

#include "aosd/AosdState.h"
#include "base/Path.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using aosd::AosdState;
using aosd::ChipModel;
using aosd::PaletteTable;
using aosd::RlcOptions;
using testsupport::BmpLayout;
using testsupport::ReadFile;
using testsupport::TempDir;
using Bytes = std::vector<std::uint8_t>;

TEST(AosdWriters, OutputPathGetsItsExtensionOnlyWithoutAnyDot) {
    const struct {
        const char* chosen;
        const char* extension;
        const char* path;
    } cases[] = {
        {"out", ".bin", "out.bin"},     {"/work/out", ".bin", "/work/out.bin"},
        {"out.dat", ".bin", "out.dat"}, {"/work/my.dir/out", ".bin", "/work/my.dir/out"},
        {"pal", ".txt", "pal.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(aosd::AosdOutputPathFor(c.chosen, c.extension), c.path) << c.chosen;
}

TEST(AosdWriters, ProposedNames) {
    EXPECT_EQ(aosd::ProposedImageName("logo01", false), "logo01");
    EXPECT_EQ(aosd::ProposedImageName("logo01", true), "logo01_rlc");
    EXPECT_EQ(aosd::ProposedSequenceName("logo01", 12, false), "logo01-x12");
    EXPECT_EQ(aosd::ProposedSequenceName("logo01", 12, true), "logo01-x12_rlc");
    EXPECT_EQ(aosd::ProposedPaletteName("logo01"), "logo01_pal");
}

TEST(AosdWriters, SequenceMembersKeepTheWidthOfTheirNumber) {
    const struct {
        const char* baseName;
        std::vector<const char*> members;
    } cases[] = {
        {"logo7", {"logo7", "logo8", "logo9", "log10"}},
        {"anim008", {"anim008", "anim009", "anim010"}},
        {"pic0099", {"pic0099", "pic0100", "pic0101"}},
        {"9", {"9", "10", "11"}},
        {"a99", {"a99", "100", "101"}},
        {"x65535", {"x65535", "x65536"}},
        {"shot20240611123456", {"shot20240611123456", "shot20240611123457"}},
        {"a000000000000000000000099", {"a000000000000000000000099", "a000000000000000000000100"}},
        {"b99999999999999999999", {"b99999999999999999999", "100000000000000000000"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.baseName);
        ASSERT_TRUE(aosd::EndsInNumber(c.baseName));
        for (std::uint32_t i = 0; i < c.members.size(); ++i)
            EXPECT_EQ(aosd::SequenceMemberName(c.baseName, i), c.members[i]) << i;
    }
    for (const char* name : {"logo", "", "logo7a", "7 "})
        EXPECT_FALSE(aosd::EndsInNumber(name)) << name;
    EXPECT_EQ(aosd::NoSequenceMessage("logo"),
              "The picture name logo does not end in a number, so no sequence can be formed.");
}

PaletteTable WhiteFirstTable() {
    PaletteTable table{};
    table[0] = {0xFF, 0xFF, 0xFF, 0};
    table[1] = {0x80, 0x43, 0x03, 0x77}; // peFlags is never written
    table[255] = {0x04, 0x08, 0xFC, 0};
    return table;
}

TEST(AosdWriters, BinaryPaletteIsThreePlanesInEitherFormat) {
    const PaletteTable table = WhiteFirstTable();
    Bytes rgb666(768, 0);
    rgb666[0] = rgb666[256] = rgb666[512] = 0x3F;
    rgb666[1] = 0x20;
    rgb666[257] = 0x10;
    rgb666[513] = 0x00;
    rgb666[255] = 0x01;
    rgb666[511] = 0x02;
    rgb666[767] = 0x3F;
    EXPECT_EQ(aosd::BinaryPalette(table, settings::PaletteFormat::Rgb666), rgb666);

    Bytes rgb888(768, 0);
    rgb888[0] = rgb888[256] = rgb888[512] = 0xFF;
    rgb888[1] = 0x80;
    rgb888[257] = 0x43;
    rgb888[513] = 0x03;
    rgb888[255] = 0x04;
    rgb888[511] = 0x08;
    rgb888[767] = 0xFC;
    EXPECT_EQ(aosd::BinaryPalette(table, settings::PaletteFormat::Rgb888), rgb888);
}

TEST(AosdWriters, HexPaletteFileHasFiftyOneCrLfLines) {
    PaletteTable grey{};
    for (int i = 0; i < 256; ++i)
        grey[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i),
                                             static_cast<std::uint8_t>(i), 0};
    const auto lines = aosd::HexPaletteLines(grey, settings::PaletteFormat::Rgb888);
    ASSERT_EQ(lines.size(), 51u);
    EXPECT_EQ(lines[0], "// Palette_Red x 256");
    EXPECT_EQ(lines[1], "0x00,0x01,0x02,0x03,0x04,0x05,0x06,0x07,0x08,0x09,0x0A,0x0B,0x0C,0x0D,0x0E,0x0F,");
    EXPECT_EQ(lines[16], "0xF0,0xF1,0xF2,0xF3,0xF4,0xF5,0xF6,0xF7,0xF8,0xF9,0xFA,0xFB,0xFC,0xFD,0xFE,0xFF,");
    EXPECT_EQ(lines[17], "// Palette_Green x 256");
    EXPECT_EQ(lines[18], lines[1]);
    EXPECT_EQ(lines[34], "// Palette_Blue x 256");
    EXPECT_EQ(lines[50], lines[16]);

    TempDir dir;
    AosdState state;
    EXPECT_EQ(
        aosd::WriteAosdPalette(state, WhiteFirstTable(), settings::PaletteFormat::Rgb666, true, dir / "pal"),
        dir / "pal.txt");
    EXPECT_EQ(state.AosdOutputPath, dir / "pal.txt");
    const std::string text = testsupport::ReadText(dir / "pal.txt");
    // Three titles (20 + 22 + 21 characters), 48 lines of 16 items of five characters, 51 CR LF.
    EXPECT_EQ(text.size(), 63u + 48u * 80u + 51u * 2u);
    const std::string fourteenZeros =
        "0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,";
    EXPECT_EQ(text.substr(0, 22 + 82), "// Palette_Red x 256\r\n0x3F,0x20," + fourteenZeros + "\r\n");
    EXPECT_NE(text.find("// Palette_Green x 256\r\n0x3F,0x10,"), std::string::npos);
    EXPECT_NE(text.find("// Palette_Blue x 256\r\n0x3F,0x00,"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 7), "0x3F,\r\n");
    EXPECT_EQ(text.find('\n'), 21u);

    EXPECT_EQ(
        aosd::WriteAosdPalette(state, WhiteFirstTable(), settings::PaletteFormat::Rgb666, false, dir / "pal"),
        dir / "pal.bin");
    EXPECT_EQ(ReadFile(dir / "pal.bin"),
              aosd::BinaryPalette(WhiteFirstTable(), settings::PaletteFormat::Rgb666));
}

// Writes an 8-bit picture of width x 1 pixels (or the given height) with a 256-entry palette.
void WritePicture(const std::string& path, Bytes pixels, int height = 1) {
    BmpLayout s;
    s.width = static_cast<int>(pixels.size()) / height;
    s.height = height;
    s.palette = testsupport::DistinctPalette(256);
    s.indices = std::move(pixels);
    testsupport::WriteFile(path, testsupport::BuildBmp(s));
}

AosdState Opened(const std::string& path, std::uint16_t count = 1) {
    AosdState state;
    PaletteTable table{};
    const auto outcome = aosd::OpenAosdPicture(state, table, path, std::to_string(count));
    EXPECT_TRUE(outcome.opened) << (outcome.failure ? *outcome.failure : "");
    return state;
}

const Bytes kMixedRow{0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0xFF, 0xFF, 0x03};

TEST(AosdWriters, WriteImageRawAndRlc) {
    TempDir dir;
    WritePicture(dir / "logo01.bmp", kMixedRow);
    AosdState state = Opened(dir / "logo01.bmp");

    auto result = aosd::WriteAosdImage(state, RlcOptions{false, ChipModel::K470A}, dir / "out");
    ASSERT_FALSE(result.failure);
    EXPECT_EQ(state.AosdOutputPath, dir / "out.bin");
    EXPECT_EQ(ReadFile(dir / "out.bin"), kMixedRow);
    EXPECT_EQ(result.fileName, "logo01.bmp");
    EXPECT_EQ(result.width, 9);
    EXPECT_EQ(result.height, 1);
    EXPECT_EQ(result.writeSize, 9);
    EXPECT_EQ(aosd::CompressPercentText(result.rawSize, result.writeSize), "0%");
    EXPECT_EQ(result.changedPixels, 0);

    result = aosd::WriteAosdImage(state, RlcOptions{true, ChipModel::K470A}, dir / "out_rlc.dat");
    ASSERT_FALSE(result.failure);
    EXPECT_EQ(ReadFile(dir / "out_rlc.dat"), (Bytes{0x01, 0xFF, 0x02, 0x02, 0xFE, 0xFE, 0x03}));
    EXPECT_EQ(result.writeSize, 7);
    EXPECT_EQ(aosd::CompressPercentText(result.rawSize, result.writeSize), "22%");
    EXPECT_EQ(state.picture.pixels[6], 0xFE);
    EXPECT_EQ(result.changedPixels, 2);

    // The opened picture is read again for every write: the file on disk is what is coded.
    WritePicture(dir / "logo01.bmp", Bytes(9, 0x07));
    result = aosd::WriteAosdImage(state, RlcOptions{true, ChipModel::K470E}, dir / "again.bin");
    ASSERT_FALSE(result.failure);
    EXPECT_EQ(ReadFile(dir / "again.bin"), (Bytes{0x07, 0xFF, 0x05}));
}

TEST(AosdWriters, WriteImageRefusesAPictureThatChangedSize) {
    TempDir dir;
    WritePicture(dir / "logo01.bmp", kMixedRow);
    AosdState state = Opened(dir / "logo01.bmp");
    testsupport::WriteFile(dir / "out.bin", {'O', 'L', 'D'});
    WritePicture(dir / "logo01.bmp", Bytes(10, 0x07), 2);

    const auto result = aosd::WriteAosdImage(state, RlcOptions{true, ChipModel::K470A}, dir / "out.bin");
    ASSERT_TRUE(result.failure);
    EXPECT_NE(result.failure->find("logo01.bmp\" is 5 x 2 pixels, but the opened picture is 9 x 1"),
              std::string::npos)
        << *result.failure;
    EXPECT_EQ(ReadFile(dir / "out.bin"), (Bytes{'O', 'L', 'D'}));
    EXPECT_EQ(state.picture.pixels, kMixedRow);
}

TEST(AosdWriters, SequenceSkipsMissingMembersAndKeepsNumberWidths) {
    TempDir dir;
    WritePicture(dir / "anim008.bmp", {0x05, 0x05, 0x05, 0x05, 0x05, 0x05, 0x01, 0x02});
    WritePicture(dir / "anim09.bmp", Bytes(8, 0x44)); // not a member: the width of 008 is kept
    WritePicture(dir / "anim010.bmp", Bytes(8, 0xFF));
    WritePicture(dir / "anim011.bmp", {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08});
    WritePicture(dir / "anim012.bmp", Bytes(8, 0x45)); // beyond the count
    AosdState state = Opened(dir / "anim008.bmp", 4);

    const auto result = aosd::WriteAosdSequence(state, RlcOptions{true, ChipModel::K470A}, dir / "seq");
    ASSERT_FALSE(result.failure) << *result.failure;
    EXPECT_EQ(state.AosdOutputPath, dir / "seq.bin");
    EXPECT_EQ(ReadFile(dir / "seq.bin"), (Bytes{0x05, 0xFF, 0x03, 0x01, 0x02,                      //
                                                0xFE, 0xFF, 0x05,                                  //
                                                0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08})); //
    EXPECT_EQ(result.writeSize, 16);
    EXPECT_EQ(result.rawSize, 24);
    EXPECT_EQ(aosd::CompressPercentText(result.rawSize, result.writeSize), "33%");
    EXPECT_EQ(result.changedPixels, 8); // the whole of anim010
    EXPECT_EQ(result.fileName, "anim008.bmp");
    // The last member written is the one shown.
    EXPECT_EQ(state.picture.pixels, (Bytes{0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08}));

    // The same without RLC: the raw pixels back to back, 0xFF kept.
    WritePicture(dir / "logo7.bmp", {0x11, 0x12});
    WritePicture(dir / "logo8.bmp", {0xFF, 0x13});
    WritePicture(dir / "log10.bmp", {0x14, 0x15});
    state = Opened(dir / "logo7.bmp", 4);
    const auto raw = aosd::WriteAosdSequence(state, RlcOptions{}, dir / "logo7-x4.bin");
    ASSERT_FALSE(raw.failure);
    EXPECT_EQ(ReadFile(dir / "logo7-x4.bin"), (Bytes{0x11, 0x12, 0xFF, 0x13, 0x14, 0x15}));
    EXPECT_EQ(raw.writeSize, 6);
    EXPECT_EQ(raw.changedPixels, 0);
}

TEST(AosdWriters, ARefusedSequenceLeavesTheOutputAsItWas) {
    TempDir dir;
    WritePicture(dir / "pic0099.bmp", Bytes(4, 0x01));
    WritePicture(dir / "pic0100.bmp", Bytes(4, 0x02));
    WritePicture(dir / "pic0101.bmp", Bytes(6, 0x03), 2);
    AosdState state = Opened(dir / "pic0099.bmp", 3);
    testsupport::WriteFile(dir / "seq.bin", {'O', 'L', 'D'});

    auto result = aosd::WriteAosdSequence(state, RlcOptions{true, ChipModel::K470A}, dir / "seq.bin");
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(*result.failure, "The picture \"" + (dir / "pic0101.bmp") +
                                   "\" is 3 x 2 pixels, but the opened picture is 4 x 1: every picture "
                                   "written must have the size of the opened one.");
    EXPECT_EQ(ReadFile(dir / "seq.bin"), (Bytes{'O', 'L', 'D'}));
    EXPECT_EQ(state.picture.pixels, Bytes(4, 0x01));

    BmpLayout deep;
    deep.width = 12;
    deep.height = 1;
    deep.biWidth = 4;
    deep.biBitCount = 24;
    testsupport::WriteFile(dir / "pic0101.bmp", testsupport::BuildBmp(deep));
    result = aosd::WriteAosdSequence(state, RlcOptions{}, dir / "seq.bin");
    ASSERT_TRUE(result.failure);
    EXPECT_NE(result.failure->find("pic0101.bmp"), std::string::npos);
    EXPECT_EQ(ReadFile(dir / "seq.bin"), (Bytes{'O', 'L', 'D'}));

    // A base name without a trailing number writes nothing at all.
    WritePicture(dir / "logo.bmp", Bytes(4, 0x01));
    state = Opened(dir / "logo.bmp", 3);
    result = aosd::WriteAosdSequence(state, RlcOptions{}, dir / "none");
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(*result.failure,
              "The picture name logo does not end in a number, so no sequence can be formed.");
    EXPECT_FALSE(base::FileExists(dir / "none.bin"));
}

TEST(AosdWriters, ASequenceWithNoMemberLeftWritesAnEmptyFile) {
    TempDir dir;
    WritePicture(dir / "anim1.bmp", Bytes(4, 0x01));
    AosdState state = Opened(dir / "anim1.bmp", 2);
    std::remove((dir / "anim1.bmp").c_str());
    const auto result = aosd::WriteAosdSequence(state, RlcOptions{true, ChipModel::K470A}, dir / "empty");
    ASSERT_FALSE(result.failure);
    EXPECT_TRUE(base::FileExists(dir / "empty.bin"));
    EXPECT_TRUE(ReadFile(dir / "empty.bin").empty());
    EXPECT_EQ(result.writeSize, 0);
    EXPECT_EQ(aosd::CompressPercentText(result.rawSize, result.writeSize), "0%");
}

} // namespace
