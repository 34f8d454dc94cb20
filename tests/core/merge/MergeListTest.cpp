#include "merge/MergeList.h"

#include "support/BmpBuilder.h"
#include "support/MergeFixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

using merge::MergeEntry;
using merge::MergeList;

// A list of entries that need no files: the edits and the arithmetic only look at sizes and names.
MergeList ListOf(const std::vector<std::uint32_t>& sizes) {
    MergeList list;
    for (size_t i = 0; i < sizes.size(); ++i) {
        const std::string name = std::string(1, static_cast<char>('A' + i)) + ".bin";
        EXPECT_TRUE(list.Insert(list.MergeCount() + 1, MergeEntry{sizes[i], name, "/x/" + name}));
    }
    return list;
}

std::string Names(const MergeList& list) {
    std::string out;
    for (const MergeEntry& e : list.Entries())
        out += e.Name.substr(0, 1);
    return out;
}

TEST(MergeList, ThreeFilesGetRunningAddressesTotalAndCount) {
    testsupport::TempDir dir;
    testsupport::WritePatternFile(dir / "a.bin", 0x100, 1);
    testsupport::WritePatternFile(dir / "b.bin", 0x35, 2);
    testsupport::WritePatternFile(dir / "c.bin", 0x1000, 3);
    testsupport::WritePatternFile(dir / "empty.bin", 0, 4);

    MergeList list;
    EXPECT_EQ(merge::TotalText(list), "Total: 0x0 (0)");
    EXPECT_EQ(merge::CountText(list), "Merged File No.: 0");

    // Each double-click selects the row after the new entry, so the next one is appended.
    int selected = 1;
    for (const char* name : {"a.bin", "b.bin", "c.bin"}) {
        const merge::EditResult r = merge::AddFile(list, selected, dir / name);
        ASSERT_FALSE(r.failure) << *r.failure;
        EXPECT_EQ(r.selectRow, selected + 1);
        selected = r.selectRow;
    }
    ASSERT_EQ(list.MergeCount(), 3);
    EXPECT_EQ(list.Addresses(), (std::vector<std::uint32_t>{0x0, 0x100, 0x135}));
    EXPECT_EQ(merge::HexCell(list.Address(1)), "0x00000000");
    EXPECT_EQ(merge::HexCell(list.Address(2)), "0x00000100");
    EXPECT_EQ(merge::HexCell(list.Address(3)), "0x00000135");
    EXPECT_EQ(merge::HexCell(list.Entry(2).Size), "0x00000035");
    EXPECT_EQ(merge::TotalText(list), "Total: 0x1135 (4405)");
    EXPECT_EQ(merge::CountText(list), "Merged File No.: 3");
    EXPECT_EQ(list.Entry(3).Name, "c.bin");
    EXPECT_EQ(list.Entry(3).Path, dir / "c.bin");
    EXPECT_EQ(merge::RowNumberText(199), "199");

    // An empty file inserted before c.bin shares its address with it.
    ASSERT_FALSE(merge::AddFile(list, 3, dir / "empty.bin").failure);
    EXPECT_EQ(Names(list), "abec");
    EXPECT_EQ(merge::HexCell(list.Entry(3).Size), "0x00000000");
    EXPECT_EQ(list.Address(3), 0x135u);
    EXPECT_EQ(list.Address(4), 0x135u);
    EXPECT_EQ(merge::CountText(list), "Merged File No.: 4");
}

TEST(MergeList, RelativeNamesAreMeasuredAndKeptAgainstTheCurrentDirectory) {
    testsupport::TempDir dir;
    testsupport::WritePatternFile(dir / "rel.bin", 7, 1);
    MergeList list;
    {
        testsupport::CurrentDirectory here(dir.path());
        ASSERT_FALSE(merge::AddFile(list, 1, "./rel.bin").failure);
    }
    // The entry still names the same file after the current directory moved on.
    EXPECT_EQ(list.Entry(1).Name, "rel.bin");
    EXPECT_EQ(list.Entry(1).Path, dir / "rel.bin");
    EXPECT_EQ(list.Entry(1).Size, 7u);
}

TEST(MergeList, InsertionRowFollowsTheSelection) {
    struct Case {
        int count, selected, row;
    };
    for (const Case c : {Case{0, 5, 1}, Case{0, 1, 1}, Case{3, 7, 4}, Case{3, 4, 4}, Case{3, 2, 2},
                         Case{3, 1, 1}, Case{3, 0, 1}, Case{3, 199, 4}}) {
        SCOPED_TRACE(testing::Message() << c.count << " entries, row " << c.selected << " selected");
        MergeList list = ListOf(std::vector<std::uint32_t>(static_cast<size_t>(c.count), 1));
        EXPECT_EQ(merge::InsertionRow(list, c.selected), c.row);
    }

    // Row 2 of three selected: the new entry goes to row 2, the former rows 2 and 3 move down.
    testsupport::TempDir dir;
    testsupport::WritePatternFile(dir / "new.bin", 0x10, 9);
    MergeList list = ListOf({0x100, 0x35, 0x1000});
    const merge::EditResult r = merge::AddFile(list, 2, dir / "new.bin");
    ASSERT_FALSE(r.failure);
    EXPECT_EQ(r.selectRow, 3);
    EXPECT_EQ(Names(list), "AnBC");
    EXPECT_EQ(list.Addresses(), (std::vector<std::uint32_t>{0x0, 0x100, 0x110, 0x145}));

    // Row 7 selected with three entries: appended at row 4.
    MergeList three = ListOf({1, 2, 3});
    EXPECT_EQ(merge::AddFile(three, 7, dir / "new.bin").selectRow, 5);
    EXPECT_EQ(Names(three), "ABCn");
}

TEST(MergeList, UpDownAndDeleteMoveEntriesAndTheSelection) {
    struct Case {
        const char* what;
        int (*op)(MergeList&, int);
        int selected;
        const char* order; // afterwards
        int select;        // the row selected afterwards
    };
    const Case cases[] = {
        {"Up on row 1", merge::MoveEntryUp, 1, "ABC", 1},
        {"Up on row 3", merge::MoveEntryUp, 3, "ACB", 2},
        {"Up below the list", merge::MoveEntryUp, 4, "ABC", 4},
        {"Down on the last", merge::MoveEntryDown, 3, "ABC", 3},
        {"Down on row 1", merge::MoveEntryDown, 1, "BAC", 2},
        {"Down below the list", merge::MoveEntryDown, 9, "ABC", 9},
        {"Delete row 2", merge::DeleteEntry, 2, "AC", 2},
        {"Delete row 3", merge::DeleteEntry, 3, "AB", 3},
        {"Delete below the list", merge::DeleteEntry, 4, "ABC", 4},
        {"Delete row 0", merge::DeleteEntry, 0, "ABC", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MergeList list = ListOf({0x100, 0x35, 0x1000});
        EXPECT_EQ(c.op(list, c.selected), c.select);
        EXPECT_EQ(Names(list), c.order);
    }

    // After deleting row 2 the third entry is at row 2 with its address recomputed.
    MergeList list = ListOf({0x100, 0x35, 0x1000});
    merge::DeleteEntry(list, 2);
    EXPECT_EQ(list.Addresses(), (std::vector<std::uint32_t>{0x0, 0x100}));
    EXPECT_EQ(merge::TotalText(list), "Total: 0x1100 (4352)");

    // One entry cannot be moved either way; an empty list ignores every edit.
    MergeList one = ListOf({5});
    EXPECT_EQ(merge::MoveEntryUp(one, 1), 1);
    EXPECT_EQ(merge::MoveEntryDown(one, 1), 1);
    MergeList none;
    EXPECT_EQ(merge::DeleteEntry(none, 1), 1);
    EXPECT_TRUE(none.Empty());
}

TEST(MergeList, AddressesAreThirtyTwoBitAndTheTotalNeverWraps) {
    // 2^31 reads as a negative total; its pattern is the hexadecimal one.
    MergeList list = ListOf({0x80000000u, 1});
    EXPECT_EQ(list.Address(2), 0x80000000u);
    EXPECT_EQ(merge::TotalText(list), "Total: 0x80000001 (-2147483647)");

    // The sizes may sum to 0xFFFFFFFF and no further: past it the addresses would no longer be exact.
    MergeList nearlyFull = ListOf({0xFFFFFFF0u});
    EXPECT_FALSE(nearlyFull.Insert(2, MergeEntry{0x10, "x", "/x"}));
    EXPECT_TRUE(nearlyFull.Insert(2, MergeEntry{0xF, "x", "/x"}));
    EXPECT_EQ(merge::TotalText(nearlyFull), "Total: 0xFFFFFFFF (-1)");
    EXPECT_EQ(nearlyFull.MergeCount(), 2);

    testsupport::TempDir dir;
    testsupport::WritePatternFile(dir / "one.bin", 1, 0);
    const merge::EditResult r = merge::AddFile(nearlyFull, 3, dir / "one.bin");
    EXPECT_EQ(r.failure.value_or(""),
              "File " + (dir / "one.bin") + " would make the merged image larger than 4 GiB !");
    EXPECT_EQ(r.selectRow, 3);
    EXPECT_EQ(nearlyFull.MergeCount(), 2);
}

TEST(MergeList, AFullListTakesNoMoreEntries) {
    testsupport::TempDir dir;
    testsupport::WritePatternFile(dir / "x.bin", 3, 0);
    MergeList list = ListOf(std::vector<std::uint32_t>(199, 1));
    EXPECT_TRUE(list.Full());
    const merge::EditResult r = merge::AddFile(list, 100, dir / "x.bin");
    EXPECT_EQ(r.failure.value_or(""), "The file list is full: it holds 199 files at most !");
    EXPECT_EQ(r.selectRow, 100);
    EXPECT_EQ(list.MergeCount(), 199);

    // The 199th entry selects row 199, the last row there is.
    MergeList almost = ListOf(std::vector<std::uint32_t>(198, 1));
    EXPECT_EQ(merge::AddFile(almost, 199, dir / "x.bin").selectRow, 199);
    EXPECT_EQ(almost.Entry(199).Name, "x.bin");
}

TEST(MergeList, WhatCannotBeOpenedAsAFileIsNotAdded) {
    testsupport::TempDir dir;
    ::mkdir((dir / "sub.bin").c_str(), 0755);
    ASSERT_EQ(::mkfifo((dir / "pipe.bin").c_str(), 0644), 0);
    // A sparse file one byte past 4 GiB - 1 costs no disk space.
    {
        testsupport::WriteFile(dir / "huge.bin", {});
        ASSERT_EQ(::truncate((dir / "huge.bin").c_str(), 0x100000000LL), 0);
    }
    struct Case {
        std::string path;
        std::string message;
    };
    const Case cases[] = {
        {dir / "none.bin", "File " + (dir / "none.bin") + " cannot be opened !"},
        {dir / "sub.bin", (dir / "sub.bin") + " is not a regular file"},
        {dir / "pipe.bin", (dir / "pipe.bin") + " is not a regular file"}, // must not wait for a writer
        {dir / "huge.bin", "File " + (dir / "huge.bin") + " would make the merged image larger than 4 GiB !"},
        {std::string("a\0b", 3), "File a cannot be opened !"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        MergeList list = ListOf({1});
        const merge::EditResult r = merge::AddFile(list, 2, c.path);
        EXPECT_EQ(r.failure.value_or(""), c.message);
        EXPECT_EQ(r.selectRow, 2);
        EXPECT_EQ(list.MergeCount(), 1);
    }
}

} // namespace
