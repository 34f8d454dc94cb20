#include "picture/BitmapSnapshot.h"

#include <algorithm>

namespace picture {

namespace {

std::size_t UsedPixels(const CurrentBitmap& bitmap) {
    const std::size_t rows = static_cast<std::size_t>(bitmap.WalkHeight()) * bitmap.BytesPerRow;
    return std::min(bitmap.Pixels.size(), rows);
}

} // namespace

CurrentBitmap TrimmedCopy(const CurrentBitmap& bitmap) {
    CurrentBitmap copy = bitmap;
    copy.Pixels.resize(UsedPixels(bitmap));
    copy.Pixels.shrink_to_fit();
    return copy;
}

void RestoreTrimmed(CurrentBitmap& bitmap, const CurrentBitmap& trimmed) {
    std::vector<std::uint8_t> pixels = std::move(bitmap.Pixels);
    bitmap = trimmed;
    const std::size_t n = std::min(pixels.size(), trimmed.Pixels.size());
    std::copy(trimmed.Pixels.begin(), trimmed.Pixels.begin() + static_cast<std::ptrdiff_t>(n),
              pixels.begin());
    bitmap.Pixels = std::move(pixels);
}

std::uint64_t MixFingerprint(std::uint64_t h, const void* data, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        h ^= p[i];
        h *= 0x100000001B3ull;
    }
    return h;
}

std::uint64_t EditedFingerprint(const CurrentBitmap& bitmap) {
    std::uint64_t h = kFingerprintStart;
    h = MixFingerprint(h, bitmap.Pixels.data(), UsedPixels(bitmap));
    h = MixFingerprint(h, bitmap.ColourTable.data(), sizeof(bitmap.ColourTable));
    h = MixFingerprint(h, bitmap.ReducedPalette.data(), sizeof(bitmap.ReducedPalette));
    h = MixFingerprint(h, bitmap.RawPalette.data(), sizeof(bitmap.RawPalette));
    const std::uint32_t fields[] = {bitmap.PaletteBytes, bitmap.ReducedCount, bitmap.ColourCount,
                                    bitmap.Generation,   bitmap.Width,        bitmap.Height,
                                    bitmap.BitsPerPixel};
    return MixFingerprint(h, fields, sizeof(fields));
}

} // namespace picture
