// The least a job can do and still replace its outputs safely, as a floor for the job benchmarks
// (floor_bench.sh): no checks, no formatting, nothing but the system calls.
//
//   lean-writer merge OUT FILE...  copies the files (copy_file_range) into a temporary file renamed over
//                                  OUT.BIN, and writes a table of their offsets to OUT_TBL.TXT the same way
//   lean-writer write DIR FILE...  writes as many bytes as each file holds (not read: their values change
//                                  nothing) to a temporary file in DIR renamed over DIR/NAME
//   lean-writer overwrite DIR FILE...  the same, but truncates and rewrites DIR/NAME in place, as `cp` does:
//                                  what the safe replacement costs is the difference
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

[[noreturn]] void Die(const std::string& what) {
    std::perror(what.c_str());
    std::exit(1);
}

// A temporary file beside target; its name in tmp.
int Temporary(const std::string& target, std::string& tmp) {
    tmp = target + ".leanXXXXXX";
    std::vector<char> name(tmp.begin(), tmp.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) Die(target);
    tmp = name.data();
    ::fchmod(fd, 0644);
    return fd;
}

void WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n <= 0) Die("write");
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void Finish(int fd, const std::string& tmp, const std::string& target) {
    if (::close(fd) != 0 || std::rename(tmp.c_str(), target.c_str()) != 0) Die(target);
}

int Merge(const std::string& out, char** files, int count) {
    std::string imageTmp;
    std::string tableTmp;
    const int image = Temporary(out + ".BIN", imageTmp);
    const int table = Temporary(out + "_TBL.TXT", tableTmp);
    std::string text;
    long long offset = 0;
    for (int i = 0; i < count; ++i) {
        const int in = ::open(files[i], O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (in < 0 || ::fstat(in, &st) != 0) Die(files[i]);
        for (off_t left = st.st_size; left > 0;) {
            const ssize_t n =
                ::copy_file_range(in, nullptr, image, nullptr, static_cast<std::size_t>(left), 0);
            if (n <= 0) Die(files[i]);
            left -= n;
        }
        ::close(in);
        char line[64];
        std::snprintf(line, sizeof line, "#define\tP%d\t0x%08llX\n", i, offset);
        text += line;
        offset += st.st_size;
    }
    WriteAll(table, text.data(), text.size());
    Finish(image, imageTmp, out + ".BIN");
    Finish(table, tableTmp, out + "_TBL.TXT");
    return 0;
}

// Writes size bytes to fd from one buffer of 64 KiB, as tavix-cli's output files do.
void WriteBytes(int fd, std::size_t size) {
    static const std::vector<char> piece(65536, 'x');
    for (std::size_t done = 0; done < size;) {
        const std::size_t n = std::min(piece.size(), size - done);
        WriteAll(fd, piece.data(), n);
        done += n;
    }
}

int Write(const std::string& dir, char** files, int count, bool inPlace) {
    for (int i = 0; i < count; ++i) {
        struct stat st {};
        if (::stat(files[i], &st) != 0) Die(files[i]);
        const std::size_t size = static_cast<std::size_t>(st.st_size);
        const char* slash = std::strrchr(files[i], '/');
        const std::string target = dir + "/" + (slash ? slash + 1 : files[i]);
        if (inPlace) {
            const int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (out < 0) Die(target);
            WriteBytes(out, size);
            if (::close(out) != 0) Die(target);
            continue;
        }
        std::string tmp;
        const int out = Temporary(target, tmp);
        WriteBytes(out, size);
        Finish(out, tmp, target);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 4 && std::strcmp(argv[1], "merge") == 0) return Merge(argv[2], argv + 3, argc - 3);
    if (argc >= 4 && std::strcmp(argv[1], "write") == 0) return Write(argv[2], argv + 3, argc - 3, false);
    if (argc >= 4 && std::strcmp(argv[1], "overwrite") == 0) return Write(argv[2], argv + 3, argc - 3, true);
    std::fprintf(stderr, "usage: lean-writer merge|write|overwrite OUT|DIR FILE...\n");
    return 2;
}
