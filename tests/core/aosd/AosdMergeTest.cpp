#include "aosd/AosdMerge.h"

#include "base/Error.h"
#include "base/Path.h"
#include "support/BmpBuilder.h"
#include "support/Child.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
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

    // The merge file or its table as the source, under their own names or another (a link).
    std::filesystem::create_symlink(dir / "Merge_tbl.txt", dir / "t.bin");
    const struct {
        std::string source;
        std::string output;
    } same[] = {{dir / "Merge_a.bin", dir / "Merge_a.bin"}, {dir / "t.bin", dir / "Merge_tbl.txt"}};
    for (const auto& c : same) {
        SCOPED_TRACE(c.source);
        const auto result = MergeBinFile(state, c.source, false);
        ASSERT_TRUE(result.failure);
        EXPECT_EQ(*result.failure, "the output " + c.output + " is the input");
        EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), a);
        EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"), table);
    }
    std::filesystem::remove(dir / "t.bin");

    // A source that cannot be read, or is no regular file (a FIFO is refused, not waited for).
    ASSERT_EQ(::mkfifo((dir / "fifo.bin").c_str(), 0666), 0);
    EXPECT_THROW(MergeBinFile(state, dir / "missing.bin", false), base::Error);
    try {
        MergeBinFile(state, dir / "fifo.bin", false);
        ADD_FAILURE() << "a FIFO was merged";
    } catch (const base::Error& e) {
        EXPECT_EQ(std::string(e.what()), (dir / "fifo.bin") + " is not a regular file");
    }
    EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), a);
    EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"), table);
    std::filesystem::remove(dir / "fifo.bin");

    // The table removed while the merge file stays.
    std::remove((dir / "Merge_tbl.txt").c_str());
    auto result = MergeBinFile(state, dir / "b.bin", false);
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

TEST(AosdMerge, ARunOfSeveralSourcesIsOneJob) {
    TempDir dir;
    const Bytes a = Pattern(30, 1), b = Pattern(5, 2);
    testsupport::WriteFile(dir / "a.bin", a);
    testsupport::WriteFile(dir / "b.bin", b);
    testsupport::WriteFile(dir / "Merge_a.bin", {'o', 'l', 'd'});
    testsupport::WriteFile(dir / "Merge_tbl.txt", {'o', 'l', 'd'});

    // A later source that cannot be read: the folder is as it was before the run.
    MergeState state;
    EXPECT_THROW(aosd::MergeBinFiles(state, {dir / "a.bin", dir / "b.bin", dir / "none.bin"}, true),
                 base::Error);
    EXPECT_EQ(ReadText(dir / "Merge_a.bin"), "old");
    EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"), "old");
    EXPECT_TRUE(state.MergeBinPath.empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);

    // A later source that is the merge file the run is making.
    auto result = aosd::MergeBinFiles(state, {dir / "a.bin", dir / "Merge_a.bin"}, true);
    EXPECT_EQ(result.failure, "the output " + (dir / "Merge_a.bin") + " is the input");
    EXPECT_EQ(ReadText(dir / "Merge_a.bin"), "old");

    result = aosd::MergeBinFiles(state, {dir / "a.bin", dir / "b.bin"}, true);
    ASSERT_FALSE(result.failure);
    ASSERT_EQ(result.merged.size(), 2u);
    EXPECT_EQ(result.merged[0].fileName, "a.bin");
    EXPECT_EQ(result.merged[0].mergedSize, 30u);
    EXPECT_EQ(result.merged[1].mergedSize, 35u);
    EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), Concat(a, b));
    EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"), "\n#define PICa_OFFSET (AOSD_START_ADR+          0) //a.bin"
                                               "\n#define PICb_OFFSET (AOSD_START_ADR+         30) //b.bin");
}

TEST(AosdMerge, AWriteThatFailsLeavesTheMergeFileAndItsTableAsTheyWere) {
    // A size limit that the data passes, as a full disk would: the table used to be replaced (a new merge)
    // or extended before the data failed.
    TempDir dir;
    const Bytes a = Pattern(300, 1);
    testsupport::WriteFile(dir / "a.bin", a);
    testsupport::WriteFile(dir / "big.bin", Pattern(5000, 2));
    MergeState state;
    ASSERT_FALSE(MergeBinFile(state, dir / "a.bin", true).failure);
    const std::string table = ReadText(dir / "Merge_tbl.txt");

    // Appended to: the data fails, both files are cut back.
    const int appended = testsupport::RunInChild({false, 1000}, [&] {
        try {
            MergeBinFile(state, dir / "big.bin", false);
            return 1;
        } catch (const base::Error& e) {
            return std::string(e.what()).find("File too large") != std::string::npos ? 0 : 2;
        }
    });
    EXPECT_EQ(appended, 0);
    EXPECT_EQ(ReadFile(dir / "Merge_a.bin"), a);
    EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"), table);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);

    // A new merge whose data passes the limit: neither the new merge file nor the table appears.
    const int fresh = testsupport::RunInChild({false, 1000}, [&] {
        MergeState none;
        try {
            MergeBinFile(none, dir / "big.bin", true);
            return 1;
        } catch (const base::Error&) {
            return 0;
        }
    });
    EXPECT_EQ(fresh, 0);
    EXPECT_FALSE(base::FileExists(dir / "Merge_big.bin"));
    EXPECT_EQ(ReadText(dir / "Merge_tbl.txt"), table);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 4);
}

} // namespace
