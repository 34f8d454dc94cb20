#include "support/BmpBuilder.h"

#include "base/LittleEndian.h"

#include <unistd.h>

#include <algorithm>
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

namespace {

// The indices in the order the file stores its rows, masked to the depth.
std::vector<std::uint8_t> StoredIndices(const BmpLayout& s) {
    const unsigned mask = s.bpp >= 8 ? 0xFFu : (1u << s.bpp) - 1;
    std::vector<std::uint8_t> out(static_cast<size_t>(s.width) * static_cast<size_t>(s.height), 0);
    for (int y = 0; y < s.height; ++y) {
        const int fileRow = s.topDown ? y : s.height - 1 - y;
        for (int x = 0; x < s.width; ++x) {
            const size_t at = static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x);
            const unsigned index = at < s.indices.size() ? s.indices[at] : 0;
            out[static_cast<size_t>(fileRow) * static_cast<size_t>(s.width) + static_cast<size_t>(x)] =
                static_cast<std::uint8_t>(index & mask);
        }
    }
    return out;
}

// Rows padded to 4 bytes, file order: indices packed at bpp, or each pixel's value in bpp / 8 bytes.
std::vector<std::uint8_t> UncompressedRows(const BmpLayout& s) {
    const size_t stride = static_cast<size_t>(StrideOf(s.width, s.bpp));
    std::vector<std::uint8_t> out(stride * static_cast<size_t>(s.height), 0);
    if (s.bpp > 8) {
        const size_t bytes = static_cast<size_t>(s.bpp) / 8;
        for (int y = 0; y < s.height; ++y) {
            const int fileRow = s.topDown ? y : s.height - 1 - y;
            for (int x = 0; x < s.width; ++x) {
                const size_t at =
                    static_cast<size_t>(y) * static_cast<size_t>(s.width) + static_cast<size_t>(x);
                const std::uint32_t v = at < s.values.size() ? s.values[at] : 0;
                for (size_t b = 0; b < bytes; ++b)
                    out[static_cast<size_t>(fileRow) * stride + static_cast<size_t>(x) * bytes + b] =
                        static_cast<std::uint8_t>(v >> (8 * b));
            }
        }
        return out;
    }
    const std::vector<std::uint8_t> stored = StoredIndices(s);
    for (int r = 0; r < s.height; ++r) {
        std::uint8_t* row = out.data() + static_cast<size_t>(r) * stride;
        for (int x = 0; x < s.width; ++x) {
            const unsigned index =
                stored[static_cast<size_t>(r) * static_cast<size_t>(s.width) + static_cast<size_t>(x)];
            const int bit = x * s.bpp;
            const int shift = 8 - s.bpp - bit % 8;
            row[bit / 8] = static_cast<std::uint8_t>(row[bit / 8] | (index << shift));
        }
    }
    return out;
}

// An RLE8 or RLE4 encoder written from the format's description: runs (RLE4: of a repeating pair of
// nibbles), absolute blocks of 3 to 255 pixels padded to an even number of bytes, an end-of-line code after
// every row and end-of-bitmap at the end, and the codes RleCodes asks for.
class RleEncoder final {
public:
    RleEncoder(const BmpLayout& s, bool rle4)
        : s_(s), rle4_(rle4), w_(s.width), h_(s.height), stored_(StoredIndices(s)) {}

    std::vector<std::uint8_t> Encode() {
        int x = 0, y = 0;
        while (y < h_) {
            if (x >= w_) {
                Emit(0, 0); // end of line
                x = 0;
                ++y;
                continue;
            }
            if (s_.rle.deltas && At(x, y) == 0 && Skip(x, y)) {
                if (y >= h_) return out_;
                continue;
            }
            if (s_.rle.endRowsEarly && x > 0 && RestIsZero(x, y)) {
                x = w_;
                continue;
            }
            x += Pixels(x, y);
        }
        Emit(0, 1); // end of bitmap
        return out_;
    }

private:
    unsigned At(int x, int y) const {
        return stored_[static_cast<size_t>(y) * static_cast<size_t>(w_) + static_cast<size_t>(x)];
    }

    void Emit(unsigned a, unsigned b) {
        out_.push_back(static_cast<std::uint8_t>(a));
        out_.push_back(static_cast<std::uint8_t>(b));
    }

    bool RestIsZero(int x, int y) const {
        for (; x < w_; ++x)
            if (At(x, y) != 0) return false;
        return true;
    }

    // Skips a stretch of index 0 that starts at (x, y) when it is long enough; false when it is not.
    bool Skip(int& x, int& y) {
        const long total = static_cast<long>(w_) * h_;
        const long from = static_cast<long>(y) * w_ + x;
        long to = from;
        while (to < total && stored_[static_cast<size_t>(to)] == 0)
            ++to;
        if (to - from < 4) return false;
        if (to == total) {
            Emit(0, 1); // end of bitmap: the rest stays index 0
            y = h_;
            return true;
        }
        const int tx = static_cast<int>(to % w_);
        const int ty = static_cast<int>(to / w_);
        if (ty > y && tx < x) { // a delta cannot move left: end the line first
            Emit(0, 0);
            x = 0;
            ++y;
        }
        while (x != tx || y != ty) {
            const int dx = std::min(tx - x, 255);
            const int dy = std::min(ty - y, 255);
            Emit(0, 2);
            Emit(static_cast<unsigned>(dx), static_cast<unsigned>(dy));
            x += dx;
            y += dy;
        }
        return true;
    }

    // Length of the run starting at x: equal pixels (RLE4: pixels alternating between the first two).
    int RunAt(int x, int y) const {
        const unsigned a = At(x, y);
        const unsigned b = rle4_ && x + 1 < w_ ? At(x + 1, y) : a;
        int n = 1;
        while (x + n < w_ && n < 255 && At(x + n, y) == (n % 2 == 0 ? a : b))
            ++n;
        return n;
    }

    // Encodes pixels from (x, y) on as one run or one absolute block; returns how many.
    int Pixels(int x, int y) {
        const int run = RunAt(x, y);
        int block = 0;
        if (run < 3) {
            while (x + block < w_ && block < 255 && (block == 0 || RunAt(x + block, y) < 3))
                ++block;
            if (rle4_ && !s_.rle.oddRle4Blocks && block % 2 == 1) --block;
        }
        if (block < 3) {
            const unsigned a = At(x, y);
            const unsigned b = rle4_ && run > 1 ? At(x + 1, y) : 0;
            Emit(static_cast<unsigned>(run), rle4_ ? (a << 4 | b) : a);
            return run;
        }
        Emit(0, static_cast<unsigned>(block));
        std::vector<std::uint8_t> bytes;
        for (int i = 0; i < block; ++i) {
            if (!rle4_)
                bytes.push_back(static_cast<std::uint8_t>(At(x + i, y)));
            else if (i % 2 == 0)
                bytes.push_back(static_cast<std::uint8_t>(At(x + i, y) << 4));
            else
                bytes.back() = static_cast<std::uint8_t>(bytes.back() | At(x + i, y));
        }
        if (bytes.size() % 2 == 1) bytes.push_back(0);
        out_.insert(out_.end(), bytes.begin(), bytes.end());
        return block;
    }

    const BmpLayout& s_;
    bool rle4_;
    int w_, h_;
    std::vector<std::uint8_t> stored_;
    std::vector<std::uint8_t> out_;
};

std::uint32_t CompressionField(BmpCompression c) {
    switch (c) {
    case BmpCompression::None:
        return 0;
    case BmpCompression::Rle8:
        return 1;
    case BmpCompression::Rle4:
        return 2;
    case BmpCompression::BitFields:
        return 3;
    }
    return 0;
}

} // namespace

std::vector<std::uint8_t> PixelDataOf(const BmpLayout& s) {
    if (s.compression == BmpCompression::Rle8 || s.compression == BmpCompression::Rle4)
        return RleEncoder(s, s.compression == BmpCompression::Rle4).Encode();
    return UncompressedRows(s);
}

std::vector<std::uint8_t> BuildBmp(const BmpLayout& s) {
    const std::vector<std::uint8_t> pixelData = PixelDataOf(s);
    const bool os2 = s.infoSize == 12;
    const size_t entrySize = os2 ? 3 : 4;
    const size_t maskBytes = s.infoSize == 40 && s.compression == BmpCompression::BitFields ? 12 : 0;
    const size_t headersEnd = 14 + static_cast<size_t>(s.infoSize) + maskBytes;
    const std::uint32_t offBits =
        s.bfOffBits.value_or(static_cast<std::uint32_t>(headersEnd + entrySize * s.palette.size()));
    const std::uint32_t fileSize = s.bfSize.value_or(static_cast<std::uint32_t>(
        headersEnd + entrySize * s.palette.size() + pixelData.size() + s.trailing.size()));
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    base::AppendLe32(out, fileSize);
    base::AppendLe16(out, s.reserved1);
    base::AppendLe16(out, s.reserved2);
    base::AppendLe32(out, offBits);
    base::AppendLe32(out, s.biSize.value_or(static_cast<std::uint32_t>(s.infoSize)));
    if (os2) {
        base::AppendLe16(out, static_cast<std::uint16_t>(s.biWidth.value_or(s.width)));
        base::AppendLe16(out, static_cast<std::uint16_t>(s.biHeight.value_or(s.height)));
        base::AppendLe16(out, 1);
        base::AppendLe16(out, s.biBitCount.value_or(static_cast<std::uint16_t>(s.bpp)));
    } else {
        base::AppendLe32(out, static_cast<std::uint32_t>(s.biWidth.value_or(s.width)));
        base::AppendLe32(out,
                         static_cast<std::uint32_t>(s.biHeight.value_or(s.topDown ? -s.height : s.height)));
        base::AppendLe16(out, 1);
        base::AppendLe16(out, s.biBitCount.value_or(static_cast<std::uint16_t>(s.bpp)));
        base::AppendLe32(out, s.biCompression.value_or(CompressionField(s.compression)));
        base::AppendLe32(out, static_cast<std::uint32_t>(pixelData.size()));
        base::AppendLe32(out, s.xPelsPerMeter);
        base::AppendLe32(out, s.yPelsPerMeter);
        base::AppendLe32(out, s.biClrUsed.value_or(static_cast<std::uint32_t>(s.palette.size())));
        base::AppendLe32(out, 0);
        const size_t infoEnd = 14 + static_cast<size_t>(s.infoSize);
        if (s.infoSize >= 52)
            for (int i = 0; i < 3; ++i)
                base::AppendLe32(out, s.masks[i]);
        if (s.infoSize >= 56) base::AppendLe32(out, s.masks[3]);
        if (s.infoSize >= 108) base::AppendLe32(out, 0x73524742); // "sRGB"
        if (s.infoSize >= 124) {
            out.resize(14 + 108, 0);
            base::AppendLe32(out, 4); // rendering intent: pictures
        }
        out.resize(infoEnd, 0);
        if (maskBytes)
            for (int i = 0; i < 3; ++i)
                base::AppendLe32(out, s.masks[i]);
    }
    for (base::Colour c : s.palette) {
        out.push_back(base::BlueOf(c));
        out.push_back(base::GreenOf(c));
        out.push_back(base::RedOf(c));
        if (!os2) out.push_back(0);
    }
    out.insert(out.end(), pixelData.begin(), pixelData.end());
    out.insert(out.end(), s.trailing.begin(), s.trailing.end());
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
