#include "support/PngBuilder.h"

#include <png.h>

#include <csetjmp>
#include <stdexcept>

namespace testsupport {

namespace {

void OnWrite(png_structp png, png_bytep data, png_size_t count) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + count);
}

void OnFlush(png_structp) {}

int ColourTypeOf(PngColour colour) {
    switch (colour) {
    case PngColour::Palette:
        return PNG_COLOR_TYPE_PALETTE;
    case PngColour::Grey:
        return PNG_COLOR_TYPE_GRAY;
    case PngColour::GreyAlpha:
        return PNG_COLOR_TYPE_GRAY_ALPHA;
    case PngColour::Rgb:
        return PNG_COLOR_TYPE_RGB;
    case PngColour::Rgba:
        return PNG_COLOR_TYPE_RGB_ALPHA;
    }
    return PNG_COLOR_TYPE_PALETTE;
}

int SamplesOf(PngColour colour) {
    switch (colour) {
    case PngColour::GreyAlpha:
        return 2;
    case PngColour::Rgb:
        return 3;
    case PngColour::Rgba:
        return 4;
    default:
        return 1;
    }
}

// Only plain data and pointers here: libpng leaves by longjmp.
bool Write(png_structp png, png_infop info, const PngLayout& s, png_colorp palette, int paletteCount,
           png_bytep trns, int trnsCount, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), s.bitDepth,
                 ColourTypeOf(s.colour), s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (paletteCount > 0) png_set_PLTE(png, info, palette, paletteCount);
    if (trnsCount > 0) png_set_tRNS(png, info, trns, trnsCount, nullptr);
    if (s.phys)
        png_set_pHYs(png, info, s.phys->x, s.phys->y,
                     s.phys->metre ? PNG_RESOLUTION_METER : PNG_RESOLUTION_UNKNOWN);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

} // namespace

std::vector<std::uint8_t> BuildPng(const PngLayout& s) {
    const std::size_t width = static_cast<std::size_t>(s.width);
    const std::size_t height = static_cast<std::size_t>(s.height);
    const std::size_t depth = static_cast<std::size_t>(s.bitDepth);
    const std::size_t samples = static_cast<std::size_t>(SamplesOf(s.colour));
    const std::size_t rowBytes = (width * samples * depth + 7) / 8;
    std::vector<std::uint8_t> pixels(rowBytes * height, 0);
    for (std::size_t y = 0; y < height; ++y) {
        std::uint8_t* row = pixels.data() + rowBytes * y;
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint8_t value = s.indices.at(y * width + x);
            if (samples == 1 && depth < 8) {
                const std::size_t bit = x * depth;
                row[bit / 8] |= static_cast<std::uint8_t>(value << (8 - depth - bit % 8));
            } else {
                for (std::size_t k = 0; k < samples; ++k) {
                    if (depth == 16) {
                        row[(x * samples + k) * 2] = value;
                        row[(x * samples + k) * 2 + 1] = value;
                    } else {
                        row[x * samples + k] = value;
                    }
                }
            }
        }
    }
    std::vector<png_bytep> rows(height);
    for (std::size_t y = 0; y < height; ++y)
        rows[y] = pixels.data() + rowBytes * y;
    std::vector<png_color> palette;
    for (base::Colour c : s.palette)
        palette.push_back({base::RedOf(c), base::GreenOf(c), base::BlueOf(c)});
    std::vector<png_byte> trns(s.trns.begin(), s.trns.end());

    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, OnWrite, OnFlush);
    png_set_check_for_invalid_index(png, 0); // indices past a short PLTE are written as given
    const bool written = Write(png, info, s, palette.data(), static_cast<int>(palette.size()), trns.data(),
                               static_cast<int>(trns.size()), rows.data());
    png_destroy_write_struct(&png, &info);
    if (!written) throw std::runtime_error("libpng refused the PNG layout");
    return out;
}

} // namespace testsupport
