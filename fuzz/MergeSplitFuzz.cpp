// Feeds arbitrary offset tables to the merge splitter's reader and planner: every piece lies inside the image,
// no two pieces share a name, and no name can leave the output folder.
#include "DecoderFuzzInput.h"

#include "merge/MergeSplit.h"

#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    const DecoderFuzzInput in(bytes, size);
    const std::string_view text(reinterpret_cast<const char*>(in.data.data()), in.data.size());
    const merge::ParsedTable table = merge::ParseOffsetTable(text);
    const std::uint64_t imageSize =
        static_cast<std::uint64_t>(in.head[0]) | static_cast<std::uint64_t>(in.head[1]) << 8 |
        static_cast<std::uint64_t>(in.head[2]) << 16 | static_cast<std::uint64_t>(in.head[3] & 0x7F) << 24;
    const merge::SplitPlan plan = merge::PlanSplit(table.entries, imageSize);
    std::set<std::string> names;
    for (const merge::SplitPiece& p : plan.pieces) {
        if (p.offset > imageSize || p.size > imageSize - p.offset) std::abort();
        if (!names.insert(p.name).second) std::abort();
        if (p.name.empty() || p.name == "." || p.name == ".." || p.name.find('/') != std::string::npos ||
            p.name.find('\\') != std::string::npos || p.name.find('\0') != std::string::npos)
            std::abort();
    }
    if (plan.pieces.size() > table.entries.size()) std::abort();
    return 0;
}
