// Writes COUNT frames of user-interface artwork, 800 x 320 pixels at 8 bits per pixel, named anim000.bmp,
// anim001.bmp, ... into DIR: a banded background, framed buttons, a progress bar and an icon that move from
// frame to frame, and rows of small glyph-like marks. Most rows are long runs with short stretches of
// detail, as menu and animation artwork is.
#include "base/OutputFile.h"
#include "picture/Picture.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 320;

picture::IndexedPicture Frame(int n) {
    picture::IndexedPicture p;
    p.width = kWidth;
    p.height = kHeight;
    for (int i = 0; i < 256; ++i)
        p.palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i),
                                                  static_cast<std::uint8_t>(255 - i),
                                                  static_cast<std::uint8_t>(i * 5), 0};
    p.indices.assign(static_cast<std::size_t>(kWidth) * kHeight, 0);
    auto fill = [&](int x0, int y0, int x1, int y1, int value) {
        for (int y = y0; y < y1 && y < kHeight; ++y)
            for (int x = x0; x < x1 && x < kWidth; ++x)
                p.indices[static_cast<std::size_t>(y) * kWidth + static_cast<std::size_t>(x)] =
                    static_cast<std::uint8_t>(value);
    };
    for (int band = 0; band < 16; ++band) // a vertical gradient of 16 bands
        fill(0, band * 20, kWidth, band * 20 + 20, 16 + band);
    for (int b = 0; b < 4; ++b) { // four framed buttons
        const int x = 40 + b * 190;
        fill(x, 40, x + 160, 100, 255); // frame, 0xFF as artwork often uses it
        fill(x + 2, 42, x + 158, 98, 40 + b);
        for (int c = 0; c < 8; ++c) // a caption of small marks
            fill(x + 30 + c * 12, 62, x + 30 + c * 12 + 7, 78, (c + b + n) % 3 == 0 ? 200 : 201);
    }
    fill(40, 140, 760, 160, 60);                // progress bar track
    fill(40, 140, 40 + (n * 7) % 720, 160, 61); // its fill moves
    const int iconX = 60 + (n * 13) % 640;      // an icon that moves
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 48; ++x)
            if ((x - 24) * (x - 24) + (y - 24) * (y - 24) < 22 * 22)
                fill(iconX + x, 190 + y, iconX + x + 1, 190 + y + 1, 100 + (x / 6 + y / 6) % 4);
    for (int line = 0; line < 4; ++line) // rows of text-like detail
        for (int c = 0; c < 90; ++c)
            fill(20 + c * 8, 250 + line * 16, 20 + c * 8 + 1 + (c * 7 + line + n) % 5, 250 + line * 16 + 10,
                 150 + (c + line) % 2);
    return p;
}

// The largest sheet the OSD tab takes: 1024 x 768 pixels at 8 bits, a fixed pseudo-random pattern.
picture::IndexedPicture Sheet() {
    picture::IndexedPicture p;
    p.width = 1024;
    p.height = 768;
    for (int i = 0; i < 256; ++i)
        p.palette[static_cast<std::size_t>(i)] = {static_cast<std::uint8_t>(i * 3),
                                                  static_cast<std::uint8_t>(255 - i),
                                                  static_cast<std::uint8_t>(i * 7 + 1), 0};
    p.indices.resize(1024 * 768);
    std::uint32_t seed = 12345;
    for (auto& v : p.indices) {
        seed = seed * 1103515245u + 12345u;
        v = static_cast<std::uint8_t>(seed >> 16);
    }
    return p;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--sheet") {
        const auto bytes = picture::EncodeBmp8(Sheet());
        return base::WriteFileAtomically(argv[2],
                                         std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))
                   ? 0
                   : 1;
    }
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-aosd-frames DIR COUNT | make-aosd-frames --sheet SHEET.bmp\n");
        return 2;
    }
    const std::string dir = argv[1];
    const int count = std::atoi(argv[2]);
    for (int n = 0; n < count; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "/anim%03d.bmp", n);
        const auto bytes = picture::EncodeBmp8(Frame(n));
        if (!base::WriteFileAtomically(
                dir + name, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()))) {
            std::fprintf(stderr, "cannot write %s%s\n", dir.c_str(), name);
            return 1;
        }
    }
    return 0;
}
