#include "aosd/AosdMerge.h"

#include "base/Error.h"
#include "base/Path.h"
#include "support/BmpBuilder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <filesystem>

namespace {

using aosd::MergeBinFile;
using aosd::MergeState;
using testsupport::ReadFile;
using testsupport::ReadText;
using testsupport::TempDir;
using Bytes = std::vector<std::uint8_t>;

Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i)
        out[i] = static_cast<std::uint8_t>(seed + i * 7);
    return out;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(AosdMerge, EntriesFollowTheFormatWithASignedTenCharacterOffset) {
    const struct {
        const char* source;
        std::uint64_t offset;
        const char* entry;
    } cases[] = {
        {"/d/a.bin", 0, "\n#define PICa_OFFSET (AOSD_START_ADR+          0) //a.bin"},
        {"C:\\pics\\logo02_rlc.bin", 1234,
         "\n#define PIClogo02_rlc_OFFSET (AOSD_START_ADR+       1234) //logo02_rlc.bin"},
        // What a macro name cannot hold becomes "_"; the case stays, and so does the file name after "//".
        {"logo01-x12.bin", 7, "\n#define PIClogo01_x12_OFFSET (AOSD_START_ADR+          7) //logo01-x12.bin"},
        {"/d/My pic.v2.bin", 8, "\n#define PICMy_pic_v2_OFFSET (AOSD_START_ADR+          8) //My pic.v2.bin"},
        {"/d/caf\xC3\xA9.bin", 9, "\n#define PICcaf___OFFSET (AOSD_START_ADR+          9) //caf\xC3\xA9.bin"},
        {"big.bin", 2147483647, "\n#define PICbig_OFFSET (AOSD_START_ADR+ 2147483647) //big.bin"},
        {"big.bin", 2147483648u, "\n#define PICbig_OFFSET (AOSD_START_ADR+ -2147483648) //big.bin"},
        {"big.bin", 4294967296u + 5, "\n#define PICbig_OFFSET (AOSD_START_ADR+          5) //big.bin"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(aosd::MergeTableEntry(c.source, c.offset), c.entry) << c.source;
    EXPECT_EQ(aosd::MergeTableEntry("/d/a.bin", 0).size(), 57u);
}

TEST(AosdMerge, ClicksAppendUntilANewMergeStarts) {
    TempDir dir;
    TempDir other;
    const Bytes a = Pattern(300, 1), b = Pattern(50, 2), c = Pattern(20, 3), d = Pattern(9, 4);
    testsupport::WriteFile(dir / "a.bin", a);
    testsupport::WriteFile(dir / "b.bin", b);
    testsupport::WriteFile(dir / "c.bin", c);
    testsupport::WriteFile(other / "logo01-x12.bin", d);
    testsupport::WriteFile(other / "empty.bin", {});

    MergeState state;
    auto result = MergeBinFile(state, dir / "a.bin", false);
    ASSERT_FALSE(result.failure);
    EXPECT_EQ(state.MergeBinPath, dir / "Merge_a.bin");
    EXPECT_EQ(state.MergeTablePath, dir / "Merge_tbl.txt");
    EXPECT_EQ(result.fileName, "a.bin");
    EXPECT_EQ(result.mergedSize, 300u);
    EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), a);
    const std::string first = "\n#define PICa_OFFSET (AOSD_START_ADR+          0) //a.bin";
    EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"), first);
    EXPECT_EQ(first.size(), 57u);

    result = MergeBinFile(state, dir / "b.bin", false);
    ASSERT_FALSE(result.failure);
    EXPECT_EQ(result.mergedSize, 350u);
    EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), Concat(a, b));
    const std::string second = first + "\n#define PICb_OFFSET (AOSD_START_ADR+        300) //b.bin";
    EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"), second);

    // Sources from elsewhere join the same files; an empty one adds an entry and no bytes.
    ASSERT_FALSE(MergeBinFile(state, other / "empty.bin", false).failure);
    result = MergeBinFile(state, other / "logo01-x12.bin", false);
    ASSERT_FALSE(result.failure);
    EXPECT_EQ(result.mergedSize, 359u);
    EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), Concat(Concat(a, b), d));
    EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"),
              second + "\n#define PICempty_OFFSET (AOSD_START_ADR+        350) //empty.bin" +
                  "\n#define PIClogo01_x12_OFFSET (AOSD_START_ADR+        350) //logo01-x12.bin");
    EXPECT_FALSE(base::FileExists(other / "Merge_tbl.txt"));

    // "New Merge File": a merge named after c, and a table holding c alone.
    result = MergeBinFile(state, dir / "c.bin", true);
    ASSERT_FALSE(result.failure);
    EXPECT_EQ(state.MergeBinPath, dir / "Merge_c.bin");
    EXPECT_EQ(ReadFile(dir / "Merge_c.bin"), c);
    EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"), "\n#define PICc_OFFSET (AOSD_START_ADR+          0) //c.bin");
    EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), Concat(Concat(a, b), d));
    EXPECT_EQ(result.mergedSize, 20u);

    // The merge file removed between clicks: the next source starts a merge of its own.
    std::remove((dir / "Merge_c.bin").c_str());
    result = MergeBinFile(state, dir / "b.bin", false);
    ASSERT_FALSE(result.failure);
    EXPECT_EQ(state.MergeBinPath, dir / "Merge_b.bin");
    EXPECT_EQ(ReadFile(dir / "Merge_b.bin"), b);
    EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"), "\n#define PICb_OFFSET (AOSD_START_ADR+          0) //b.bin");
}

TEST(AosdMerge, RefusedAndFailedClicksLeaveBothFilesAsTheyWere) {
    TempDir dir;
    const Bytes a = Pattern(30, 1);
    testsupport::WriteFile(dir / "a.bin", a);
    testsupport::WriteFile(dir / "b.bin", Pattern(5, 2));
    MergeState state;
    ASSERT_FALSE(MergeBinFile(state, dir / "a.bin", true).failure);
    const std::string table = ReadText(dir / "Merge_tbl.txt");

    // The merge file itself as the source.
    auto result = MergeBinFile(state, dir / "Merge_a.bin", false);
    ASSERT_TRUE(result.failure);
    EXPECT_EQ(*result.failure, "The merge file " + (dir / "Merge_a.bin") + " cannot be merged into itself.");
    EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), a);
    EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"), table);

    // A source that cannot be read.
    EXPECT_THROW(MergeBinFile(state, dir / "missing.bin", false), base::Error);
    EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), a);
    EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"), table);

    // The table removed while the merge file stays.
    std::remove((dir / "Merge_tbl.txt").c_str());
    result = MergeBinFile(state, dir / "b.bin", false);
    ASSERT_TRUE(result.failure);
    EXPECT_NE(result.failure->find(dir / "Merge_tbl.txt"), std::string::npos) << *result.failure;
    EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), a);
    EXPECT_FALSE(base::FileExists(dir / "Merge_tbl.txt"));
    EXPECT_EQ(state.MergeBinPath, dir / "Merge_a.bin");

    // A table that cannot be written: the merge file keeps its length.
    testsupport::WriteFile(dir / "Merge_tbl.txt", {});
    std::filesystem::permissions(dir / "Merge_tbl.txt", std::filesystem::perms::owner_read);
    if (::access((dir / "Merge_tbl.txt").c_str(), W_OK) != 0) { // not when the tests run as root
        EXPECT_THROW(MergeBinFile(state, dir / "b.bin", false), base::Error);
        EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), a);
    }
}

} // namespace
