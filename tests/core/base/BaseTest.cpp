#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "base/WholeFile.h"

#include "support/BmpBuilder.h"
#include "support/Child.h"

#include <filesystem>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <algorithm>

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
    ASSERT_TRUE(base::WriteFileAtomically(dir / "f", bytes));
    std::vector<std::uint8_t> in;
    EXPECT_EQ(base::ReadWholeFile(dir / "f", in), base::ReadStatus::Ok);
    EXPECT_EQ(std::string(in.begin(), in.end()), bytes);
    EXPECT_EQ(base::ReadWholeFile(dir / "f", in, 3), base::ReadStatus::TooLarge);
    EXPECT_EQ(base::ReadWholeFile(dir / "none", in), base::ReadStatus::CannotOpen);
    EXPECT_EQ(base::ReadWholeFile(dir.path(), in),
              base::ReadStatus::ReadError); // a directory opens, reads fail
    EXPECT_FALSE(base::WriteFileAtomically(dir / "no/dir/f", bytes));
}

} // namespace

namespace {

namespace fs = std::filesystem;
using base::OutputFile;
using testsupport::ChildLimits;
using testsupport::RunInChild;

std::string Read(const std::string& path) {
    return testsupport::ReadText(path);
}

void Write(const std::string& path, const std::string& text) {
    testsupport::WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// The names in a directory, so that a test can see that no temporary file was left behind.
std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Replaces path with `size` bytes of 'n' in a child under limits; the child's exit code says how far it got
// (0 written and closed, 1 Create refused, 2 Close reported the failure).
int ReplaceInChild(const std::string& path, size_t size, const ChildLimits& limits) {
    return RunInChild(limits, [&] {
        OutputFile f;
        if (!f.Create(path, OutputFile::Mode::Binary)) return 1;
        f.Write(std::string(size, 'n'));
        return f.Close() ? 0 : 2;
    });
}

TEST(SafeReplace, AFailedWriteKeepsTheOldBytesAndLeavesNoTemporaryFile) {
    struct Case {
        const char* what;
        ChildLimits limits;
        mode_t fileMode;
        mode_t dirMode;
        int expectedExit;
    };
    const Case cases[] = {
        {"a file-size limit hit halfway", {false, 1000}, 0644, 0755, 2},
        {"a file-size limit of zero", {false, 0}, 0644, 0755, 2},
        {"a read-only file in a writable directory", {true, -1}, 0444, 0777, 1},
        {"a file the user does not own in a writable directory", {true, -1}, 0644, 0777, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::TempDir dir;
        const std::string target = dir / "keep.bmp";
        Write(target, "old bytes");
        ::chmod(target.c_str(), c.fileMode);
        ::chmod(dir.path().c_str(), c.dirMode);
        EXPECT_EQ(ReplaceInChild(target, 5000, c.limits), c.expectedExit);
        EXPECT_EQ(Read(target), "old bytes");
        EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"keep.bmp"});
        struct stat st {};
        ::stat(target.c_str(), &st);
        EXPECT_EQ(st.st_mode & 07777, c.fileMode);
        ::chmod(dir.path().c_str(), 0755);
    }
}

TEST(SafeReplace, KeepsPermissionBitsFollowsLinksAndFallsBackToWritingInPlace) {
    testsupport::TempDir dir;
    const std::string target = dir / "out.txt";
    Write(target, "old");
    ::chmod(target.c_str(), 0640);
    fs::create_symlink("out.txt", dir / "link.txt");

    OutputFile f;
    ASSERT_TRUE(f.Create(dir / "link.txt", OutputFile::Mode::Text));
    f.Write("new\n");
    EXPECT_EQ(Read(target), "old"); // nothing changes before Close
    ASSERT_TRUE(f.Close());
    EXPECT_EQ(Read(target), "new\r\n");
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A directory that refuses new files, with a target the user may write: written in place.
    const std::string sub = dir / "locked";
    fs::create_directory(sub);
    ::chmod(dir.path().c_str(), 0755); // the unprivileged child must reach it
    Write(sub + "/w.bin", "old");
    ::chmod((sub + "/w.bin").c_str(), 0666);
    ::chmod(sub.c_str(), 0555);
    EXPECT_EQ(ReplaceInChild(sub + "/w.bin", 3, {true, -1}), 0);
    EXPECT_EQ(Read(sub + "/w.bin"), "nnn");
    // ... and a new file there is refused.
    EXPECT_EQ(ReplaceInChild(sub + "/new.bin", 3, {true, -1}), 1);
    EXPECT_FALSE(fs::exists(sub + "/new.bin"));
    ::chmod(sub.c_str(), 0755);
}

TEST(SafeReplace, AnAbandonedWriteChangesNothing) {
    testsupport::TempDir dir;
    Write(dir / "a.bin", "old");
    {
        OutputFile f;
        ASSERT_TRUE(f.Create(dir / "a.bin", OutputFile::Mode::Binary));
        f.Write(std::string(200000, 'x')); // past the buffer, so bytes reached the temporary file
    }
    EXPECT_EQ(Read(dir / "a.bin"), "old");
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"a.bin"});
}

TEST(AppendFile, AddsToTheEndAndCutsBackOnFailure) {
    testsupport::TempDir dir;
    const std::string path = dir / "merge.bin";
    Write(path, "abc");
    OutputFile f;
    ASSERT_TRUE(f.OpenForAppend(path, OutputFile::Mode::Binary));
    f.Write("de\n");
    ASSERT_TRUE(f.Close());
    EXPECT_EQ(Read(path), "abcde\n");

    const int exit = RunInChild({false, 1000}, [&] {
        OutputFile g;
        if (!g.OpenForAppend(path, OutputFile::Mode::Binary)) return 1;
        g.Write(std::string(5000, 'z'));
        return g.Close() ? 0 : 2;
    });
    EXPECT_EQ(exit, 2);
    EXPECT_EQ(Read(path), "abcde\n");

    // A missing file is created; abandoning an append cuts it back too.
    {
        OutputFile g;
        ASSERT_TRUE(g.OpenForAppend(dir / "new.bin", OutputFile::Mode::Text));
        g.Write("x\n");
        ASSERT_TRUE(g.Close());
        ASSERT_TRUE(g.OpenForAppend(dir / "new.bin", OutputFile::Mode::Text));
        g.Write(std::string(100000, 'y'));
    }
    EXPECT_EQ(Read(dir / "new.bin"), "x\r\n");
}

TEST(OutputFile, TextModeMatchesAByteByByteConversion) {
    // Line ends at the edges of spans and of the buffer, and lone CRs, which stay as they are.
    std::string text;
    for (int i = 0; i < 70000; ++i)
        text += (i % 7 == 0) ? '\n' : (i % 11 == 0 ? '\r' : static_cast<char>('a' + i % 26));
    std::string expected;
    for (char ch : text)
        expected += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    testsupport::TempDir dir;
    OutputFile f;
    ASSERT_TRUE(f.Create(dir / "t.txt", OutputFile::Mode::Text));
    f.Write(std::string_view(text).substr(0, 12345));
    for (size_t i = 12345; i < 12400; ++i)
        f.Put(static_cast<std::uint8_t>(text[i]));
    f.Printf("%s", text.substr(12400).c_str());
    ASSERT_TRUE(f.Close());
    EXPECT_EQ(Read(dir / "t.txt"), expected);
}

} // namespace
