// Saves edited pictures the way File > Save does, each beside a JSON description of what the window showed
// before the save (size, the 256-entry colour table, every pixel's colour), for check_bmp.py to compare with
// what an independent BMP reader makes of the file.

#include "osd/OsdOpen.h"
#include "osd/ReducedSave.h"
#include "palette/PaletteEdit.h"
#include "palette/PaletteOpen.h"
#include "palette/PaletteSave.h"
#include "shell/Workspace.h"
#include "support/BmpBuilder.h"

#include <array>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using base::Colour;

void WriteExpectation(const std::string& path, const picture::Picture& shown, int width, int height,
                      const std::array<Colour, 256>& table) {
    std::ofstream out(path, std::ios::binary);
    auto rgb = [&out](Colour c) {
        out << '[' << int{base::RedOf(c)} << ',' << int{base::GreenOf(c)} << ',' << int{base::BlueOf(c)}
            << ']';
    };
    out << "{\"width\":" << width << ",\"height\":" << height << ",\"palette\":[";
    for (size_t i = 0; i < table.size(); ++i) {
        if (i) out << ',';
        rgb(table[i]);
    }
    out << "],\"pixels\":[";
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (x || y) out << ',';
            rgb(shown.PixelAt(x, y));
        }
    }
    out << "]}\n";
    if (!out.flush()) throw std::runtime_error("cannot write " + path);
}

// The picture the window shows after the save must be the one it showed before.
void CheckStillShown(const picture::Picture& before, const picture::Picture& after, int width, int height,
                     const char* what) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (before.PixelAt(x, y) != after.PixelAt(x, y))
                throw std::runtime_error(std::string(what) + ": the saved picture looks different at " +
                                         std::to_string(x) + "," + std::to_string(y));
}

// The tab that is active when File > Open runs.
enum class OpenOn { Palette, Osd };

std::unique_ptr<shell::Workspace> OpenFresh(const testsupport::TempDir& tmp,
                                            const testsupport::BmpLayout& layout, OpenOn on) {
    auto ws = std::make_unique<shell::Workspace>();
    const std::string path = tmp / "input.bmp";
    testsupport::WriteFile(path, testsupport::BuildBmp(layout));
    const picture::OpenOutcome outcome =
        on == OpenOn::Palette ? palette::OpenPalettePicture(ws->bitmap, ws->PaletteTable, ws->palette, path)
                              : osd::OpenSheet(ws->bitmap, ws->osd, path);
    if (outcome.status != picture::OpenStatus::Ok)
        throw std::runtime_error("cannot open the sample: " + outcome.failure.value_or(""));
    return ws;
}

std::array<Colour, 256> TableOf(const shell::Workspace& ws) {
    std::array<Colour, 256> out{};
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = base::ColourOf(ws.PaletteTable[i]);
    return out;
}

void SavePaletteSample(const std::string& dir, const std::string& name, shell::Workspace& ws) {
    const picture::Picture shown = ws.palette.PalettePicture;
    const int width = ws.bitmap.Width;
    const int height = ws.bitmap.Height;
    WriteExpectation(dir + "/" + name + ".json", shown, width, height, TableOf(ws));
    palette::SavePalettePicture(ws.bitmap, ws.PaletteTable, ws.palette, dir + "/" + name + ".bmp");
    CheckStillShown(shown, ws.palette.PalettePicture, width, height, name.c_str());
}

// An 8-bit picture with row padding, put through every kind of edit.
void Palette8(const std::string& dir, const testsupport::TempDir& tmp) {
    testsupport::BmpLayout s;
    s.width = 13;
    s.height = 7;
    s.palette = testsupport::DistinctPalette(40);
    s.indices = testsupport::IndicesOf(13, 7, [](int x, int y) { return (x * 5 + y * 3) % 40; });
    s.indices[0] = 255;
    auto ws = OpenFresh(tmp, s, OpenOn::Palette);
    picture::CurrentBitmap& bm = ws->bitmap;
    palette::PaletteTable& table = ws->PaletteTable;
    palette::PaletteState& state = ws->palette;
    palette::InsertEntry(bm, table, state, 3, 0x2060A0);
    palette::SwapEntries(bm, table, state, 10, 30, 5);
    palette::InvertEntry(bm, table, state, 7);
    palette::DeleteEntry(bm, table, state, 0);
    palette::SwapEntries(bm, table, state, 250, 20, 10);
    SavePaletteSample(dir, "palette8", *ws);
}

// A 4-bit picture whose edits produce indices past 15.
void Palette4(const std::string& dir, const testsupport::TempDir& tmp) {
    testsupport::BmpLayout s;
    s.width = 9;
    s.height = 5;
    s.bpp = 4;
    s.palette = testsupport::DistinctPalette(16);
    s.indices = testsupport::IndicesOf(9, 5, [](int x, int y) { return (x + 2 * y) % 16; });
    auto ws = OpenFresh(tmp, s, OpenOn::Palette);
    picture::CurrentBitmap& bm = ws->bitmap;
    palette::PaletteTable& table = ws->PaletteTable;
    palette::PaletteState& state = ws->palette;
    palette::InsertEntry(bm, table, state, 0, 0x3080C0);
    palette::SwapEntries(bm, table, state, 2, 100, 8);
    palette::UpdateEntry(bm, table, state, 16, 0x00FF00);
    SavePaletteSample(dir, "palette4", *ws);
}

// The OSD tab's After picture of a 4-bit file reduced to its 16 colours in another order: reduced entry i
// holds file entry (i + 5) mod 16, and the pixels are renumbered to match.
void Reduced(const std::string& dir, const testsupport::TempDir& tmp) {
    testsupport::BmpLayout s;
    s.width = 7;
    s.height = 3;
    s.bpp = 4;
    s.palette = testsupport::DistinctPalette(16);
    s.indices = testsupport::IndicesOf(7, 3, [](int x, int y) { return (3 * x + y) % 16; });
    auto ws = OpenFresh(tmp, s, OpenOn::Osd);
    picture::CurrentBitmap& bm = ws->bitmap;
    for (int i = 0; i < 16; ++i)
        bm.ReducedPalette[static_cast<size_t>(i)] = s.palette[static_cast<size_t>((i + 5) % 16)];
    bm.ReducedCount = 16;
    auto renumber = [](unsigned nibble) { return (nibble + 11) % 16; };
    for (int y = 0; y < bm.Height; ++y) {
        for (int k = 0; k < bm.BytesPerRow; ++k) {
            std::uint8_t& b = bm.Pixels[static_cast<size_t>(y * bm.BytesPerRow + k)];
            b = static_cast<std::uint8_t>(renumber(b >> 4) << 4 | renumber(b & 15u));
        }
    }
    ws->osd.After = picture::Picture::Blank(256, 256, 0xFFFFFF);
    for (int y = 0; y < bm.Height; ++y)
        for (int x = 0; x < bm.Width; ++x)
            ws->osd.After.SetPixel(x, y, bm.ReducedPalette[osd::PackedIndex(bm, x, y)]);
    CheckStillShown(ws->osd.Before, ws->osd.After, bm.Width, bm.Height, "reduced (before the save)");

    const picture::Picture shown = ws->osd.After;
    WriteExpectation(dir + "/reduced.json", shown, bm.Width, bm.Height, bm.ReducedPalette);
    osd::SaveReducedPicture(ws->bitmap, ws->osd, ws->settings.PaletteColorMask(), dir + "/reduced.bmp");
    CheckStillShown(shown, ws->osd.After, bm.Width, bm.Height, "reduced");
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
        const testsupport::TempDir tmp;
        Palette8(dir, tmp);
        Palette4(dir, tmp);
        Reduced(dir, tmp);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
