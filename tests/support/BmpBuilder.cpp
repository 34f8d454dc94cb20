#include "support/BmpBuilder.h"

#include "base/LittleEndian.h"

#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace testsupport {

int StrideOf(int width, int bpp) {
    return (width * bpp + 31) / 32 * 4;
}

std::vector<base::Colour> DistinctPalette(int n) {
    std::vector<base::Colour> out;
    for (int i = 0; i < n; ++i)
        out.push_back(base::MakeColour(static_cast<std::uint8_t>(i * 7 + 1),
                                       static_cast<std::uint8_t>(255 - i), static_cast<std::uint8_t>(i * 3)));
    return out;
}

std::vector<std::uint8_t> BuildBmp(const BmpLayout& s) {
    const int stride = StrideOf(s.width, s.bpp);
    std::vector<std::uint8_t> pixelData(static_cast<size_t>(stride) * static_cast<size_t>(s.height), 0);
    for (int y = 0; y < s.height; ++y) {
        const int fileRow = s.topDown ? y : s.height - 1 - y;
        std::uint8_t* row = pixelData.data() + static_cast<size_t>(fileRow) * static_cast<size_t>(stride);
        for (int x = 0; x < s.width; ++x) {
            const size_t at = static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x);
            const unsigned index = at < s.indices.size() ? s.indices[at] : 0;
            const int bit = x * s.bpp;
            const int shift = 8 - s.bpp - bit % 8;
            const unsigned mask = (1u << s.bpp) - 1;
            row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | ((index & mask) << shift));
        }
    }
    const std::uint32_t offBits = s.bfOffBits.value_or(static_cast<std::uint32_t>(54 + 4 * s.palette.size()));
    const std::uint32_t fileSize =
        s.bfSize.value_or(static_cast<std::uint32_t>(54 + 4 * s.palette.size() + pixelData.size()));
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    base::AppendLe32(out, fileSize);
    base::AppendLe16(out, s.reserved1);
    base::AppendLe16(out, s.reserved2);
    base::AppendLe32(out, offBits);
    base::AppendLe32(out, s.biSize.value_or(40));
    base::AppendLe32(out, static_cast<std::uint32_t>(s.biWidth.value_or(s.width)));
    base::AppendLe32(out, static_cast<std::uint32_t>(s.biHeight.value_or(s.topDown ? -s.height : s.height)));
    base::AppendLe16(out, 1);
    base::AppendLe16(out, s.biBitCount.value_or(static_cast<std::uint16_t>(s.bpp)));
    base::AppendLe32(out, s.biCompression.value_or(0));
    base::AppendLe32(out, static_cast<std::uint32_t>(pixelData.size()));
    base::AppendLe32(out, 2835);
    base::AppendLe32(out, 2835);
    base::AppendLe32(out, s.biClrUsed.value_or(static_cast<std::uint32_t>(s.palette.size())));
    base::AppendLe32(out, 0);
    for (base::Colour c : s.palette) {
        out.push_back(base::BlueOf(c));
        out.push_back(base::GreenOf(c));
        out.push_back(base::RedOf(c));
        out.push_back(0);
    }
    out.insert(out.end(), pixelData.begin(), pixelData.end());
    return out;
}

void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot create " + path);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::vector<std::uint8_t> out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) throw std::runtime_error("cannot open " + path);
    std::uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
        out.insert(out.end(), chunk, chunk + n);
    std::fclose(f);
    return out;
}

std::string ReadText(const std::string& path) {
    const auto bytes = ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tavix-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

CurrentDirectory::CurrentDirectory(const std::string& dir) {
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer)) previous_ = buffer;
    if (::chdir(dir.c_str()) != 0) throw std::runtime_error("cannot enter " + dir);
}

CurrentDirectory::~CurrentDirectory() {
    if (!previous_.empty()) [[maybe_unused]]
        int ignored = ::chdir(previous_.c_str());
}

} // namespace testsupport
