// Feeds arbitrary files to "Load File List": every line becomes a name that is measured and inserted, so
// nothing may be read outside the text, no name may hold a line end or keep its blanks, and the list never
// grows past its rows or its 32-bit total.
#include "merge/ListFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// A directory with a few files for relative names to find: "a" (3 bytes), "b c" (0 bytes), "d" (a directory).
const std::string& WorkDir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/tavix-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        if (!made) std::abort();
        const std::string d = made;
        for (const char* name : {"/a", "/b c"}) {
            std::FILE* f = std::fopen((d + name).c_str(), "wb");
            if (!f) std::abort();
            if (name[1] == 'a') std::fputs("abc", f);
            std::fclose(f);
        }
        ::mkdir((d + "/d").c_str(), 0755);
        return d;
    }();
    return dir;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const std::string& name : merge::ParseFileList(text)) {
        if (name.empty() || name.find('\n') != std::string::npos || IsBlank(name.front()) ||
            IsBlank(name.back()))
            std::abort();
    }

    const std::string path = WorkDir() + "/FILE_LIST.TXT";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    merge::MergeList list;
    const int selected = size > 0 ? data[0] : 1;
    const merge::LoadListResult r = merge::LoadFileList(list, selected, path);
    if (list.MergeCount() > merge::kMaxMergeEntries || r.added != list.MergeCount()) std::abort();
    if (r.added > 0 && (r.selectRow < 1 || r.selectRow > merge::kMaxMergeEntries)) std::abort();
    return 0;
}
