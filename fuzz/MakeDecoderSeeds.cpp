// Writes the seed corpus of the decoders' fuzz targets: real outputs of the writers (OSD planes and tables,
// RLC streams of both chips, glyph and bank files, offset tables of both merges), each after the four header
// bytes that choose the options a decoder reads them with.
#include "aosd/AosdMerge.h"
#include "aosd/RlcEncoder.h"
#include "font/BankFiles.h"
#include "font/FontBank.h"
#include "merge/MergeWriter.h"
#include "support/BmpBuilder.h"

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void Seed(const std::string& dir, int& n, std::initializer_list<std::uint8_t> head, const Bytes& data) {
    Bytes bytes(head);
    bytes.insert(bytes.end(), data.begin(), data.end());
    testsupport::WriteFile(dir + "/seed" + std::to_string(n++), bytes);
}

Bytes Of(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-decoder-seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    int n = 0;
    std::mt19937 rng(7);

    // OSD planes: a cell or two of random bytes at each depth, and plane and palette texts.
    for (int bpp = 0; bpp < 4; ++bpp) {
        Bytes planes(300);
        for (auto& b : planes)
            b = static_cast<std::uint8_t>(rng());
        Seed(dir, n, {static_cast<std::uint8_t>(bpp), 0, 0, 128}, planes);
    }
    std::string table;
    for (int i = 0; i < 256; ++i)
        table += (i % 3 ? "0x1F," : "03Fh,") + std::string(i % 16 == 15 ? "\r\n" : "");
    Seed(dir, n, {0, 0, 2, 0}, Of(table));
    Seed(dir, n, {0, 0, 0, 0}, Of("0x01,0xAB,\r\n0xFF,0x00,"));

    // RLC streams of random rows with runs, for both chips, and raw rows.
    for (int chip = 0; chip < 2; ++chip) {
        const int width = 1 + static_cast<int>(rng() % 200);
        Bytes row;
        while (static_cast<int>(row.size()) < width) {
            const int run = 1 + static_cast<int>(rng() % 150);
            const auto v = static_cast<std::uint8_t>(rng());
            for (int k = 0; k < run && static_cast<int>(row.size()) < width; ++k)
                row.push_back(v);
        }
        Bytes out(row.size());
        const std::size_t length =
            aosd::EncodeRlcRow(row.data(), row.size(), chip ? aosd::ChipModel::K470E : aosd::ChipModel::K470A,
                               out.data());
        out.resize(length);
        Seed(dir, n, {static_cast<std::uint8_t>(width - 1), 0, static_cast<std::uint8_t>(chip ? 2 : 1), 0}, out);
        Seed(dir, n, {static_cast<std::uint8_t>(width - 1), 0, 0, 0}, row);
    }

    // A bank of glyphs of several depths and geometries, as FontBank.txt and FontBank.bin.
    font::FontBank bank;
    for (int ct = 0; ct < 4; ++ct) {
        font::GlyphNode node;
        node.ColorType = static_cast<std::uint8_t>(ct);
        node.WidthIndex = static_cast<std::uint8_t>(ct * 5);
        node.HeightIndex = static_cast<std::uint8_t>(ct % 2);
        node.Palette = font::kStartPalette;
        for (int w = 0; w < node.WordCount(); ++w)
            node.Words.push_back(static_cast<std::uint16_t>(rng() & ((1u << node.CellWidth()) - 1)));
        bank.Append(node);
    }
    Seed(dir, n, {0, 0, 0, 0}, Of(font::BankText(bank, font::StartFont())));
    font::FontBank one;
    one.Append(bank[0]);
    Seed(dir, n, {0, 0, 0, 1}, Of(font::BankBinary(one, settings::BinSort::Font)));

    // Offset tables of both merges.
    std::string merged;
    for (std::uint32_t i = 0, address = 0; i < 4; ++i, address += 0x135)
        merged += merge::OffsetRecord("FILE" + std::to_string(i) + "_BIN", address);
    Seed(dir, n, {0x00, 0x10, 0, 0}, Of(merged));
    Seed(dir, n, {0x50, 0x00, 0, 0},
         Of(aosd::MergeTableEntry("C:\\pics\\logo01.bin", 0) + aosd::MergeTableEntry("logo02_rlc.bin", 1234)));
    return 0;
}
