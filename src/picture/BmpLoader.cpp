#include "picture/BmpLoader.h"

#include "base/Format.h"
#include "base/LittleEndian.h"
#include "base/Path.h"
#include "base/WholeFile.h"
#include "picture/BmpRle.h"
#include "picture/Picture.h"
#include "picture/PngReader.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

namespace picture {

namespace {

// Where the loader reads a file's bytes from: the open file, piece by piece, or the whole file already read.
class Source {
public:
    virtual ~Source() = default;
    virtual std::uint64_t Size() const = 0;
    // Up to size bytes at offset into out; how many it got (fewer at the end of the file), -1 on a read
    // error.
    virtual long long ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) = 0;
};

class FileSource final : public Source {
public:
    explicit FileSource(base::InputFile& file) : file_(file) {}
    std::uint64_t Size() const override { return file_.Size(); }
    long long ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) override {
        return file_.ReadAt(offset, out, size);
    }

private:
    base::InputFile& file_;
};

class MemorySource final : public Source {
public:
    explicit MemorySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t Size() const override { return bytes_.size(); }
    long long ReadAt(std::uint64_t offset, std::uint8_t* out, std::size_t size) override {
        if (offset >= bytes_.size()) return 0;
        const std::size_t got = std::min<std::size_t>(size, bytes_.size() - static_cast<std::size_t>(offset));
        std::memcpy(out, bytes_.data() + offset, got);
        return static_cast<long long>(got);
    }

private:
    std::span<const std::uint8_t> bytes_;
};

// Reads up to size bytes at offset into out, zero-filling whatever the file does not supply (also after a
// read error: the loader treats an unreadable part like a file that ends early).
void ReadAt(Source& f, std::uint64_t offset, std::uint8_t* out, std::size_t size) {
    const long long got = f.ReadAt(offset, out, size);
    const std::size_t kept = got > 0 ? static_cast<std::size_t>(got) : 0;
    std::memset(out + kept, 0, size - kept);
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
std::uint32_t CurrentBitmap::biSize() const {
    return base::ReadLe32(InfoHeader.data());
}
std::uint32_t CurrentBitmap::biCompression() const {
    return base::ReadLe32(InfoHeader.data() + 16);
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
    case OpenStatus::NotRegular:
        return "Open File Error !!!";
    case OpenStatus::WrongFileSize:
        return "Wrong File Size !!!";
    case OpenStatus::DeepColour:
        return "Don't support 24bit!!!";
    case OpenStatus::Os2Header:
        return "The file has a 12-byte OS/2 bitmap header, which is not supported.";
    case OpenStatus::Rle8DepthMismatch:
        return "The file is RLE8-compressed but does not have 8 bits per pixel.";
    case OpenStatus::Rle4DepthMismatch:
        return "The file is RLE4-compressed but does not have 4 bits per pixel.";
    case OpenStatus::BitFieldsCompression:
        return "The file uses bit-field compression (BI_BITFIELDS), which an indexed bitmap cannot have.";
    case OpenStatus::JpegCompression:
        return "The file holds a JPEG-compressed picture (BI_JPEG), which is not supported.";
    case OpenStatus::PngCompression:
        return "The file holds a PNG-compressed picture (BI_PNG), which is not supported.";
    case OpenStatus::UnknownCompression:
        return "The file uses an unknown compression method, which is not supported.";
    }
    return "";
}

namespace {

// The refusal for a compression the loader cannot take at this depth (8 bits or fewer), or Ok.
OpenStatus CheckCompression(std::uint32_t compression, unsigned bitsPerPixel) {
    switch (compression) {
    case kBiRgb:
        return OpenStatus::Ok;
    case kBiRle8:
        return bitsPerPixel == 8 ? OpenStatus::Ok : OpenStatus::Rle8DepthMismatch;
    case kBiRle4:
        return bitsPerPixel == 4 ? OpenStatus::Ok : OpenStatus::Rle4DepthMismatch;
    case kBiBitFields:
        return OpenStatus::BitFieldsCompression;
    case kBiJpeg:
        return OpenStatus::JpegCompression;
    case kBiPng:
        return OpenStatus::PngCompression;
    default:
        return OpenStatus::UnknownCompression;
    }
}

// A compressed stream needs about two bytes a pixel at worst; this is several times what the largest
// accepted picture can use, and bounds what a hostile file makes the loader read.
constexpr std::size_t kMaxRleStream = 8 * kPixelBufferSize;

// The bytes from offset to the end of the file (at most kMaxRleStream).
std::vector<std::uint8_t> ReadStream(Source& f, std::uint32_t offset) {
    std::vector<std::uint8_t> out;
    if (f.Size() <= offset) return out;
    out.resize(static_cast<std::size_t>(std::min<std::uint64_t>(f.Size() - offset, kMaxRleStream)));
    const long long got = f.ReadAt(offset, out.data(), out.size());
    out.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return out;
}

} // namespace

namespace {

// The loader proper, on the bytes of an opened file.
LoadResult LoadFrom(CurrentBitmap& bm, Source& file, const std::string& path) {
    LoadResult result;
    std::uint8_t headers[54];
    ReadAt(file, 0, headers, sizeof headers);
    std::copy_n(headers, 14, bm.FileHeader.begin());
    std::copy_n(headers + 14, 40, bm.InfoHeader.begin());
    result.headersRead = true;

    // An OS/2 header holds 16-bit sizes where the fields below are read: refuse it before they mislead.
    if (bm.biSize() == 12) {
        result.status = OpenStatus::Os2Header;
        return result;
    }

    const std::uint32_t offBits = bm.bfOffBits();
    bm.PixelDataSize = bm.bfSize() - offBits;
    // A negative biHeight marks rows stored top row first; the picture has -biHeight rows. Sizes are checked
    // in full, so that one of 65536 + 10 rows is not taken for 10.
    const std::int32_t biHeight = bm.biHeight();
    const std::uint32_t rows =
        biHeight < 0 ? 0u - static_cast<std::uint32_t>(biHeight) : static_cast<std::uint32_t>(biHeight);
    const std::uint32_t columns = static_cast<std::uint32_t>(bm.biWidth());
    bm.Height = static_cast<std::uint16_t>(rows);
    bm.Width = static_cast<std::uint16_t>(columns);
    if (rows > kMaxHeight || columns > kMaxWidth || rows == 0 || columns == 0) {
        result.status = OpenStatus::WrongFileSize;
        result.detail.push_back({path, base::strprintf("%d x %u pixels, where 1 x 1 to %zu x %zu are taken",
                                                       bm.biWidth(), rows, kMaxWidth, kMaxHeight)});
        return result;
    }
    bm.BitsPerPixel = static_cast<std::uint8_t>(bm.biBitCount());
    if (bm.BitsPerPixel > 8) {
        result.status = OpenStatus::DeepColour;
        return result;
    }
    const std::uint32_t compression = bm.biCompression();
    result.status = CheckCompression(compression, bm.BitsPerPixel);
    if (result.status != OpenStatus::Ok) return result;

    bm.BytesPerRow = static_cast<std::uint16_t>((bm.Width * bm.BitsPerPixel + 31u) / 32u * 4u);
    // The colour table follows the information header, however long the file says that is.
    const std::uint64_t tableStart = 14 + std::max<std::uint64_t>(bm.biSize(), 40);
    bm.PaletteBytes = offBits > tableStart ? static_cast<std::uint16_t>(offBits - tableStart) : 0;

    bm.RawPalette.fill(0);
    if (bm.PaletteBytes != 0) {
        ReadAt(file, tableStart, bm.RawPalette.data(),
               std::min<std::size_t>(bm.PaletteBytes, kRawPaletteSize));
        ConvertPalette(bm.RawPalette.data(), bm.ColourTable.data(), 256);
    }

    // At most 1024 bytes a row (8 bits per pixel) and 768 rows: always inside Pixels.
    const std::size_t area = std::size_t{bm.BytesPerRow} * bm.Height;
    if (compression == kBiRle8 || compression == kBiRle4) {
        const std::vector<std::uint8_t> stream = ReadStream(file, offBits);
        std::fill_n(bm.Pixels.begin(), area, 0);
        const RleTarget target{bm.Pixels.data(), bm.BytesPerRow, bm.BitsPerPixel, bm.Width, bm.Height};
        // A stream cut short leaves the rest zero, as a short uncompressed file does.
        ExpandBmpRle(stream.data(), stream.size(), compression == kBiRle4, target);
    } else {
        // An offset past the end reads nothing (all zero), like a file that ends early.
        ReadAt(file, offBits, bm.Pixels.data(), area);
    }

    if (biHeight > 0) {
        // Stored bottom row first: turn the rows over.
        const std::size_t rowBytes = bm.BytesPerRow;
        for (std::size_t r = 0; r < (bm.Height + 1u) / 2; ++r) {
            const std::size_t top = r * rowBytes;
            const std::size_t bottom = (bm.Height - 1u - r) * rowBytes;
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

} // namespace

LoadResult LoadBitmapFile(CurrentBitmap& bm, const std::string& path) {
    LoadResult result;
    if (!base::FileExists(path)) {
        result.status = OpenStatus::FileNotExist;
        return result;
    }
    base::InputFile file;
    switch (file.Open(path)) {
    case base::ReadStatus::Ok:
        break;
    case base::ReadStatus::NotRegular:
        result.status = OpenStatus::NotRegular;
        result.detail.push_back(file.Problem());
        return result;
    default:
        result.status = OpenStatus::OpenFileError;
        result.detail.push_back(file.Problem());
        return result;
    }
    FileSource source(file);
    std::uint8_t signature[8];
    const long long got = source.ReadAt(0, signature, sizeof signature);
    if (IsPngPicture(std::span<const std::uint8_t>(signature, got > 0 ? static_cast<std::size_t>(got) : 0),
                     path)) {
        const std::vector<std::uint8_t> twin = ReadPictureFile(path);
        MemorySource memory(twin);
        LoadResult loaded = LoadFrom(bm, memory, path);
        loaded.png = true;
        return loaded;
    }
    return LoadFrom(bm, source, path);
}

LoadResult LoadBitmapBytes(CurrentBitmap& bm, std::span<const std::uint8_t> file, const std::string& path) {
    MemorySource source(file);
    return LoadFrom(bm, source, path);
}

} // namespace picture
