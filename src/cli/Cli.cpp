#include "cli/Cli.h"

#include "base/Error.h"
#include "bitmap/BmpLoader.h"
#include "bitmap/HeaderView.h"
#include "osd/OsdFont.h"
#include "osd/PaletteReduce.h"
#include "palette/PaletteEdit.h"
#include "palette/PaletteSave.h"
#include "shell/Settings.h"
#include "shell/Workspace.h"

#include <charconv>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>

namespace cli {

namespace {

constexpr const char* kHelp =
    "usage: tavix-cli COMMAND [ARGS]\n"
    "\n"
    "commands:\n"
    "  header FILE.bmp       print the rows of the two BMP header grids (range, value, description)\n"
    "  osd SHEET.bmp [--cell 12|13|14|15|16] [--code c|asm] [--palette rgb888|rgb666]\n"
    "      [--reduce] [--2bpp] [--out DIR] [--save-reduced OUT.bmp]\n"
    "                        write the OSD font files of a character sheet, as the OSD tab's Generate does\n"
    "  palette IN.bmp OUT.bmp [EDIT ...]\n"
    "                        edit a picture's palette and save it as an 8-bit BMP; each EDIT is one of\n"
    "                        --insert I=RRGGBB, --delete I, --swap L,R,N, --update I=RRGGBB, --invert I\n"
    "\n"
    "options:\n"
    "  --help                show this text\n"
    "  --version             print the version\n"
    "\n"
    "Exit status: 0 done, 1 the job failed (the message says why), 2 the command line is wrong.\n";

long Number(const std::string& text, long min, long max, const std::string& what) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max)
        throw UsageError{what + " must be a number from " + std::to_string(min) + " to " +
                         std::to_string(max) + ", not '" + text + "'"};
    return value;
}

base::Colour HexColour(const std::string& text, const std::string& what) {
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.size() != 6 || ec != std::errc() || end != text.data() + text.size())
        throw UsageError{what + " needs a colour RRGGBB, not '" + text + "'"};
    return base::MakeColour(static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 8),
                            static_cast<std::uint8_t>(value));
}

// The value of an option that takes one: the next argument.
const std::string& ValueOf(const std::vector<std::string>& args, size_t& i) {
    if (i + 1 >= args.size()) throw UsageError{args[i] + " needs a value"};
    return args[++i];
}

void PrintRow(std::ostream& out, const bitmap::HeaderRow& row) {
    out << row.range << '\t' << row.value << '\t' << row.description << '\n';
}

int Header(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) throw UsageError{"header takes one FILE.bmp"};
    auto bm = std::make_unique<bitmap::CurrentBitmap>();
    const auto result = bitmap::LoadBitmapFile(*bm, args[0]);
    if (!result.headersRead) {
        err << bitmap::MessageOf(result.status) << '\n';
        return kExitFailure;
    }
    // Each grid's rows, its title row first, exactly as the Bitmap Header tab shows them.
    PrintRow(out, bitmap::HeaderTitles());
    for (const auto& row : bitmap::FileHeaderRows(bm->FileHeader))
        PrintRow(out, row);
    PrintRow(out, bitmap::HeaderTitles());
    for (const auto& row : bitmap::InfoHeaderRows(bm->InfoHeader))
        PrintRow(out, row);
    return kExitOk;
}

// Opens path on the given page as File > Open would; false (with the message on err) when refused.
bool Open(shell::Workspace& ws, const std::string& path, shell::Page page, std::ostream& err) {
    const shell::OpenOutcome outcome = shell::OpenBitmap(ws, path, page);
    if (outcome.message.empty()) return true;
    err << outcome.message << '\n';
    return false;
}

int Osd(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const OsdJob job = ParseOsdArgs(args);
    if (!job.outputDirectory.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(job.outputDirectory, ec);
        if (ec) throw base::Error("Unable to create the directory " + job.outputDirectory);
    }
    auto ws = std::make_unique<shell::Workspace>();
    ws->settings.SetFontSize(job.fontSize);
    ws->settings.SetCodeFormat(job.codeFormat);
    ws->settings.SetPaletteFormat(job.paletteFormat);
    if (!Open(*ws, job.sheet, shell::Page::Osd, err)) return kExitFailure;
    if (job.reduce) {
        const int count = osd::ReducePalette(ws->bitmap, ws->osd, ws->settings.PaletteColorMask);
        out << osd::PaletteNumberText(count) << '\n';
    }

    osd::OsdOptions options;
    options.sourcePath = job.sheet;
    options.cellWidth = ws->settings.OsdCellWidth;
    options.codeFormat = ws->settings.CodeFormat;
    options.paletteFormat = ws->settings.PaletteFormat;
    options.to2Bpp = job.to2Bpp;
    options.outputDirectory = job.outputDirectory;
    const osd::GenerateResult result = osd::GenerateOsdFont(ws->bitmap, options);
    for (const std::string& note : result.notes)
        out << note << '\n';
    if (result.error) {
        err << *result.error << '\n';
        return kExitFailure;
    }
    if (!result.ran) {
        err << "Nothing generated: " << job.sheet << " is not a .bmp file\n";
        return kExitFailure;
    }
    out << result.cellCount << " cells\n";

    if (job.saveReduced) {
        palette::SaveReducedPicture(*ws, *job.saveReduced);
        out << "Saved " << *job.saveReduced << '\n';
    }
    return kExitOk;
}

int Palette(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const PaletteJob job = ParsePaletteArgs(args);
    auto ws = std::make_unique<shell::Workspace>();
    if (!Open(*ws, job.input, shell::Page::Palette, err)) return kExitFailure;
    for (const PaletteEditStep& edit : job.edits) {
        switch (edit.kind) {
        case PaletteEditStep::Kind::Insert:
            palette::PickLeft(*ws, edit.left);
            ws->palette.LeftSwatch = edit.colour;
            palette::InsertEntry(*ws);
            break;
        case PaletteEditStep::Kind::Delete:
            palette::PickLeft(*ws, edit.left);
            palette::DeleteEntry(*ws);
            break;
        case PaletteEditStep::Kind::Swap:
            palette::PickLeft(*ws, edit.left);
            palette::PickRight(*ws, edit.right);
            ws->palette.RepeatCount = edit.count;
            palette::SwapEntries(*ws);
            break;
        case PaletteEditStep::Kind::Update:
            palette::PickLeft(*ws, edit.left);
            ws->palette.LeftSwatch = edit.colour;
            palette::UpdateEntry(*ws);
            break;
        case PaletteEditStep::Kind::Invert:
            palette::PickLeft(*ws, edit.left);
            palette::InvertEntry(*ws);
            break;
        }
    }
    palette::SavePalettePicture(*ws, job.output);
    out << "Saved " << job.output << '\n';
    return kExitOk;
}

using Command = std::function<int(const std::vector<std::string>&, std::ostream&, std::ostream&)>;

const std::map<std::string, Command>& Commands() {
    static const std::map<std::string, Command> commands = {
        {"header", Header},
        {"osd", Osd},
        {"palette", Palette},
    };
    return commands;
}

} // namespace

OsdJob ParseOsdArgs(const std::vector<std::string>& args) {
    OsdJob job;
    bool haveSheet = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--cell") {
            job.fontSize = static_cast<std::int32_t>(Number(ValueOf(args, i), 12, 16, "--cell") - 12);
        } else if (a == "--code") {
            const std::string& v = ValueOf(args, i);
            if (v != "c" && v != "asm") throw UsageError{"--code takes c or asm, not '" + v + "'"};
            job.codeFormat = v == "c" ? 1 : 0;
        } else if (a == "--palette") {
            const std::string& v = ValueOf(args, i);
            if (v != "rgb888" && v != "rgb666")
                throw UsageError{"--palette takes rgb888 or rgb666, not '" + v + "'"};
            job.paletteFormat = v == "rgb888" ? 1 : 0;
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

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (args.empty()) throw UsageError{"no command given (try --help)"};
        if (args[0] == "--help" || args[0] == "-h") {
            out << kHelp;
            return kExitOk;
        }
        if (args[0] == "--version") {
            out << shell::AppVersion << '\n';
            return kExitOk;
        }
        const auto it = Commands().find(args[0]);
        if (it == Commands().end()) throw UsageError{"unknown command '" + args[0] + "' (try --help)"};
        return it->second(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
    } catch (const UsageError& e) {
        err << "tavix-cli: " << e.message << '\n';
        return kExitUsage;
    } catch (const base::Error& e) {
        err << e.what() << '\n';
        return kExitFailure;
    }
}

} // namespace cli
