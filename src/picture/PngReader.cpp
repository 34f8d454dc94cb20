#include "picture/PngReader.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/LittleEndian.h"
#include "base/Path.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

namespace picture {

namespace {

constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr png_uint_32 kMaxSide = 65535;
constexpr std::uint64_t kMaxPixels = std::uint64_t{1} << 24;

[[noreturn]] void Fail(const std::string& name, const std::string& reason) {
    throw base::Error(base::strprintf("Cannot read the picture \"%s\": %s.", name.c_str(), reason.c_str()));
}

// What libpng reads from and reports to. Plain data only: libpng leaves its calls by longjmp, which must not
// skip a destructor.
struct Stream {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
    std::size_t at = 0;
    char reason[200] = {};
};

void OnError(png_structp png, png_const_charp message) {
    auto* stream = static_cast<Stream*>(png_get_error_ptr(png));
    std::snprintf(stream->reason, sizeof stream->reason, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnRead(png_structp png, png_bytep out, png_size_t count) {
    auto* stream = static_cast<Stream*>(png_get_io_ptr(png));
    if (count > stream->size - stream->at) png_error(png, "the file ends inside its data");
    std::memcpy(out, stream->data + stream->at, count);
    stream->at += count;
}

// What the PNG's header chunks say, and the rows libpng delivers after the transforms set up for them.
struct Head {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    bool interlaced = false;
    int paletteCount = 0;
    png_color palette[256] = {};
    png_uint_32 xPerMetre = 0;
    png_uint_32 yPerMetre = 0;
    int bmpBpp = 0;        // the depth of the BMP twin
    bool indexed = false;  // palette or grey of 8 bits or fewer: rows are the index bytes as stored
    std::size_t rowBytes = 0;
};

// Reads the chunks before the image data and sets up the transforms. False (with the reason in the stream)
// when libpng refuses the file. Only plain data lives here, for the longjmp.
bool ReadHead(png_structp png, png_infop info, Head& head) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_info(png, info);
    int interlace = 0;
    png_get_IHDR(png, info, &head.width, &head.height, &head.bitDepth, &head.colourType, &interlace, nullptr,
                 nullptr);
    head.interlaced = interlace != PNG_INTERLACE_NONE;
    if (head.width > kMaxSide || head.height > kMaxSide) return true; // refused by the caller
    if (head.colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp entries = nullptr;
        int count = 0;
        if (png_get_PLTE(png, info, &entries, &count) == 0) count = 0;
        const int most = 1 << head.bitDepth;
        head.paletteCount = count < most ? count : most;
        for (int i = 0; i < head.paletteCount; ++i)
            head.palette[i] = entries[i];
        // The index bytes are the file's own, also those the palette does not reach (they show black).
        png_set_check_for_invalid_index(png, 0);
    }
    png_uint_32 x = 0, y = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &x, &y, &unit) != 0 && unit == PNG_RESOLUTION_METER) {
        head.xPerMetre = x;
        head.yPerMetre = y;
    }
    head.indexed = (head.colourType == PNG_COLOR_TYPE_PALETTE || head.colourType == PNG_COLOR_TYPE_GRAY) &&
                   head.bitDepth <= 8;
    if (head.indexed) {
        head.bmpBpp = head.bitDepth;
    } else {
        png_set_strip_16(png);
        if (head.colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
        if (head.colourType == PNG_COLOR_TYPE_GRAY || head.colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
            png_set_gray_to_rgb(png);
        png_set_bgr(png);
        head.bmpBpp = (head.colourType & PNG_COLOR_MASK_ALPHA) ? 32 : 24;
    }
    if (head.interlaced) png_set_interlace_handling(png);
    png_read_update_info(png, info);
    head.rowBytes = png_get_rowbytes(png, info);
    return true;
}

// Reads every row (all passes of an interlaced picture) into rows. False when libpng refuses the data.
bool ReadRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    return true;
}

// Destroys libpng's structures on every way out.
struct PngHandles {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngHandles() {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

} // namespace

bool IsPngPicture(std::span<const std::uint8_t> head, const std::string& name) {
    if (head.size() >= sizeof kSignature && std::memcmp(head.data(), kSignature, sizeof kSignature) == 0)
        return true;
    return base::ToLowerAscii(base::SplitPath(name).extension) == ".png";
}

std::vector<std::uint8_t> PngToBmp(std::span<const std::uint8_t> file, const std::string& name) {
    Stream stream;
    stream.data = file.data();
    stream.size = file.size();
    PngHandles handles;
    handles.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &stream, OnError, OnWarning);
    if (!handles.png) Fail(name, "out of memory");
    handles.info = png_create_info_struct(handles.png);
    if (!handles.info) Fail(name, "out of memory");
    png_set_read_fn(handles.png, &stream, OnRead);

    Head head;
    if (!ReadHead(handles.png, handles.info, head)) Fail(name, stream.reason);
    if (head.width > kMaxSide || head.height > kMaxSide)
        Fail(name, "the picture is larger than 65535 pixels a side");
    if (std::uint64_t{head.width} * head.height > kMaxPixels)
        Fail(name, "the picture has more than 16,777,216 pixels");

    const std::size_t width = head.width;
    const std::size_t height = head.height;
    std::vector<std::uint8_t> pixels(head.rowBytes * height);
    std::vector<png_bytep> rows(height);
    for (std::size_t y = 0; y < height; ++y)
        rows[y] = pixels.data() + head.rowBytes * y;
    if (!ReadRows(handles.png, rows.data())) Fail(name, stream.reason);

    const std::size_t bpp = static_cast<std::size_t>(head.bmpBpp);
    const std::size_t tableEntries = head.indexed ? std::size_t{1} << bpp : 0;
    const std::size_t stride = (width * bpp + 31) / 32 * 4;
    const std::size_t imageSize = stride * height;
    const std::size_t offBits = 14 + 40 + 4 * tableEntries;
    std::vector<std::uint8_t> out;
    out.reserve(offBits + imageSize);
    out.push_back('B');
    out.push_back('M');
    base::AppendLe32(out, static_cast<std::uint32_t>(offBits + imageSize));
    base::AppendLe32(out, 0);
    base::AppendLe32(out, static_cast<std::uint32_t>(offBits));
    base::AppendLe32(out, 40);
    base::AppendLe32(out, static_cast<std::uint32_t>(width));
    base::AppendLe32(out, static_cast<std::uint32_t>(height));
    base::AppendLe16(out, 1);
    base::AppendLe16(out, static_cast<std::uint16_t>(bpp));
    base::AppendLe32(out, 0);
    base::AppendLe32(out, static_cast<std::uint32_t>(imageSize));
    base::AppendLe32(out, head.xPerMetre);
    base::AppendLe32(out, head.yPerMetre);
    base::AppendLe32(out, static_cast<std::uint32_t>(tableEntries));
    base::AppendLe32(out, 0);
    for (std::size_t i = 0; i < tableEntries; ++i) {
        std::uint8_t red = 0, green = 0, blue = 0;
        if (head.colourType == PNG_COLOR_TYPE_GRAY) {
            red = green = blue = static_cast<std::uint8_t>(i * 255 / (tableEntries - 1));
        } else if (i < static_cast<std::size_t>(head.paletteCount)) {
            red = head.palette[i].red;
            green = head.palette[i].green;
            blue = head.palette[i].blue;
        }
        out.push_back(blue);
        out.push_back(green);
        out.push_back(red);
        out.push_back(0);
    }
    // Rows bottom row first; a row's bits past its last pixel are cleared, whatever libpng left there.
    const std::size_t used = (width * bpp + 7) / 8;
    const unsigned spareBits = static_cast<unsigned>((8 - width * bpp % 8) % 8);
    const std::uint8_t lastMask = static_cast<std::uint8_t>(0xFF << spareBits);
    for (std::size_t y = height; y-- > 0;) {
        const std::uint8_t* row = rows[y];
        const std::size_t start = out.size();
        out.insert(out.end(), row, row + used);
        if (used > 0) out[start + used - 1] &= lastMask;
        out.resize(start + stride, 0);
    }
    return out;
}

} // namespace picture
