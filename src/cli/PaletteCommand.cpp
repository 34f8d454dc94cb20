#include "cli/PaletteCommand.h"

#include "cli/Commands.h"
#include "palette/PaletteEdit.h"
#include "palette/PaletteOpen.h"
#include "palette/PaletteSave.h"
#include "shell/Workspace.h"

#include <memory>
#include <ostream>

namespace cli {

PaletteJob ParsePaletteArgs(const std::vector<std::string>& args) {
    PaletteJob job;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        PaletteEditStep step;
        if (a == "--insert" || a == "--update") {
            const std::string& v = ValueOf(args, i);
            const size_t eq = v.find('=');
            if (eq == std::string::npos) throw UsageError{a + " takes I=RRGGBB, not '" + v + "'"};
            step.kind = a == "--insert" ? PaletteEditStep::Kind::Insert : PaletteEditStep::Kind::Update;
            step.left = static_cast<std::uint8_t>(Number(v.substr(0, eq), 0, 255, a + " index"));
            step.colour = HexColour(v.substr(eq + 1), a);
        } else if (a == "--delete" || a == "--invert") {
            step.kind = a == "--delete" ? PaletteEditStep::Kind::Delete : PaletteEditStep::Kind::Invert;
            step.left = static_cast<std::uint8_t>(Number(ValueOf(args, i), 0, 255, a + " index"));
        } else if (a == "--swap") {
            const std::string& v = ValueOf(args, i);
            const size_t c1 = v.find(',');
            const size_t c2 = c1 == std::string::npos ? c1 : v.find(',', c1 + 1);
            if (c2 == std::string::npos) throw UsageError{"--swap takes L,R,N, not '" + v + "'"};
            step.kind = PaletteEditStep::Kind::Swap;
            step.left = static_cast<std::uint8_t>(Number(v.substr(0, c1), 0, 255, "--swap L"));
            step.right = static_cast<std::uint8_t>(Number(v.substr(c1 + 1, c2 - c1 - 1), 0, 255, "--swap R"));
            step.count = static_cast<std::uint8_t>(Number(v.substr(c2 + 1), 1, 100, "--swap N"));
        } else if (a.rfind("--", 0) == 0) {
            throw UsageError{"palette: unknown option '" + a + "'"};
        } else {
            files.push_back(a);
            continue;
        }
        job.edits.push_back(step);
    }
    if (files.size() != 2) throw UsageError{"palette takes IN.bmp and OUT.bmp"};
    job.input = files[0];
    job.output = files[1];
    return job;
}

namespace {

int RunPalette(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const PaletteJob job = ParsePaletteArgs(args);
    auto ws = std::make_unique<shell::Workspace>();
    if (!Accepted(palette::OpenPalettePicture(ws->bitmap, ws->PaletteTable, ws->palette, job.input), err))
        return kExitFailure;
    // The window's notes about the depth do not apply here: the output is always written at 8 bits.
    for (const PaletteEditStep& edit : job.edits) {
        switch (edit.kind) {
        case PaletteEditStep::Kind::Insert:
            palette::InsertEntry(ws->bitmap, ws->PaletteTable, ws->palette, edit.left, edit.colour);
            break;
        case PaletteEditStep::Kind::Delete:
            palette::DeleteEntry(ws->bitmap, ws->PaletteTable, ws->palette, edit.left);
            break;
        case PaletteEditStep::Kind::Swap:
            palette::SwapEntries(ws->bitmap, ws->PaletteTable, ws->palette, edit.left, edit.right,
                                 edit.count);
            break;
        case PaletteEditStep::Kind::Update:
            palette::UpdateEntry(ws->bitmap, ws->PaletteTable, ws->palette, edit.left, edit.colour);
            break;
        case PaletteEditStep::Kind::Invert:
            palette::InvertEntry(ws->bitmap, ws->PaletteTable, ws->palette, edit.left);
            break;
        }
    }
    palette::SavePalettePicture(ws->bitmap, ws->PaletteTable, ws->palette, job.output);
    out << "Saved " << job.output << '\n';
    return kExitOk;
}

} // namespace

const Command kPaletteCommand{
    "palette",
    {"edit a picture's palette and save it, as the Palette tab does",
     {{"",
       "IN.bmp|IN.png OUT.bmp",
       "Apply the edits to IN's palette in the order given, as the Palette tab's buttons would, and save the "
       "result as an 8-bit BMP, as File > Save does. Each edit option may be given any number of times; "
       "indexes run from 0 to 255 and colours are hexadecimal RRGGBB, red first.",
       {{"--insert", "I=RRGGBB", "insert the colour at entry I, the entries after it moving up"},
        {"--delete", "I", "delete entry I, the entries after it moving down"},
        {"--swap", "L,R,N", "exchange N entries (1 to 100) from L with as many from R"},
        {"--update", "I=RRGGBB", "set entry I to the colour"},
        {"--invert", "I", "invert entry I's colour"}},
       "bmp png"}},
     "",
     {"tavix-cli palette logo.bmp logo-new.bmp --swap 1,2,1 --update 0=FF00FF"}},
    RunPalette};

} // namespace cli
