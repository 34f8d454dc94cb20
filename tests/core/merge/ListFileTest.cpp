#include "merge/ListFile.h"

#include "base/FileProblem.h"
#include "support/BmpBuilder.h"
#include "support/MergeFixtures.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <string>
#include <vector>

namespace {

// The errors a list operation reports, in order.
template <typename Result> std::vector<std::string> Errors(const Result& r) {
    return base::TextsOf(r.notes, base::Note::Kind::Error);
}

using merge::MergeEntry;
using merge::MergeList;
using Names = std::vector<std::string>;

void WriteText(const std::string& path, const std::string& text) {
    testsupport::WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::string NamesOf(const MergeList& list) {
    std::string out;
    for (const MergeEntry& e : list.Entries())
        out += e.Name + ";";
    return out;
}

TEST(ListFile, ReadsOneNameALine) {
    struct Case {
        const char* what;
        std::string text;
        Names names;
    };
    const Case cases[] = {
        {"LF", "/d/a.bin\n/d/b.bin\n", {"/d/a.bin", "/d/b.bin"}},
        {"CR LF", "/d/a.bin\r\n/d/b.bin\r\n", {"/d/a.bin", "/d/b.bin"}},
        {"no final line end", "/d/a.bin\n/d/b.bin", {"/d/a.bin", "/d/b.bin"}},
        {"no final line end after CR LF", "a\r\nb", {"a", "b"}},
        {"blanks inside a name", "/d/my logo.bin\n", {"/d/my logo.bin"}},
        {"blanks at the ends", "  \t/d/a.bin \t\r\n", {"/d/a.bin"}},
        {"empty and blank lines", "\n\r\n \t \na\n\n", {"a"}},
        {"nothing", "", {}},
        {"a lone CR inside stays", "a\rb\n", {"a\rb"}},
        {"a final CR alone", "a\r", {"a"}},
        {"a long name", std::string(5000, 'n') + "\n", {std::string(5000, 'n')}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(merge::ParseFileList(c.text), c.names);
    }
}

TEST(ListFile, SaveWritesTheFullPathOfEveryExistingFileOneALine) {
    testsupport::TempDir dir;
    testsupport::WritePatternFile(dir / "a.bin", 4, 1);
    testsupport::WritePatternFile(dir / "my logo.bin", 2, 2);
    testsupport::WritePatternFile(dir / "gone.bin", 3, 3);
    testsupport::WritePatternFile(dir / "bad\nname.bin", 1, 4);
    MergeList list;
    for (const char* name : {"a.bin", "gone.bin", "my logo.bin", "bad\nname.bin"})
        ASSERT_FALSE(merge::AddFile(list, list.MergeCount() + 1, dir / name).failure);
    ::unlink((dir / "gone.bin").c_str());

    const merge::SaveListResult r = merge::SaveFileList(list, dir / "FILE_LIST.TXT");
    EXPECT_FALSE(r.failure);
    EXPECT_EQ(Errors(r), (Names{"File " + (dir / "gone.bin") + " does not exit !",
                                "File " + (dir / "bad\nname.bin") +
                                    " cannot be kept in a list file: its name does not fit on one line !"}));
    EXPECT_EQ(testsupport::ReadText(dir / "FILE_LIST.TXT"),
              (dir / "a.bin") + "\n" + (dir / "my logo.bin") + "\n");

    // Loaded into an empty list: the same names, sizes and files.
    MergeList back;
    const merge::LoadListResult loaded = merge::LoadFileList(back, 1, dir / "FILE_LIST.TXT");
    EXPECT_FALSE(loaded.failure);
    EXPECT_TRUE(Errors(loaded).empty());
    EXPECT_EQ(loaded.added, 2);
    EXPECT_EQ(loaded.selectRow, 3);
    ASSERT_EQ(back.MergeCount(), 2);
    EXPECT_EQ(back.Entry(2).Name, "my logo.bin");
    EXPECT_EQ(back.Entry(2).Size, 2u);
    EXPECT_EQ(back.Entry(2).Path, dir / "my logo.bin");
    EXPECT_EQ(back.Entry(1).Size, 4u);
}

TEST(ListFile, SaveThatCannotWriteLeavesTheOldList) {
    testsupport::TempDir dir;
    testsupport::WritePatternFile(dir / "a.bin", 4, 1);
    MergeList list;
    ASSERT_FALSE(merge::AddFile(list, 1, dir / "a.bin").failure);
    EXPECT_EQ(merge::SaveFileList(list, dir / "no/such/dir/L.TXT").failure.value_or(""),
              "Open file list name error !!!");
    ::mkdir((dir / "L.TXT").c_str(), 0755); // a directory in the way
    EXPECT_EQ(merge::SaveFileList(list, dir / "L.TXT").failure.value_or(""), "Open file list name error !!!");
}

TEST(ListFile, LoadInsertsAtTheSelectedRowAndCountsMissingFiles) {
    testsupport::TempDir dir;
    ::mkdir((dir / "lists").c_str(), 0755);
    testsupport::WritePatternFile(dir / "x.bin", 0x10, 1);
    testsupport::WritePatternFile(dir / "y.bin", 0x20, 2);
    testsupport::WritePatternFile(dir / "lists/a.bin", 0x3, 3);
    testsupport::WritePatternFile(dir / "lists/b c.bin", 0x4, 4);
    // Relative names are taken from the list file's directory; the last line has no line end.
    WriteText(dir / "lists/L.TXT", testsupport::ListFileText({"a.bin", "  missing1.bin", "", "b c.bin",
                                                              dir / "missing2.bin", "../y.bin"},
                                                             "\r\n", false));
    MergeList list;
    ASSERT_FALSE(merge::AddFile(list, 1, dir / "x.bin").failure);
    ASSERT_FALSE(merge::AddFile(list, 2, dir / "y.bin").failure);

    const merge::LoadListResult r = merge::LoadFileList(list, 2, dir / "lists/L.TXT");
    EXPECT_FALSE(r.failure);
    EXPECT_EQ(Errors(r), Names{"2 File does not exit !"});
    EXPECT_EQ(r.added, 3);
    EXPECT_EQ(r.selectRow, 5);
    EXPECT_EQ(NamesOf(list), "x.bin;a.bin;b c.bin;y.bin;y.bin;");
    EXPECT_EQ(list.Entry(4).Path, dir / "y.bin");
    EXPECT_EQ(list.Addresses(), (std::vector<std::uint32_t>{0x0, 0x10, 0x13, 0x17, 0x37}));
}

TEST(ListFile, LoadOfAListThatCannotBeReadChangesNothing) {
    testsupport::TempDir dir;
    testsupport::WritePatternFile(dir / "x.bin", 1, 1);
    testsupport::WriteFile(dir / "huge.TXT", {});
    ASSERT_EQ(::truncate((dir / "huge.TXT").c_str(), merge::kMaxListFileBytes + 1), 0);
    ::mkdir((dir / "dir.TXT").c_str(), 0755);
    const struct {
        std::string path;
        std::string detail; // the file and why, beside the window's message
    } cases[] = {
        {dir / "none.TXT", (dir / "none.TXT") + ": No such file or directory\n"},
        {dir / "huge.TXT",
         (dir / "huge.TXT") + ": larger than " + base::SizeLimitText(merge::kMaxListFileBytes) + "\n"},
        {dir / "dir.TXT", (dir / "dir.TXT") + " is not a regular file\n"}, // a folder is named as what it is
    };
    for (const auto& [path, detail] : cases) {
        SCOPED_TRACE(path);
        MergeList list;
        ASSERT_FALSE(merge::AddFile(list, 1, dir / "x.bin").failure);
        const merge::LoadListResult r = merge::LoadFileList(list, 1, path);
        EXPECT_EQ(r.failure.value_or(""), "Open File List Error !");
        EXPECT_EQ(base::DetailLines(r.detail), detail);
        EXPECT_TRUE(Errors(r).empty());
        EXPECT_EQ(r.selectRow, 1);
        EXPECT_EQ(NamesOf(list), "x.bin;");
    }
}

TEST(ListFile, LoadSaysHowManyNamesWereLeftOutAndWhy) {
    testsupport::TempDir dir;
    testsupport::WritePatternFile(dir / "x.bin", 1, 1);
    WriteText(dir / "L.TXT", testsupport::ListFileText({"x.bin", "x.bin", "none.bin"}));
    MergeList list;
    for (int i = 0; i < 198; ++i)
        ASSERT_TRUE(list.Insert(1, MergeEntry{1, "f.bin", "/f.bin"}));
    const merge::LoadListResult r = merge::LoadFileList(list, 199, dir / "L.TXT");
    EXPECT_EQ(r.added, 1);
    EXPECT_EQ(list.MergeCount(), 199);
    EXPECT_EQ(r.selectRow, 199);
    EXPECT_EQ(Errors(r), Names{"2 File not added: the file list holds 199 files at most !"});

    // A file that would take the total past 32 bits (sparse, so it costs no disk space), with a missing one.
    testsupport::WriteFile(dir / "huge.bin", {});
    ASSERT_EQ(::truncate((dir / "huge.bin").c_str(), 0x100000000LL), 0);
    WriteText(dir / "M.TXT", testsupport::ListFileText({"huge.bin", "x.bin", "none.bin"}));
    MergeList empty;
    const merge::LoadListResult m = merge::LoadFileList(empty, 1, dir / "M.TXT");
    EXPECT_EQ(m.added, 1);
    EXPECT_EQ(NamesOf(empty), "x.bin;");
    EXPECT_EQ(Errors(m), (Names{"1 File does not exit !",
                                "1 File not added: the merged image would be larger than 4 GiB !"}));
}

} // namespace
