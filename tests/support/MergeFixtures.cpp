#include "support/MergeFixtures.h"

#include "support/BmpBuilder.h"

namespace testsupport {

std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> out(size);
    for (std::size_t i = 0; i < size; ++i)
        out[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 256);
    return out;
}

std::vector<std::uint8_t> WritePatternFile(const std::string& path, std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes = PatternBytes(size, seed);
    WriteFile(path, bytes);
    return bytes;
}

std::string ListFileText(const std::vector<std::string>& names, const std::string& lineEnd, bool finalEnd) {
    std::string text;
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += names[i];
        if (i + 1 < names.size() || finalEnd) text += lineEnd;
    }
    return text;
}

std::vector<std::uint8_t> Concatenated(const std::vector<std::vector<std::uint8_t>>& parts) {
    std::vector<std::uint8_t> out;
    for (const auto& part : parts)
        out.insert(out.end(), part.begin(), part.end());
    return out;
}

} // namespace testsupport
