#include "settings/Settings.h"
#include "settings/SettingsFile.h"

#include "base/FileProblem.h"
#include "support/BmpBuilder.h"
#include "support/Child.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using settings::LoadSettings;
using settings::SaveSettings;
using settings::Settings;
using testsupport::ReadText;
using testsupport::TempDir;

void WriteText(const std::string& path, const std::string& text) {
    testsupport::WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

TEST(Settings, FirstRunUsesDefaultsAndQuitCreatesTheFile) {
    TempDir dir;
    const std::string path = dir / "Tavix.INI";
    const Settings s = LoadSettings(path);
    EXPECT_EQ(s.ToStored().FontSize, 4);
    EXPECT_EQ(s.ToStored().CodeFormat, 1);
    EXPECT_EQ(s.ToStored().BinSort, 0);
    EXPECT_EQ(s.ToStored().PaletteFormat, 1);
    EXPECT_EQ(s.OsdCellWidth(), 16);
    EXPECT_EQ(s.OsdCellHeight(), 16);
    EXPECT_EQ(s.PaletteColorMask(), 0xFFFFFFu);

    ASSERT_FALSE(SaveSettings(s, path).has_value());
    EXPECT_EQ(ReadText(path),
              "[Tavix CONFIG]\r\nFont Size=4\r\nCode Format=1\r\nBin Sort=0\r\nPalette Format=1\r\n");
}

TEST(Settings, StoredValuesAreReadAndDerivedValuesFollow) {
    TempDir dir;
    const std::string path = dir / "Tavix.INI";
    WriteText(path, "[Tavix CONFIG]\r\nFont Size=2\r\nCode Format=0\r\nBin Sort=1\r\nPalette Format=0\r\n");
    const Settings s = LoadSettings(path);
    EXPECT_EQ(s.FontSize().Index(), 2);
    EXPECT_EQ(s.OsdCellWidth(), 14);
    EXPECT_EQ(s.OsdCellHeight(), 16);
    EXPECT_EQ(s.CodeFormat(), settings::CodeFormat::Asm);
    EXPECT_EQ(s.BinSort(), settings::BinSort::Font);
    EXPECT_EQ(s.PaletteFormat(), settings::PaletteFormat::Rgb666);
    EXPECT_EQ(s.PaletteColorMask(), 0xFCFCFCu);
}

TEST(Settings, OutOfRangeAndMalformedValues) {
    struct Case {
        const char* file;
        std::int32_t fontSize, codeFormat, binSort, paletteFormat;
        std::uint8_t cellWidth;
        base::Colour mask;
    };
    const Case cases[] = {
        // A Font Size outside 0..4 becomes 4; the other fields keep the numbers stored.
        {"[Tavix CONFIG]\nFont Size=9\nCode Format=7\nBin Sort=-3\nPalette Format=5\n", 4, 7, -3, 5, 16,
         0xFFFFFF},
        {"[Tavix CONFIG]\nFont Size=-1\n", 4, 1, 0, 1, 16, 0xFFFFFF},
        // Values that are not integers give the defaults.
        {"[Tavix CONFIG]\nFont Size=abc\nCode Format=1x\nBin Sort=\nPalette Format=99999999999\n", 4, 1, 0, 1,
         16, 0xFFFFFF},
        // Blanks around keys and values, other letter case, other sections and keys.
        {"[other]\nFont Size=0\n[ tavix config ]\n  font size = 1 \nBIN SORT=1\nUnknown=3\n", 1, 1, 1, 1, 13,
         0xFFFFFF},
        // Keys outside the section do not count.
        {"Font Size=0\n[Tavix CONFIG]\nPalette Format=0\n", 4, 1, 0, 0, 16, 0xFCFCFC},
        // A missing section leaves every default.
        {"[Something]\nFont Size=0\n", 4, 1, 0, 1, 16, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        TempDir dir;
        WriteText(dir / "Tavix.INI", c.file);
        const Settings s = LoadSettings(dir / "Tavix.INI");
        const Settings::Stored stored = s.ToStored();
        EXPECT_EQ(stored.FontSize, c.fontSize);
        EXPECT_EQ(stored.CodeFormat, c.codeFormat);
        EXPECT_EQ(stored.BinSort, c.binSort);
        EXPECT_EQ(stored.PaletteFormat, c.paletteFormat);
        EXPECT_EQ(s.OsdCellWidth(), c.cellWidth);
        EXPECT_EQ(s.PaletteColorMask(), c.mask);
    }
}

TEST(Settings, SaveKeepsOtherLinesAndReplacesValuesInPlace) {
    TempDir dir;
    const std::string path = dir / "Tavix.INI";
    WriteText(path, "; written by hand\r\n[Other]\r\nFont Size=3\r\n\r\n[Tavix CONFIG]\r\nBin Sort = 1\r\n"
                    "Comment=keep me\r\n\r\n[Last]\r\nx=1\r\n");
    Settings s;
    s.SetFontSize(settings::FontSize::Item(0));
    s.SetCodeFormat(settings::CodeFormat::Asm);
    s.SetBinSort(settings::BinSort::Half);
    s.SetPaletteFormat(settings::PaletteFormat::Rgb666);
    ASSERT_FALSE(SaveSettings(s, path).has_value());
    EXPECT_EQ(ReadText(path),
              "; written by hand\r\n[Other]\r\nFont Size=3\r\n\r\n[Tavix CONFIG]\r\nBin Sort = 0\r\n"
              "Comment=keep me\r\nFont Size=0\r\nCode Format=0\r\nPalette Format=0\r\n\r\n"
              "[Last]\r\nx=1\r\n");
    // Read back, the file gives what was saved.
    const Settings::Stored back = LoadSettings(path).ToStored();
    EXPECT_EQ(back.FontSize, 0);
    EXPECT_EQ(back.CodeFormat, 0);
    EXPECT_EQ(back.BinSort, 0);
    EXPECT_EQ(back.PaletteFormat, 0);
}

TEST(Settings, SaveAppendsTheSectionToAFileWithoutIt) {
    TempDir dir;
    const std::string path = dir / "Tavix.INI";
    WriteText(path, "[Other]\nkey=value\n");
    ASSERT_FALSE(SaveSettings(Settings{}, path).has_value());
    EXPECT_EQ(ReadText(path), "[Other]\nkey=value\n[Tavix CONFIG]\nFont Size=4\nCode Format=1\nBin Sort=0\n"
                              "Palette Format=1\n");
}

TEST(Settings, UnwritableFileReportsItsPathAndWhy) {
    TempDir dir;
    // A directory in the file's place cannot be written, whoever runs the test.
    const std::string path = dir / "Tavix.INI";
    std::filesystem::create_directory(path);
    base::FailureDetail detail;
    const auto error = SaveSettings(Settings{}, path, &detail);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(*error, "Unable to write to " + path);
    EXPECT_EQ(base::DetailLines(detail), path + " is not a regular file\n");

    const std::string missing = dir / "no/such/dir/Tavix.INI";
    detail.clear();
    EXPECT_EQ(SaveSettings(Settings{}, missing, &detail).value_or(""), "Unable to write to " + missing);
    EXPECT_EQ(base::DetailLines(detail), "cannot create " + missing + ": No such file or directory\n");
}

} // namespace

namespace {

// Quit with a file-size limit that fails the write after the old file would have been truncated: the
// settings file keeps every section and line it had, and the failure is still reported.
TEST(Settings, AFailedSaveKeepsTheWholeFile) {
    TempDir dir;
    const std::string path = dir / "Tavix.INI";
    const std::string before =
        "; kept\r\n[Other]\r\nx=1\r\n\r\n[Tavix CONFIG]\r\nFont Size=2\r\nCode Format=0\r\n"
        "Bin Sort=1\r\nPalette Format=0\r\n[Tail]\r\ny=2\r\n";
    WriteText(path, before);
    Settings s;
    s.SetFontSize(settings::FontSize::Item(3));
    for (const long limit : {0L, 20L}) {
        SCOPED_TRACE(limit);
        const int exit = testsupport::RunInChild({false, limit}, [&] {
            base::FailureDetail detail;
            const auto error = SaveSettings(s, path, &detail);
            return error && *error == "Unable to write to " + path &&
                           base::DetailLines(detail) == "cannot write " + path + ": File too large\n"
                       ? 0
                       : 1;
        });
        EXPECT_EQ(exit, 0);
        EXPECT_EQ(ReadText(path), before);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    }
}

} // namespace

namespace {

bool Writable(const std::string& directory) {
    return directory == "/opt/portable/" || directory == ".";
}
bool NothingWritable(const std::string&) {
    return false;
}

TEST(SettingsLocation, BesideTheExecutableWhenItsFolderIsWritableElseTheConfigFolder) {
    struct Case {
        const char* exe;
        const char* xdg;
        const char* home;
        bool (*writable)(const std::string&);
        const char* path;
        bool beside;
    };
    const Case cases[] = {
        {"/opt/portable/", "/x/cfg", "/home/u", Writable, "/opt/portable/Tavix.INI", true},
        {"", "", "/home/u", Writable, "Tavix.INI", true},
        {"/usr/bin/", "/x/cfg", "/home/u", Writable, "/x/cfg/tavix/Tavix.INI", false},
        {"/usr/bin/", "/x/cfg/", "/home/u", Writable, "/x/cfg/tavix/Tavix.INI", false},
        {"/usr/bin/", "", "/home/u", Writable, "/home/u/.config/tavix/Tavix.INI", false},
        {"/usr/bin/", "", "/home/u/", NothingWritable, "/home/u/.config/tavix/Tavix.INI", false},
        // A relative XDG_CONFIG_HOME is not taken: the home's .config stands.
        {"/usr/bin/", "cfg", "/home/u", Writable, "/home/u/.config/tavix/Tavix.INI", false},
        // No home at all: the file beside the executable stays, and saving there says why it cannot.
        {"/usr/bin/", "", "", Writable, "/usr/bin/Tavix.INI", true},
        {"/usr/bin/", "", "relative", Writable, "/usr/bin/Tavix.INI", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.exe) + " | " + c.xdg + " | " + c.home);
        const settings::SettingsLocation where = settings::ChooseSettingsLocation({c.exe, c.xdg, c.home, c.writable});
        EXPECT_EQ(where.path, c.path);
        EXPECT_EQ(where.besideExecutable, c.beside);
    }
}

TEST(SettingsLocation, TheConfigFolderIsMadeOnSaveAndHoldsTheSameBytes) {
    TempDir dir;
    EXPECT_TRUE(settings::DirectoryWritable(dir.path()));
    EXPECT_FALSE(settings::DirectoryWritable(dir / "missing"));

    Settings s;
    s.SetCodeFormat(settings::CodeFormat::Asm);
    ASSERT_FALSE(SaveSettings(s, dir / "Tavix.INI"));
    const settings::SettingsLocation elsewhere{dir / "cfg/tavix/Tavix.INI", false};
    settings::MakeSettingsFolder(elsewhere);
    ASSERT_FALSE(SaveSettings(s, elsewhere.path));
    EXPECT_EQ(ReadText(elsewhere.path), ReadText(dir / "Tavix.INI"));
    EXPECT_EQ(LoadSettings(elsewhere.path).CodeFormat(), settings::CodeFormat::Asm);
    // The file beside the executable is never given a folder of its own.
    settings::MakeSettingsFolder({dir / "made/Tavix.INI", true});
    EXPECT_FALSE(std::filesystem::exists(dir / "made"));
}

} // namespace
