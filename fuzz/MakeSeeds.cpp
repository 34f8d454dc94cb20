// Writes the seed corpus of the fuzz targets: small valid files of every depth and row order, and a few
// broken ones.
#include "support/BmpBuilder.h"

#include <cstdio>
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
    return 0;
}
