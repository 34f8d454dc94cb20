#include "merge/MergeWriter.h"

#include "base/Error.h"
#include "base/FileLog.h"
#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

namespace merge {

namespace {

// An entry whose file no longer is what the list measured: gone, not a plain file, or of another size. info
// receives what stat found.
bool Changed(const MergeEntry& e, struct stat& info) {
    if (e.Path.find('\0') != std::string::npos || ::stat(e.Path.c_str(), &info) != 0 ||
        !S_ISREG(info.st_mode))
        return true;
    return static_cast<std::uint64_t>(info.st_size) != e.Size;
}

std::string ChangedMessage(const std::vector<const MergeEntry*>& changed) {
    std::string text = "Nothing merged: these files are missing or have changed since they were added to the "
                       "list. Add them again !";
    for (const MergeEntry* e : changed)
        text += "\n" + e->Path;
    return text;
}

// Appends the file of e to out; false when it is not a plain file of exactly e.Size bytes or cannot be read
// whole. The kernel copies the data file to file where the file systems allow it.
bool CopyEntry(const MergeEntry& e, base::OutputFile& out) {
    const int fd = ::open(e.Path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || static_cast<std::uint64_t>(info.st_size) != e.Size) {
        ::close(fd);
        return false;
    }
    base::LogRead(e.Path);
    const long long copied = out.CopyFrom(fd, 0, e.Size);
    ::close(fd);
    return copied >= 0 && static_cast<std::uint64_t>(copied) == e.Size;
}

} // namespace

std::string MergeSymbol(const std::string& name) {
    std::string symbol = base::IdentifierPart(name);
    for (char& c : symbol)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return symbol;
}

std::vector<std::string> UniqueSymbols(const std::vector<std::string>& names) {
    std::vector<std::string> symbols;
    symbols.reserve(names.size());
    std::unordered_set<std::string> used;
    for (const std::string& name : names) {
        const std::string symbol = MergeSymbol(name);
        std::string unique = symbol;
        for (unsigned k = 2; used.count(unique); ++k)
            unique = symbol + "_" + std::to_string(k);
        used.insert(unique);
        symbols.push_back(std::move(unique));
    }
    return symbols;
}

std::string OffsetRecord(const std::string& symbol, std::uint32_t address) {
    return base::strprintf("\n#define\tPIC%s_OFFSET\t(AOSD_START_ADR+ %10d)\t//0x%-8X", symbol.c_str(),
                           static_cast<int>(static_cast<std::int32_t>(address)),
                           static_cast<unsigned>(address));
}

std::string OffsetTable(const MergeList& list) {
    std::vector<std::string> names;
    for (const MergeEntry& e : list.Entries())
        names.push_back(e.Name);
    const std::vector<std::string> symbols = UniqueSymbols(names);
    const std::vector<std::uint32_t> addresses = list.Addresses();
    std::string table;
    for (size_t i = 0; i < addresses.size() && i < symbols.size(); ++i)
        table += OffsetRecord(symbols[i], addresses[i]);
    return table;
}

MergeOutputs MergeOutputNames(const std::string& chosen) {
    const base::PathParts parts = base::SplitPath(chosen);
    const std::string base = parts.directory + parts.baseName;
    return {base + ".BIN", base + "_TBL.TXT"};
}

std::optional<std::string> MergeFiles(const MergeList& list, const std::string& chosen,
                                      base::FailureDetail* detail) {
    if (list.Empty()) return std::nullopt;

    std::vector<const MergeEntry*> changed;
    std::vector<std::pair<dev_t, ino_t>> inputs;
    for (const MergeEntry& e : list.Entries()) {
        struct stat info {};
        if (Changed(e, info))
            changed.push_back(&e);
        else
            inputs.emplace_back(info.st_dev, info.st_ino);
    }
    if (!changed.empty()) return ChangedMessage(changed);

    // Every input exists, so an output is one of them only when it exists too: one look at each output.
    const MergeOutputs names = MergeOutputNames(chosen);
    for (const std::string& output : {names.image, names.table}) {
        struct stat info {};
        if (::stat(output.c_str(), &info) != 0) continue;
        for (const auto& [dev, ino] : inputs)
            if (info.st_dev == dev && info.st_ino == ino) return base::ProblemText(base::OutputIsInput(output));
    }

    // The image and its table are replaced together at the end, or neither: both are opened before either
    // is written, so a name that cannot be written costs nothing.
    const auto cannotWrite = [detail](const base::FileProblem& problem, const char* message) {
        if (detail) detail->push_back(problem);
        return std::optional<std::string>(message);
    };
    base::OutputSet outputs;
    base::OutputFile image;
    if (!image.Create(names.image, base::OutputFile::Mode::Binary, outputs))
        return cannotWrite(image.Problem(), "Open Merged file name error !!!");
    base::OutputFile table;
    if (!table.Create(names.table, base::OutputFile::Mode::Binary, outputs))
        return cannotWrite(table.Problem(), "Open file name table error !!!");

    for (const MergeEntry& e : list.Entries())
        if (!CopyEntry(e, image)) return ChangedMessage({&e});
    table.Write(OffsetTable(list));

    // Leaving a function with a file still open abandons it, and the set with it: no target changes.
    if (!image.Close()) return cannotWrite(image.Problem(), "Open Merged file name error !!!");
    if (!table.Close()) return cannotWrite(table.Problem(), "Open file name table error !!!");
    if (!outputs.Commit()) return cannotWrite(outputs.Problem(), "Open Merged file name error !!!");
    return std::nullopt;
}

} // namespace merge
