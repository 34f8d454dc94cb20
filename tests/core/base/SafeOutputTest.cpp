// The faults a real machine has, each tried on the output and input files of the base layer: a folder the
// user may not write, a long name, a size limit, a signal in the middle of a job, a FIFO, a device.
#include "base/OutputFile.h"
#include "base/OutputGuard.h"
#include "base/WholeFile.h"

#include "support/BmpBuilder.h"
#include "support/Child.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <regex>

namespace {

namespace fs = std::filesystem;
using base::OutputFile;
using base::OutputSet;
using testsupport::ChildLimits;
using testsupport::RunInChild;
using testsupport::TempDir;

std::string Read(const std::string& path) {
    return testsupport::ReadText(path);
}

void Write(const std::string& path, const std::string& text) {
    testsupport::WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool IsTemporaryName(const std::string& name) {
    static const std::regex pattern("\\.tavix-[A-Za-z0-9]{6}");
    return std::regex_match(name, pattern);
}

TEST(SafeReplace, WithoutATemporaryFileBesideItTheTargetKeepsEveryByte) {
    // A folder the user may not write, holding a file the user may write: the file used to be written in
    // place (emptied first). Now nothing is written, and the message says why.
    TempDir dir;
    ::chmod(dir.path().c_str(), 0755); // the unprivileged child must reach it
    const std::string locked = dir / "locked";
    fs::create_directory(locked);
    const std::string target = locked + "/a.BIN";
    Write(target, std::string(100000, 'o'));
    ::chmod(target.c_str(), 0666);
    ::chmod(locked.c_str(), 0555);

    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {target, "cannot replace " + target + " safely: Permission denied"},
        {locked + "/new.bin", "cannot create " + locked + "/new.bin: Permission denied"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const int exit = RunInChild({true, -1}, [&] {
            OutputFile f;
            if (f.Create(c.path, OutputFile::Mode::Binary)) return 1;
            return base::ProblemText(f.Problem()) == c.message ? 0 : 2;
        });
        EXPECT_EQ(exit, 0);
    }
    EXPECT_EQ(Read(target), std::string(100000, 'o'));
    EXPECT_EQ(Names(locked), std::vector<std::string>{"a.BIN"});
    ::chmod(locked.c_str(), 0755);
}

TEST(SafeReplace, ANameAsLongAsTheFileSystemAllowsGoesThroughAShortTemporaryName) {
    TempDir dir;
    const std::string name = std::string(251, 'n') + ".bin"; // 255 bytes: the longest name a folder holds
    Write(dir / name, "old");
    OutputFile f;
    ASSERT_TRUE(f.Create(dir / name, OutputFile::Mode::Binary)) << base::ProblemText(f.Problem());
    f.Write("new");
    std::vector<std::string> names = Names(dir.path());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(IsTemporaryName(names[0])) << names[0];
    EXPECT_EQ(Read(dir / name), "old");
    ASSERT_TRUE(f.Close());
    EXPECT_EQ(Read(dir / name), "new");
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{name});
}

TEST(SafeReplace, AFolderAndAPipeThatNobodyReadsAreRefusedWithoutWaiting) {
    TempDir dir;
    fs::create_directory(dir / "sub");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0666), 0);
    const struct {
        std::string path;
        std::string message;
    } cases[] = {
        {dir / "sub", "cannot write " + (dir / "sub") + ": Is a directory"},
        {dir / "pipe", "cannot write " + (dir / "pipe") + ": No such device or address"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ChildLimits limits;
        limits.alarmSeconds = 10;
        const int exit = RunInChild(limits, [&] {
            OutputFile f;
            if (f.Create(c.path, OutputFile::Mode::Binary)) return 1;
            return base::ProblemText(f.Problem()) == c.message ? 0 : 2;
        });
        EXPECT_EQ(exit, 0);
    }
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"pipe", "sub"}));
}

// Writes "new" (and, for the file named big, 5000 bytes) to every file of names in one set, appends "+"
// to append.txt in the same set, and commits. 0: committed; 1: a file could not be started; 2: Commit
// failed with a message naming big.
int WriteSet(const TempDir& dir, const std::vector<std::string>& names) {
    OutputSet set;
    std::vector<OutputFile> files(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        if (!files[i].Create(dir / names[i], OutputFile::Mode::Binary, set)) return 1;
        files[i].Write(names[i] == "big" ? std::string(5000, 'b') : "new");
    }
    OutputFile append;
    if (!append.OpenForAppend(dir / "append.txt", OutputFile::Mode::Binary, set)) return 1;
    append.Write("+");
    append.Close();
    for (OutputFile& f : files)
        f.Close();
    if (set.Commit()) return 0;
    return base::ProblemText(set.Problem()) == "cannot write " + (dir / "big") + ": File too large" ? 2 : 3;
}

TEST(OutputSet, AJobsFilesAreReplacedTogetherOrNotAtAll) {
    TempDir dir;
    for (const char* name : {"a", "b", "big", "append.txt"})
        Write(dir / name, "old");
    const std::vector<std::string> before = Names(dir.path());

    // A size limit that the third file passes: the first two were finished, yet nothing changes.
    EXPECT_EQ(RunInChild({false, 1000}, [&] { return WriteSet(dir, {"a", "b", "big"}); }), 2);
    for (const char* name : {"a", "b", "big", "append.txt"})
        EXPECT_EQ(Read(dir / name), "old") << name;
    EXPECT_EQ(Names(dir.path()), before);

    // Without the limit all change at once.
    EXPECT_EQ(WriteSet(dir, {"a", "b", "big"}), 0);
    EXPECT_EQ(Read(dir / "a"), "new");
    EXPECT_EQ(Read(dir / "big"), std::string(5000, 'b'));
    EXPECT_EQ(Read(dir / "append.txt"), "old+");
    EXPECT_EQ(Names(dir.path()), before);
}

TEST(OutputSet, AnAbandonedSetOrAFileLeftOpenChangesNothing) {
    TempDir dir;
    Write(dir / "a", "old");
    Write(dir / "log", "old");
    {
        OutputSet set;
        OutputFile a;
        ASSERT_TRUE(a.Create(dir / "a", OutputFile::Mode::Binary, set));
        a.Write(std::string(200000, 'x')); // past the buffer: bytes reached the temporary file
        ASSERT_TRUE(a.Close());
        OutputFile log;
        ASSERT_TRUE(log.OpenForAppend(dir / "log", OutputFile::Mode::Binary, set));
        log.Write(std::string(200000, 'y'));
        ASSERT_TRUE(log.Close());
        EXPECT_EQ(fs::file_size(dir / "log"), 200003u); // an append is in the file before the commit
    }                                                   // never committed
    EXPECT_EQ(Read(dir / "a"), "old");
    EXPECT_EQ(Read(dir / "log"), "old");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"a", "log"}));

    // A member the job never closed fails the commit, and the finished ones stay out too.
    OutputSet set;
    OutputFile a, b;
    ASSERT_TRUE(a.Create(dir / "a", OutputFile::Mode::Binary, set));
    ASSERT_TRUE(b.Create(dir / "b", OutputFile::Mode::Binary, set));
    a.Write("new");
    ASSERT_TRUE(a.Close());
    b.Write("new");
    EXPECT_FALSE(set.Commit());
    EXPECT_EQ(base::ProblemText(set.Problem()), (dir / "b") + " was not completed");
    EXPECT_EQ(Read(dir / "a"), "old");
    EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"a", "log"}));
}

TEST(OutputGuard, AnInterruptRemovesTemporaryFilesAndCutsAppendsBack) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        TempDir dir;
        Write(dir / "old.bin", "old");
        Write(dir / "merge.bin", "kept");
        const int exit = RunInChild({}, [&] {
            base::GuardOutputs();
            OutputSet set;
            OutputFile fresh, replaced, appended;
            if (!fresh.Create(dir / "new.bin", OutputFile::Mode::Binary, set) ||
                !replaced.Create(dir / "old.bin", OutputFile::Mode::Binary, set) ||
                !appended.OpenForAppend(dir / "merge.bin", OutputFile::Mode::Binary, set))
                return 1;
            for (OutputFile* f : {&fresh, &replaced, &appended})
                f->Write(std::string(300000, 'z'));
            replaced.Close(); // finished, waiting for the commit
            ::raise(signal);
            return 2; // not reached: the handler ends the process
        });
        EXPECT_EQ(exit, 128 + signal);
        EXPECT_EQ(Names(dir.path()), (std::vector<std::string>{"merge.bin", "old.bin"}));
        EXPECT_EQ(Read(dir / "old.bin"), "old");
        EXPECT_EQ(Read(dir / "merge.bin"), "kept");
    }
}

TEST(OutputGuard, ASizeLimitFailsTheWriteInsteadOfEndingTheProcess) {
    TempDir dir;
    Write(dir / "out.bin", "old");
    ChildLimits limits;
    limits.fileSizeLimit = 1000;
    limits.defaultSigxfsz = true; // what GuardOutputs does about the signal decides
    const int exit = RunInChild(limits, [&] {
        base::GuardOutputs();
        OutputFile f;
        if (!f.Create(dir / "out.bin", OutputFile::Mode::Binary)) return 1;
        f.Write(std::string(100000, 'x'));
        if (f.Close()) return 2;
        const std::string expected = "cannot write " + (dir / "out.bin") + ": File too large";
        return base::ProblemText(f.Problem()) == expected ? 0 : 3;
    });
    EXPECT_EQ(exit, 0);
    EXPECT_EQ(Read(dir / "out.bin"), "old");
    EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"out.bin"});
}

TEST(InputFile, OnlyARegularFileIsReadAndItsSizeIsCheckedBeforeAByteIs) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0666), 0);
    fs::create_directory(dir / "folder");
    Write(dir / "ten", "0123456789");
    const struct {
        std::string path;
        std::size_t cap;
        base::ReadStatus status;
        std::string message;
    } cases[] = {
        {dir / "fifo", 100, base::ReadStatus::NotRegular, (dir / "fifo") + " is not a regular file"},
        {"/dev/zero", 100, base::ReadStatus::NotRegular, "/dev/zero is not a regular file"},
        {dir / "folder", 100, base::ReadStatus::NotRegular, (dir / "folder") + " is not a regular file"},
        {dir / "none", 100, base::ReadStatus::CannotOpen, (dir / "none") + ": No such file or directory"},
        {dir / "ten", 9, base::ReadStatus::TooLarge, (dir / "ten") + ": larger than 9 bytes"},
        {dir / "ten", 10, base::ReadStatus::Ok, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ChildLimits limits;
        limits.alarmSeconds = 10; // a FIFO waited for would end the child, not hang the test
        const int exit = RunInChild(limits, [&] {
            std::vector<std::uint8_t> out{1, 2, 3};
            base::FileProblem why;
            const base::ReadStatus status = base::ReadWholeFile(c.path, out, c.cap, &why);
            if (status != c.status) return 1;
            if (status != base::ReadStatus::Ok)
                return base::ProblemText(why) == c.message && out.empty() ? 0 : 2;
            return out.size() == 10 ? 0 : 3;
        });
        EXPECT_EQ(exit, 0);
    }
}

// AddressSanitizer reserves far more address space than a limit on it leaves.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TAVIX_UNDER_ASAN 1
#endif
#endif
#if !defined(__SANITIZE_ADDRESS__) && !defined(TAVIX_UNDER_ASAN)
TEST(InputFile, AFileOverItsCapIsRefusedWithoutHoldingAnyOfIt) {
    // 300 MB (sparse) against a cap of 256 MiB, in a process that may not take another 64 MiB: a reader that
    // read up to its cap before looking at the size could not even hold what it read.
    TempDir dir;
    { std::ofstream big(dir / "big.bmp"); }
    ASSERT_EQ(::truncate((dir / "big.bmp").c_str(), 300000000), 0);
    const int exit = RunInChild({}, [&] {
        std::ifstream statm("/proc/self/statm");
        unsigned long pages = 0;
        statm >> pages;
        const rlim_t now = static_cast<rlim_t>(pages) * static_cast<rlim_t>(::sysconf(_SC_PAGESIZE));
        const rlimit rl{now + (64u << 20), now + (64u << 20)};
        if (::setrlimit(RLIMIT_AS, &rl) != 0) return 1;
        std::vector<std::uint8_t> out;
        try {
            return base::ReadWholeFile(dir / "big.bmp", out, std::size_t{256} << 20) ==
                           base::ReadStatus::TooLarge
                       ? 0
                       : 2;
        } catch (const std::bad_alloc&) {
            return 3;
        }
    });
    EXPECT_EQ(exit, 0);
}
#endif

} // namespace

namespace {

std::string Pattern(std::size_t n) {
    std::string s(n, '\0');
    for (std::size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return s;
}

// A source beside the output (one file system: the kernel copies) and one on another file system where
// there is one (/dev/shm, tmpfs: the copy goes through the buffer); from an offset, and past the source's end.
TEST(OutputFile, CopyFromAppendsTheSourcesBytesWhereverTheyLie) {
    TempDir dir;
    const std::string data = Pattern(300007);
    std::vector<std::string> sources = {dir / "src.bin"};
    const std::string shm = "/dev/shm/tavix-copy-" + std::to_string(::getpid());
    if (fs::is_directory("/dev/shm")) sources.push_back(shm);
    for (const std::string& source : sources) {
        SCOPED_TRACE(source);
        Write(source, data);
        const int in = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(in, 0);
        OutputFile f;
        ASSERT_TRUE(f.Create(dir / "out.bin", OutputFile::Mode::Binary));
        f.Write("head");
        EXPECT_EQ(f.CopyFrom(in, 5, 200000), 200000);
        f.Write("|");
        EXPECT_EQ(f.CopyFrom(in, 300000, 100), 7); // the source ends first
        ::close(in);
        ASSERT_TRUE(f.Close());
        EXPECT_TRUE(Read(dir / "out.bin") == "head" + data.substr(5, 200000) + "|" + data.substr(300000));
    }
    fs::remove(shm);
}

TEST(OutputFile, ACopyOverTheSizeLimitFailsAndKeepsTheOldFile) {
    TempDir dir;
    Write(dir / "src.bin", Pattern(100000));
    Write(dir / "out.bin", "old");
    ChildLimits limits;
    limits.fileSizeLimit = 1000;
    limits.defaultSigxfsz = true;
    const int exit = RunInChild(limits, [&] {
        base::GuardOutputs();
        const int in = ::open((dir / "src.bin").c_str(), O_RDONLY | O_CLOEXEC);
        OutputFile f;
        if (in < 0 || !f.Create(dir / "out.bin", OutputFile::Mode::Binary)) return 1;
        if (f.CopyFrom(in, 0, 100000) != 100000) return 2;
        if (f.Close()) return 3;
        const std::string expected = "cannot write " + (dir / "out.bin") + ": File too large";
        return base::ProblemText(f.Problem()) == expected ? 0 : 4;
    });
    EXPECT_EQ(exit, 0);
    EXPECT_EQ(Read(dir / "out.bin"), "old");
}

} // namespace
