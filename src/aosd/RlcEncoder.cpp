#include "aosd/RlcEncoder.h"

#include "base/Format.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace aosd {

namespace {

// The first position from start on whose pixel differs from v (width when the row ends first). Artwork has
// long runs, so eight pixels are compared at a time.
std::size_t RunEnd(const std::uint8_t* row, std::size_t start, std::size_t width, std::uint8_t v) {
    const std::uint64_t pattern = 0x0101010101010101ull * v;
    std::size_t i = start;
    for (; i + 8 <= width; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, row + i, 8);
        const std::uint64_t diff = word ^ pattern;
        if (diff != 0) {
            if constexpr (std::endian::native == std::endian::little)
                return i + static_cast<std::size_t>(std::countr_zero(diff) / 8);
            else
                return i + static_cast<std::size_t>(std::countl_zero(diff) / 8);
        }
    }
    while (i < width && row[i] == v)
        ++i;
    return i;
}

std::uint8_t* PutRun(std::uint8_t* out, std::uint8_t v, std::size_t length, ChipModel chip) {
    *out++ = v;
    if (length < static_cast<std::size_t>(kMarkerRun)) {
        for (std::size_t k = 1; k < length; ++k)
            *out++ = v;
        return out;
    }
    *out++ = kRepeatMarker;
    const std::size_t count = length - static_cast<std::size_t>(CountBias(chip));
    if (count <= 127) {
        *out++ = static_cast<std::uint8_t>(count);
    } else if (count == 128) {
        // A single count byte reaches 127, and a longer count stores count - 1, so 128 cannot be said:
        // the run ends one short and its last pixel follows as a literal.
        *out++ = 0x7F;
        *out++ = v;
    } else {
        std::size_t m = count - 1;
        while (m >= 0x80) {
            *out++ = static_cast<std::uint8_t>((m & 0x7F) | 0x80);
            m >>= 7;
        }
        *out++ = static_cast<std::uint8_t>(m);
    }
    return out;
}

} // namespace

std::size_t EncodeRlcRow(std::uint8_t* row, std::size_t width, ChipModel chip, std::uint8_t* out,
                         std::size_t* changed) {
    // Most rows hold no 0xFF at all, which the C library finds fastest. From the first one on, the pixels are
    // counted in blocks small enough for an 8-bit count, so that the loop stays one of whole byte vectors:
    // a wider count made it the larger part of the coding time.
    constexpr std::size_t kBlock = 224;
    std::size_t markers = 0;
    const auto* first =
        width != 0 ? static_cast<const std::uint8_t*>(std::memchr(row, kRepeatMarker, width)) : nullptr;
    const std::size_t from = first ? static_cast<std::size_t>(first - row) : width;
    for (std::size_t block = from; block < width; block += kBlock) {
        const std::size_t end = std::min(width, block + kBlock);
        std::uint8_t inBlock = 0;
        for (std::size_t x = block; x < end; ++x) {
            const std::uint8_t marker = row[x] == kRepeatMarker;
            inBlock = static_cast<std::uint8_t>(inBlock + marker);
            row[x] = static_cast<std::uint8_t>(row[x] - marker);
        }
        markers += inBlock;
    }
    if (changed) *changed += markers;
    std::uint8_t* const begin = out;
    for (std::size_t start = 0; start < width;) {
        const std::uint8_t v = row[start];
        // Detail is made of short runs, which a pixel-by-pixel look ends soonest; only a run that is still
        // going after eight pixels is followed a word at a time.
        std::size_t end = start + 1;
        while (end < width && end - start < 8 && row[end] == v)
            ++end;
        if (end - start == 8) end = RunEnd(row, end, width, v);
        out = PutRun(out, v, end - start, chip);
        start = end;
    }
    return static_cast<std::size_t>(out - begin);
}

EncodedImage EncodeAosdImage(AosdPicture& picture, const RlcOptions& options,
                             std::vector<std::uint8_t>& buffer) {
    EncodedImage result;
    const std::size_t width = picture.width;
    const std::size_t height = picture.height;
    result.rawSize = static_cast<std::int64_t>(width * height);
    if (width == 0 || height == 0) return result;
    // A picture whose pixel buffer is short of its size codes only the rows it holds.
    const std::size_t rows = std::min(height, picture.pixels.size() / width);
    if (!options.rlc) {
        result.stream = std::span<const std::uint8_t>(picture.pixels.data(), width * rows);
        result.writeSize = static_cast<std::int64_t>(width * rows);
        return result;
    }
    if (buffer.size() < width * rows) buffer.resize(width * rows);
    std::size_t written = 0;
    std::size_t changed = 0;
    for (std::size_t r = 0; r < rows; ++r)
        written += EncodeRlcRow(picture.pixels.data() + r * width, width, options.chip,
                                buffer.data() + written, &changed);
    result.stream = std::span<const std::uint8_t>(buffer.data(), written);
    result.writeSize = static_cast<std::int64_t>(written);
    result.changedPixels = static_cast<std::int64_t>(changed);
    return result;
}

std::string ChangedPixelsNote(std::int64_t changedPixels) {
    if (changedPixels <= 0) return {};
    return base::strprintf("%lld %s of index 255 written as 254", static_cast<long long>(changedPixels),
                           changedPixels == 1 ? "pixel" : "pixels");
}

std::string CompressPercentText(std::int64_t rawSize, std::int64_t writeSize) {
    const long long percent = rawSize > 0 ? (rawSize - writeSize) * 100 / rawSize : 0;
    return base::strprintf("%lld%%", percent);
}

} // namespace aosd
