#pragma once

#include "picture/BmpLoader.h"

#include <cstdint>

namespace picture {

// Snapshots of the current bitmap for the tabs' undo histories. The pixel buffer has a fixed size far
// beyond most pictures; the edits and reductions change nothing past the picture's rows, so a snapshot keeps
// only those.

// The bitmap with Pixels cut to the picture's rows (WalkHeight() rows of BytesPerRow bytes).
CurrentBitmap TrimmedCopy(const CurrentBitmap& bitmap);
// Puts a TrimmedCopy back: every field, and its pixels over the start of the buffer (the rest, which no
// edit reaches, stays).
void RestoreTrimmed(CurrentBitmap& bitmap, const CurrentBitmap& trimmed);
// A fingerprint of what edits and reductions change: the picture's rows, the colour tables, the reduced
// palette, the sizes and the open count. Two bitmaps with different fingerprints differ.
std::uint64_t EditedFingerprint(const CurrentBitmap& bitmap);

// FNV-1a over size bytes at data, continuing from h.
std::uint64_t MixFingerprint(std::uint64_t h, const void* data, std::size_t size);
inline constexpr std::uint64_t kFingerprintStart = 0xCBF29CE484222325ull;

} // namespace picture
