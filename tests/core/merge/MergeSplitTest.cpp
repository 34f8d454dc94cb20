#include "merge/MergeSplit.h"

#include "aosd/AosdMerge.h"
#include "merge/MergeList.h"
#include "merge/MergeWriter.h"
#include "support/BmpBuilder.h"
#include "support/MergeFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

namespace {

using merge::ParseOffsetTable;
using merge::PlanSplit;
using testsupport::TempDir;
using Bytes = std::vector<std::uint8_t>;

TEST(MergeSplit, BothTableFormsAreRead) {
    const std::string mergeTab = "\n#define\tPICLOGO_BIN_OFFSET\t(AOSD_START_ADR+          0)\t//0x0       "
                                 "\n#define\tPICMY-LOGO_BIG_BIN_OFFSET\t(AOSD_START_ADR+        309)\t//0x135     ";
    const auto a = ParseOffsetTable(mergeTab);
    ASSERT_FALSE(a.failure) << *a.failure;
    ASSERT_EQ(a.entries.size(), 2u);
    EXPECT_EQ(a.entries[0].symbol, "LOGO_BIN");
    EXPECT_EQ(a.entries[1].symbol, "MY-LOGO_BIG_BIN");
    EXPECT_EQ(a.entries[1].address, 309u);
    EXPECT_EQ(a.entries[1].line, 3);

    const std::string aosdTab = "\n#define PIClogo01_OFFSET (AOSD_START_ADR+          0) //logo01.bin"
                                "\n#define PIClogo02_rlc_OFFSET (AOSD_START_ADR+       1234) //logo02_rlc.bin";
    const auto b = ParseOffsetTable(aosdTab);
    ASSERT_FALSE(b.failure) << *b.failure;
    ASSERT_EQ(b.entries.size(), 2u);
    EXPECT_EQ(b.entries[1].symbol, "logo02_rlc");
    EXPECT_EQ(b.entries[1].address, 1234u);
    EXPECT_EQ(b.entries[1].comment, "logo02_rlc.bin");

    // An address of 2^31 or more is written as a negative decimal.
    const auto c = ParseOffsetTable("\n#define\tPICX_OFFSET\t(AOSD_START_ADR+ -2147483648)\t//0x80000000");
    ASSERT_FALSE(c.failure) << *c.failure;
    EXPECT_EQ(c.entries[0].address, 0x80000000u);
}

TEST(MergeSplit, TablesThatDisagreeWithThemselvesAreRefused) {
    const auto wrongHex = ParseOffsetTable("\n#define\tPICA_OFFSET\t(AOSD_START_ADR+        256)\t//0x101     ");
    EXPECT_EQ(wrongHex.failure, std::string("line 2: PICA_OFFSET gives 256 but its comment 0x101"));
    const auto notRecord = ParseOffsetTable("\n#define PICA_OFFSET (AOSD_START_ADR+ 0) //a.bin\nint x;");
    EXPECT_EQ(notRecord.failure, std::string("line 3 is not an offset record: no #define"));
    EXPECT_EQ(notRecord.entries.size(), 1u);
}

merge::OffsetEntry Entry(const std::string& symbol, std::uint32_t address, int line) {
    return {"PIC" + symbol + "_OFFSET", symbol, address, "", line};
}

TEST(MergeSplit, PiecesRunToTheNextEntryAndDisagreementsAreNamed) {
    // Three files of 0x100, 0x35 and 0x1000 bytes: addresses 0, 256, 309 and an image of 0x1135 bytes.
    auto plan = PlanSplit({Entry("A", 0, 2), Entry("B", 256, 3), Entry("C", 309, 4)}, 0x1135);
    ASSERT_EQ(plan.pieces.size(), 3u);
    EXPECT_EQ(plan.pieces[0].size, 256u);
    EXPECT_EQ(plan.pieces[1].offset, 256u);
    EXPECT_EQ(plan.pieces[1].size, 0x35u);
    EXPECT_EQ(plan.pieces[2].size, 0x1000u);
    EXPECT_TRUE(plan.problems.empty());

    // The second file was missing when the image was made: the image is 0x1100 bytes, and an entry lies past it.
    plan = PlanSplit({Entry("A", 0, 2), Entry("B", 256, 3), Entry("C", 0x1200, 4), Entry("A", 0x1100, 5)}, 0x1100);
    ASSERT_EQ(plan.pieces.size(), 3u);
    EXPECT_EQ(plan.pieces[1].size, 0x1100u - 256);
    EXPECT_EQ(plan.pieces[2].name, "A_2"); // a symbol met again
    EXPECT_EQ(plan.pieces[2].size, 0u);
    ASSERT_EQ(plan.problems.size(), 2u);
    EXPECT_EQ(plan.problems[0], "PICC_OFFSET (line 4) at offset 4608 lies past the image's end (4352 bytes)");
    EXPECT_EQ(plan.problems[1], "PICA_OFFSET (line 5) at offset 4352 lies before the entry above it (offset 4608)");

    plan = PlanSplit({Entry("../x", 10, 2)}, 20);
    ASSERT_EQ(plan.pieces.size(), 1u);
    EXPECT_EQ(plan.pieces[0].name, ".._x");
    EXPECT_EQ(plan.problems, std::vector<std::string>{"the image's first 10 bytes belong to no entry"});
}

std::vector<Bytes> RandomFiles(std::mt19937& rng, const std::string& dir, std::vector<std::string>& names) {
    std::vector<Bytes> contents;
    const int n = 1 + static_cast<int>(rng() % 6);
    for (int i = 0; i < n; ++i) {
        const std::size_t size = rng() % 4 == 0 ? 0 : rng() % 5000;
        names.push_back("f" + std::to_string(i) + (i % 2 ? ".bin" : "-x.dat"));
        contents.push_back(testsupport::WritePatternFile(dir + "/" + names.back(), size,
                                                         static_cast<std::uint8_t>(rng())));
    }
    return contents;
}

std::string Upper(std::string s) {
    for (char& c : s) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c == '.' || c == '-') c = '_';
    }
    return s;
}

// Random merges of the Merge tab and of the AOSD tab split back into their files, named from the symbols.
TEST(MergeSplit, RoundTripOfBothMerges) {
    std::mt19937 rng(8);
    for (int trial = 0; trial < 8; ++trial) {
        SCOPED_TRACE(trial);
        TempDir in, out;
        std::vector<std::string> names;
        const std::vector<Bytes> contents = RandomFiles(rng, in.path(), names);
        if (trial % 2 == 0) {
            merge::MergeList list;
            for (const std::string& name : names)
                ASSERT_FALSE(merge::AddFile(list, list.MergeCount() + 1, in / name).failure);
            ASSERT_FALSE(merge::MergeFiles(list, in / "Pic.BIN"));
            const auto split = merge::SplitMergedImage(in / "Pic.BIN", in / "Pic_TBL.TXT", out.path());
            ASSERT_FALSE(split.failure) << *split.failure;
            EXPECT_TRUE(split.problems.empty());
            ASSERT_EQ(split.written.size(), names.size());
            for (std::size_t i = 0; i < names.size(); ++i) {
                EXPECT_EQ(split.written[i].name, Upper(names[i]));
                EXPECT_EQ(testsupport::ReadFile(out / Upper(names[i])), contents[i]);
            }
        } else {
            aosd::MergeState state;
            std::vector<std::string> paths;
            for (const std::string& name : names)
                paths.push_back(in / name);
            ASSERT_FALSE(aosd::MergeBinFiles(state, paths, true).failure);
            const auto split = merge::SplitMergedImage(state.MergeBinPath, state.MergeTablePath, out.path());
            ASSERT_FALSE(split.failure) << *split.failure;
            EXPECT_TRUE(split.problems.empty());
            ASSERT_EQ(split.written.size(), names.size());
            for (std::size_t i = 0; i < names.size(); ++i) {
                std::string base = names[i].substr(0, names[i].rfind('.'));
                for (char& c : base)
                    if (c == '-') c = '_';
                EXPECT_EQ(split.written[i].name, base);
                EXPECT_EQ(testsupport::ReadFile(out / base), contents[i]);
            }
        }
    }
}

} // namespace
