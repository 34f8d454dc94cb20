#include "picture/Picture.h"

#include "base/OutputFile.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/LittleEndian.h"
#include "base/WholeFile.h"
#include "picture/BmpRle.h"
#include "picture/PngReader.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <limits>

namespace picture {

using base::Colour;

Picture Picture::Blank(int w, int h, Colour fill) {
    Picture p;
    if (w > 0 && h > 0) {
        p.width = w;
        p.height = h;
        p.pixels.assign(static_cast<size_t>(w) * static_cast<size_t>(h), fill);
    }
    return p;
}

Colour Picture::PixelAt(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
}

void Picture::SetPixel(int x, int y, Colour colour) {
    if (x < 0 || y < 0 || x >= width || y >= height) return;
    pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = colour;
}

namespace {

constexpr size_t kMaxFileSize = size_t{256} << 20;
constexpr int kMaxSide = 65535; // the sides are 16-bit wherever a picture goes
constexpr size_t kMaxPixels = size_t{1} << 24;

[[noreturn]] void Fail(const std::string& name, const std::string& reason) {
    throw base::Error(base::strprintf("Cannot read the picture \"%s\": %s.", name.c_str(), reason.c_str()));
}

bool KnownInfoSize(std::uint32_t size) {
    return size == 12 || size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

// One colour component of a pixel value of 16 to 32 bits, scaled so that the field's largest value is 255.
struct BitField {
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint32_t largest = 0; // 0: the component is always 0

    explicit BitField(std::uint32_t m) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        largest = m >> shift;
    }
    std::uint8_t Of(std::uint32_t value) const {
        if (largest == 0) return 0;
        const std::uint64_t v = (value & mask) >> shift;
        return static_cast<std::uint8_t>(v * 255 / largest);
    }
};

std::uint32_t StoredValue(const std::uint8_t* p, int bpp) {
    switch (bpp) {
    case 16:
        return base::ReadLe16(p);
    case 24:
        return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
               (static_cast<std::uint32_t>(p[2]) << 16);
    default:
        return base::ReadLe32(p);
    }
}

// For 1, 2 and 4 bits per index: the indices each stored byte holds, leftmost pixel first.
template <int Bpp> struct UnpackTable {
    static constexpr int kPerByte = 8 / Bpp;
    std::array<std::array<std::uint8_t, kPerByte>, 256> of{};

    constexpr UnpackTable() {
        for (unsigned b = 0; b < 256; ++b)
            for (int k = 0; k < kPerByte; ++k)
                of[b][static_cast<size_t>(k)] =
                    static_cast<std::uint8_t>((b >> (8 - Bpp * (k + 1))) & ((1u << Bpp) - 1));
    }
};

template <int Bpp> void UnpackRow(const std::uint8_t* row, size_t width, std::uint8_t* out) {
    static constexpr UnpackTable<Bpp> kTable;
    constexpr size_t perByte = UnpackTable<Bpp>::kPerByte;
    const size_t whole = width / perByte;
    for (size_t i = 0; i < whole; ++i, out += perByte)
        std::memcpy(out, kTable.of[row[i]].data(), perByte);
    // Rows take whole bytes, so the byte that holds the last pixels is part of the row.
    if (const size_t rest = width % perByte) std::memcpy(out, kTable.of[row[whole]].data(), rest);
}

} // namespace

namespace {

// What the file and information headers say, whichever kind of information header the file has.
struct BmpHeader {
    std::uint32_t offBits = 0;
    std::uint32_t infoSize = 0;
    bool os2 = false; // the 12-byte OS/2 header: 16-bit sizes, no compression, colour entries of three bytes
    std::int32_t rawWidth = 0;
    std::int32_t rawHeight = 0; // negative for rows stored top row first
    int bpp = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t clrUsed = 0;
    size_t entrySize = 4;
};

BmpHeader ReadHeader(const std::uint8_t* data, size_t size, const std::string& name) {
    if (size < 14 + 4) Fail(name, "the file is too short for a bitmap header");
    if (data[0] != 'B' || data[1] != 'M') Fail(name, "it is not a BMP file");
    BmpHeader h;
    h.offBits = base::ReadLe32(data + 10);
    h.infoSize = base::ReadLe32(data + 14);
    if (!KnownInfoSize(h.infoSize))
        Fail(name, base::strprintf("its information header of %u bytes is not supported", h.infoSize));
    if (size < 14 + static_cast<size_t>(h.infoSize))
        Fail(name, "the file ends inside its information header");
    const std::uint8_t* info = data + 14;
    h.os2 = h.infoSize == 12;
    if (h.os2) {
        h.rawWidth = base::ReadLe16(info + 4);
        h.rawHeight = base::ReadLe16(info + 6);
        h.bpp = base::ReadLe16(info + 10);
        h.entrySize = 3;
    } else {
        h.rawWidth = static_cast<std::int32_t>(base::ReadLe32(info + 4));
        h.rawHeight = static_cast<std::int32_t>(base::ReadLe32(info + 8));
        h.bpp = base::ReadLe16(info + 14);
        h.compression = base::ReadLe32(info + 16);
        h.clrUsed = base::ReadLe32(info + 32);
    }
    if (h.bpp != 1 && h.bpp != 2 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32)
        Fail(name, base::strprintf("%d bits per pixel are not supported", h.bpp));
    return h;
}

// The red, green and blue masks of a picture of more than 8 bits per pixel, by its compression, and where
// its colour table (or its pixels) start: past the three masks that follow a 40-byte header. Refuses a
// compression the depth cannot have.
struct Layout {
    std::uint32_t masks[3] = {0xFF0000, 0x00FF00, 0x0000FF}; // red, green, blue of 24 and 32 bits
    size_t headerEnd = 0;
};

Layout ReadLayout(const std::uint8_t* data, size_t size, const BmpHeader& h, const std::string& name) {
    Layout l;
    l.headerEnd = 14 + static_cast<size_t>(h.infoSize);
    if (h.bpp == 16) {
        l.masks[0] = 0x7C00;
        l.masks[1] = 0x03E0;
        l.masks[2] = 0x001F;
    }
    switch (h.compression) {
    case kBiRgb:
        break;
    case kBiRle8:
    case kBiRle4:
        if (h.bpp != (h.compression == kBiRle8 ? 8 : 4))
            Fail(name, base::strprintf("%s compression needs %d bits per pixel, the file has %d",
                                       h.compression == kBiRle8 ? "RLE8" : "RLE4",
                                       h.compression == kBiRle8 ? 8 : 4, h.bpp));
        break;
    case kBiBitFields:
        // An OS/2 header of 64 bytes gives this value to a Huffman code instead.
        if (h.infoSize == 64) Fail(name, "its OS/2 compression method 3 is not supported");
        if (h.bpp <= 8)
            Fail(name, base::strprintf("bit-field compression needs 16, 24 or 32 bits per pixel, "
                                       "the file has %d",
                                       h.bpp));
        if (h.infoSize >= 52) {
            for (int i = 0; i < 3; ++i)
                l.masks[i] = base::ReadLe32(data + 14 + 40 + 4 * i);
        } else {
            // A 40-byte header is followed by the three masks.
            if (size < l.headerEnd + 12) Fail(name, "the file ends inside its colour masks");
            for (int i = 0; i < 3; ++i)
                l.masks[i] = base::ReadLe32(data + l.headerEnd + 4 * static_cast<size_t>(i));
            l.headerEnd += 12;
        }
        break;
    case kBiJpeg:
    case kBiPng:
        if (h.infoSize != 64)
            Fail(name, base::strprintf("an embedded %s picture is not supported",
                                       h.compression == kBiJpeg ? "JPEG" : "PNG"));
        [[fallthrough]];
    default:
        Fail(name, base::strprintf("its compression method %u is not supported", h.compression));
    }
    return l;
}

// The colour of every pixel of a picture of 16, 24 or 32 bits per pixel, each field scaled to 0..255.
void DecodeDirectColours(const std::uint8_t* data, const BmpHeader& h, const Layout& l, size_t stride,
                         bool topDown, Picture& picture) {
    const int width = picture.width;
    const int height = picture.height;
    picture.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    const BitField red(l.masks[0]), green(l.masks[1]), blue(l.masks[2]);
    const size_t bytesPerPixel = static_cast<size_t>(h.bpp) / 8;
    for (int y = 0; y < height; ++y) {
        const int fileRow = topDown ? y : height - 1 - y;
        const std::uint8_t* row = data + h.offBits + stride * static_cast<size_t>(fileRow);
        Colour* out = &picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
        for (int x = 0; x < width; ++x) {
            const std::uint32_t v = StoredValue(row + bytesPerPixel * static_cast<size_t>(x), h.bpp);
            out[x] = base::MakeColour(red.Of(v), green.Of(v), blue.Of(v));
        }
    }
}

// The palette index of every pixel of an RLE8 or RLE4 stream, top row first.
void ExpandRleIndices(const std::uint8_t* data, size_t size, const BmpHeader& h, bool topDown,
                      const std::string& name, Picture& picture) {
    const int width = picture.width;
    const int height = picture.height;
    const size_t w = static_cast<size_t>(width);
    const size_t count = w * static_cast<size_t>(height);
    // Expanded one byte a pixel in the order the file stores the rows, then put top row first.
    std::vector<std::uint8_t> stored(count, 0);
    const RleTarget target{stored.data(), w, 8, width, height};
    if (!ExpandBmpRle(data + h.offBits, size - h.offBits, h.compression == kBiRle4, target))
        Fail(name, "the file ends inside its pixel data");
    std::vector<std::uint8_t>& indices = picture.indices;
    if (topDown) {
        indices = std::move(stored);
        return;
    }
    indices.reserve(count);
    for (int y = height - 1; y >= 0; --y) {
        const auto row = stored.begin() + static_cast<std::ptrdiff_t>(static_cast<size_t>(y) * w);
        indices.insert(indices.end(), row, row + width);
    }
}

// The palette index of every pixel of uncompressed rows of 1, 2, 4 or 8 bits per pixel, top row first.
void UnpackIndices(const std::uint8_t* data, const BmpHeader& h, size_t stride, bool topDown,
                   Picture& picture) {
    const int width = picture.width;
    const int height = picture.height;
    const size_t w = static_cast<size_t>(width);
    std::vector<std::uint8_t>& indices = picture.indices;
    const auto fileRow = [&](int y) {
        return data + h.offBits + stride * static_cast<size_t>(topDown ? y : height - 1 - y);
    };
    if (h.bpp == 8) {
        // Rows appended whole: the indices are never cleared first, only written once.
        indices.reserve(w * static_cast<size_t>(height));
        for (int y = 0; y < height; ++y)
            indices.insert(indices.end(), fileRow(y), fileRow(y) + width);
        return;
    }
    indices.resize(w * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        std::uint8_t* out = indices.data() + static_cast<size_t>(y) * w;
        switch (h.bpp) {
        case 1:
            UnpackRow<1>(fileRow(y), w, out);
            break;
        case 2:
            UnpackRow<2>(fileRow(y), w, out);
            break;
        default:
            UnpackRow<4>(fileRow(y), w, out);
            break;
        }
    }
}

// The colour of every pixel from its index; entries past the table show black.
void ColourIndices(Picture& picture) {
    std::array<Colour, 256> shown{};
    std::copy(picture.palette.begin(), picture.palette.end(), shown.begin());
    picture.pixels.resize(picture.indices.size());
    Colour* out = picture.pixels.data();
    const std::uint8_t* in = picture.indices.data();
    for (size_t i = 0; i < picture.indices.size(); ++i)
        out[i] = shown[in[i]];
}

} // namespace

Picture DecodeBmpPicture(const std::uint8_t* data, size_t size, const std::string& name, PictureParts parts) {
    const BmpHeader h = ReadHeader(data, size, name);
    const bool indexed = h.bpp <= 8;
    const Layout l = ReadLayout(data, size, h, name);

    if (h.rawWidth < 0) Fail(name, "its width is negative");
    if (h.rawWidth > kMaxSide || h.rawHeight > kMaxSide || h.rawHeight < -kMaxSide)
        Fail(name, "the picture is larger than 65535 pixels a side");
    const int width = h.rawWidth;
    const bool topDown = h.rawHeight < 0;
    const int height = topDown ? -h.rawHeight : h.rawHeight;
    if (static_cast<size_t>(width) * static_cast<size_t>(height) > kMaxPixels)
        Fail(name, "the picture has more than 16,777,216 pixels");

    if (h.offBits < l.headerEnd || h.offBits > size)
        Fail(name, "its pixel data offset lies outside the file");
    const size_t stride = ((static_cast<size_t>(width) * static_cast<size_t>(h.bpp) + 31) / 32) * 4;
    const bool rle = h.compression == kBiRle8 || h.compression == kBiRle4;
    if (!rle && stride * static_cast<size_t>(height) > size - h.offBits)
        Fail(name, "the file ends inside its pixel data");

    Picture picture;
    picture.bitsPerPixel = h.bpp;
    if (indexed) {
        // As many entries as the file says (all 2^bpp when it says 0 or more) and has room for before its
        // pixels.
        const size_t tableEntries = (h.clrUsed > 0 && h.clrUsed <= (1u << h.bpp)) ? h.clrUsed : (1u << h.bpp);
        const size_t available = (h.offBits - l.headerEnd) / h.entrySize;
        const size_t present = tableEntries < available ? tableEntries : available;
        for (size_t i = 0; i < present; ++i) {
            const std::uint8_t* e = data + l.headerEnd + h.entrySize * i;
            picture.palette.push_back(base::MakeColour(e[2], e[1], e[0]));
        }
    }
    if (width == 0 || height == 0) return picture;
    picture.width = width;
    picture.height = height;
    const bool colours = parts == PictureParts::All;

    if (!indexed) {
        if (colours) DecodeDirectColours(data, h, l, stride, topDown, picture);
        return picture;
    }
    if (rle)
        ExpandRleIndices(data, size, h, topDown, name, picture);
    else
        UnpackIndices(data, h, stride, topDown, picture);
    if (colours) ColourIndices(picture);
    return picture;
}

std::vector<std::uint8_t> ReadPictureFile(const std::string& path, bool* fromPng) {
    std::vector<std::uint8_t> data;
    base::FileProblem why;
    switch (base::ReadWholeFile(path, data, kMaxFileSize, &why)) {
    case base::ReadStatus::Ok:
        break;
    case base::ReadStatus::CannotOpen:
        Fail(path, "the file cannot be opened");
    case base::ReadStatus::NotRegular:
        throw base::Error(base::ProblemText(why));
    case base::ReadStatus::TooLarge:
        // Known from the file's size, before a byte is read.
        Fail(path, "the file is larger than 256 MiB");
    case base::ReadStatus::ReadError:
        Fail(path, "the file cannot be read");
    }
    const bool png = IsPngPicture(data, path);
    if (fromPng) *fromPng = png;
    if (png) return PngToBmp(data, path);
    return data;
}

Picture ReadBmpPicture(const std::string& path, PictureParts parts) {
    const std::vector<std::uint8_t> data = ReadPictureFile(path);
    return DecodeBmpPicture(data.data(), data.size(), path, parts);
}

IndexedPicture MatchToPalette(const Picture& picture, int width, int height, const PaletteTable& palette,
                              IndexHint hint, Colour compare) {
    IndexedPicture out;
    out.width = width > 0 ? width : 0;
    out.height = height > 0 ? height : 0;
    out.palette = palette;
    out.indices.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));

    std::array<Colour, 256> table{};
    for (size_t i = 0; i < 256; ++i)
        table[i] = ColourOf(palette[i]) & compare;

    // Most pictures use few colours: remember the last answer for the last colour seen.
    Colour lastColour = 0;
    int lastIndex = -1;
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x) {
            const size_t at =
                static_cast<size_t>(y) * static_cast<size_t>(out.width) + static_cast<size_t>(x);
            const Colour shown = picture.PixelAt(x, y) & compare;
            if (hint.indices && table[hint.indices[at]] == shown) {
                out.indices[at] = hint.indices[at];
                continue;
            }
            if (lastIndex >= 0 && shown == lastColour) {
                out.indices[at] = static_cast<std::uint8_t>(lastIndex);
                continue;
            }
            int best = 0;
            long bestDistance = std::numeric_limits<long>::max();
            for (int i = 0; i < 256 && bestDistance != 0; ++i) {
                const long dr = long{base::RedOf(shown)} - base::RedOf(table[static_cast<size_t>(i)]);
                const long dg = long{base::GreenOf(shown)} - base::GreenOf(table[static_cast<size_t>(i)]);
                const long db = long{base::BlueOf(shown)} - base::BlueOf(table[static_cast<size_t>(i)]);
                const long d = dr * dr + dg * dg + db * db;
                if (d < bestDistance) {
                    bestDistance = d;
                    best = i;
                }
            }
            lastColour = shown;
            lastIndex = best;
            out.indices[at] = static_cast<std::uint8_t>(best);
        }
    }
    return out;
}

Picture ToPicture(const IndexedPicture& picture) {
    Picture out = Picture::Blank(picture.width, picture.height, 0);
    out.bitsPerPixel = 8;
    for (const auto& entry : picture.palette)
        out.palette.push_back(ColourOf(entry));
    out.indices.assign(picture.indices.begin(),
                       picture.indices.begin() + static_cast<std::ptrdiff_t>(out.pixels.size()));
    for (size_t i = 0; i < out.pixels.size(); ++i)
        out.pixels[i] = out.palette[out.indices[i]];
    return out;
}

std::vector<std::uint8_t> EncodeBmp8(const IndexedPicture& picture) {
    const size_t stride = (static_cast<size_t>(picture.width) + 3) / 4 * 4;
    const size_t imageSize = stride * static_cast<size_t>(picture.height);
    const std::uint32_t offBits = 14 + 40 + 256 * 4;
    std::vector<std::uint8_t> out;
    out.reserve(offBits + imageSize);
    out.push_back('B');
    out.push_back('M');
    base::AppendLe32(out, static_cast<std::uint32_t>(offBits + imageSize));
    base::AppendLe16(out, 0);
    base::AppendLe16(out, 0);
    base::AppendLe32(out, offBits);
    base::AppendLe32(out, 40);
    base::AppendLe32(out, static_cast<std::uint32_t>(picture.width));
    base::AppendLe32(out, static_cast<std::uint32_t>(picture.height));
    base::AppendLe16(out, 1);
    base::AppendLe16(out, 8);
    base::AppendLe32(out, 0);
    base::AppendLe32(out, static_cast<std::uint32_t>(imageSize));
    base::AppendLe32(out, 0);
    base::AppendLe32(out, 0);
    base::AppendLe32(out, 256);
    base::AppendLe32(out, 0);
    for (const auto& e : picture.palette) {
        out.push_back(e.peBlue);
        out.push_back(e.peGreen);
        out.push_back(e.peRed);
        out.push_back(0);
    }
    for (int y = picture.height - 1; y >= 0; --y) {
        const auto row = picture.indices.begin() + static_cast<std::ptrdiff_t>(y) * picture.width;
        out.insert(out.end(), row, row + picture.width);
        out.resize(out.size() + (stride - static_cast<size_t>(picture.width)), 0);
    }
    return out;
}

void SaveBmp8(const IndexedPicture& picture, const std::string& path, base::OutputSet& outputs) {
    const std::vector<std::uint8_t> bytes = EncodeBmp8(picture);
    base::OutputFile file;
    if (file.Create(path, base::OutputFile::Mode::Binary, outputs)) {
        file.Write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        if (file.Close()) return;
    } else {
        outputs.Fail(file.Problem());
    }
    throw base::Error(base::ProblemText(file.Problem()));
}

void SaveBmp8(const IndexedPicture& picture, const std::string& path) {
    const std::vector<std::uint8_t> bytes = EncodeBmp8(picture);
    // A failed write leaves the file that was there as it was.
    base::FileProblem problem;
    if (!base::WriteFileAtomically(
            path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &problem))
        throw base::Error(base::ProblemText(problem));
}

} // namespace picture
