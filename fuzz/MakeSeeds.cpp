// Writes the seed corpus of the fuzz targets: small valid files of every depth, row order, header size and
// compression, and a few broken ones.
#include "support/BmpBuilder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-fuzz-seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    int n = 0;
    auto write = [&](const testsupport::BmpLayout& layout) {
        testsupport::WriteFile(dir + "/seed" + std::to_string(n++) + ".bmp", testsupport::BuildBmp(layout));
    };
    for (int bpp : {1, 2, 4, 8}) {
        for (bool topDown : {false, true}) {
            testsupport::BmpLayout s;
            s.width = 13 + bpp;
            s.height = 17;
            s.bpp = bpp;
            s.topDown = topDown;
            s.palette = testsupport::DistinctPalette(1 << bpp);
            s.indices = testsupport::IndicesOf(s.width, s.height,
                                               [bpp](int x, int y) { return (x * y + x) % (1 << bpp); });
            write(s);
        }
    }
    testsupport::BmpLayout bare;
    bare.width = 16;
    bare.height = 16;
    bare.biClrUsed = 0;
    write(bare);
    testsupport::BmpLayout deep = bare;
    deep.biBitCount = 24;
    write(deep);
    testsupport::BmpLayout big = bare;
    big.bfSize = 0xFFFFFF00u;
    big.bfOffBits = 2000;
    write(big);

    // Every information-header size, and data around the pixels that bfSize does or does not count.
    for (int infoSize : {12, 52, 56, 64, 108, 124}) {
        testsupport::BmpLayout s;
        s.width = 11;
        s.height = 5;
        s.bpp = 8;
        s.infoSize = infoSize;
        s.palette = testsupport::DistinctPalette(12);
        s.indices = testsupport::IndicesOf(11, 5, [](int x, int y) { return (x + 3 * y) % 12; });
        write(s);
    }
    testsupport::BmpLayout trailing = bare;
    trailing.palette = testsupport::DistinctPalette(256);
    trailing.trailing.assign(100, 0x5A);
    write(trailing);
    trailing.bfSize = 0;
    write(trailing);

    // RLE8 and RLE4 with runs, absolute blocks, deltas and early row ends, both row orders.
    for (int bpp : {8, 4}) {
        for (bool topDown : {false, true}) {
            testsupport::BmpLayout s;
            s.width = 21;
            s.height = 9;
            s.bpp = bpp;
            s.topDown = topDown;
            s.compression = bpp == 8 ? testsupport::BmpCompression::Rle8 : testsupport::BmpCompression::Rle4;
            s.rle.deltas = !topDown;
            s.rle.endRowsEarly = true;
            s.palette = testsupport::DistinctPalette(1 << bpp);
            s.indices = testsupport::IndicesOf(21, 9, [bpp](int x, int y) {
                if (y == 4 || (x + y) % 9 < 4) return 0;
                return y % 2 ? 3 : (x * 5 + y) % (1 << bpp);
            });
            write(s);
        }
    }

    // 16, 24 and 32 bits, uncompressed and through bit fields.
    struct Deep {
        int bpp;
        int infoSize;
        testsupport::BmpCompression compression;
        std::uint32_t masks[4];
    };
    const Deep deeps[] = {
        {16, 40, testsupport::BmpCompression::None, {}},
        {16, 40, testsupport::BmpCompression::BitFields, {0xF800, 0x07E0, 0x001F, 0}},
        {16, 56, testsupport::BmpCompression::BitFields, {0x0F00, 0x00F0, 0x000F, 0xF000}},
        {24, 124, testsupport::BmpCompression::None, {}},
        {32, 40, testsupport::BmpCompression::None, {}},
        {32, 124, testsupport::BmpCompression::BitFields, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}},
    };
    for (const Deep& d : deeps) {
        testsupport::BmpLayout s;
        s.width = 7;
        s.height = 3;
        s.bpp = d.bpp;
        s.infoSize = d.infoSize;
        s.compression = d.compression;
        std::copy(std::begin(d.masks), std::end(d.masks), std::begin(s.masks));
        for (std::uint32_t i = 0; i < 21; ++i)
            s.values.push_back(i * 0x01234567u);
        write(s);
    }
    return 0;
}
