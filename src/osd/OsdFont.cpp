#include "osd/OsdFont.h"

#include "base/Error.h"
#include "base/FileProblem.h"
#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "osd/OsdSources.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace osd {

namespace {

using base::OutputFile;
using picture::CurrentBitmap;

constexpr int kCellHeight = 16;
constexpr int kFontInitCells = 256;

// One output file and the name the user knows it by.
struct NamedFile {
    OutputFile file;
    std::string name;
};

char* PutText(char* out, const char* text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
}

// "0x%02X," for one plane byte. The plane text is nearly all the bytes of a run, so it is formatted by hand
// straight into the output's buffer rather than through printf.
constexpr std::size_t kItemSize = 5;
char* PutItem(char* out, std::uint8_t value) {
    out[0] = '0';
    out[1] = 'x';
    base::PutHex2(out + 2, value);
    out[4] = ',';
    return out + kItemSize;
}

// The text and binary outputs of one part (MSB or LSB) with the byte counter that places the line ends.
class PartSink final {
public:
    PartSink(OutputFile& text, OutputFile& binary, bool toBinary)
        : text_(text), binary_(binary), toBinary_(toBinary) {}

    // Emits values[0..length) (a multiple of 8, at most 128) in groups of eight as `bits` plane bytes a
    // group, of which the first `written` reach the outputs; the counter grows by `bits` a group, and a line
    // ends whenever it reaches a multiple of 16.
    void EmitGroups(const std::uint8_t* values, int length, int bits, int written) {
        char* out = text_.Room(kLineRoom);
        std::uint8_t* bin =
            toBinary_ ? Bytes(binary_.Room(static_cast<std::size_t>(length / 8 * written))) : nullptr;
        std::uint8_t planes[8];
        for (int g = 0; g + 8 <= length; g += 8) {
            PlaneBytes(values + g, bits, planes);
            for (int i = 0; i < written; ++i)
                out = PutItem(out, planes[i]);
            if (toBinary_) {
                std::memcpy(bin, planes, static_cast<std::size_t>(written));
                bin += written;
            }
            count_ += bits;
            if (count_ % 16 == 0) out = EndLine(out);
        }
        text_.Commit(out);
        if (toBinary_) binary_.Commit(reinterpret_cast<char*>(bin));
    }

    // Emits n (at most 16) bytes as they are, each counted once (1 bpp).
    void EmitBytes(const std::uint8_t* bytes, int n) {
        char* out = text_.Room(kLineRoom);
        std::uint8_t* bin = Bytes(binary_.Room(static_cast<std::size_t>(n)));
        for (int i = 0; i < n; ++i) {
            out = PutItem(out, bytes[i]);
            *bin++ = bytes[i];
            if (++count_ % 16 == 0) out = EndLine(out);
        }
        text_.Commit(out);
        binary_.Commit(reinterpret_cast<char*>(bin));
    }

private:
    // A line holds 16 items at most: the counter grows by at least one for each item and every depth
    // divides 16, so it meets each multiple of 16.
    static constexpr std::size_t kLineRoom = 16 * kItemSize;

    static std::uint8_t* Bytes(char* room) { return reinterpret_cast<std::uint8_t*>(room); }

    // Ends the text line after the items in the room up to out; returns the room for the next line.
    char* EndLine(char* out) {
        text_.Commit(out);
        text_.Put('\n');
        return text_.Room(kLineRoom);
    }

    OutputFile& text_;
    OutputFile& binary_;
    bool toBinary_;
    std::int32_t count_ = 0;
};

// The _1BPP.txt view shows each cell row of a 1-bpp font as a picture with its values, for people reading
// the font. A cell starts with "; UFONT %03X\n", the cell's number modulo 256.
void WriteOneBppCellHeader(OutputFile& file, int cellNumber) {
    char* out = PutText(file.Room(16), "; UFONT 0");
    file.Commit(base::PutHex2(out, static_cast<unsigned>(cellNumber & 0xFF)));
    file.Put('\n');
}

// The row's pixels as X and ., then " 0x%02X, 0x%02X DB %03Xh, %03Xh  0x%04X\n".
void WriteOneBppRow(OutputFile& file, std::uint16_t v, int cw) {
    char* out = file.Room(64);
    for (int bit = cw - 1; bit >= 0; --bit)
        *out++ = (v >> bit) & 1 ? 'X' : '.';
    const unsigned high = v >> 8;
    const unsigned low = v & 0xFF;
    out = base::PutHex2(PutText(out, " 0x"), high);
    out = base::PutHex2(PutText(out, ", 0x"), low);
    out = base::PutHex2(PutText(out, " DB 0"), high);
    out = base::PutHex2(PutText(out, "h, 0"), low);
    file.Commit(base::PutHex2(base::PutHex2(PutText(out, "h  0x"), high), low));
    file.Put('\n');
}

// Copies n bytes of Pixels from offset into out, zeros past the end of the buffer.
void ReadPixels(const CurrentBitmap& bm, std::size_t offset, std::uint8_t* out, std::size_t n) {
    const std::size_t size = bm.Pixels.size();
    if (offset <= size && n <= size - offset) {
        std::memcpy(out, bm.Pixels.data() + offset, n);
        return;
    }
    for (std::size_t i = 0; i < n; ++i)
        out[i] = bm.PixelByte(offset + i);
}

// Cuts the cell starting at byte `start` of Pixels, at 8, 4 or 2 bpp, into its MSB part (the first eight
// pixels of each row) and its LSB part (the rest of the row) and emits their plane bytes.
template <int Bits>
void ExtractPackedCell(const CurrentBitmap& bm, int cw, bool to2Bpp, std::size_t start, PartSink& msb,
                       PartSink& lsb) {
    constexpr int perByte = 8 / Bits;
    constexpr int msbBytes = 8 / perByte;
    constexpr unsigned mask = (1u << Bits) - 1;
    const int rowBytes = cw / perByte; // the pixels of a partly used last byte are left out

    std::uint8_t msbPart[kCellHeight * 8];
    std::uint8_t lsbPart[kCellHeight * 8];
    std::uint8_t row[16];
    int l = 0;
    for (int r = 0; r < kCellHeight; ++r) {
        ReadPixels(bm, start + static_cast<std::size_t>(r) * bm.BytesPerRow, row,
                   static_cast<std::size_t>(rowBytes));
        std::uint8_t* m = msbPart + 8 * r;
        for (int k = 0; k < msbBytes; ++k)
            for (int p = 0; p < perByte; ++p)
                *m++ = static_cast<std::uint8_t>((row[k] >> (8 - Bits * (p + 1))) & mask);
        for (int k = msbBytes; k < rowBytes; ++k)
            for (int p = 0; p < perByte; ++p)
                lsbPart[l++] = static_cast<std::uint8_t>((row[k] >> (8 - Bits * (p + 1))) & mask);
    }

    const int written = Bits == 4 && to2Bpp ? 2 : Bits;
    msb.EmitGroups(msbPart, kCellHeight * 8, Bits, written);
    lsb.EmitGroups(lsbPart, l, Bits, written);
}

void ExtractOneBppCell(const CurrentBitmap& bm, int cw, std::size_t start, int x, PartSink& msb,
                       PartSink& lsb, OutputFile& view) {
    std::uint8_t msbPart[kCellHeight];
    std::uint8_t lsbPart[kCellHeight];
    for (int r = 0; r < kCellHeight; ++r) {
        const std::uint16_t v = OneBppRow(bm, start + static_cast<std::size_t>(r) * bm.BytesPerRow, x, cw);
        msbPart[r] = static_cast<std::uint8_t>(v >> 8);
        lsbPart[r] = static_cast<std::uint8_t>(v & 0xFF);
        WriteOneBppRow(view, v, cw);
    }
    msb.EmitBytes(msbPart, kCellHeight);
    lsb.EmitBytes(lsbPart, kCellHeight);
}

// The 256 entries the palette tables hold, as blue, green, red, reserved bytes: the file's colour table, or
// after Reduce Palette the reduced palette the pixels now index (which ColourTable holds) followed by zeros.
std::array<std::uint8_t, picture::kRawPaletteSize> TableEntries(const CurrentBitmap& bm) {
    if (bm.ReducedCount == 0) return bm.RawPalette;
    std::array<std::uint8_t, picture::kRawPaletteSize> entries{};
    for (std::size_t i = 0; i < bm.ReducedCount && i < bm.ColourTable.size(); ++i) {
        const base::Colour c = bm.ColourTable[i];
        entries[4 * i] = static_cast<std::uint8_t>(c >> 16);
        entries[4 * i + 1] = static_cast<std::uint8_t>(c >> 8);
        entries[4 * i + 2] = static_cast<std::uint8_t>(c);
    }
    return entries;
}

// The three palette tables: one component of every entry, 16 to a line. Each joins the run's outputs; its
// note is made once the outputs are in place.
void WritePaletteTables(const CurrentBitmap& bm, const OsdOptions& options, const std::string& baseName,
                        base::OutputSet& outputs, base::Notes& notes) {
    struct Table {
        const char* suffix;
        int byteInEntry; // entries are blue, green, red, reserved
    };
    static constexpr Table kTables[] = {{"_R.txt", 2}, {"_G.txt", 1}, {"_B.txt", 0}};
    const bool asm_ = options.codeFormat == settings::CodeFormat::Asm;
    const auto entries = TableEntries(bm);
    for (const Table& t : kTables) {
        const std::string name = baseName + t.suffix;
        OutputFile file;
        if (!file.Create(options.outputDirectory, name, OutputFile::Mode::Text, outputs)) continue;
        std::string text;
        text.reserve(256 * 6 + 16);
        for (int i = 0; i < 256; ++i) {
            unsigned value = entries[static_cast<std::size_t>(4 * i + t.byteInEntry)];
            if (options.paletteFormat == settings::PaletteFormat::Rgb666) value >>= 2;
            text += asm_ ? "0" : "0x";
            base::AppendHex2(text, value);
            text += asm_ ? "h," : ",";
            if (i % 16 == 15) text += '\n';
        }
        file.Write(text);
        if (file.Close()) notes.push_back({base::Note::Kind::Status, name + " OK !"});
    }
}

} // namespace

void PlaneBytes(const std::uint8_t g[8], int bits, std::uint8_t* out) {
    // An 8 x 8 bit transpose: row i of the matrix is g[i], row 0 in the top byte. Afterwards the byte at
    // bit offset 8 * b holds bit b of every value, the first value in its bit 7.
    std::uint64_t x = 0;
    for (int i = 0; i < 8; ++i)
        x = (x << 8) | g[i];
    std::uint64_t t = (x ^ (x >> 7)) & 0x00AA00AA00AA00AAull;
    x = x ^ t ^ (t << 7);
    t = (x ^ (x >> 14)) & 0x0000CCCC0000CCCCull;
    x = x ^ t ^ (t << 14);
    t = (x ^ (x >> 28)) & 0x00000000F0F0F0F0ull;
    x = x ^ t ^ (t << 28);
    for (int b = 0; b < bits; ++b)
        out[b] = static_cast<std::uint8_t>(x >> (8 * b));
}

std::uint16_t OneBppRow(const CurrentBitmap& bm, std::size_t rowStart, int x, int cw) {
    const int skip = x % 8;
    std::uint32_t acc = bm.PixelByte(rowStart) & (0xFFu >> skip);
    int bits = 8 - skip;
    for (std::size_t k = 1; bits < cw; ++k, bits += 8)
        acc = (acc << 8) | bm.PixelByte(rowStart + k);
    std::uint32_t v = acc >> (bits - cw);
    const long long past = static_cast<long long>(x) + cw - 8LL * bm.BytesPerRow;
    if (past >= cw) {
        v = 0;
    } else if (past > 0) {
        v &= ~((1u << past) - 1);
    }
    return static_cast<std::uint16_t>(v);
}

GenerateResult GenerateOsdFont(const CurrentBitmap& bm, const OsdOptions& options) {
    base::OutputSet outputs;
    GenerateResult result = GenerateOsdFont(bm, options, outputs);
    if (result.ran && !result.failure && !outputs.Commit()) {
        result.failure = base::ProblemText(outputs.Problem()); // a rename that failed names its file
        std::erase_if(result.notes,
                      [](const base::Note& note) { return note.kind == base::Note::Kind::Status; });
    }
    return result;
}

GenerateResult GenerateOsdFont(const CurrentBitmap& bm, const OsdOptions& options, base::OutputSet& outputs) {
    GenerateResult result;
    // A PNG is read as the BMP that holds the same picture: it generates the same files, named after it.
    const std::string extension = base::ToLowerAscii(base::SplitPath(options.sourcePath).extension);
    if (extension != ".bmp" && extension != ".png") return result;
    result.ran = true;

    const std::string fileName = base::FileNameOf(options.sourcePath);
    const std::string baseName = fileName.substr(0, fileName.size() - 4);
    const int bits = bm.BitsPerPixel;
    const bool knownDepth = bits == 8 || bits == 4 || bits == 2 || bits == 1;

    // Every output of the run is replaced together at its end, or none is.
    base::Notes notes;
    WritePaletteTables(bm, options, baseName, outputs, notes);

    NamedFile msbBin{{}, baseName + "_MSB.bin"};
    NamedFile lsbBin{{}, baseName + "_LSB.bin"};
    NamedFile msbTxt{{}, baseName + "_MSB.txt"};
    NamedFile lsbTxt{{}, baseName + "_LSB.txt"};
    NamedFile source{{}, baseName + ".C"};
    NamedFile oneBpp{{}, baseName + "_1BPP.txt"};
    auto create = [&](NamedFile& f, OutputFile::Mode mode) {
        if (f.file.Create(options.outputDirectory, f.name, mode, outputs)) return true;
        result.failure = base::ProblemText(f.file.Problem());
        outputs.Fail(f.file.Problem());
        return false;
    };
    if (!create(msbBin, OutputFile::Mode::Binary) || !create(lsbBin, OutputFile::Mode::Binary) ||
        !create(msbTxt, OutputFile::Mode::Text) || !create(lsbTxt, OutputFile::Mode::Text) ||
        !create(source, OutputFile::Mode::Text))
        return result;

    WritePaletteSource(source.file, bm.ColourTable.data(), bm.ColourCount, options.paletteFormat);

    auto close = [&](NamedFile& f) {
        if (!f.file.Close() && !result.failure) result.failure = base::ProblemText(f.file.Problem());
    };

    int cellCount = 0;
    std::string fontInitNote;
    if (knownDepth) {
        if (bits == 1 && !create(oneBpp, OutputFile::Mode::Text)) return result;

        const int cw = options.fontSize.CellWidth();
        const bool to2Bpp = bits == 4 && options.to2Bpp;
        PartSink msb(msbTxt.file, msbBin.file, bits != 2);
        PartSink lsb(lsbTxt.file, lsbBin.file, bits != 2);
        // WalkWidth and WalkHeight are the picture's own sizes for every accepted file.
        const std::size_t width = static_cast<std::size_t>(bm.WalkWidth());
        const std::size_t height = static_cast<std::size_t>(bm.WalkHeight());
        for (std::size_t y = 0; y < height; y += kCellHeight) {
            for (std::size_t x = 0; x < width; x += static_cast<std::size_t>(cw)) {
                // The full offset: a cell far down a large picture reads its own pixels, not wrapped ones.
                const std::size_t start = y * bm.BytesPerRow + x * static_cast<std::size_t>(bits) / 8;
                switch (bits) {
                case 8:
                    ExtractPackedCell<8>(bm, cw, to2Bpp, start, msb, lsb);
                    break;
                case 4:
                    ExtractPackedCell<4>(bm, cw, to2Bpp, start, msb, lsb);
                    break;
                case 2:
                    ExtractPackedCell<2>(bm, cw, to2Bpp, start, msb, lsb);
                    break;
                default:
                    WriteOneBppCellHeader(oneBpp.file, cellCount);
                    ExtractOneBppCell(bm, cw, start, static_cast<int>(x), msb, lsb, oneBpp.file);
                    break;
                }
                ++cellCount;
            }
        }
        if (bits == 1) close(oneBpp);
        // The font RAM holds 256 cells: FONT_Init loads them all for a full sheet, and the first 256 of a
        // larger one, which the note says.
        WriteFontInitSource(source.file,
                            static_cast<unsigned>(std::min(cellCount, kFontInitCells) * bits / 8));
        if (cellCount > kFontInitCells)
            fontInitNote =
                base::strprintf("FONT_Init loads the first %d of %d cells", kFontInitCells, cellCount);
    }
    result.cellCount = cellCount;

    close(source);
    close(msbTxt);
    close(lsbTxt);
    close(msbBin);
    close(lsbBin);
    if (!result.failure) result.notes = std::move(notes);
    if (!fontInitNote.empty()) result.notes.push_back({base::Note::Kind::Detail, fontInitNote});
    return result;
}

} // namespace osd
