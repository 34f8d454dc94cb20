#include "bitmap/BmpLoader.h"

#include "base/LittleEndian.h"
#include "base/Path.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace bitmap {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Reads up to size bytes at offset into out, zero-filling whatever the file does not supply.
void ReadAt(std::FILE* f, long offset, std::uint8_t* out, std::size_t size) {
    std::size_t got = 0;
    if (offset >= 0 && std::fseek(f, offset, SEEK_SET) == 0) got = std::fread(out, 1, size, f);
    std::memset(out + got, 0, size - got);
}

} // namespace

std::uint32_t CurrentBitmap::bfSize() const {
    return base::ReadLe32(FileHeader.data() + 2);
}
std::uint32_t CurrentBitmap::bfOffBits() const {
    return base::ReadLe32(FileHeader.data() + 10);
}
std::int32_t CurrentBitmap::biWidth() const {
    return static_cast<std::int32_t>(base::ReadLe32(InfoHeader.data() + 4));
}
std::int32_t CurrentBitmap::biHeight() const {
    return static_cast<std::int32_t>(base::ReadLe32(InfoHeader.data() + 8));
}
std::uint16_t CurrentBitmap::biBitCount() const {
    return base::ReadLe16(InfoHeader.data() + 14);
}

void ConvertPalette(const std::uint8_t* raw, base::Colour* table, int count) {
    for (int i = 0; i < count && i < 256; ++i)
        table[i] = base::MakeColour(raw[4 * i + 2], raw[4 * i + 1], raw[4 * i]);
}

const char* MessageOf(OpenStatus status) {
    switch (status) {
    case OpenStatus::Ok:
        return "";
    case OpenStatus::FileNotExist:
        return "File Not Exist !!!";
    case OpenStatus::OpenFileError:
        return "Open File Error !!!";
    case OpenStatus::WrongFileSize:
        return "Wrong File Size !!!";
    case OpenStatus::DeepColour:
        return "Don't support 24bit!!!";
    }
    return "";
}

LoadResult LoadBitmapFile(CurrentBitmap& bm, const std::string& path) {
    LoadResult result;
    if (!base::FileExists(path)) {
        result.status = OpenStatus::FileNotExist;
        return result;
    }
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        result.status = OpenStatus::OpenFileError;
        return result;
    }
    std::uint8_t headers[54];
    ReadAt(file.get(), 0, headers, sizeof headers);
    std::copy_n(headers, 14, bm.FileHeader.begin());
    std::copy_n(headers + 14, 40, bm.InfoHeader.begin());
    result.headersRead = true;

    const std::uint32_t offBits = bm.bfOffBits();
    bm.PixelDataSize = bm.bfSize() - offBits;
    bm.Height = static_cast<std::uint16_t>(bm.biHeight());
    bm.Width = static_cast<std::uint16_t>(bm.biWidth());
    if (bm.Height > kMaxHeight || bm.Width > kMaxWidth || bm.Height == 0 || bm.Width == 0) {
        result.status = OpenStatus::WrongFileSize;
        return result;
    }
    bm.BitsPerPixel = static_cast<std::uint8_t>(bm.biBitCount());
    if (bm.BitsPerPixel > 8) {
        result.status = OpenStatus::DeepColour;
        return result;
    }
    bm.BytesPerRow = static_cast<std::uint16_t>(bm.PixelDataSize / bm.Height);
    bm.PaletteBytes = static_cast<std::uint16_t>(offBits - 54);

    bm.RawPalette.fill(0);
    if (bm.PaletteBytes != 0) {
        ReadAt(file.get(), 54, bm.RawPalette.data(), std::min<std::size_t>(bm.PaletteBytes, kRawPaletteSize));
        ConvertPalette(bm.RawPalette.data(), bm.ColourTable.data(), 256);
    }

    // An offset past what a long can address reads nothing (all zero), like a file that ends early.
    const long pixelOffset = offBits <= 0x7FFFFFFFu ? static_cast<long>(offBits) : -1;
    ReadAt(file.get(), pixelOffset, bm.Pixels.data(),
           std::min<std::size_t>(bm.PixelDataSize, kPixelBufferSize));

    if (bm.biHeight() > 0) {
        // Stored bottom row first: turn the rows over. A pair of rows that does not lie inside the buffer
        // (possible only for a row size the header makes up) is left alone.
        const std::size_t rowBytes = bm.BytesPerRow;
        for (std::size_t r = 0; r < (bm.Height + 1u) / 2; ++r) {
            const std::size_t top = r * rowBytes;
            const std::size_t bottom = (bm.Height - 1u - r) * rowBytes;
            if (bottom + rowBytes > kPixelBufferSize) continue;
            std::swap_ranges(bm.Pixels.begin() + static_cast<std::ptrdiff_t>(top),
                             bm.Pixels.begin() + static_cast<std::ptrdiff_t>(top + rowBytes),
                             bm.Pixels.begin() + static_cast<std::ptrdiff_t>(bottom));
        }
    }

    bm.ColourCount = static_cast<std::uint16_t>(1u << bm.BitsPerPixel);
    bm.ReducedCount = 0;
    bm.ReducedPalette.fill(0);
    ++bm.Generation;
    return result;
}

} // namespace bitmap
