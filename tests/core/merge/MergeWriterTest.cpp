#include "merge/MergeWriter.h"

#include "support/BmpBuilder.h"
#include "support/MergeFixtures.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

using merge::MergeList;

std::string Sp(int n) {
    return std::string(static_cast<size_t>(n), ' ');
}

std::set<std::string> FilesIn(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        names.insert(e.path().filename().string());
    return names;
}

TEST(MergeWriter, SymbolsAndRecordsByteForByte) {
    struct Case {
        const char* name;
        std::uint32_t address;
        std::string record;
    };
    const Case cases[] = {
        {"a.bin", 0x0, "\n#define\tPICA_BIN_OFFSET\t(AOSD_START_ADR+ " + Sp(9) + "0)\t//0x0" + Sp(7)},
        {"b.bin", 0x100, "\n#define\tPICB_BIN_OFFSET\t(AOSD_START_ADR+ " + Sp(7) + "256)\t//0x100" + Sp(5)},
        {"logo.bin", 0x135,
         "\n#define\tPICLOGO_BIN_OFFSET\t(AOSD_START_ADR+ " + Sp(7) + "309)\t//0x135" + Sp(5)},
        {"my-logo.big.bin", 0x1135,
         "\n#define\tPICMY_LOGO_BIG_BIN_OFFSET\t(AOSD_START_ADR+ " + Sp(6) + "4405)\t//0x1135" + Sp(4)},
        {"a b.bin", 0x2, "\n#define\tPICA_B_BIN_OFFSET\t(AOSD_START_ADR+ " + Sp(9) + "2)\t//0x2" + Sp(7)},
        {"Mixed.Case_9.Bin", 0x12345678,
         "\n#define\tPICMIXED_CASE_9_BIN_OFFSET\t(AOSD_START_ADR+  305419896)\t//0x12345678"},
        // 2^31 and more: a negative decimal wider than its field, the full pattern in the comment.
        {"big.bin", 0x80000000u, "\n#define\tPICBIG_BIN_OFFSET\t(AOSD_START_ADR+ -2147483648)\t//0x80000000"},
        {"end", 0xFFFFFFFFu, "\n#define\tPICEND_OFFSET\t(AOSD_START_ADR+ " + Sp(8) + "-1)\t//0xFFFFFFFF"},
        // Each byte of a non-ASCII character (here the two of UTF-8 e-acute) becomes "_".
        {"caf\xC3\xA9.bin", 0x1,
         "\n#define\tPICCAF___BIN_OFFSET\t(AOSD_START_ADR+ " + Sp(9) + "1)\t//0x1" + Sp(7)},
        {"(1)+x$.bin", 0x3,
         "\n#define\tPIC_1__X__BIN_OFFSET\t(AOSD_START_ADR+ " + Sp(9) + "3)\t//0x3" + Sp(7)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(merge::OffsetRecord(merge::MergeSymbol(c.name), c.address), c.record);
    }
}

TEST(MergeWriter, ASymbolMetAgainGetsTheNextFreeNumber) {
    EXPECT_EQ(merge::UniqueSymbols(
                  {"logo.bin", "LOGO.BIN", "my-logo.bin", "my_logo.bin", "logo.bin", "logo.bin_2", "a.bin"}),
              (std::vector<std::string>{"LOGO_BIN", "LOGO_BIN_2", "MY_LOGO_BIN", "MY_LOGO_BIN_2",
                                        "LOGO_BIN_3", "LOGO_BIN_2_2", "A_BIN"}));
    EXPECT_EQ(merge::UniqueSymbols({}), std::vector<std::string>{});
}

TEST(MergeWriter, OutputNamesDropTheExtensionOfTheFileName) {
    struct Case {
        std::string chosen, image, table;
    };
    const Case cases[] = {
        {"out.dat", "out.BIN", "out_TBL.TXT"},
        {"out", "out.BIN", "out_TBL.TXT"},
        {"/w/Pic.BIN", "/w/Pic.BIN", "/w/Pic_TBL.TXT"},
        {"a.b.c", "a.b.BIN", "a.b_TBL.TXT"},
        {"/w.d/out", "/w.d/out.BIN", "/w.d/out_TBL.TXT"},
        {"out.", "out.BIN", "out_TBL.TXT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        const merge::MergeOutputs names = merge::MergeOutputNames(c.chosen);
        EXPECT_EQ(names.image, c.image);
        EXPECT_EQ(names.table, c.table);
    }
}

class MergeWriterFiles : public testing::Test {
protected:
    void SetUp() override {
        parts_ = {testsupport::WritePatternFile(dir_ / "a.bin", 0x100, 1),
                  testsupport::WritePatternFile(dir_ / "b.bin", 0x35, 2),
                  testsupport::WritePatternFile(dir_ / "logo.bin", 0x1000, 3)};
        for (const char* name : {"a.bin", "b.bin", "logo.bin"})
            ASSERT_FALSE(merge::AddFile(list_, list_.MergeCount() + 1, dir_ / name).failure);
    }
    void WriteOld() {
        testsupport::WriteFile(dir_ / "Pic.BIN", {'o', 'l', 'd'});
        testsupport::WriteFile(dir_ / "Pic_TBL.TXT", {'t', 'b', 'l'});
    }
    void ExpectOld() {
        EXPECT_EQ(testsupport::ReadText(dir_ / "Pic.BIN"), "old");
        EXPECT_EQ(testsupport::ReadText(dir_ / "Pic_TBL.TXT"), "tbl");
    }

    testsupport::TempDir dir_;
    MergeList list_;
    std::vector<std::vector<std::uint8_t>> parts_;
};

TEST_F(MergeWriterFiles, ThreeFilesBecomeOneImageAndItsTable) {
    WriteOld(); // replaced whole
    EXPECT_FALSE(merge::MergeFiles(list_, dir_ / "Pic.BIN"));
    const std::vector<std::uint8_t> image = testsupport::ReadFile(dir_ / "Pic.BIN");
    EXPECT_EQ(image.size(), 0x1135u);
    EXPECT_EQ(image, testsupport::Concatenated(parts_));
    EXPECT_EQ(testsupport::ReadText(dir_ / "Pic_TBL.TXT"),
              "\n#define\tPICA_BIN_OFFSET\t(AOSD_START_ADR+          0)\t//0x0       "
              "\n#define\tPICB_BIN_OFFSET\t(AOSD_START_ADR+        256)\t//0x100     "
              "\n#define\tPICLOGO_BIN_OFFSET\t(AOSD_START_ADR+        309)\t//0x135     ");
    // Nothing else is left in the directory (no temporary files).
    EXPECT_EQ(FilesIn(dir_.path()),
              (std::set<std::string>{"a.bin", "b.bin", "logo.bin", "Pic.BIN", "Pic_TBL.TXT"}));

    // The list is only read.
    EXPECT_EQ(list_.MergeCount(), 3);

    // out.dat names out.BIN and out_TBL.TXT.
    EXPECT_FALSE(merge::MergeFiles(list_, dir_ / "out.dat"));
    EXPECT_EQ(testsupport::ReadFile(dir_ / "out.BIN"), image);
    EXPECT_EQ(testsupport::ReadText(dir_ / "out_TBL.TXT"), testsupport::ReadText(dir_ / "Pic_TBL.TXT"));
}

TEST_F(MergeWriterFiles, EveryRecordDefinesItsOwnValidName) {
    // logo.bin again at the end and a name with a minus and a blank: each record names one macro of its own.
    testsupport::WritePatternFile(dir_ / "my-logo b.bin", 0x10, 4);
    ASSERT_FALSE(merge::AddFile(list_, list_.MergeCount() + 1, dir_ / "my-logo b.bin").failure);
    ASSERT_FALSE(merge::AddFile(list_, list_.MergeCount() + 1, dir_ / "logo.bin").failure);
    EXPECT_FALSE(merge::MergeFiles(list_, dir_ / "Pic.BIN"));
    EXPECT_EQ(testsupport::ReadText(dir_ / "Pic_TBL.TXT"),
              "\n#define\tPICA_BIN_OFFSET\t(AOSD_START_ADR+          0)\t//0x0       "
              "\n#define\tPICB_BIN_OFFSET\t(AOSD_START_ADR+        256)\t//0x100     "
              "\n#define\tPICLOGO_BIN_OFFSET\t(AOSD_START_ADR+        309)\t//0x135     "
              "\n#define\tPICMY_LOGO_B_BIN_OFFSET\t(AOSD_START_ADR+       4405)\t//0x1135    "
              "\n#define\tPICLOGO_BIN_2_OFFSET\t(AOSD_START_ADR+       4421)\t//0x1145    ");
    EXPECT_EQ(testsupport::ReadFile(dir_ / "Pic.BIN").size(), 0x1135u + 0x10u + 0x1000u);
}

TEST_F(MergeWriterFiles, AFileThatIsGoneOrChangedStopsTheMergeBeforeAnythingIsWritten) {
    WriteOld();
    const std::string stopped = "Nothing merged: these files are missing or have changed since they were "
                                "added to the list. Add them again !";
    // The second file gone.
    ::rename((dir_ / "b.bin").c_str(), (dir_ / "b.keep").c_str());
    EXPECT_EQ(merge::MergeFiles(list_, dir_ / "Pic.BIN").value_or(""), stopped + "\n" + (dir_ / "b.bin"));
    ExpectOld();

    // ... and the third one grown by a byte: both named, in list order.
    testsupport::WritePatternFile(dir_ / "logo.bin", 0x1001, 3);
    EXPECT_EQ(merge::MergeFiles(list_, dir_ / "Pic.BIN").value_or(""),
              stopped + "\n" + (dir_ / "b.bin") + "\n" + (dir_ / "logo.bin"));
    ExpectOld();

    // A directory where the file was.
    ::rename((dir_ / "b.keep").c_str(), (dir_ / "b.bin").c_str());
    testsupport::WritePatternFile(dir_ / "logo.bin", 0x1000, 3);
    ::unlink((dir_ / "a.bin").c_str());
    ::mkdir((dir_ / "a.bin").c_str(), 0755);
    EXPECT_EQ(merge::MergeFiles(list_, dir_ / "Pic.BIN").value_or(""), stopped + "\n" + (dir_ / "a.bin"));
    ExpectOld();
    EXPECT_EQ(FilesIn(dir_.path()),
              (std::set<std::string>{"a.bin", "b.bin", "logo.bin", "Pic.BIN", "Pic_TBL.TXT"}));
}

TEST_F(MergeWriterFiles, AnOutputThatCannotBeWrittenLeavesBothOldFiles) {
    WriteOld();
    // The image cannot be created: no table either.
    base::FailureDetail detail;
    EXPECT_EQ(merge::MergeFiles(list_, dir_ / "none/Pic.BIN", &detail).value_or(""),
              "Open Merged file name error !!!");
    EXPECT_EQ(base::DetailLines(detail),
              "cannot create " + (dir_ / "none/Pic.BIN") + ": No such file or directory\n");

    // The table's name is taken by a directory: the old image stays.
    ::mkdir((dir_ / "T_TBL.TXT").c_str(), 0755);
    testsupport::WriteFile(dir_ / "T.BIN", {'o', 'l', 'd'});
    detail.clear();
    EXPECT_EQ(merge::MergeFiles(list_, dir_ / "T.BIN", &detail).value_or(""),
              "Open file name table error !!!");
    EXPECT_EQ(base::DetailLines(detail), "cannot write " + (dir_ / "T_TBL.TXT") + ": Is a directory\n");
    EXPECT_EQ(testsupport::ReadText(dir_ / "T.BIN"), "old");
    ExpectOld();
    EXPECT_EQ(FilesIn(dir_.path()), (std::set<std::string>{"a.bin", "b.bin", "logo.bin", "Pic.BIN",
                                                           "Pic_TBL.TXT", "T.BIN", "T_TBL.TXT"}));
}

TEST_F(MergeWriterFiles, AnOutputThatIsOneOfTheFilesIsRefused) {
    // The listed Pic.BIN, the listed table, and a listed file reached as the image through a link: each
    // would be replaced by what is made of it.
    WriteOld();
    ASSERT_FALSE(merge::AddFile(list_, 1, dir_ / "Pic.BIN").failure);
    EXPECT_EQ(merge::MergeFiles(list_, dir_ / "Pic.BIN").value_or(""),
              "the output " + (dir_ / "Pic.BIN") + " is the input");
    merge::DeleteEntry(list_, 1);
    ASSERT_FALSE(merge::AddFile(list_, 1, dir_ / "Pic_TBL.TXT").failure);
    EXPECT_EQ(merge::MergeFiles(list_, dir_ / "Pic.BIN").value_or(""),
              "the output " + (dir_ / "Pic_TBL.TXT") + " is the input");
    merge::DeleteEntry(list_, 1);
    ::symlink("a.bin", (dir_ / "L.BIN").c_str());
    EXPECT_EQ(merge::MergeFiles(list_, dir_ / "L.BIN").value_or(""),
              "the output " + (dir_ / "L.BIN") + " is the input");
    ::unlink((dir_ / "L.BIN").c_str());
    ExpectOld();
    EXPECT_EQ(FilesIn(dir_.path()),
              (std::set<std::string>{"a.bin", "b.bin", "logo.bin", "Pic.BIN", "Pic_TBL.TXT"}));
}

TEST(MergeWriter, AnEmptyListWritesNothing) {
    testsupport::TempDir dir;
    EXPECT_FALSE(merge::MergeFiles(MergeList{}, dir / "Pic.BIN"));
    EXPECT_TRUE(FilesIn(dir.path()).empty());
}

} // namespace
