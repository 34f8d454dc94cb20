// Writes the example character sheet the README's demo uses: the 16 hexadecimal digits in 16 x 16 cells,
// a row of them on a dark ground and a row on a light ground, as a 4-bit BMP of 256 x 32 pixels.
#include "base/LittleEndian.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

// The digits 0-9 and A-F, 5 x 7 pixels, one string a row.
constexpr const char* kGlyphs[16][7] = {
    {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."},
    {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."},
    {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"},
    {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."},
    {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."},
    {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."},
    {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."},
    {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."},
    {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."},
    {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."},
    {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"},
    {"####.", "#...#", "#...#", "####.", "#...#", "#...#", "####."},
    {".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."},
    {"###..", "#..#.", "#...#", "#...#", "#...#", "#..#.", "###.."},
    {"#####", "#....", "#....", "####.", "#....", "#....", "#####"},
    {"#####", "#....", "#....", "####.", "#....", "#....", "#...."},
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-example-sheet OUT.bmp\n");
        return 2;
    }
    constexpr int kWidth = 256, kHeight = 32;
    // Index 0 dark ground, 1 light ground, 2 shadow, 3..15 glyph colours.
    const std::uint8_t palette[16][3] = {
        {0x10, 0x18, 0x30}, {0xF0, 0xF0, 0xE8}, {0x40, 0x40, 0x40}, {0xFF, 0x50, 0x50},
        {0xFF, 0x90, 0x30}, {0xFF, 0xD0, 0x30}, {0xB0, 0xF0, 0x40}, {0x40, 0xE0, 0x60},
        {0x30, 0xE0, 0xC0}, {0x30, 0xB0, 0xFF}, {0x50, 0x70, 0xFF}, {0x90, 0x50, 0xFF},
        {0xD0, 0x40, 0xE0}, {0xFF, 0x40, 0xA0}, {0xFF, 0xFF, 0xFF}, {0x00, 0x00, 0x00},
    };
    std::vector<std::uint8_t> pixels(kWidth * kHeight);
    for (int row = 0; row < 2; ++row) {
        for (int cell = 0; cell < 16; ++cell) {
            const std::uint8_t ground = row == 0 ? 0 : 1;
            const std::uint8_t ink = static_cast<std::uint8_t>(row == 0 ? 3 + cell % 12 : 15);
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x)
                    pixels[(row * 16 + y) * kWidth + cell * 16 + x] = ground;
            // The glyph at twice its size, with a shadow one pixel down and right.
            for (int pass = 0; pass < 2; ++pass) {
                for (int gy = 0; gy < 7; ++gy) {
                    for (int gx = 0; gx < 5; ++gx) {
                        if (kGlyphs[cell][gy][gx] != '#') continue;
                        for (int dy = 0; dy < 2; ++dy) {
                            for (int dx = 0; dx < 2; ++dx) {
                                const int x = cell * 16 + 3 + 2 * gx + dx + (pass == 0 ? 1 : 0);
                                const int y = row * 16 + 1 + 2 * gy + dy + (pass == 0 ? 1 : 0);
                                pixels[y * kWidth + x] = pass == 0 ? 2 : ink;
                            }
                        }
                    }
                }
            }
        }
    }

    const int stride = kWidth / 2;
    std::vector<std::uint8_t> out;
    const std::uint32_t offBits = 14 + 40 + 16 * 4;
    out.push_back('B');
    out.push_back('M');
    base::AppendLe32(out, offBits + stride * kHeight);
    base::AppendLe32(out, 0);
    base::AppendLe32(out, offBits);
    base::AppendLe32(out, 40);
    base::AppendLe32(out, kWidth);
    base::AppendLe32(out, kHeight);
    base::AppendLe16(out, 1);
    base::AppendLe16(out, 4);
    base::AppendLe32(out, 0);
    base::AppendLe32(out, stride * kHeight);
    base::AppendLe32(out, 2835);
    base::AppendLe32(out, 2835);
    base::AppendLe32(out, 16);
    base::AppendLe32(out, 0);
    for (const auto& c : palette) {
        out.push_back(c[2]);
        out.push_back(c[1]);
        out.push_back(c[0]);
        out.push_back(0);
    }
    for (int y = kHeight - 1; y >= 0; --y)
        for (int x = 0; x < kWidth; x += 2)
            out.push_back(
                static_cast<std::uint8_t>(pixels[y * kWidth + x] << 4 | pixels[y * kWidth + x + 1]));

    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "make-example-sheet: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
