#include "merge/MergeSplit.h"

#include "base/FileProblem.h"
#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/WholeFile.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <set>
#include <string_view>

namespace merge {

namespace {

constexpr std::size_t kMaxTable = std::size_t{16} << 20;
constexpr std::size_t kCopyBlock = std::size_t{1} << 20;

bool IsGap(char c) {
    return c == ' ' || c == '\t';
}

void SkipGaps(std::string_view s, std::size_t& i) {
    while (i < s.size() && IsGap(s[i]))
        ++i;
}

bool Take(std::string_view s, std::size_t& i, std::string_view word) {
    if (s.substr(i, word.size()) != word) return false;
    i += word.size();
    return true;
}

// One record, or nothing with what is wrong in why.
bool ParseRecord(std::string_view s, OffsetEntry& e, std::string& why) {
    std::size_t i = 0;
    SkipGaps(s, i);
    if (!Take(s, i, "#define")) {
        why = "no #define";
        return false;
    }
    const std::size_t before = i;
    SkipGaps(s, i);
    if (i == before) {
        why = "no blank after #define";
        return false;
    }
    const std::size_t start = i;
    while (i < s.size() && !IsGap(s[i]) && s[i] != '(')
        ++i;
    e.macro = std::string(s.substr(start, i - start));
    if (e.macro.size() < 3 + 7 || e.macro.compare(0, 3, "PIC") != 0 ||
        e.macro.compare(e.macro.size() - 7, 7, "_OFFSET") != 0) {
        why = "the macro is not PIC..._OFFSET";
        return false;
    }
    e.symbol = e.macro.substr(3, e.macro.size() - 10);
    SkipGaps(s, i);
    if (!Take(s, i, "(AOSD_START_ADR+")) {
        why = "no (AOSD_START_ADR+";
        return false;
    }
    SkipGaps(s, i);
    const std::size_t digits = i;
    if (i < s.size() && s[i] == '-') ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9')
        ++i;
    if (i == digits || (s[digits] == '-' && i == digits + 1) || i - digits > 11) {
        why = "no offset";
        return false;
    }
    const long long value = std::strtoll(std::string(s.substr(digits, i - digits)).c_str(), nullptr, 10);
    if (value < INT32_MIN || value > UINT32_MAX) {
        why = "an offset out of 32 bits";
        return false;
    }
    e.address = static_cast<std::uint32_t>(value);
    SkipGaps(s, i);
    if (!Take(s, i, ")")) {
        why = "no ) after the offset";
        return false;
    }
    SkipGaps(s, i);
    if (!Take(s, i, "//")) {
        why = "no // comment";
        return false;
    }
    e.comment = std::string(s.substr(i));
    return true;
}

std::string SafeName(const std::string& symbol) {
    std::string name = symbol;
    for (char& c : name)
        if (c == '/' || c == '\\' || c == '\0') c = '_';
    if (name.empty() || name == "." || name == "..") name = "_" + name;
    return name;
}

} // namespace

ParsedTable ParseOffsetTable(std::string_view text) {
    ParsedTable result;
    int line = 0;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view s = text.substr(at, end - at);
        ++line;
        at = end + 1;
        if (!s.empty() && s.back() == '\r') s.remove_suffix(1);
        bool blank = true;
        for (const char c : s)
            blank = blank && IsGap(c);
        if (blank) continue;
        OffsetEntry e;
        std::string why;
        if (!ParseRecord(s, e, why)) {
            result.failure = base::strprintf("line %d is not an offset record: %s", line, why.c_str());
            return result;
        }
        e.line = line;
        // The Merge tab's comment repeats the address in hexadecimal.
        if (e.comment.size() > 2 && e.comment.compare(0, 2, "0x") == 0) {
            const std::string hex = e.comment.substr(2, e.comment.find_first_of(" \t") - 2);
            char* stop = nullptr;
            errno = 0;
            const unsigned long long v = std::strtoull(hex.c_str(), &stop, 16);
            if (!hex.empty() && *stop == '\0' && (errno != 0 || v != e.address)) {
                result.failure = base::strprintf("line %d: %s gives %d but its comment 0x%s", line, e.macro.c_str(),
                                                 static_cast<int>(e.address), hex.c_str());
                return result;
            }
        }
        result.entries.push_back(std::move(e));
    }
    return result;
}

SplitPlan PlanSplit(const std::vector<OffsetEntry>& entries, std::uint64_t imageSize) {
    SplitPlan plan;
    std::set<std::string> used;
    std::uint64_t previous = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const OffsetEntry& e = entries[i];
        const std::uint64_t offset = e.address;
        if (i == 0 && offset > 0 && offset <= imageSize)
            plan.problems.push_back(base::strprintf("the image's first %llu bytes belong to no entry",
                                                    static_cast<unsigned long long>(offset)));
        if (i > 0 && offset < previous)
            plan.problems.push_back(base::strprintf("%s (line %d) at offset %llu lies before the entry above it "
                                                    "(offset %llu)",
                                                    e.macro.c_str(), e.line, static_cast<unsigned long long>(offset),
                                                    static_cast<unsigned long long>(previous)));
        previous = offset;
        if (offset > imageSize) {
            plan.problems.push_back(base::strprintf("%s (line %d) at offset %llu lies past the image's end (%llu "
                                                    "bytes)",
                                                    e.macro.c_str(), e.line, static_cast<unsigned long long>(offset),
                                                    static_cast<unsigned long long>(imageSize)));
            continue;
        }
        std::uint64_t end = imageSize;
        for (std::size_t k = i + 1; k < entries.size(); ++k)
            if (entries[k].address >= offset && entries[k].address < end) {
                end = entries[k].address;
                break;
            }
        std::string name = SafeName(e.symbol);
        // A name met again gets "_2", "_3", ... (built by appending: GCC 12's overlap check misreads
        // "_" + std::to_string(n) at -O3).
        for (int n = 2; used.count(name); ++n) {
            std::string candidate = SafeName(e.symbol);
            candidate += '_';
            candidate += std::to_string(n);
            if (!used.count(candidate)) name = std::move(candidate);
        }
        used.insert(name);
        plan.pieces.push_back({name, e.macro, offset, end - offset});
    }
    return plan;
}

SplitResult SplitMergedImage(const std::string& imagePath, const std::string& tablePath,
                             const std::string& directory) {
    SplitResult result;
    std::vector<std::uint8_t> table;
    base::FileProblem problem;
    if (base::ReadWholeFile(tablePath, table, kMaxTable, &problem) != base::ReadStatus::Ok) {
        result.failure = "Cannot read " + base::ProblemText(problem);
        return result;
    }
    const ParsedTable parsed =
        ParseOffsetTable(std::string_view(reinterpret_cast<const char*>(table.data()), table.size()));
    if (parsed.failure) result.problems.push_back(tablePath + ": " + *parsed.failure);
    if (parsed.entries.empty() && !parsed.failure) result.problems.push_back(tablePath + " holds no entry");

    base::InputFile image;
    if (image.Open(imagePath) != base::ReadStatus::Ok) {
        result.failure = "Cannot read " + base::ProblemText(image.Problem());
        return result;
    }
    SplitPlan plan = PlanSplit(parsed.entries, image.Size());
    result.problems.insert(result.problems.end(), plan.problems.begin(), plan.problems.end());
    std::vector<char> block(kCopyBlock);
    for (const SplitPiece& piece : plan.pieces) {
        const std::string path = directory.empty() ? piece.name : directory + "/" + piece.name;
        base::OutputFile out;
        if (!out.Create(path, base::OutputFile::Mode::Binary)) {
            result.failure = base::ProblemText(out.Problem());
            return result;
        }
        std::uint64_t done = 0;
        while (done < piece.size) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(kCopyBlock, piece.size - done));
            const long long got = image.ReadAt(piece.offset + done, block.data(), want);
            if (got <= 0) {
                result.failure = got < 0 ? "Cannot read " + base::ProblemText(image.Problem())
                                         : "Cannot read " + imagePath + ": it became shorter while it was read";
                return result; // out is dropped: the file it would replace stays
            }
            out.Write(std::string_view(block.data(), static_cast<std::size_t>(got)));
            done += static_cast<std::uint64_t>(got);
        }
        if (!out.Close()) {
            result.failure = base::ProblemText(out.Problem());
            return result;
        }
        result.written.push_back(piece);
    }
    return result;
}

} // namespace merge
