#include "osd/OsdDecoder.h"

#include "base/FileProblem.h"
#include "base/Format.h"
#include "base/Path.h"
#include "base/WholeFile.h"

#include <algorithm>
#include <cctype>

namespace osd {

namespace {

constexpr int kCellHeight = 16;
constexpr int kCellsAcross = 16;
// A font RAM holds 256 cells; plane files of a few megabytes are already far past any sheet.
constexpr std::size_t kMaxPlaneFile = std::size_t{64} << 20;
constexpr std::size_t kMaxTableFile = std::size_t{1} << 20;

// Plane bytes written per group of eight pixels.
int WrittenPlanes(const OsdDecodeOptions& o) {
    return o.bpp == 4 && o.to2Bpp ? 2 : o.bpp;
}

// Pixels per cell row in the LSB part at 8, 4 and 2 bpp.
int LsbPixelsPerRow(const OsdDecodeOptions& o) {
    return HeldColumns(o) - 8;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Decodes group values from plane bytes: value i has bit b from bit 7 - i of plane b.
void GroupValues(const std::uint8_t* planes, int count, std::uint8_t values[8]) {
    for (int i = 0; i < 8; ++i) {
        unsigned v = 0;
        for (int b = 0; b < count; ++b)
            v |= ((planes[b] >> (7 - i)) & 1u) << b;
        values[i] = static_cast<std::uint8_t>(v);
    }
}

void DecodeCell(const std::uint8_t* msb, const std::uint8_t* lsb, const OsdDecodeOptions& o,
                picture::IndexedImage& image, std::uint32_t left, std::uint32_t top) {
    if (o.bpp == 1) {
        for (int r = 0; r < kCellHeight; ++r) {
            const unsigned v = (static_cast<unsigned>(msb[r]) << 8) | lsb[r];
            for (int x = 0; x < o.cellWidth; ++x)
                image.At(left + static_cast<std::uint32_t>(x), top + static_cast<std::uint32_t>(r)) =
                    static_cast<std::uint8_t>((v >> (o.cellWidth - 1 - x)) & 1u);
        }
        return;
    }
    const int planes = WrittenPlanes(o);
    std::uint8_t values[8];
    // The MSB part: pixels 0..7 of every row, a group a row.
    for (int r = 0; r < kCellHeight; ++r) {
        GroupValues(msb + r * planes, planes, values);
        for (int x = 0; x < 8; ++x)
            image.At(left + static_cast<std::uint32_t>(x), top + static_cast<std::uint32_t>(r)) = values[x];
    }
    // The LSB part: the rest of each row; its groups run on across rows.
    const int perRow = LsbPixelsPerRow(o);
    const int total = perRow * kCellHeight;
    for (int g = 0; g * 8 < total; ++g) {
        GroupValues(lsb + g * planes, planes, values);
        for (int i = 0; i < 8; ++i) {
            const int j = g * 8 + i;
            image.At(left + static_cast<std::uint32_t>(8 + j % perRow),
                     top + static_cast<std::uint32_t>(j / perRow)) = values[i];
        }
    }
}

} // namespace

int HeldColumns(const OsdDecodeOptions& o) {
    switch (o.bpp) {
    case 4:
        return 2 * (o.cellWidth / 2);
    case 2:
        return 4 * (o.cellWidth / 4);
    default:
        return o.cellWidth;
    }
}

int MsbBytesPerCell(const OsdDecodeOptions& o) {
    return o.bpp == 1 ? kCellHeight : kCellHeight * WrittenPlanes(o);
}

int LsbBytesPerCell(const OsdDecodeOptions& o) {
    return o.bpp == 1 ? kCellHeight : LsbPixelsPerRow(o) * kCellHeight / 8 * WrittenPlanes(o);
}

OsdDecoded DecodeOsdPlanes(std::span<const std::uint8_t> msb, std::span<const std::uint8_t> lsb,
                           const OsdDecodeOptions& o) {
    OsdDecoded result;
    const std::size_t msbCell = static_cast<std::size_t>(MsbBytesPerCell(o));
    const std::size_t lsbCell = static_cast<std::size_t>(LsbBytesPerCell(o));
    const std::size_t msbCells = msb.size() / msbCell;
    const std::size_t lsbCells = lsb.size() / lsbCell;
    const std::size_t cells = std::min(msbCells, lsbCells);
    if (msb.size() % msbCell != 0)
        result.failure = base::strprintf("the MSB planes hold %zu bytes: not whole cells of %zu bytes",
                                         msb.size(), msbCell);
    else if (lsb.size() % lsbCell != 0)
        result.failure = base::strprintf("the LSB planes hold %zu bytes: not whole cells of %zu bytes",
                                         lsb.size(), lsbCell);
    else if (msbCells != lsbCells)
        result.failure = base::strprintf("the MSB planes hold %zu cells, the LSB planes %zu", msbCells, lsbCells);
    result.cells = static_cast<int>(cells);
    if (cells == 0) return result;
    const std::uint32_t rows = static_cast<std::uint32_t>((cells + kCellsAcross - 1) / kCellsAcross);
    result.image = picture::IndexedImage(static_cast<std::uint32_t>(kCellsAcross * o.cellWidth),
                                         rows * kCellHeight);
    for (std::size_t k = 0; k < cells; ++k)
        DecodeCell(msb.data() + k * msbCell, lsb.data() + k * lsbCell, o, result.image,
                   static_cast<std::uint32_t>(k % kCellsAcross) * static_cast<std::uint32_t>(o.cellWidth),
                   static_cast<std::uint32_t>(k / kCellsAcross) * kCellHeight);
    return result;
}

std::optional<std::vector<std::uint8_t>> ParsePlaneText(std::string_view text, std::size_t* badOffset) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size() / 5);
    std::size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        if (text.size() - i < 5 || text[i] != '0' || (text[i + 1] != 'x' && text[i + 1] != 'X') ||
            HexDigit(text[i + 2]) < 0 || HexDigit(text[i + 3]) < 0 || text[i + 4] != ',') {
            if (badOffset) *badOffset = i;
            return std::nullopt;
        }
        bytes.push_back(static_cast<std::uint8_t>(HexDigit(text[i + 2]) * 16 + HexDigit(text[i + 3])));
        i += 5;
    }
    return bytes;
}

std::optional<std::array<std::uint8_t, 256>> ParsePaletteTable(std::string_view text, std::string* problem) {
    std::array<std::uint8_t, 256> values{};
    std::size_t count = 0;
    std::size_t i = 0;
    auto fail = [&](const std::string& why) {
        if (problem) *problem = why;
        return std::nullopt;
    };
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        // An item runs to its comma: "0xHH" (C) or "0HHh" (ASM).
        const std::size_t comma = text.find(',', i);
        if (comma == std::string_view::npos)
            return fail(base::strprintf("no comma after the value at offset %zu", i));
        const std::string_view item = text.substr(i, comma - i);
        std::string_view digits;
        if (item.size() >= 3 && item[0] == '0' && (item[1] == 'x' || item[1] == 'X')) {
            digits = item.substr(2);
        } else if (item.size() >= 3 && item[0] == '0' && (item.back() == 'h' || item.back() == 'H')) {
            digits = item.substr(1, item.size() - 2);
        } else {
            return fail(base::strprintf("a value at offset %zu is neither 0xHH nor 0HHh", i));
        }
        unsigned value = 0;
        if (digits.empty() || digits.size() > 2)
            return fail(base::strprintf("a value at offset %zu is not one byte", i));
        for (const char c : digits) {
            if (HexDigit(c) < 0) return fail(base::strprintf("a value at offset %zu is not hexadecimal", i));
            value = value * 16 + static_cast<unsigned>(HexDigit(c));
        }
        if (count == values.size()) return fail("more than 256 values");
        values[count++] = static_cast<std::uint8_t>(value);
        i = comma + 1;
    }
    if (count != values.size()) return fail(base::strprintf("%zu values instead of 256", count));
    return values;
}

std::optional<std::vector<base::Colour>> OsdPaletteOf(const std::array<std::uint8_t, 256>& red,
                                                      const std::array<std::uint8_t, 256>& green,
                                                      const std::array<std::uint8_t, 256>& blue,
                                                      settings::PaletteFormat format, std::string* problem) {
    std::vector<base::Colour> palette(256);
    const bool six = format == settings::PaletteFormat::Rgb666;
    for (std::size_t i = 0; i < 256; ++i) {
        if (six && (red[i] > 63 || green[i] > 63 || blue[i] > 63)) {
            if (problem)
                *problem = base::strprintf("entry %zu holds a value above 63, which RGB666 has not "
                                           "(the tables may be RGB888)",
                                           i);
            return std::nullopt;
        }
        palette[i] = six ? base::MakeColour(ScaleRgb666(red[i]), ScaleRgb666(green[i]), ScaleRgb666(blue[i]))
                         : base::MakeColour(red[i], green[i], blue[i]);
    }
    return palette;
}

OsdFilesDecoded DecodeOsdFiles(const std::string& base, const OsdDecodeOptions& o) {
    OsdFilesDecoded result;
    auto read = [&](const std::string& name, std::size_t cap, std::vector<std::uint8_t>& out) {
        base::FileProblem problem;
        if (base::ReadWholeFile(name, out, cap, &problem) == base::ReadStatus::Ok) return true;
        if (!result.failure) result.failure = "Cannot read " + base::ProblemText(problem);
        return false;
    };
    const bool text = o.bpp == 2; // Generate leaves the .bin files empty at 2 bpp
    const std::string suffix = text ? ".txt" : ".bin";
    std::vector<std::uint8_t> msb, lsb;
    if (!read(base + "_MSB" + suffix, kMaxPlaneFile, msb) || !read(base + "_LSB" + suffix, kMaxPlaneFile, lsb))
        return result;
    if (text) {
        for (auto* planes : {&msb, &lsb}) {
            const char* which = planes == &msb ? "_MSB.txt" : "_LSB.txt";
            std::size_t bad = 0;
            auto parsed = ParsePlaneText(
                std::string_view(reinterpret_cast<const char*>(planes->data()), planes->size()), &bad);
            if (!parsed) {
                result.failure = base::strprintf("%s%s: not a plane byte (0xHH,) at offset %zu", base.c_str(),
                                                 which, bad);
                return result;
            }
            *planes = std::move(*parsed);
        }
    }
    result.decoded = DecodeOsdPlanes(msb, lsb, o);
    if (result.decoded.failure) result.failure = base + ": " + *result.decoded.failure;
    if (result.decoded.cells == 0 && !result.failure)
        result.failure = base + (o.bpp == 2 ? "_MSB.txt" : "_MSB.bin") +
                         " holds no cell" + (o.bpp == 2 ? "" : " (at 2 bpp the planes are in the .txt files)");

    std::array<std::uint8_t, 256> tables[3];
    const char* names[3] = {"_R.txt", "_G.txt", "_B.txt"};
    for (int t = 0; t < 3; ++t) {
        std::vector<std::uint8_t> bytes;
        if (!read(base + names[t], kMaxTableFile, bytes)) return result;
        std::string problem;
        auto values =
            ParsePaletteTable(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()), &problem);
        if (!values) {
            if (!result.failure) result.failure = base + names[t] + ": " + problem;
            return result;
        }
        tables[t] = *values;
    }
    std::string problem;
    auto palette = OsdPaletteOf(tables[0], tables[1], tables[2], o.paletteFormat, &problem);
    if (!palette) {
        if (!result.failure) result.failure = base + "_R/G/B.txt: " + problem;
        return result;
    }
    result.decoded.image.palette = std::move(*palette);

    std::vector<bool> used(256, false);
    for (const std::uint8_t index : result.decoded.image.indices)
        used[index] = true;
    result.lines.push_back(base::strprintf("%d cells of %d x 16 pixels, %d bpp%s", result.decoded.cells,
                                           o.cellWidth, o.bpp, o.bpp == 4 && o.to2Bpp ? " (2BPP planes)" : ""));
    result.lines.push_back(base::strprintf("picture %u x %u pixels, %d colours used", result.decoded.image.width,
                                           result.decoded.image.height,
                                           static_cast<int>(std::count(used.begin(), used.end(), true))));
    return result;
}

namespace {

// A colour as the palette format keeps it.
base::Colour Kept(base::Colour c, settings::PaletteFormat format) {
    return format == settings::PaletteFormat::Rgb666 ? c & 0xFCFCFC : c & 0xFFFFFF;
}

} // namespace

std::vector<bool> MismatchedCells(const picture::IndexedImage& decoded, int cells,
                                  const std::vector<base::Colour>& sheetPixels, int sheetWidth, int sheetHeight,
                                  const OsdDecodeOptions& o) {
    std::vector<bool> mismatched(static_cast<std::size_t>(std::max(cells, 0)), false);
    const int cw = o.cellWidth;
    const int across = sheetWidth > 0 ? (sheetWidth + cw - 1) / cw : 0;
    for (int k = 0; k < cells; ++k) {
        const int sx = across > 0 ? (k % across) * cw : 0;
        const int sy = across > 0 ? (k / across) * kCellHeight : 0;
        const std::uint32_t dx = static_cast<std::uint32_t>((k % kCellsAcross) * cw);
        const std::uint32_t dy = static_cast<std::uint32_t>((k / kCellsAcross) * kCellHeight);
        bool differs = across == 0;
        for (int y = 0; y < kCellHeight && !differs; ++y)
            for (int x = 0; x < cw && !differs; ++x) {
                const int px = sx + x, py = sy + y;
                // Pixels past the sheet's edge are not the sheet's: a cell that reaches past it is compared
                // where it lies on the sheet.
                if (px >= sheetWidth || py >= sheetHeight) continue;
                const base::Colour want =
                    Kept(sheetPixels[static_cast<std::size_t>(py) * static_cast<std::size_t>(sheetWidth) +
                                     static_cast<std::size_t>(px)],
                         o.paletteFormat);
                const base::Colour got = Kept(decoded.ColourAt(dx + static_cast<std::uint32_t>(x),
                                                               dy + static_cast<std::uint32_t>(y)),
                                              o.paletteFormat);
                differs = want != got;
            }
        mismatched[static_cast<std::size_t>(k)] = differs;
    }
    return mismatched;
}

OsdPreview PreviewOsdFiles(const std::string& base, const OsdDecodeOptions& o,
                           const std::vector<base::Colour>& sheetPixels, int sheetWidth, int sheetHeight) {
    OsdPreview preview;
    preview.files = DecodeOsdFiles(base, o);
    if (preview.files.decoded.cells == 0 || preview.files.decoded.image.palette.empty()) return preview;
    preview.mismatched = MismatchedCells(preview.files.decoded.image, preview.files.decoded.cells, sheetPixels,
                                         sheetWidth, sheetHeight, o);
    preview.mismatchedCells =
        static_cast<int>(std::count(preview.mismatched.begin(), preview.mismatched.end(), true));
    return preview;
}

std::optional<GeneratedFiles> GeneratedFilesOf(const OsdOptions& options, int bitsPerPixel) {
    const std::string extension = base::ToLowerAscii(base::SplitPath(options.sourcePath).extension);
    if (extension != ".bmp" && extension != ".png") return std::nullopt;
    if (bitsPerPixel != 1 && bitsPerPixel != 2 && bitsPerPixel != 4 && bitsPerPixel != 8) return std::nullopt;
    const std::string fileName = base::FileNameOf(options.sourcePath);
    GeneratedFiles files;
    files.base = options.outputDirectory.PathOf(fileName.substr(0, fileName.size() - 4));
    files.options.bpp = bitsPerPixel;
    files.options.to2Bpp = bitsPerPixel == 4 && options.to2Bpp;
    files.options.cellWidth = options.fontSize.CellWidth();
    files.options.paletteFormat = options.paletteFormat;
    return files;
}

} // namespace osd
