#include "font/GlyphDecoder.h"

#include "base/Format.h"
#include "font/BankFiles.h"
#include "font/GlyphText.h"

#include <algorithm>
#include <cstdlib>

namespace font {

namespace {

constexpr std::uint32_t kGlyphsAcross = 16;
constexpr base::Colour kBetweenGlyphs = 0x808080;

} // namespace

picture::IndexedImage GlyphIndices(const GlyphNode& node) {
    picture::IndexedImage image(static_cast<std::uint32_t>(node.GridWidth()),
                                static_cast<std::uint32_t>(node.GridHeight()));
    image.palette.assign(node.Palette.begin(), node.Palette.end());
    const int bpp = node.Bpp();
    const int cw = node.CellWidth();
    const int across = CellsAcrossOf(node.WidthIndex);
    const int cells = across * CellsDownOf(node.HeightIndex);
    for (int c = 0; c < cells; ++c) {
        const int left = (c % across) * cw;
        const int top = (c / across) * kCellHeight;
        for (int r = 0; r < kCellHeight; ++r) {
            const std::size_t first = static_cast<std::size_t>((c * kCellHeight + r) * bpp);
            if (first + static_cast<std::size_t>(bpp) > node.Words.size()) return image;
            for (int x = 0; x < cw; ++x) {
                unsigned index = 0;
                for (int p = 0; p < bpp; ++p)
                    index |= ((node.Words[first + static_cast<std::size_t>(p)] >> (cw - 1 - x)) & 1u) << p;
                image.At(static_cast<std::uint32_t>(left + x), static_cast<std::uint32_t>(top + r)) =
                    static_cast<std::uint8_t>(index);
            }
        }
    }
    return image;
}

GlyphsDecoded DecodeGlyphText(std::string_view text) {
    GlyphsDecoded result;
    // The bank's reader takes a glyph file as a bank of one: its ";UFONT" lines after the first fall inside
    // the glyph and are passed over. Reading stops at 256 glyphs, so a longer text is read in turns.
    FontBank bank;
    const BankLoadResult loaded = LoadBankText(bank, text, kStartPalette);
    result.glyphs = bank.Nodes();
    if (loaded.Skipped > 0)
        result.failure = base::strprintf("%d glyph(s) with a ;BPPi, ;Xi or ;Yi no box has were skipped",
                                         loaded.Skipped);
    else if (result.glyphs.empty())
        result.failure = "no whole glyph (a ;UFONT line and its words)";
    else if (bank.Full())
        result.failure = "more than 256 glyphs: only the first 256 were read";
    return result;
}

GlyphsDecoded DecodeBankBinary(std::span<const std::uint8_t> bytes, const BankBinaryOptions& o) {
    GlyphsDecoded result;
    if (!ValidIndexes(o.colorType, o.widthIndex, o.heightIndex)) {
        result.failure = "no glyph has that geometry";
        return result;
    }
    if (o.binSort == settings::BinSort::Half && bytes.size() % 2 != 0) {
        result.failure = base::strprintf("%zu bytes: \"Half\" needs an even number", bytes.size());
        return result;
    }
    const std::size_t wordCount = bytes.size() / 2;
    std::vector<std::uint16_t> words(wordCount);
    for (std::size_t w = 0; w < wordCount; ++w) {
        std::size_t high = 0, low = 0;
        if (o.binSort == settings::BinSort::Half) {
            high = w;
            low = wordCount + w;
        } else {
            // Groups of 16 words: 16 high bytes, then 16 low bytes; a last group may be shorter.
            const std::size_t group = w / kWordsPerGroup;
            const std::size_t inGroup = w % kWordsPerGroup;
            const std::size_t groupWords = std::min<std::size_t>(kWordsPerGroup, wordCount - group * kWordsPerGroup);
            high = group * 2 * kWordsPerGroup + inGroup;
            low = high + groupWords;
        }
        words[w] = static_cast<std::uint16_t>((bytes[high] << 8) | bytes[low]);
    }
    const std::size_t perGlyph = static_cast<std::size_t>(WordCountOf(o.colorType, o.widthIndex, o.heightIndex));
    const std::size_t glyphs = std::min<std::size_t>(wordCount / perGlyph, FontBank::kCapacity);
    for (std::size_t g = 0; g < glyphs; ++g) {
        GlyphNode node;
        node.ColorType = static_cast<std::uint8_t>(o.colorType);
        node.WidthIndex = static_cast<std::uint8_t>(o.widthIndex);
        node.HeightIndex = static_cast<std::uint8_t>(o.heightIndex);
        node.Palette = o.palette;
        node.Words.assign(words.begin() + static_cast<std::ptrdiff_t>(g * perGlyph),
                          words.begin() + static_cast<std::ptrdiff_t>((g + 1) * perGlyph));
        result.glyphs.push_back(std::move(node));
    }
    if (bytes.size() % (2 * perGlyph) != 0)
        result.failure = base::strprintf("%zu bytes: not whole glyphs of %zu bytes (%zu whole)", bytes.size(),
                                         2 * perGlyph, glyphs);
    else if (wordCount / perGlyph > FontBank::kCapacity)
        result.failure = "more than 256 glyphs: only the first 256 were read";
    else if (glyphs == 0)
        result.failure = "no glyph";
    return result;
}

std::optional<Palette> ParseFontPalette(std::string_view text, std::string* problem) {
    std::size_t at = 0;
    const std::size_t mark = text.find(";Palette");
    if (mark != std::string_view::npos) at = mark + 8;
    Palette palette{};
    std::size_t count = 0;
    while (count < palette.size()) {
        const std::size_t found = text.find("0x", at);
        if (found == std::string_view::npos) break;
        std::size_t end = found + 2;
        unsigned long value = 0;
        std::size_t digits = 0;
        while (end < text.size() && digits < 8) {
            const char c = text[end];
            const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
            if (d < 0) break;
            value = value * 16 + static_cast<unsigned long>(d);
            ++end;
            ++digits;
        }
        at = end;
        if (digits == 0) continue;
        palette[count++] = static_cast<base::Colour>(value & 0xFFFFFF);
    }
    if (count < palette.size()) {
        if (problem) *problem = base::strprintf("%zu colours instead of 16", count);
        return std::nullopt;
    }
    return palette;
}

picture::IndexedImage DecodedGlyphOf(const GlyphNode& node) {
    const std::string bytes = SplitWordBytes(node.Words, settings::BinSort::Font);
    BankBinaryOptions options;
    options.colorType = node.ColorType;
    options.widthIndex = node.WidthIndex;
    options.heightIndex = node.HeightIndex;
    options.binSort = settings::BinSort::Font;
    options.palette = node.Palette;
    const GlyphsDecoded decoded = DecodeBankBinary(
        std::span<const std::uint8_t>(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), options);
    return decoded.glyphs.empty() ? picture::IndexedImage() : GlyphIndices(decoded.glyphs.front());
}

int WidthIndexOfPixels(int pixels) {
    for (int i = 0; i < kWidthIndexes; ++i)
        if (GridWidthOf(i) == pixels) return i;
    return -1;
}

int HeightIndexOfPixels(int pixels) {
    for (int i = 0; i < kHeightIndexes; ++i)
        if (GridHeightOf(i) == pixels) return i;
    return -1;
}

int ColorTypeOfBpp(int bpp) {
    for (int i = 0; i < kColorTypes; ++i)
        if (BppOf(i) == bpp) return i;
    return -1;
}

BankPicture BankGridPicture(const std::vector<GlyphNode>& glyphs) {
    BankPicture result;
    if (glyphs.empty()) return result;
    std::uint32_t slotW = 0, slotH = 0;
    bool shared = true;
    for (const GlyphNode& g : glyphs) {
        slotW = std::max(slotW, static_cast<std::uint32_t>(g.GridWidth()));
        slotH = std::max(slotH, static_cast<std::uint32_t>(g.GridHeight()));
        shared = shared && g.Palette == glyphs.front().Palette;
    }
    const std::uint32_t n = static_cast<std::uint32_t>(glyphs.size());
    const std::uint32_t across = std::min(n, kGlyphsAcross);
    const std::uint32_t down = (n + kGlyphsAcross - 1) / kGlyphsAcross;
    picture::IndexedImage indexed(across * slotW, down * slotH);
    picture::ColourPicture colour;
    if (!shared) {
        colour.width = indexed.width;
        colour.height = indexed.height;
        colour.pixels.assign(indexed.indices.size(), kBetweenGlyphs);
    }
    for (std::uint32_t k = 0; k < n; ++k) {
        const picture::IndexedImage glyph = GlyphIndices(glyphs[k]);
        const std::uint32_t left = (k % kGlyphsAcross) * slotW;
        const std::uint32_t top = (k / kGlyphsAcross) * slotH;
        for (std::uint32_t y = 0; y < glyph.height; ++y)
            for (std::uint32_t x = 0; x < glyph.width; ++x) {
                if (shared)
                    indexed.At(left + x, top + y) = glyph.At(x, y);
                else
                    colour.pixels[static_cast<std::size_t>(top + y) * colour.width + left + x] = glyph.ColourAt(x, y);
            }
    }
    if (shared) {
        indexed.palette.assign(glyphs.front().Palette.begin(), glyphs.front().Palette.end());
        result.indexed = std::move(indexed);
    } else {
        result.colour = std::move(colour);
    }
    return result;
}

} // namespace font
