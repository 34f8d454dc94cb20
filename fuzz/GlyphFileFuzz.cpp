// Feeds arbitrary files to the glyph editor's "Load": whatever the header lines say, the editor's indexes
// must stay within their boxes, the window within the surface, and drawing the cells must never reach
// outside the surface or the word buffer. The loaded glyph is then saved in memory as "Save" would.
#include "font/GlyphFile.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    font::GlyphEditor editor;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto failure = font::LoadGlyphText(editor, text);
    if (!font::ValidIndexes(editor.ColorType(), editor.WidthIndex(), editor.HeightIndex())) std::abort();
    if (editor.WindowLeft() < 0 || editor.WindowLeft() + editor.GridWidth() > 128 || editor.WindowTop() < 0 ||
        editor.WindowTop() + editor.GridHeight() > 128)
        std::abort();
    if (!failure) {
        const font::GlyphFileContents contents =
            font::GlyphFileContentsOf(editor, size % 2 ? settings::BinSort::Font : settings::BinSort::Half);
        const std::size_t words = editor.GlyphBpp() == 1
                                      ? static_cast<std::size_t>(editor.GridHeight() * editor.CellsAcross())
                                      : static_cast<std::size_t>(editor.WordCount());
        if (contents.Raw.size() != 2 * words) std::abort();
    }
    return 0;
}
