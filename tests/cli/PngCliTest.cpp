// A PNG and the BMP that holds the same picture give the same bytes through every command that takes a
// picture: each pair is written under one name in two folders, and every file each command writes is compared.
#include "cli/CliRun.h"

#include "support/BmpBuilder.h"
#include "support/PngBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace {

using clitest::RunCli;
using testsupport::PngColour;
using testsupport::PngLayout;
using Bytes = std::vector<std::uint8_t>;

// Every file under dir, by its name relative to dir.
std::map<std::string, Bytes> FilesUnder(const std::string& dir) {
    std::map<std::string, Bytes> files;
    if (!std::filesystem::exists(dir)) return files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), dir).string()] = testsupport::ReadFile(entry.path());
    return files;
}

testsupport::BmpLayout BmpTwin(const PngLayout& png) {
    testsupport::BmpLayout bmp;
    bmp.width = png.width;
    bmp.height = png.height;
    bmp.bpp = png.bitDepth;
    bmp.indices = png.indices;
    bmp.xPelsPerMeter = png.phys && png.phys->metre ? png.phys->x : 0;
    bmp.yPelsPerMeter = png.phys && png.phys->metre ? png.phys->y : 0;
    const int levels = 1 << png.bitDepth;
    if (png.colour == PngColour::Palette) {
        bmp.palette = png.palette;
        bmp.palette.resize(static_cast<std::size_t>(levels), 0); // black past a short PLTE
    } else {
        for (int i = 0; i < levels; ++i) {
            const auto v = static_cast<std::uint8_t>(i * 255 / (levels - 1));
            bmp.palette.push_back(base::MakeColour(v, v, v));
        }
    }
    return bmp;
}

struct JobCase {
    const char* name;
    PngColour colour;
    int depth;
    bool interlaced;
    int paletteEntries; // PLTE entries (Palette)
    bool trns;
    bool phys;
};

TEST(PngCli, EveryJobWritesTheSameBytesForAPngAsForItsBmpTwin) {
    const JobCase cases[] = {
        {"palette 1 bit", PngColour::Palette, 1, false, 2, false, false},
        {"palette 2 bits", PngColour::Palette, 2, false, 4, false, true},
        {"palette 4 bits, tRNS", PngColour::Palette, 4, false, 16, true, false},
        {"palette 8 bits, interlaced", PngColour::Palette, 8, true, 256, false, true},
        {"palette 8 bits, short PLTE", PngColour::Palette, 8, false, 5, false, false},
        {"grey 1 bit, interlaced", PngColour::Grey, 1, true, 0, false, false},
        {"grey 2 bits", PngColour::Grey, 2, false, 0, false, false},
        {"grey 4 bits", PngColour::Grey, 4, false, 0, false, true},
        {"grey 8 bits", PngColour::Grey, 8, false, 0, false, false},
    };
    for (const JobCase& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempDir dir;
        const int levels = 1 << c.depth;
        PngLayout png;
        png.width = 32; // two 16 x 16 cells
        png.height = 16;
        png.colour = c.colour;
        png.bitDepth = c.depth;
        png.interlaced = c.interlaced;
        png.indices = testsupport::IndicesOf(32, 16, [&](int x, int y) {
            return (x * 7 + y * 3 + (x ^ y)) % std::min(levels, c.colour == PngColour::Palette ? c.paletteEntries : levels);
        });
        if (c.colour == PngColour::Palette) {
            png.palette = testsupport::DistinctPalette(c.paletteEntries);
            if (c.trns) png.trns = {0, 200, 17};
        }
        if (c.phys) png.phys = PngLayout::Phys{3780, 2835, true};
        PngLayout second = png; // the next picture of a sequence: the first mirrored
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 32; ++x) second.indices[static_cast<std::size_t>(y * 32 + x)] =
                png.indices[static_cast<std::size_t>(y * 32 + 31 - x)];

        std::map<std::string, std::string> headerOut, headerErr;
        for (const std::string ext : {".bmp", ".png"}) {
            const std::string in = dir / ext.substr(1);
            std::filesystem::create_directories(in);
            const auto write = [&](const std::string& name, const PngLayout& layout) {
                testsupport::WriteFile(in + "/" + name + ext, ext == ".png" ? testsupport::BuildPng(layout)
                                                                               : testsupport::BuildBmp(BmpTwin(layout)));
            };
            write("sheet", png);
            write("anim01", png);
            write("anim02", second);
            const std::string out = dir / ("out" + ext);
            const std::vector<std::vector<std::string>> runs = {
                {"osd", in + "/sheet" + ext, "--out", out + "/osd"},
                {"osd", in + "/sheet" + ext, "--reduce", "--code", "asm", "--palette", "rgb666", "--out",
                 out + "/reduced", "--save-reduced", out + "/reduced.bmp"},
                {"palette", in + "/sheet" + ext, out + "/palette.bmp", "--swap", "0,1,1", "--update", "1=123456"},
                {"aosd", "image", in + "/sheet" + ext, out + "/image"},
                {"aosd", "image", in + "/sheet" + ext, out + "/image-rlc", "--rlc", "k470e"},
                {"aosd", "sequence", in + "/anim01" + ext, "2", out + "/sequence", "--rlc", "k470a"},
                {"aosd", "palette", in + "/sheet" + ext, out + "/aosd-palette", "--hex"},
            };
            std::filesystem::create_directories(out + "/osd");
            std::filesystem::create_directories(out + "/reduced");
            for (const auto& args : runs) {
                const auto r = RunCli(args);
                EXPECT_EQ(r.code, 0) << args[0] << ' ' << args[1] << ": " << r.err;
            }
            const auto header = RunCli({"header", in + "/sheet" + ext});
            EXPECT_EQ(header.code, 0);
            headerOut[ext] = header.out;
            headerErr[ext] = header.err;
        }
        const auto bmpFiles = FilesUnder(dir / "out.bmp");
        const auto pngFiles = FilesUnder(dir / "out.png");
        EXPECT_GE(bmpFiles.size(), 12u);
        ASSERT_EQ(testing::PrintToString(bmpFiles.size()), testing::PrintToString(pngFiles.size()));
        for (const auto& [name, bytes] : bmpFiles) {
            const auto other = pngFiles.find(name);
            ASSERT_NE(other, pngFiles.end()) << name;
            EXPECT_TRUE(other->second == bytes) << name << " differs";
        }
        EXPECT_EQ(headerOut[".png"], headerOut[".bmp"]);
        EXPECT_EQ(headerErr[".bmp"], "");
        EXPECT_EQ(headerErr[".png"], "PNG \u2014 shown as its BMP header\n");
    }
}

TEST(PngCli, DeepAndDamagedPngsAreRefusedWithTheirReasons) {
    testsupport::TempDir dir;
    PngLayout rgb;
    rgb.width = 16;
    rgb.height = 16;
    rgb.colour = PngColour::Rgb;
    rgb.indices.assign(256, 9);
    testsupport::WriteFile(dir / "photo.png", testsupport::BuildPng(rgb));
    const std::string hint =
        "Reduce the PNG to a palette first: indexed or greyscale, 1, 2, 4 or 8 bits per pixel.\n";

    auto r = RunCli({"osd", dir / "photo.png", "--out", dir / "out"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Don't support 24bit!!!\n" + hint);
    r = RunCli({"palette", dir / "photo.png", dir / "p.bmp"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Don't support 24bit!!!\n" + hint);
    r = RunCli({"aosd", "image", dir / "photo.png", dir / "img"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("it has 24 bits per pixel"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(dir / "photo.png"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.substr(r.err.size() - hint.size()), hint);

    // Cut short in its image data: libpng's reason, the file named, nothing written.
    Bytes cut = testsupport::BuildPng(rgb);
    cut.resize(cut.size() - 20);
    testsupport::WriteFile(dir / "cut.png", cut);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"osd", dir / "cut.png", "--out", dir / "out"},
          std::vector<std::string>{"aosd", "image", dir / "cut.png", dir / "img"},
          std::vector<std::string>{"header", dir / "cut.png"}}) {
        r = RunCli(args);
        EXPECT_EQ(r.code, 1) << args[0];
        EXPECT_EQ(r.err.rfind("Cannot read the picture \"" + dir / "cut.png" + "\": ", 0), 0u) << r.err;
        EXPECT_EQ(r.err.find(hint), std::string::npos);
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "img.bin"));
    EXPECT_FALSE(std::filesystem::exists(dir / "out/cut_R.txt"));
}

} // namespace
