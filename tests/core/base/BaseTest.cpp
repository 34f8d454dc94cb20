#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "base/WholeFile.h"

#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

namespace {

TEST(Path, SplitsAtEitherSeparatorAndTheLastDot) {
    struct Case {
        const char* path;
        const char* directory;
        const char* baseName;
        const char* extension;
    };
    const Case cases[] = {
        {"C:\\pics\\logo01.bmp", "C:\\pics\\", "logo01", ".bmp"},
        {"/pics/logo01.bmp", "/pics/", "logo01", ".bmp"},
        {"/a.b/c", "/a.b/", "c", ""},
        {"name.tar.gz", "", "name.tar", ".gz"},
        {"dir/", "dir/", "", ""},
        {"", "", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto p = base::SplitPath(c.path);
        EXPECT_EQ(p.directory, c.directory);
        EXPECT_EQ(p.baseName, c.baseName);
        EXPECT_EQ(p.extension, c.extension);
    }
    EXPECT_EQ(base::FileNameOf("C:\\fonts\\osd16.bmp"), "osd16.bmp");
}

TEST(Format, FollowsPrintf) {
    EXPECT_EQ(base::strprintf("%10d|%-8X|%03X", 42, 0xAB, 0xF), "        42|AB      |00F");
    EXPECT_EQ(base::strprintf("%s", std::string(1000, 'x').c_str()).size(), 1000u);
}

TEST(OutputFile, TextModeWritesCrLfAndBinaryModeTheBytes) {
    testsupport::TempDir dir;
    base::OutputFile text;
    ASSERT_TRUE(text.Create(dir / "t.txt", base::OutputFile::Mode::Text));
    text.Printf("a\nb%d\n", 1);
    text.Write("\n");
    ASSERT_TRUE(text.Close());
    EXPECT_EQ(testsupport::ReadText(dir / "t.txt"), "a\r\nb1\r\n\r\n");

    base::OutputFile bin;
    ASSERT_TRUE(bin.Create(dir / "b.bin", base::OutputFile::Mode::Binary));
    bin.Write("a\nb");
    bin.Put(0x0A);
    bin.Put(0x00);
    ASSERT_TRUE(bin.Close());
    EXPECT_EQ(testsupport::ReadText(dir / "b.bin"), std::string("a\nb\n\0", 5));

    base::OutputFile missing;
    EXPECT_FALSE(missing.Create(dir / "no/such/dir/x.bin", base::OutputFile::Mode::Binary));
    EXPECT_FALSE(missing.IsOpen());
}

} // namespace

namespace {

TEST(WholeFile, RoundTripLimitAndFailures) {
    testsupport::TempDir dir;
    const std::string bytes = "abc\r\n\0z";
    ASSERT_TRUE(base::WriteWholeFile(dir / "f", bytes.data(), bytes.size()));
    std::vector<std::uint8_t> in;
    EXPECT_EQ(base::ReadWholeFile(dir / "f", in), base::ReadStatus::Ok);
    EXPECT_EQ(std::string(in.begin(), in.end()), bytes);
    EXPECT_EQ(base::ReadWholeFile(dir / "f", in, 3), base::ReadStatus::TooLarge);
    EXPECT_EQ(base::ReadWholeFile(dir / "none", in), base::ReadStatus::CannotOpen);
    EXPECT_EQ(base::ReadWholeFile(dir.path(), in),
              base::ReadStatus::ReadError); // a directory opens, reads fail
    EXPECT_FALSE(base::WriteWholeFile(dir / "no/dir/f", bytes.data(), bytes.size()));
}

} // namespace
