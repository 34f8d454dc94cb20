#include "base/FileProblem.h"
#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "base/WholeFile.h"

#include "support/BmpBuilder.h"
#include "support/Child.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <string_view>

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

// A name typed into a file dialog is taken from the current folder unless it is absolute; only a folder that
// exists and can be entered becomes the current one.
TEST(Path, ResolvesAgainstAFolderAndKnowsAnEnterableOne) {
    const std::pair<std::pair<const char*, const char*>, const char*> cases[] = {
        {{"", "a.bmp"}, "a.bmp"},
        {{"", "sub/a.bmp"}, "sub/a.bmp"},
        {{"/pics/", "a.bmp"}, "/pics/a.bmp"},
        {{"/pics", "sub/a.bmp"}, "/pics/sub/a.bmp"},
        {{"pics/", "a.bmp"}, "pics/a.bmp"},
        {{"/pics/", "/other/a.bmp"}, "/other/a.bmp"},
    };
    for (const auto& [in, resolved] : cases) {
        SCOPED_TRACE(std::string(in.first) + " + " + in.second);
        EXPECT_EQ(base::ResolvePath(in.first, in.second), resolved);
    }

    testsupport::TempDir dir;
    std::filesystem::create_directory(dir / "open");
    std::filesystem::create_directory(dir / "shut");
    ::chmod((dir / "shut").c_str(), 0600); // no x: cannot be entered (unless by root, who enters anything)
    testsupport::WriteFile(dir / "file", {});
    EXPECT_TRUE(base::IsEnterableDirectory(dir / "open"));
    EXPECT_TRUE(base::IsEnterableDirectory(dir / "open/"));
    EXPECT_EQ(base::IsEnterableDirectory(dir / "shut"), ::geteuid() == 0);
    EXPECT_FALSE(base::IsEnterableDirectory(dir / "file"));
    EXPECT_FALSE(base::IsEnterableDirectory(dir / "missing"));
    EXPECT_FALSE(base::IsEnterableDirectory(""));
    ::chmod((dir / "shut").c_str(), 0700);
}

// The files a job names itself go into its output directory; its messages name them with that directory,
// or by their names alone where the directory is the window's current folder.
TEST(OutputFile, AnOutputDirectoryNamesItsFilesInMessagesAsItSays) {
    testsupport::TempDir dir;
    std::filesystem::create_directory(dir / "taken");
    const base::OutputDirectory cli(dir.path());
    const base::OutputDirectory window = base::OutputDirectory::Current(dir.path());
    for (const auto& [directory, named] :
         {std::pair{cli, dir / "taken"}, std::pair{window, std::string("taken")}}) {
        SCOPED_TRACE(named);
        base::OutputSet set;
        base::OutputFile file;
        EXPECT_FALSE(file.Create(directory, "taken", base::OutputFile::Mode::Binary, set));
        EXPECT_EQ(base::ProblemText(file.Problem()), "cannot write " + named + ": Is a directory");

        ASSERT_TRUE(file.Create(directory, "made.bin", base::OutputFile::Mode::Binary, set));
        file.Write("bytes");
        ASSERT_TRUE(file.Close());
        ASSERT_TRUE(set.Commit());
        EXPECT_EQ(testsupport::ReadText(dir / "made.bin"), "bytes");
    }
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
    EXPECT_EQ(base::ReadWholeFile(dir.path(), in), base::ReadStatus::NotRegular);
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

// A failed write or read keeps the file and the system's reason, which the messages show beside their own
// text.
TEST(OutputFile, AFailureKeepsTheFileAndTheSystemsReason) {
    testsupport::TempDir dir;
    fs::create_directory(dir / "folder");
    OutputFile f;
    EXPECT_FALSE(f.Create(dir / "folder", OutputFile::Mode::Binary));
    EXPECT_EQ(base::ProblemText(f.Problem()), "cannot write " + (dir / "folder") + ": Is a directory");
    EXPECT_FALSE(f.Create(dir / "no/such/dir/f", OutputFile::Mode::Binary));
    EXPECT_EQ(base::ProblemText(f.Problem()),
              "cannot create " + (dir / "no/such/dir/f") + ": No such file or directory");
    ASSERT_TRUE(f.Create(dir / "ok", OutputFile::Mode::Binary));
    EXPECT_EQ(f.Problem().reason, ""); // a new write starts clean
    f.Write("x");
    EXPECT_TRUE(f.Close());
    EXPECT_EQ(f.Problem().reason, "");
    // A size limit hit while the bytes go out: the reason is the one the system gave for the write.
    EXPECT_EQ(RunInChild({false, 1000},
                         [&] {
                             OutputFile g;
                             if (!g.Create(dir / "big", OutputFile::Mode::Binary)) return 1;
                             g.Write(std::string(100000, 'n'));
                             if (g.Close()) return 2;
                             return base::ProblemText(g.Problem()) ==
                                            "cannot write " + (dir / "big") + ": File too large"
                                        ? 0
                                        : 3;
                         }),
              0);

    std::vector<std::uint8_t> in;
    base::FileProblem problem;
    EXPECT_EQ(base::ReadWholeFile(dir / "none", in, 100, &problem), base::ReadStatus::CannotOpen);
    EXPECT_EQ(base::ProblemText(problem), (dir / "none") + ": No such file or directory");
    EXPECT_EQ(base::ReadWholeFile(dir / "folder", in, 100, &problem), base::ReadStatus::NotRegular);
    EXPECT_EQ(base::ProblemText(problem), (dir / "folder") + " is not a regular file");
    Write(dir / "five", "12345");
    EXPECT_EQ(base::ReadWholeFile(dir / "five", in, 4, &problem), base::ReadStatus::TooLarge);
    EXPECT_EQ(base::ProblemText(problem), (dir / "five") + ": larger than 4 bytes");
    EXPECT_EQ(base::SizeLimitText(64u << 20), "64 MiB");
    EXPECT_EQ(base::SizeLimitText((64u << 20) + 1), "67108865 bytes");

    // The detail as the CLI prints it (the path as given) and as the status bar shows it (the name), in
    // each wording.
    const base::FailureDetail detail{{"out/a.BIN", "No such file or directory"},
                                     {"/x/b.bin", "Is a directory"}};
    EXPECT_EQ(base::DetailLines(detail), "out/a.BIN: No such file or directory\n/x/b.bin: Is a directory\n");
    EXPECT_EQ(base::DetailPanelText(detail), "a.BIN: No such file or directory; b.bin: Is a directory");
    EXPECT_EQ(base::DetailLines({}), "");
    using base::Wording;
    const struct {
        base::FileProblem problem;
        const char* line;
        const char* panel;
    } worded[] = {
        {{"o/a.BIN", "Permission denied", Wording::CannotReplace},
         "cannot replace o/a.BIN safely: Permission denied",
         "cannot replace a.BIN safely: Permission denied"},
        {{"o/n.bin", "No space left on device", Wording::CannotCreate},
         "cannot create o/n.bin: No space left on device",
         "cannot create n.bin: No space left on device"},
        {{"o/f.txt", "File too large", Wording::CannotWrite},
         "cannot write o/f.txt: File too large",
         "cannot write f.txt: File too large"},
        {{"o/f.txt", "Is a directory", Wording::NotReplaced},
         "cannot replace o/f.txt: Is a directory",
         "cannot replace f.txt: Is a directory"},
        {{"o/f.txt", "", Wording::NotCompleted}, "o/f.txt was not completed", "f.txt was not completed"},
        {{"/dev/zero", "", Wording::NotRegular},
         "/dev/zero is not a regular file",
         "zero is not a regular file"},
        {base::OutputIsInput("o/x.bmp"), "the output o/x.bmp is the input", "the output x.bmp is the input"},
        {{"", "the job was abandoned"}, "the job was abandoned", "the job was abandoned"},
    };
    for (const auto& w : worded) {
        SCOPED_TRACE(w.line);
        EXPECT_EQ(base::ProblemText(w.problem), w.line);
        EXPECT_EQ(base::DetailLines({w.problem}), std::string(w.line) + "\n");
        EXPECT_EQ(base::DetailPanelText({w.problem}), w.panel);
    }
}

TEST(SafeReplace, KeepsPermissionBitsAndFollowsLinks) {
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

// Puts a piece through a room of roomSize bytes.
void PutPiece(OutputFile& f, std::string_view piece, size_t roomSize) {
    char* out = f.Room(roomSize);
    std::memcpy(out, piece.data(), piece.size());
    f.Commit(out + piece.size());
}

// Puts the lines of text through rooms (each `slack` bytes larger than its line), ending them with Put.
void PutLines(OutputFile& f, std::string_view text, size_t slack) {
    for (size_t start = 0;;) {
        const size_t lineEnd = text.find('\n', start);
        const std::string_view line = text.substr(start, lineEnd - start);
        PutPiece(f, line, line.size() + slack);
        if (lineEnd == std::string_view::npos) return;
        f.Put('\n');
        start = lineEnd + 1;
    }
}

TEST(OutputFile, CommittedRoomsAreWrittenAsTheyStandInTheirPlace) {
    struct Case {
        const char* name;
        std::function<void(OutputFile&)> write;
        std::string text;   // the file in Text mode
        std::string binary; // the file in Binary mode
    };
    const Case cases[] = {
        {"one item, room full", [](OutputFile& f) { PutPiece(f, "0x1F,", 5); }, "0x1F,", "0x1F,"},
        {"lone CRs stay, Put ends the line between rooms",
         [](OutputFile& f) {
             PutPiece(f, "a\r", 16);
             f.Put('\n');
             PutPiece(f, "\rb", 2);
         },
         "a\r\r\n\rb", "a\r\n\rb"},
        {"nothing committed",
         [](OutputFile& f) {
             char* out = f.Room(8);
             f.Commit(out);
         },
         "", ""},
        {"a room given up writes nothing",
         [](OutputFile& f) {
             f.Write("a\n");
             std::memcpy(f.Room(8), "zz", 2);
             f.Put('b');
             std::memcpy(f.Room(8), "yy", 2);
             PutPiece(f, "c", 1);
         },
         "a\r\nbc", "a\nbc"},
        {"pieces keep their place among other writes",
         [](OutputFile& f) {
             f.Write("x");
             PutPiece(f, "y", 1);
             f.Put('\n');
             f.Printf("%02X\n", 10);
             PutPiece(f, "z", 1);
         },
         "xy\r\n0A\r\nz", "xy\n0A\nz"},
    };
    testsupport::TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const OutputFile::Mode mode : {OutputFile::Mode::Text, OutputFile::Mode::Binary}) {
            OutputFile f;
            ASSERT_TRUE(f.Create(dir / "p.txt", mode));
            c.write(f);
            ASSERT_TRUE(f.Close());
            EXPECT_EQ(Read(dir / "p.txt"), mode == OutputFile::Mode::Text ? c.text : c.binary);
        }
    }

    // A binary room holds any bytes.
    OutputFile bin;
    ASSERT_TRUE(bin.Create(dir / "b.bin", OutputFile::Mode::Binary));
    PutPiece(bin, std::string("\n\0\r\n", 4), 4);
    ASSERT_TRUE(bin.Close());
    EXPECT_EQ(Read(dir / "b.bin"), std::string("\n\0\r\n", 4));
}

TEST(OutputFile, PrintfWidensLineEndsWhereItFormats) {
    std::string lines511; // 511 characters: the longest text formatted in place
    std::string crlf511;
    for (int i = 0; i < 255; ++i) {
        lines511 += "a\n";
        crlf511 += "a\r\n";
    }
    lines511 += 'b';
    crlf511 += 'b';
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"\n\n\n", "\r\n\r\n\r\n"},          {"\nab\n", "\r\nab\r\n"}, {"a\rb", "a\rb"}, {lines511, crlf511},
        {lines511 + "\n", crlf511 + "\r\n"}, // 512 characters: formatted again into a string
    };
    testsupport::TempDir dir;
    for (const auto& c : cases) {
        OutputFile f;
        ASSERT_TRUE(f.Create(dir / "t.txt", OutputFile::Mode::Text));
        f.Write("<");
        f.Printf("%s", c.text.c_str());
        f.Write(">");
        ASSERT_TRUE(f.Close());
        EXPECT_EQ(Read(dir / "t.txt"), "<" + c.expected + ">") << c.text.size() << " characters";
    }
}

TEST(OutputFile, RoomsAtTheBufferEdgeAndLargerThanTheBuffer) {
    // Pieces of 1 to 700 bytes, every third byte a line end, go through rooms (some larger than the line),
    // Write and Printf in turn, several times the 64 KiB buffer; then one room much larger than the buffer,
    // and a last piece after the object was moved.
    for (const OutputFile::Mode mode : {OutputFile::Mode::Text, OutputFile::Mode::Binary}) {
        SCOPED_TRACE(mode == OutputFile::Mode::Text ? "text" : "binary");
        testsupport::TempDir dir;
        OutputFile f;
        ASSERT_TRUE(f.Create(dir / "r.txt", mode));
        std::string all;
        for (size_t i = 0; all.size() < 300000; ++i) {
            std::string piece;
            for (size_t j = 0, size = 1 + i * 37 % 700; j < size; ++j)
                piece += (i + j) % 3 == 0 ? '\n' : static_cast<char>('a' + (i + j) % 26);
            switch (i % 3) {
            case 0:
                PutLines(f, piece, i % 5);
                break;
            case 1:
                f.Write(piece);
                break;
            default:
                f.Printf("%s", piece.c_str());
                break;
            }
            all += piece;
        }
        std::string big(200000, 'q');
        for (size_t k = 0; k < big.size(); k += 999)
            big[k] = 'r';
        PutPiece(f, big, big.size());
        all += big;
        OutputFile g = std::move(f);
        PutLines(g, "end\n", 0);
        all += "end\n";
        ASSERT_TRUE(g.Close());

        std::string expected;
        for (char ch : all)
            expected +=
                mode == OutputFile::Mode::Text && ch == '\n' ? std::string("\r\n") : std::string(1, ch);
        const std::string got = Read(dir / "r.txt");
        ASSERT_EQ(got.size(), expected.size());
        EXPECT_TRUE(got == expected) << "first difference at "
                                     << std::mismatch(got.begin(), got.end(), expected.begin()).first -
                                            got.begin();
    }
}

} // namespace
