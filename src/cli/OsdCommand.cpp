#include "cli/OsdCommand.h"

#include "base/FileProblem.h"
#include "cli/Commands.h"
#include "osd/OsdFont.h"
#include "osd/OsdOpen.h"
#include "osd/PaletteReduce.h"
#include "osd/ReducedSave.h"
#include "shell/Workspace.h"

#include <memory>
#include <ostream>

namespace cli {

OsdJob ParseOsdArgs(const std::vector<std::string>& args) {
    OsdJob job;
    bool haveSheet = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--cell") {
            job.fontSize = settings::FontSize::OfWidth(static_cast<int>(Number(ValueOf(args, i), 12, 16, a)));
        } else if (a == "--code") {
            job.codeFormat = CodeFormatChoice(a, ValueOf(args, i));
        } else if (a == "--palette") {
            job.paletteFormat = PaletteFormatChoice(a, ValueOf(args, i));
        } else if (a == "--reduce") {
            job.reduce = true;
        } else if (a == "--2bpp") {
            job.to2Bpp = true;
        } else if (a == "--out") {
            job.outputDirectory = ValueOf(args, i);
        } else if (a == "--save-reduced") {
            job.saveReduced = ValueOf(args, i);
        } else if (a.rfind("--", 0) == 0) {
            throw UsageError{"osd: unknown option '" + a + "'"};
        } else if (!haveSheet) {
            job.sheet = a;
            haveSheet = true;
        } else {
            throw UsageError{"osd takes one SHEET.bmp"};
        }
    }
    if (!haveSheet) throw UsageError{"osd needs a SHEET.bmp"};
    return job;
}

namespace {

int RunOsd(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const OsdJob job = ParseOsdArgs(args);
    MakeOutputDirectory(job.outputDirectory);
    auto ws = std::make_unique<shell::Workspace>();
    ws->settings.SetFontSize(job.fontSize);
    ws->settings.SetCodeFormat(job.codeFormat);
    ws->settings.SetPaletteFormat(job.paletteFormat);
    // Only a reduction looks at the picture's colours. Without one Generate works from the current bitmap
    // alone, and the sheet is decoded only as far as it takes to refuse what the window refuses.
    const picture::PictureParts parts = job.reduce || job.saveReduced ? picture::PictureParts::All
                                                                       : picture::PictureParts::Checked;
    if (!Accepted(osd::OpenSheet(ws->bitmap, ws->osd, job.sheet, parts), err)) return kExitFailure;
    if (job.reduce) {
        const int count = osd::ReducePalette(ws->bitmap, ws->osd, ws->settings.PaletteColorMask());
        out << osd::PaletteNumberText(count) << '\n';
    }

    // The font files and the reduced picture are one job: all of them are replaced at the end, or none.
    base::OutputSet outputs;
    const osd::OsdOptions options =
        osd::MakeOsdOptions(ws->settings, job.sheet, job.to2Bpp, job.outputDirectory);
    const osd::GenerateResult result = osd::GenerateOsdFont(ws->bitmap, options, outputs);
    if (result.failure) {
        err << *result.failure << '\n';
        return kExitFailure;
    }
    if (!result.ran) {
        err << "Nothing generated: " << job.sheet << " is not a .bmp or .png file\n";
        return kExitFailure;
    }
    if (job.saveReduced)
        osd::SaveReducedPicture(ws->bitmap, ws->osd, ws->settings.PaletteColorMask(), *job.saveReduced,
                                outputs);
    if (!outputs.Commit()) {
        err << base::ProblemText(outputs.Problem()) << '\n';
        return kExitFailure;
    }
    PrintNotes(result.notes, out, err);
    out << result.cellCount << " cells\n";
    if (job.saveReduced) out << "Saved " << *job.saveReduced << '\n';
    return kExitOk;
}

} // namespace

const Command kOsdCommand{
    "osd",
    {"write the OSD font files of a character sheet, as the OSD tab's Generate does",
     {{"",
       "SHEET.bmp|SHEET.png",
       "Write the OSD font files of a character sheet, as the OSD tab's Generate does: the palette tables, "
       "the MSB and LSB planes as binary and text, and SHEET.C, all named after the sheet.",
       {{"--cell", "12|13|14|15|16", "the cell width in pixels, from 12 x 16 to 16 x 16 (default 16)"},
        {"--code", "c|asm", "the form of the palette tables' items: C (0x1F,) or assembler (01Fh,) (default c)"},
        {"--palette", "rgb888|rgb666", "the palette tables' colour format (default rgb888)"},
        {"--reduce", "",
         "reduce the palette first, as Reduce Palette does: the tables hold the reduced palette that the "
         "renumbered pixels index (default off)"},
        {"--2bpp", "", "write the 2BPP output too (default off)"},
        {"--out", "DIR", "the folder the files go to, made when missing (default: the current folder)"},
        {"--save-reduced", "OUT.bmp", "save the picture with its reduced palette as an 8-bit BMP too"}},
       "bmp png"}},
     "",
     {"tavix-cli osd sheet.bmp --cell 12 --palette rgb666 --out osd"}},
    RunOsd};

} // namespace cli
