// Writes a table of BMP variants (every depth and compression, each information-header size, top-down rows,
// short colour tables, RLE streams with delta and end-of-line codes) and, in cases.json, what our picture
// reader makes of each: size, depth, every pixel's colour, and for indexed files the colour table and the
// index of every pixel. check_pictures.py compares that with what an independent reader decodes.

#include "picture/Picture.h"
#include "support/BmpBuilder.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using testsupport::BmpCompression;
using testsupport::BmpLayout;

struct Sample {
    std::string name;
    BmpLayout layout;
    // Features some versions of the independent reader do not read (or misread); the checker finds out
    // which of them its reader handles before it holds a case to them.
    std::vector<std::string> rare;
};

// Indexed pixels with long runs, stretches of index 0 (inside rows, at row ends and a whole row) and
// changing pixels, below `colours`.
std::vector<std::uint8_t> Sheet(int width, int height, int colours) {
    return testsupport::IndicesOf(width, height, [=](int x, int y) {
        if (y == height / 2 || (x + 2 * y) % 11 < 5 || (y % 2 == 1 && x >= width - 6)) return 0;
        if (y % 3 == 0) return (y * 5 + 1) % colours;
        return (x * 7 + y * 13) % colours;
    });
}

// Pixel values of 16 to 32 bits that reach every bit of the word.
std::vector<std::uint32_t> Values(int width, int height, int bpp) {
    std::vector<std::uint32_t> out;
    std::uint32_t v = 0x12345678;
    const std::uint32_t mask = bpp == 32 ? 0xFFFFFFFFu : (1u << bpp) - 1;
    for (int i = 0; i < width * height; ++i) {
        v = v * 1664525u + 1013904223u;
        out.push_back((v ^ (v >> 13)) & mask);
    }
    return out;
}

BmpLayout Indexed(int bpp, int width, int height, int colours) {
    BmpLayout s;
    s.bpp = bpp;
    s.width = width;
    s.height = height;
    s.palette = testsupport::DistinctPalette(colours);
    s.indices = Sheet(width, height, colours);
    return s;
}

BmpLayout Deep(int bpp, int width, int height) {
    BmpLayout s;
    s.bpp = bpp;
    s.width = width;
    s.height = height;
    s.values = Values(width, height, bpp);
    return s;
}

std::vector<Sample> Samples() {
    std::vector<Sample> out;
    auto add = [&out](std::string name, const BmpLayout& layout, std::vector<std::string> rare = {}) {
        out.push_back({std::move(name), layout, std::move(rare)});
    };

    // Uncompressed indexed files of every depth, both row orders, short and long headers.
    for (int bpp : {1, 2, 4, 8}) {
        for (int infoSize : {40, 124}) {
            for (bool topDown : {false, true}) {
                BmpLayout s = Indexed(bpp, 13, 5, 1 << bpp);
                s.infoSize = infoSize;
                s.topDown = topDown;
                add("rgb" + std::to_string(bpp) + "_h" + std::to_string(infoSize) +
                        (topDown ? "_topdown" : ""),
                    s, bpp == 2 ? std::vector<std::string>{"2 bits per pixel"} : std::vector<std::string>{});
            }
        }
    }
    // The other header sizes.
    for (int bpp : {1, 4, 8}) {
        BmpLayout s = Indexed(bpp, 11, 4, 1 << bpp);
        s.infoSize = 12;
        add("os2_" + std::to_string(bpp), s);
    }
    for (int infoSize : {52, 56, 64, 108}) {
        BmpLayout s = Indexed(8, 9, 3, 256);
        s.infoSize = infoSize;
        std::vector<std::string> rare;
        if (infoSize == 52 || infoSize == 56) rare.push_back(std::to_string(infoSize) + "-byte headers");
        add("rgb8_h" + std::to_string(infoSize), s, rare);
    }
    {
        BmpLayout s = Indexed(4, 9, 3, 16);
        s.infoSize = 108;
        add("rgb4_h108", s);
    }
    // Colour tables shorter than the depth allows (biClrUsed).
    add("short8", Indexed(8, 10, 3, 20));
    add("short4", Indexed(4, 10, 3, 5));
    add("short2", Indexed(2, 10, 3, 3), {"2 bits per pixel"});
    {
        BmpLayout s = Indexed(8, 10, 3, 7);
        s.infoSize = 124;
        add("short8_h124", s);
    }

    // RLE8 and RLE4: runs and absolute blocks, early end-of-line codes, deltas, top-down, long header.
    for (int bpp : {8, 4}) {
        const std::string rle = bpp == 8 ? "rle8" : "rle4";
        BmpLayout base = Indexed(bpp, 37, 9, 1 << bpp);
        base.compression = bpp == 8 ? BmpCompression::Rle8 : BmpCompression::Rle4;
        base.rle.oddRle4Blocks = false;
        std::vector<std::string> oddBlocks = {"odd RLE4 absolute blocks"};
        add(rle, base);
        BmpLayout s = base;
        s.rle.endRowsEarly = true;
        add(rle + "_eol", s);
        s = base;
        s.rle.deltas = true;
        add(rle + "_delta", s, {"RLE delta codes"});
        s = base;
        s.topDown = true;
        add(rle + "_topdown", s);
        s = base;
        s.infoSize = 124;
        s.rle.endRowsEarly = true;
        add(rle + "_h124_eol", s);
        if (bpp == 4) {
            s = base;
            s.rle.oddRle4Blocks = true;
            add("rle4_oddblocks", s, oddBlocks);
        }
    }
    {
        BmpLayout s = Indexed(8, 300, 2, 256); // runs longer than 255 pixels
        s.indices = testsupport::IndicesOf(300, 2, [](int x, int y) { return y == 0 ? 7 : x % 256; });
        s.compression = BmpCompression::Rle8;
        add("rle8_long", s);
    }

    // 16 bits: 5-5-5 uncompressed, bit fields 5-6-5 and 5-5-5 after a 40-byte header and in longer ones.
    add("rgb16", Deep(16, 11, 4));
    {
        BmpLayout s = Deep(16, 11, 4);
        s.topDown = true;
        add("rgb16_topdown", s);
    }
    {
        BmpLayout s = Deep(16, 11, 4);
        s.compression = BmpCompression::BitFields;
        s.masks[0] = 0xF800;
        s.masks[1] = 0x07E0;
        s.masks[2] = 0x001F;
        add("bf16_565", s);
        s.infoSize = 124;
        add("bf16_565_h124", s);
        s.masks[0] = 0x7C00;
        s.masks[1] = 0x03E0;
        s.masks[2] = 0x001F;
        s.infoSize = 108;
        add("bf16_555_h108", s);
    }
    // 24 bits.
    add("rgb24", Deep(24, 7, 5));
    {
        BmpLayout s = Deep(24, 7, 5);
        s.topDown = true;
        add("rgb24_topdown", s);
        s.topDown = false;
        s.infoSize = 124;
        add("rgb24_h124", s);
        s.infoSize = 12;
        add("os2_24", s);
    }
    // 32 bits: uncompressed, and bit fields with and without alpha, in several orders.
    add("rgb32", Deep(32, 6, 3));
    {
        struct Masks {
            const char* name;
            int infoSize;
            std::uint32_t m[4];
        };
        const Masks masks[] = {
            {"bf32_bgrx_h124", 124, {0xFF0000, 0xFF00, 0xFF, 0}},
            {"bf32_bgra_h124", 124, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}},
            {"bf32_rgba_h108", 108, {0xFF, 0xFF00, 0xFF0000, 0xFF000000}},
            {"bf32_xbgr", 40, {0xFF000000, 0xFF0000, 0xFF00, 0}},
        };
        for (const Masks& m : masks) {
            BmpLayout s = Deep(32, 6, 3);
            s.infoSize = m.infoSize;
            s.compression = BmpCompression::BitFields;
            std::copy(std::begin(m.m), std::end(m.m), std::begin(s.masks));
            add(m.name, s);
        }
    }
    return out;
}

void WriteCase(std::ostream& out, const Sample& sample, const picture::Picture& p) {
    auto rgb = [&out](base::Colour c) {
        out << '[' << int{base::RedOf(c)} << ',' << int{base::GreenOf(c)} << ',' << int{base::BlueOf(c)}
            << ']';
    };
    out << "{\"file\":\"" << sample.name << ".bmp\",\"width\":" << p.width << ",\"height\":" << p.height
        << ",\"bitsPerPixel\":" << p.bitsPerPixel << ",\"rare\":[";
    for (size_t i = 0; i < sample.rare.size(); ++i)
        out << (i ? "," : "") << '"' << sample.rare[i] << '"';
    out << "],\"palette\":[";
    for (size_t i = 0; i < p.palette.size(); ++i) {
        if (i) out << ',';
        rgb(p.palette[i]);
    }
    out << "],\"indices\":";
    if (p.bitsPerPixel <= 8) {
        out << '[';
        for (size_t i = 0; i < p.indices.size(); ++i)
            out << (i ? "," : "") << int{p.indices[i]};
        out << ']';
    } else {
        out << "null";
    }
    out << ",\"pixels\":[";
    for (size_t i = 0; i < p.pixels.size(); ++i) {
        if (i) out << ',';
        rgb(p.pixels[i]);
    }
    out << "]}";
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-DIRECTORY\n", argv[0]);
        return 2;
    }
    try {
        const std::string dir = argv[1];
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        std::ofstream json(dir + "/cases.json", std::ios::binary);
        json << "[\n";
        bool first = true;
        for (const Sample& sample : Samples()) {
            const auto bytes = testsupport::BuildBmp(sample.layout);
            testsupport::WriteFile(dir + "/" + sample.name + ".bmp", bytes);
            const picture::Picture p = picture::DecodeBmpPicture(bytes.data(), bytes.size(), sample.name);
            if (!first) json << ",\n";
            first = false;
            WriteCase(json, sample, p);
        }
        json << "\n]\n";
        if (!json.flush()) throw std::runtime_error("cannot write " + dir + "/cases.json");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
