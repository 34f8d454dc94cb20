#include "shell/Picture.h"

#include "base/OutputFile.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/LittleEndian.h"
#include "base/WholeFile.h"

#include <cstdio>
#include <limits>

namespace shell {

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
constexpr int kMaxSide = 32767;
constexpr size_t kMaxPixels = size_t{1} << 24;

[[noreturn]] void Fail(const std::string& name, const std::string& reason) {
    throw base::Error(base::strprintf("Cannot read the picture \"%s\": %s.", name.c_str(), reason.c_str()));
}

} // namespace

Picture DecodeBmpPicture(const std::uint8_t* data, size_t size, const std::string& name) {
    if (size < 14 + 4) Fail(name, "the file is too short for a bitmap header");
    if (data[0] != 'B' || data[1] != 'M') Fail(name, "it is not a BMP file");
    const std::uint32_t offBits = base::ReadLe32(data + 10);
    const std::uint32_t infoSize = base::ReadLe32(data + 14);
    if (infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 108 && infoSize != 124)
        Fail(name, base::strprintf("its information header of %u bytes is not supported", infoSize));
    if (size < 14 + static_cast<size_t>(infoSize)) Fail(name, "the file ends inside its information header");
    const std::uint8_t* info = data + 14;
    const std::int32_t rawWidth = static_cast<std::int32_t>(base::ReadLe32(info + 4));
    const std::int32_t rawHeight = static_cast<std::int32_t>(base::ReadLe32(info + 8));
    const int bpp = base::ReadLe16(info + 14);
    const std::uint32_t compression = base::ReadLe32(info + 16);
    const std::uint32_t clrUsed = base::ReadLe32(info + 32);

    if (bpp != 1 && bpp != 2 && bpp != 4 && bpp != 8)
        Fail(name, base::strprintf("%d bits per pixel are not supported (only 1, 2, 4 and 8)", bpp));
    if (compression != 0) Fail(name, "compressed bitmaps are not supported");
    if (rawWidth < 0) Fail(name, "its width is negative");
    if (rawWidth > kMaxSide || rawHeight > kMaxSide || rawHeight < -kMaxSide)
        Fail(name, "the picture is larger than 32767 pixels a side");
    const int width = rawWidth;
    if (static_cast<size_t>(width) * static_cast<size_t>(rawHeight < 0 ? -rawHeight : rawHeight) > kMaxPixels)
        Fail(name, "the picture has more than 16,777,216 pixels");
    const bool topDown = rawHeight < 0;
    const int height = topDown ? -rawHeight : rawHeight;

    const size_t headerEnd = 14 + static_cast<size_t>(infoSize);
    if (offBits < headerEnd || offBits > size) Fail(name, "its pixel data offset lies outside the file");
    const size_t stride = ((static_cast<size_t>(width) * static_cast<size_t>(bpp) + 31) / 32) * 4;
    if (stride * static_cast<size_t>(height) > size - offBits)
        Fail(name, "the file ends inside its pixel data");

    Picture picture;
    const size_t tableEntries = (clrUsed > 0 && clrUsed <= (1u << bpp)) ? clrUsed : (1u << bpp);
    const size_t available = (offBits - headerEnd) / 4;
    const size_t present = tableEntries < available ? tableEntries : available;
    for (size_t i = 0; i < present; ++i) {
        const std::uint8_t* e = data + headerEnd + 4 * i;
        picture.palette.push_back(base::MakeColour(e[2], e[1], e[0]));
    }
    picture.width = width;
    picture.height = height;
    if (width == 0 || height == 0) {
        picture.width = picture.height = 0;
        return picture;
    }
    picture.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    const unsigned mask = (1u << bpp) - 1;
    for (int y = 0; y < height; ++y) {
        const int fileRow = topDown ? y : height - 1 - y;
        const std::uint8_t* row = data + offBits + stride * static_cast<size_t>(fileRow);
        Colour* out = &picture.pixels[static_cast<size_t>(y) * static_cast<size_t>(width)];
        for (int x = 0; x < width; ++x) {
            const size_t bit = static_cast<size_t>(x) * static_cast<size_t>(bpp);
            const unsigned index = (row[bit / 8] >> (8 - bpp - bit % 8)) & mask;
            out[x] = index < picture.palette.size() ? picture.palette[index] : 0;
        }
    }
    return picture;
}

Picture ReadBmpPicture(const std::string& path) {
    std::vector<std::uint8_t> data;
    switch (base::ReadWholeFile(path, data, kMaxFileSize)) {
    case base::ReadStatus::Ok:
        break;
    case base::ReadStatus::CannotOpen:
        Fail(path, "the file cannot be opened");
    case base::ReadStatus::TooLarge:
        Fail(path, "the file is larger than 256 MiB");
    case base::ReadStatus::ReadError:
        Fail(path, "the file cannot be read");
    }
    return DecodeBmpPicture(data.data(), data.size(), path);
}

IndexedPicture MatchToPalette(const Picture& picture, int width, int height,
                              const std::array<base::PALETTEENTRY, 256>& palette, IndexHint hint,
                              Colour compare) {
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
    for (const auto& entry : picture.palette)
        out.palette.push_back(ColourOf(entry));
    for (size_t i = 0; i < out.pixels.size(); ++i)
        out.pixels[i] = out.palette[picture.indices[i]];
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

void SaveBmp8(const IndexedPicture& picture, const std::string& path) {
    const std::vector<std::uint8_t> bytes = EncodeBmp8(picture);
    // A failed write leaves the file that was there as it was.
    if (!base::WriteFileAtomically(path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) {
        throw base::Error(base::strprintf("Cannot write the picture \"%s\".", path.c_str()));
    }
}

} // namespace shell
