#include "picture/PngWriter.h"

#include "base/Error.h"
#include "base/FileProblem.h"
#include "base/OutputFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <string_view>

namespace picture {

namespace {

// What libpng writes to and reports to. libpng leaves its calls by longjmp, so the buffer is reached through a
// plain pointer and the rows are set up before the jump point.
struct Sink {
    std::vector<std::uint8_t>* out = nullptr;
    char reason[200] = {};
};

void OnError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<Sink*>(png_get_error_ptr(png));
    std::snprintf(sink->reason, sizeof sink->reason, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void OnWrite(png_structp png, png_bytep data, png_size_t count) {
    auto* sink = static_cast<Sink*>(png_get_io_ptr(png));
    sink->out->insert(sink->out->end(), data, data + count);
}

void OnFlush(png_structp) {}

struct PngHandles {
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngHandles() {
        if (png) png_destroy_write_struct(&png, info ? &info : nullptr);
    }
};

// Writes the header, the palette when there is one, and the rows. False with the reason in the sink when
// libpng refuses.
bool WriteAll(png_structp png, png_infop info, std::uint32_t width, std::uint32_t height, int colourType,
              const png_color* palette, int paletteCount, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, width, height, 8, colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_PLTE(png, info, palette, paletteCount);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return true;
}

void CheckSize(std::uint32_t width, std::uint32_t height, std::size_t have) {
    if (width == 0 || height == 0) throw base::Error("Cannot write a PNG of no pixels.");
    if (width > PNG_UINT_31_MAX || height > PNG_UINT_31_MAX)
        throw base::Error("Cannot write a PNG wider or higher than 2^31 - 1 pixels.");
    if (have != static_cast<std::size_t>(width) * height)
        throw base::Error("Cannot write a PNG: the pixels do not fill the picture.");
}

std::vector<std::uint8_t> Encode(std::uint32_t width, std::uint32_t height, int colourType,
                                 const std::vector<png_color>& palette, std::vector<std::uint8_t>& bytes,
                                 std::size_t rowBytes) {
    std::vector<std::uint8_t> out;
    Sink sink;
    sink.out = &out;
    std::vector<png_bytep> rows(height);
    for (std::uint32_t y = 0; y < height; ++y)
        rows[y] = bytes.data() + static_cast<std::size_t>(y) * rowBytes;
    PngHandles handles;
    handles.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnError, OnWarning);
    if (!handles.png) throw base::Error("Cannot write a PNG: out of memory.");
    handles.info = png_create_info_struct(handles.png);
    if (!handles.info) throw base::Error("Cannot write a PNG: out of memory.");
    png_set_write_fn(handles.png, &sink, OnWrite, OnFlush);
    if (!WriteAll(handles.png, handles.info, width, height, colourType, palette.data(),
                  static_cast<int>(palette.size()), rows.data()))
        throw base::Error(std::string("Cannot write a PNG: ") + sink.reason + ".");
    return out;
}

} // namespace

std::vector<std::uint8_t> EncodeIndexedPng(const IndexedImage& image) {
    CheckSize(image.width, image.height, image.indices.size());
    if (image.palette.size() > 256) throw base::Error("Cannot write a PNG of more than 256 colours a palette.");
    std::size_t entries = image.palette.empty() ? 1 : image.palette.size();
    for (const std::uint8_t index : image.indices)
        if (index >= entries) entries = static_cast<std::size_t>(index) + 1;
    std::vector<png_color> palette(entries, png_color{0, 0, 0});
    for (std::size_t i = 0; i < image.palette.size(); ++i)
        palette[i] = png_color{base::RedOf(image.palette[i]), base::GreenOf(image.palette[i]),
                               base::BlueOf(image.palette[i])};
    std::vector<std::uint8_t> bytes = image.indices;
    return Encode(image.width, image.height, PNG_COLOR_TYPE_PALETTE, palette, bytes, image.width);
}

std::vector<std::uint8_t> EncodeColourPng(const ColourPicture& picture) {
    CheckSize(picture.width, picture.height, picture.pixels.size());
    std::vector<std::uint8_t> bytes(picture.pixels.size() * 3);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        bytes[3 * i] = base::RedOf(picture.pixels[i]);
        bytes[3 * i + 1] = base::GreenOf(picture.pixels[i]);
        bytes[3 * i + 2] = base::BlueOf(picture.pixels[i]);
    }
    return Encode(picture.width, picture.height, PNG_COLOR_TYPE_RGB, {}, bytes,
                  static_cast<std::size_t>(picture.width) * 3);
}

void WritePngFile(const std::string& path, const std::vector<std::uint8_t>& png) {
    base::OutputFile file;
    if (file.Create(path, base::OutputFile::Mode::Binary)) {
        file.Write(std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
        if (file.Close()) return;
    }
    throw base::Error(base::ProblemText(file.Problem()));
}

} // namespace picture
