#include "cli/DecodeCommand.h"

#include "base/Error.h"
#include "base/FileProblem.h"
#include "base/Format.h"
#include "base/Path.h"
#include "base/WholeFile.h"
#include "cli/Commands.h"
#include "merge/MergeSplit.h"
#include "picture/PngWriter.h"

#include <algorithm>
#include <ostream>
#include <set>

namespace cli {

namespace {

// Image data of an AOSD picture is at most 65535 x 65535 bytes a frame; palette and glyph files are small.
constexpr std::size_t kMaxImageFile = std::size_t{1} << 31;
constexpr std::size_t kMaxTextFile = std::size_t{64} << 20;

bool EndsInBin(const std::string& path) {
    return base::ToLowerAscii(base::SplitPath(path).extension) == ".bin";
}

struct Seen {
    std::set<std::string> options;
    void Once(const std::string& option) {
        if (!options.insert(option).second) throw UsageError{"decode: " + option + " is given twice"};
    }
    bool Has(const std::string& option) const { return options.count(option) != 0; }
};

} // namespace

DecodeJob ParseDecodeArgs(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"decode needs osd, aosd, glyph, bank or merge"};
    DecodeJob job;
    const std::string& what = args[0];
    const int kind = Choice("decode", what, {"osd", "aosd", "glyph", "bank", "merge"});
    job.kind = static_cast<DecodeJob::Kind>(kind);
    std::vector<std::string> positional;
    Seen seen;
    // The options each kind takes.
    const std::vector<std::string> allowed[] = {
        {"--out", "--bpp", "--2bpp", "--cell", "--palette"},
        {"--out", "--width", "--height", "--rlc", "--palette", "--palette-format", "--frames"},
        {"--out"},
        {"--out", "--bpp", "--width", "--height", "--bin-sort", "--palette"},
        {"--out"},
    };
    int bankBpp = 1, bankWidth = 16, bankHeight = 16;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            positional.push_back(a);
            continue;
        }
        const auto& ok = allowed[kind];
        if (std::find(ok.begin(), ok.end(), a) == ok.end())
            throw UsageError{"decode " + what + ": unknown option '" + a + "'"};
        seen.Once(a);
        if (a == "--2bpp") {
            job.osd.to2Bpp = true;
            continue;
        }
        const std::string& value = ValueOf(args, i);
        if (a == "--out") {
            job.out = value;
        } else if (job.kind == DecodeJob::Kind::Osd) {
            if (a == "--bpp") job.osd.bpp = 1 << Choice(a, value, {"1", "2", "4", "8"});
            if (a == "--cell") job.osd.cellWidth = static_cast<int>(Number(value, 12, 16, "--cell"));
            if (a == "--palette") job.osd.paletteFormat = PaletteFormatChoice(a, value);
        } else if (job.kind == DecodeJob::Kind::Aosd) {
            if (a == "--width") job.aosd.width = static_cast<std::uint32_t>(Number(value, 1, 65535, a));
            if (a == "--height") job.aosd.height = static_cast<std::uint32_t>(Number(value, 1, 65535, a));
            if (a == "--frames") job.aosd.frames = static_cast<std::uint32_t>(Number(value, 1, 65535, a));
            if (a == "--rlc")
                job.aosd.rlc = {true, Choice(a, value, {"k470a", "k470e"}) == 0 ? aosd::ChipModel::K470A
                                                                                : aosd::ChipModel::K470E};
            if (a == "--palette") job.palette = value;
            if (a == "--palette-format") job.paletteFormat = PaletteFormatChoice(a, value);
        } else if (job.kind == DecodeJob::Kind::Bank) {
            if (a == "--bpp") bankBpp = static_cast<int>(Number(value, 1, 8, a));
            if (a == "--width") bankWidth = static_cast<int>(Number(value, 12, 64, a));
            if (a == "--height") bankHeight = static_cast<int>(Number(value, 16, 64, a));
            if (a == "--bin-sort") job.bank.binSort = BinSortChoice(a, value);
            if (a == "--palette") job.palette = value;
        }
    }
    const size_t inputs = job.kind == DecodeJob::Kind::Merge ? 2 : 1;
    if (positional.size() != inputs)
        throw UsageError{"decode " + what + " takes " +
                         (inputs == 2 ? std::string("MERGED.BIN and MERGED_TBL.TXT") : std::string("one input"))};
    job.input = positional[0];
    if (inputs == 2) job.table = positional[1];
    if (job.out.empty()) throw UsageError{"decode " + what + " needs --out"};

    switch (job.kind) {
    case DecodeJob::Kind::Osd:
        // The 2BPP planes exist only for 4-bpp sheets.
        if (job.osd.to2Bpp) {
            if (seen.Has("--bpp") && job.osd.bpp != 4) throw UsageError{"decode osd: --2bpp goes with --bpp 4"};
            job.osd.bpp = 4;
        }
        break;
    case DecodeJob::Kind::Aosd:
        if (!seen.Has("--width") || !seen.Has("--height")) throw UsageError{"decode aosd needs --width and --height"};
        if (seen.Has("--palette-format") && !job.palette)
            throw UsageError{"decode aosd: --palette-format goes with --palette"};
        break;
    case DecodeJob::Kind::Bank: {
        job.bankBinary = EndsInBin(job.input);
        const bool binOptions = seen.Has("--bpp") || seen.Has("--width") || seen.Has("--height") ||
                                seen.Has("--bin-sort") || seen.Has("--palette");
        if (binOptions && !job.bankBinary)
            throw UsageError{"decode bank: --bpp, --width, --height, --bin-sort and --palette are for a FontBank.bin; "
                             "a FontBank.txt records them"};
        job.bank.colorType = font::ColorTypeOfBpp(bankBpp);
        job.bank.widthIndex = font::WidthIndexOfPixels(bankWidth);
        job.bank.heightIndex = font::HeightIndexOfPixels(bankHeight);
        if (job.bank.colorType < 0) throw UsageError{"--bpp takes 1, 2, 4 or 8, not '" + std::to_string(bankBpp) + "'"};
        if (job.bank.widthIndex < 0)
            throw UsageError{"--width takes 12..16, 24, 26, 28, 30, 32, 36, 39, 42, 45, 48, 52, 56, 60 or 64, not '" +
                             std::to_string(bankWidth) + "'"};
        if (job.bank.heightIndex < 0)
            throw UsageError{"--height takes 16, 32, 48 or 64, not '" + std::to_string(bankHeight) + "'"};
        break;
    }
    default:
        break;
    }
    return job;
}

namespace {

std::string ReadText(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    base::FileProblem problem;
    if (base::ReadWholeFile(path, bytes, kMaxTextFile, &problem) != base::ReadStatus::Ok)
        throw base::Error("Cannot read " + base::ProblemText(problem));
    return std::string(bytes.begin(), bytes.end());
}

int ColoursUsed(const picture::IndexedImage& image) {
    std::vector<bool> used(256, false);
    for (const std::uint8_t i : image.indices)
        used[i] = true;
    return static_cast<int>(std::count(used.begin(), used.end(), true));
}

void WriteIndexed(const picture::IndexedImage& image, const std::string& out, std::ostream& os) {
    picture::WritePngFile(out, picture::EncodeIndexedPng(image));
    os << base::strprintf("%s: %u x %u pixels, indexed, %d colours used\n", out.c_str(), image.width,
                          image.height, ColoursUsed(image));
}

int RunOsd(const DecodeJob& job, std::ostream& out, std::ostream& err) {
    const osd::OsdFilesDecoded d = osd::DecodeOsdFiles(job.input, job.osd);
    if (d.decoded.cells > 0) {
        picture::IndexedImage image = d.decoded.image;
        if (image.palette.empty()) image.palette = picture::GreyPalette(); // the tables could not be read
        for (const std::string& line : d.lines)
            out << line << '\n';
        WriteIndexed(image, job.out, out);
    }
    if (d.failure) {
        err << *d.failure << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

int RunAosd(const DecodeJob& job, std::ostream& out, std::ostream& err) {
    std::vector<base::Colour> palette = picture::GreyPalette();
    if (job.palette) {
        std::vector<std::uint8_t> bytes;
        base::FileProblem problem;
        if (base::ReadWholeFile(*job.palette, bytes, kMaxTextFile, &problem) != base::ReadStatus::Ok)
            throw base::Error("Cannot read " + base::ProblemText(problem));
        std::string why;
        auto parsed = aosd::ParseAosdPalette(bytes, job.paletteFormat, &why);
        if (!parsed) {
            err << *job.palette << ": " << why << '\n';
            return kExitFailure;
        }
        palette = std::move(*parsed);
    }
    std::vector<std::uint8_t> stream;
    base::FileProblem problem;
    if (base::ReadWholeFile(job.input, stream, kMaxImageFile, &problem) != base::ReadStatus::Ok)
        throw base::Error("Cannot read " + base::ProblemText(problem));
    aosd::AosdDecoded d = aosd::DecodeAosdImage(stream, job.aosd);
    out << base::strprintf("%s: %zu bytes, %s, %u x %u pixels x %u frame(s); %u rows decoded\n",
                           job.input.c_str(), stream.size(),
                           !job.aosd.rlc.rlc ? "raw"
                           : job.aosd.rlc.chip == aosd::ChipModel::K470A ? "RLC K470A"
                                                                         : "RLC K470E",
                           job.aosd.width, job.aosd.height, job.aosd.frames, d.rows);
    if (d.rows > 0) {
        picture::IndexedImage image;
        image.width = job.aosd.width;
        image.height = d.rows;
        image.indices = std::move(d.pixels);
        image.palette = std::move(palette);
        WriteIndexed(image, job.out, out);
    }
    if (d.failure) {
        err << job.input << ": " << *d.failure << '\n';
        if (d.rows == 0) err << "No row was decoded whole; " << job.out << " was not written\n";
        return kExitFailure;
    }
    return kExitOk;
}

int RunGlyphs(const DecodeJob& job, std::ostream& out, std::ostream& err) {
    font::GlyphsDecoded d;
    if (job.kind == DecodeJob::Kind::Bank && job.bankBinary) {
        font::BankBinaryOptions options = job.bank;
        if (job.palette) {
            std::string why;
            const auto palette = font::ParseFontPalette(ReadText(*job.palette), &why);
            if (!palette) {
                err << *job.palette << ": " << why << '\n';
                return kExitFailure;
            }
            options.palette = *palette;
        }
        std::vector<std::uint8_t> bytes;
        base::FileProblem problem;
        if (base::ReadWholeFile(job.input, bytes, kMaxTextFile, &problem) != base::ReadStatus::Ok)
            throw base::Error("Cannot read " + base::ProblemText(problem));
        d = font::DecodeBankBinary(bytes, options);
    } else {
        d = font::DecodeGlyphText(ReadText(job.input));
    }
    if (job.kind == DecodeJob::Kind::Glyph && d.glyphs.size() > 1) {
        if (!d.failure) d.failure = base::strprintf("%zu glyphs: a glyph file holds one (decode bank draws them all)",
                                                    d.glyphs.size());
        d.glyphs.resize(1);
    }
    if (!d.glyphs.empty()) {
        if (job.kind == DecodeJob::Kind::Glyph) {
            const font::GlyphNode& g = d.glyphs.front();
            out << base::strprintf("glyph %dx%d, %d bpp, %zu words\n", g.GridWidth(), g.GridHeight(), g.Bpp(),
                                   g.Words.size());
            WriteIndexed(font::GlyphIndices(g), job.out, out);
        } else {
            out << base::strprintf("%zu glyph(s)\n", d.glyphs.size());
            const font::BankPicture picture = font::BankGridPicture(d.glyphs);
            if (picture.indexed) {
                WriteIndexed(*picture.indexed, job.out, out);
            } else {
                picture::WritePngFile(job.out, picture::EncodeColourPng(picture.colour));
                out << base::strprintf("%s: %u x %u pixels, RGB (the glyphs' palettes differ)\n", job.out.c_str(),
                                       picture.colour.width, picture.colour.height);
            }
        }
    }
    if (d.failure) {
        err << job.input << ": " << *d.failure << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

int RunMerge(const DecodeJob& job, std::ostream& out, std::ostream& err) {
    MakeOutputDirectory(job.out);
    const merge::SplitResult r = merge::SplitMergedImage(job.input, job.table, job.out);
    for (const merge::SplitPiece& piece : r.written)
        out << base::strprintf("%s\t%llu\t%llu bytes\t%s\n", piece.name.c_str(),
                               static_cast<unsigned long long>(piece.offset),
                               static_cast<unsigned long long>(piece.size), piece.macro.c_str());
    out << base::strprintf("%zu file(s) written to %s\n", r.written.size(), job.out.c_str());
    for (const std::string& problem : r.problems)
        err << problem << '\n';
    if (r.failure) err << *r.failure << '\n';
    return r.failure || !r.problems.empty() ? kExitFailure : kExitOk;
}

int RunDecode(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const DecodeJob job = ParseDecodeArgs(args);
    switch (job.kind) {
    case DecodeJob::Kind::Osd:
        return RunOsd(job, out, err);
    case DecodeJob::Kind::Aosd:
        return RunAosd(job, out, err);
    case DecodeJob::Kind::Merge:
        return RunMerge(job, out, err);
    default:
        return RunGlyphs(job, out, err);
    }
}

} // namespace

const Command kDecodeCommand{
    "decode",
    {"read an output back: a PNG of what the firmware will show, or a merged image's files",
     {{"osd",
       "BASE",
       "Read BASE_MSB.bin and BASE_LSB.bin (at 2 bpp BASE_MSB.txt and BASE_LSB.txt) and BASE_R/G/B.txt and "
       "draw the cells 16 to a row, each pixel the index the data holds, in an indexed PNG whose palette is "
       "the tables' colours.",
       {{"--out", "PREVIEW.png", "the PNG written (required)"},
        {"--bpp", "1|2|4|8", "the depth the files were generated at (default 8)"},
        {"--2bpp", "", "the files hold two planes of a 4-bpp sheet (Generate to 2BPP; implies --bpp 4)"},
        {"--cell", "N", "the cell width, 12 to 16 (default 16)"},
        {"--palette", "rgb888|rgb666",
         "the form of the colour tables; RGB666 values are scaled to v x 255 / 63 (default rgb888)"}},
       ""},
      {"aosd",
       "IMAGE.bin",
       "Decode raw or RLC image data, frames one under another, into a PNG. Damaged RLC data is reported with "
       "the offset of the first byte of the failing code; the PNG holds the rows decoded before it and the "
       "exit status is 1.",
       {{"--out", "PREVIEW.png", "the PNG written (required)"},
        {"--width", "W", "the picture's width in pixels, 1 to 65535 (required)"},
        {"--height", "H", "the picture's height in pixels, 1 to 65535 (required)"},
        {"--rlc", "k470a|k470e", "the data is run-length coded for that chip (default: raw)"},
        {"--frames", "N", "the frames of a sequence file, 1 to 65535 (default 1)"},
        {"--palette", "PALETTE.bin", "the binary (.bin) or text (.txt) palette (default: index i as grey i)"},
        {"--palette-format", "rgb888|rgb666", "the form of the palette's values (default rgb888)"}},
       "bin"},
      {"glyph",
       "GLYPH_FILE",
       "Draw a glyph file with its own palette, as the firmware would draw it.",
       {{"--out", "PREVIEW.png", "the PNG written (required)"}},
       "txt"},
      {"bank",
       "FontBank.txt|FontBank.bin",
       "Draw a bank's glyphs as a grid in bank order: indexed when they share one palette, RGB otherwise. A "
       ".txt records its own geometry; a .bin takes it from the options.",
       {{"--out", "PREVIEW.png", "the PNG written (required)"},
        {"--bpp", "1|2|4|8", "the .bin's bits per pixel (default 1)"},
        {"--width", "N", "the .bin's glyph width, 12 to 64 (default 16)"},
        {"--height", "N", "the .bin's glyph height, 16 to 64 (default 16)"},
        {"--bin-sort", "half|font", "the .bin's Bin Sort (default half)"},
        {"--palette", "FILE", "the .bin's palette file (default: the Font tab's start palette)"}},
       "txt bin"},
      {"merge",
       "MERGED.BIN MERGED_TBL.TXT",
       "Split a merged image (also the AOSD tab's Merge_*.bin with Merge_tbl.txt) back into its files, each "
       "named from its symbol (PICLOGO_BIN_OFFSET: LOGO_BIN). Any disagreement between the table and the "
       "image is reported and the exit status is 1; an entry past the image's end is named.",
       {{"--out", "DIR", "the folder the files go to (required)"}},
       ""}},
     "Options mirror those of the writers; where a file records its own geometry no option is needed.",
     {"tavix-cli decode osd font/sheet --cell 12 --out sheet-preview.png"}},
    RunDecode};

} // namespace cli
