// Feeds arbitrary files to the bank's "Load", then saves the bank and generates its code into a temporary
// directory, as a user would go on: every node must match its indexes, the bank never exceeds 256 glyphs,
// and nothing may be read or written outside a node's words.
#include "font/BankCodeGen.h"
#include "font/BankFiles.h"

#include "FuzzWorkDir.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    font::FontBank bank;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const font::BankLoadResult result = font::LoadBankText(bank, text, font::kStartPalette);
    if (bank.Count() > font::FontBank::kCapacity || result.Added != bank.Count()) std::abort();
    for (const font::GlyphNode& node : bank.Nodes())
        if (!font::ValidIndexes(node.ColorType, node.WidthIndex, node.HeightIndex) ||
            node.Words.size() != node.WordCount())
            std::abort();
    if (bank.Empty()) return 0;
    const font::FontChoice font{"Fuzz Face", 10, static_cast<std::uint8_t>(size & 15), 0};
    if (font::SaveBank(bank, font, size % 2 ? settings::BinSort::Font : settings::BinSort::Half,
                       FuzzWorkDir())
            .failure)
        std::abort();
    const font::CodeGenResult code = font::GenerateBankCode(
        bank, size % 3 == 0, size % 2 ? settings::PaletteFormat::Rgb888 : settings::PaletteFormat::Rgb666,
        FuzzWorkDir());
    if (code.failure && code.Arrays != 0) std::abort();
    return 0;
}
