#include "cli/AosdCommand.h"

#include "aosd/AosdMerge.h"
#include "aosd/AosdState.h"
#include "aosd/AosdWriters.h"
#include "base/Path.h"
#include "cli/Commands.h"
#include "picture/PngReader.h"

#include <ostream>

namespace cli {

AosdJob ParseAosdArgs(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"aosd needs image, sequence, palette or merge"};
    AosdJob job;
    job.kind = static_cast<AosdJob::Kind>(Choice("aosd", args[0], {"image", "sequence", "palette", "merge"}));
    const std::string& verb = args[0];
    std::vector<std::string> operands;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool writesImages = job.kind == AosdJob::Kind::Image || job.kind == AosdJob::Kind::Sequence;
        if (a == "--rlc" && writesImages) {
            job.rlc.rlc = true;
            job.rlc.chip = Choice("--rlc", ValueOf(args, i), {"k470a", "k470e"}) == 0
                               ? aosd::ChipModel::K470A
                               : aosd::ChipModel::K470E;
        } else if (a == "--hex" && job.kind == AosdJob::Kind::Palette) {
            job.hex = true;
        } else if (a == "--palette" && job.kind == AosdJob::Kind::Palette) {
            job.paletteFormat = PaletteFormatChoice(a, ValueOf(args, i));
        } else if (a.rfind("--", 0) == 0) {
            throw UsageError{"aosd " + verb + ": unknown option '" + a + "'"};
        } else {
            operands.push_back(a);
        }
    }
    switch (job.kind) {
    case AosdJob::Kind::Image:
    case AosdJob::Kind::Palette:
        if (operands.size() != 2) throw UsageError{"aosd " + verb + " takes IN.bmp and OUT"};
        job.picture = operands[0];
        job.output = operands[1];
        break;
    case AosdJob::Kind::Sequence:
        if (operands.size() != 3) throw UsageError{"aosd sequence takes FIRST.bmp, COUNT and OUT"};
        job.picture = operands[0];
        job.count = static_cast<std::uint16_t>(Number(operands[1], 2, 999, "COUNT"));
        job.output = operands[2];
        break;
    case AosdJob::Kind::Merge:
        if (operands.empty()) throw UsageError{"aosd merge needs at least one SRC"};
        job.sources = operands;
        break;
    }
    return job;
}

namespace {

void PrintPicture(std::ostream& out, const std::string& fileName, unsigned width, unsigned height) {
    out << "File Name: " << fileName << "\nImage Width: " << width << "\nImage Height: " << height << '\n';
}

void PrintWrite(std::ostream& out, const aosd::ImageWriteResult& result) {
    PrintPicture(out, result.fileName, result.width, result.height);
    out << "Write Size: " << result.writeSize
        << "\nCompress Percent: " << aosd::CompressPercentText(result.rawSize, result.writeSize) << '\n';
}

int RunAosd(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const AosdJob job = ParseAosdArgs(args);
    aosd::AosdState state;
    if (job.kind == AosdJob::Kind::Merge) {
        // One run, one job: a source that fails leaves the merge file and its table as they were.
        const aosd::MergeResult result = aosd::MergeBinFiles(state.merge, job.sources, true);
        if (result.failure) {
            err << *result.failure << '\n';
            return kExitFailure;
        }
        for (const aosd::MergedSource& merged : result.merged)
            out << "File Name: " << merged.fileName << "\nWrite Size: " << merged.mergedSize << '\n';
        return kExitOk;
    }

    aosd::PaletteTable table{};
    const std::string count = job.kind == AosdJob::Kind::Sequence ? std::to_string(job.count) : "1";
    const aosd::OpenPictureOutcome opened = aosd::OpenAosdPicture(state, table, job.picture, count);
    if (opened.failure) {
        err << *opened.failure << '\n';
        if (opened.deep && picture::IsPngPicture({}, job.picture)) err << kPngDepthHint << '\n';
        return kExitFailure;
    }
    if (job.kind == AosdJob::Kind::Palette) {
        aosd::WriteAosdPalette(state, table, job.paletteFormat, job.hex, job.output);
        PrintPicture(out, base::FileNameOf(state.AosdPicturePath), state.picture.width, state.picture.height);
        return kExitOk;
    }
    const aosd::ImageWriteResult result = job.kind == AosdJob::Kind::Image
                                              ? aosd::WriteAosdImage(state, job.rlc, job.output)
                                              : aosd::WriteAosdSequence(state, job.rlc, job.output);
    if (result.failure) {
        err << *result.failure << '\n';
        return kExitFailure;
    }
    PrintWrite(out, result);
    if (result.changedPixels > 0) err << aosd::ChangedPixelsNote(result.changedPixels) << '\n';
    return kExitOk;
}

} // namespace

const Command kAosdCommand{
    "aosd",
    {"write AOSD image data (raw or RLC), palettes and merge files, as the AOSD tab does",
     {{"image",
       "IN.bmp|IN.png OUT",
       "Write a picture's image data, raw or RLC-coded for the chosen chip model.",
       {{"--rlc", "k470a|k470e", "RLC-code the data for that chip model (default: raw data)"}},
       "bmp png"},
      {"sequence",
       "FIRST.bmp COUNT OUT",
       "Write COUNT (2 to 999) numbered pictures starting at FIRST back to back, skipping missing members.",
       {{"--rlc", "k470a|k470e", "RLC-code the data for that chip model (default: raw data)"}},
       "bmp png"},
      {"palette",
       "IN.bmp|IN.png OUT",
       "Write the picture's 768-byte planar palette, or with --hex its text form.",
       {{"--hex", "", "write the palette as text (default: binary)"},
        {"--palette", "rgb888|rgb666", "the text form's colour format (default rgb888)"}},
       "bmp png"},
      {"merge",
       "SRC...",
       "Start a new merge file with the first SRC and append the others, writing their offset table "
       "Merge_tbl.txt, as \"Merge Bin Files\" does across clicks.",
       {},
       "bin"}},
     "An OUT without a dot gets \".bin\" (\".txt\" with --hex). RLC has no code for index 255, which is "
     "written as 254; how many pixels that changed goes to stderr and the exit status stays 0.",
     {"tavix-cli aosd image logo.bmp logo --rlc k470e", "tavix-cli aosd merge logo.bin menu.bin"}},
    RunAosd};

} // namespace cli
