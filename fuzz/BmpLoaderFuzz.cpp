// Feeds arbitrary files to File > Open and to what then works on the loaded picture: every byte of the
// header steers sizes and offsets, and nothing may be read or written outside the fixed buffers.
#include "osd/OsdFont.h"
#include "osd/OsdOpen.h"
#include "osd/PaletteReduce.h"
#include "palette/PaletteEdit.h"
#include "palette/PaletteOpen.h"
#include "shell/Workspace.h"

#include "FuzzWorkDir.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = FuzzWorkDir() + "/input.bmp";
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    static auto ws = std::make_unique<shell::Workspace>();
    // Alternate the active tab so both picture paths run.
    try {
        if (size % 2 == 0)
            osd::OpenSheet(ws->bitmap, ws->osd, path);
        else
            palette::OpenPalettePicture(ws->bitmap, ws->PaletteTable, ws->palette, path);
    } catch (const std::exception&) {
        return 0; // the picture reader refused it
    }
    osd::ReducePalette(ws->bitmap, ws->osd, 0xFCFCFC);
    const std::uint8_t left = size > 0 ? data[0] : 0;
    const std::uint8_t right = size > 1 ? data[1] : 0;
    palette::InsertEntry(ws->bitmap, ws->PaletteTable, ws->palette, left, ws->palette.LeftSwatch);
    palette::SwapEntries(ws->bitmap, ws->PaletteTable, ws->palette, left, right, 100);
    palette::DeleteEntry(ws->bitmap, ws->PaletteTable, ws->palette, left);
    palette::InvertEntry(ws->bitmap, ws->PaletteTable, ws->palette, left);
    // Cutting cells writes files; keep it to pictures small enough to stay fast.
    if (ws->bitmap.Width <= 64 && ws->bitmap.Height <= 64) {
        osd::OsdOptions options;
        options.sourcePath = path;
        options.fontSize = settings::FontSize::Item(static_cast<int>(size % 5));
        options.to2Bpp = size % 3 == 0;
        options.outputDirectory = FuzzWorkDir();
        osd::GenerateOsdFont(ws->bitmap, options);
    }
    return 0;
}
