// Writes the seed corpus of the PNG reader's fuzz target: small PNGs of every colour type and depth the reader
// takes or refuses, interlaced and plain, with and without tRNS and pHYs.
#include "support/BmpBuilder.h"
#include "support/PngBuilder.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-png-seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    int n = 0;
    auto write = [&](const testsupport::PngLayout& layout) {
        testsupport::WriteFile(dir + "/seed" + std::to_string(n++) + ".png", testsupport::BuildPng(layout));
    };
    using testsupport::PngColour;
    for (PngColour colour : {PngColour::Palette, PngColour::Grey}) {
        for (int depth : {1, 2, 4, 8}) {
            for (bool interlaced : {false, true}) {
                testsupport::PngLayout s;
                s.width = 9 + depth;
                s.height = 7;
                s.colour = colour;
                s.bitDepth = depth;
                s.interlaced = interlaced;
                const int levels = 1 << depth;
                if (colour == PngColour::Palette) {
                    s.palette = testsupport::DistinctPalette(interlaced ? levels / 2 + 1 : levels);
                    if (!interlaced) s.trns = {0, 99};
                }
                if (interlaced) s.phys = testsupport::PngLayout::Phys{2835, 2835, true};
                s.indices = testsupport::IndicesOf(s.width, s.height,
                                                   [levels](int x, int y) { return (x * 3 + y) % levels; });
                write(s);
            }
        }
    }
    for (PngColour colour : {PngColour::Rgb, PngColour::Rgba, PngColour::GreyAlpha}) {
        for (int depth : {8, 16}) {
            testsupport::PngLayout s;
            s.width = 5;
            s.height = 4;
            s.colour = colour;
            s.bitDepth = depth;
            s.indices = testsupport::IndicesOf(5, 4, [](int x, int y) { return x * 40 + y; });
            write(s);
        }
    }
    return 0;
}
