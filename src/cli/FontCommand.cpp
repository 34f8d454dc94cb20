#include "cli/FontCommand.h"

#include "base/Error.h"
#include "base/FileProblem.h"
#include "base/OutputFile.h"
#include "base/Path.h"
#include "base/WholeFile.h"
#include "cli/Commands.h"
#include "font/BankCodeGen.h"
#include "font/BankFiles.h"
#include "font/FontState.h"
#include "font/FreeTypeRenderer.h"
#include "font/GlyphFile.h"
#include "font/TextStrings.h"

#include <cctype>
#include <memory>
#include <ostream>
#include <set>

namespace cli {

std::optional<std::pair<std::string, int>> FontFileOf(const std::string& value) {
    const auto isFile = [](const std::string& path) {
        if (path.find('/') != std::string::npos) return true;
        const std::size_t dot = path.rfind('.');
        if (dot == std::string::npos) return false;
        std::string ext = path.substr(dot);
        for (char& c : ext)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return ext == ".ttf" || ext == ".otf" || ext == ".ttc" || ext == ".otc";
    };
    const std::size_t colon = value.rfind(':');
    if (colon != std::string::npos && colon + 1 < value.size() &&
        value.find_first_not_of("0123456789", colon + 1) == std::string::npos && isFile(value.substr(0, colon))) {
        if (value.size() - colon - 1 > 4) throw UsageError{"--font: face index of '" + value + "' too large"};
        return std::make_pair(value.substr(0, colon), std::stoi(value.substr(colon + 1)));
    }
    if (isFile(value)) return std::make_pair(value, 0);
    return std::nullopt;
}

namespace {

// A strings file is the string memo's text (256 characters); this leaves room for far longer texts, but a
// file larger than this is not one.
constexpr std::size_t kMaxStringsFileBytes = 1u << 20;

// The options each subcommand takes.
const std::set<std::string> kFontOptions = {"--font", "--size", "--style", "--allow-substitute"};
const std::set<std::string> kGeometryOptions = {"--bpp", "--width", "--height", "--x-offset", "--y-offset"};
const std::set<std::string> kRenderOptions = {"--smooth", "--threshold"};

std::set<std::string> Union(std::initializer_list<std::set<std::string>> sets) {
    std::set<std::string> all;
    for (const auto& s : sets)
        all.insert(s.begin(), s.end());
    return all;
}

std::uint8_t ParseStyle(const std::string& value) {
    std::uint8_t style = 0;
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t end = std::min(value.find(',', start), value.size());
        const std::string word = base::ToLowerAscii(value.substr(start, end - start));
        if (word == "bold")
            style |= font::kBold;
        else if (word == "italic")
            style |= font::kItalic;
        else if (word == "underline")
            style |= font::kUnderline;
        else if (word == "strikeout")
            style |= font::kStrikeOut;
        else if (word != "normal")
            throw UsageError{
                "--style takes bold, italic, underline, strikeout or normal, separated by commas, not '" +
                value + "'"};
        start = end + 1;
    }
    return style;
}

// Reads the options of `allowed` into the job's parts; a word that is no option is a positional argument.
struct Parsed {
    FontBoxes boxes;
    std::vector<std::string> positional;
    std::optional<std::string> text, load, strings;
    std::optional<std::u32string> range;
    bool ascii = false, code = false, halfWord = false, strict = false;
    bool paletteGiven = false;
    settings::PaletteFormat paletteFormat = settings::PaletteFormat::Rgb888;
    std::size_t bankCount = 0;
};

Parsed ParseOptions(const std::string& sub, const std::vector<std::string>& args,
                    const std::set<std::string>& allowed) {
    Parsed p;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.rfind("--", 0) != 0) {
            p.positional.push_back(a);
            continue;
        }
        if (!allowed.count(a)) throw UsageError{"font " + sub + ": unknown option '" + a + "'"};
        if (a == "--font") {
            const std::string value = ValueOf(args, i);
            if (value.empty()) throw UsageError{"--font needs a family name or a font file"};
            if (const auto file = FontFileOf(value)) {
                p.boxes.fontFile = file->first;
                p.boxes.fontFace = file->second;
            } else {
                p.boxes.family = value;
            }
        } else if (a == "--size") {
            p.boxes.size = static_cast<std::int32_t>(Number(ValueOf(args, i), 1, 1000, "--size"));
        } else if (a == "--style") {
            p.boxes.style = ParseStyle(ValueOf(args, i));
        } else if (a == "--bpp") {
            p.boxes.colorType = Choice(a, ValueOf(args, i), {"1", "2", "4", "8"});
        } else if (a == "--width") {
            p.boxes.widthIndex =
                Choice(a, ValueOf(args, i), {font::kGridWidthItems.begin(), font::kGridWidthItems.end()});
        } else if (a == "--height") {
            p.boxes.heightIndex = Choice(a, ValueOf(args, i), {"16", "32", "48", "64"});
        } else if (a == "--x-offset") {
            p.boxes.xOffset = static_cast<int>(Number(ValueOf(args, i), -32, 32, a));
        } else if (a == "--y-offset") {
            p.boxes.yOffset = static_cast<int>(Number(ValueOf(args, i), -32, 32, a));
        } else if (a == "--bin-sort") {
            p.boxes.binSort = BinSortChoice(a, ValueOf(args, i));
        } else if (a == "--out") {
            p.boxes.outputDirectory = ValueOf(args, i);
        } else if (a == "--bank-count") {
            p.bankCount = static_cast<std::size_t>(Number(ValueOf(args, i), 0, 256, a));
        } else if (a == "--text") {
            p.text = ValueOf(args, i);
        } else if (a == "--load") {
            p.load = ValueOf(args, i);
        } else if (a == "--strings") {
            p.strings = ValueOf(args, i);
        } else if (a == "--allow-substitute") {
            p.boxes.allowSubstitute = true;
        } else if (a == "--smooth") {
            p.boxes.smooth = true;
        } else if (a == "--threshold") {
            p.boxes.threshold = static_cast<std::uint8_t>(Number(ValueOf(args, i), 0, 255, a));
        } else if (a == "--strict") {
            p.strict = true;
        } else if (a == "--ascii") {
            p.ascii = true;
        } else if (a == "--range") {
            try {
                p.range = font::ParseCharacterRanges(ValueOf(args, i));
            } catch (const base::Error& e) {
                throw UsageError{std::string("--range: ") + e.what()};
            }
        } else if (a == "--code") {
            p.code = true;
        } else if (a == "--half-word") {
            p.halfWord = true;
        } else if (a == "--palette") {
            p.paletteFormat = PaletteFormatChoice(a, ValueOf(args, i));
            p.paletteGiven = true;
        }
    }
    if (p.boxes.threshold && p.boxes.colorType != 0)
        throw UsageError{"--threshold goes with --bpp 1: deeper glyphs take their levels from --smooth"};
    return p;
}

std::string OneBankFile(const std::string& sub, const Parsed& p) {
    if (p.positional.size() != 1) throw UsageError{"font " + sub + " takes one BANK.txt"};
    return p.positional[0];
}

} // namespace

namespace {

FontGlyphJob ParseGlyphJob(const std::vector<std::string>& args) {
    const Parsed p =
        ParseOptions("glyph", args,
                     Union({kFontOptions,
                            kGeometryOptions,
                            kRenderOptions,
                            {"--text", "--load", "--bin-sort", "--bank-count", "--strict", "--out"}}));
    if (!p.positional.empty()) throw UsageError{"font glyph: unexpected argument '" + p.positional[0] + "'"};
    if (p.text.has_value() == p.load.has_value())
        throw UsageError{"font glyph needs --text TEXT or --load FILE"};
    if (p.text) {
        const std::size_t n = font::DecodeUtf8(*p.text).size();
        if (n < 1 || n > 2) throw UsageError{"--text takes one or two characters, as the entry box holds"};
    }
    if (p.load && p.strict) throw UsageError{"--strict goes with --text: a loaded glyph is not rendered"};
    if (p.load && (p.boxes.smooth || p.boxes.threshold))
        throw UsageError{"--smooth and --threshold go with --text: a loaded glyph is not rendered"};
    return FontGlyphJob{p.boxes, p.text, p.load, p.bankCount, p.strict};
}

FontBankJob ParseBankJob(const std::vector<std::string>& args) {
    const Parsed p = ParseOptions("bank", args,
                                  Union({kFontOptions,
                                         kGeometryOptions,
                                         kRenderOptions,
                                         {"--ascii", "--strings", "--range", "--bin-sort", "--code",
                                          "--half-word", "--palette", "--strict", "--out"}}));
    if (!p.positional.empty()) throw UsageError{"font bank: unexpected argument '" + p.positional[0] + "'"};
    if (int{p.ascii} + int{p.strings.has_value()} + int{p.range.has_value()} != 1)
        throw UsageError{"font bank needs one of --ascii, --strings FILE and --range LIST"};
    if (!p.code && (p.halfWord || p.paletteGiven)) throw UsageError{"--half-word and --palette need --code"};
    return FontBankJob{p.boxes, p.ascii, p.strings, p.range, p.code, p.halfWord, p.paletteFormat, p.strict};
}

} // namespace

FontJob ParseFontArgs(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"font needs glyph, bank, save or code"};
    switch (Choice("font", args[0], {"glyph", "bank", "save", "code"})) {
    case 0:
        return ParseGlyphJob(args);
    case 1:
        return ParseBankJob(args);
    case 2: {
        const Parsed p = ParseOptions("save", args, Union({kFontOptions, {"--bin-sort", "--out"}}));
        return FontSaveJob{p.boxes, OneBankFile("save", p)};
    }
    default: {
        const Parsed p = ParseOptions("code", args, {"--half-word", "--palette", "--out"});
        return FontCodeJob{OneBankFile("code", p), p.halfWord, p.paletteFormat, p.boxes.outputDirectory};
    }
    }
}

namespace {

font::FontChoice FontOf(const FontBoxes& boxes) {
    font::FontChoice choice = font::StartFont();
    if (boxes.family) choice.Family = *boxes.family;
    choice.Size = boxes.size;
    choice.Style = boxes.style;
    return choice;
}

// The boxes as a user sets them: width, height, colour type, then the offsets.
void ApplyBoxes(font::GlyphEditor& editor, const FontBoxes& boxes) {
    editor.ApplyGridWidth(boxes.widthIndex);
    editor.ApplyGridHeight(boxes.heightIndex);
    editor.ApplyColorType(boxes.colorType);
    editor.SetXOffset(boxes.xOffset);
    editor.SetYOffset(boxes.yOffset);
    editor.Smooth = boxes.smooth;
    editor.InkThreshold = boxes.threshold;
}

// FontShowProp of the boxes' font. A face that stands in for a family that is not installed is named on
// err; unless the command line allows it, that fails the job (false) before anything is written.
bool ShowFont(font::FontState& state, font::FreeTypeRenderer& renderer, const FontBoxes& boxes,
              std::ostream& err) {
    FontBoxes resolved = boxes;
    if (boxes.fontFile) resolved.family = renderer.UseFontFile(*boxes.fontFile, boxes.fontFace);
    const font::FontBoxTexts shown = font::FontShowProp(state.Editor, renderer, FontOf(resolved));
    if (shown.notes.empty()) return true;
    for (const base::Note& note : shown.notes)
        err << note.text << '\n';
    if (boxes.allowSubstitute) return true;
    err << "Nothing written: --allow-substitute renders with the font used instead\n";
    return false;
}

// Names on err what the glyphs lost. False when --strict makes that fail the job.
bool ReportRender(const font::RenderNotes& notes, const font::GlyphEditor& editor, bool strict,
                  std::ostream& err) {
    for (const std::string& line : font::RenderNoteLines(notes, editor))
        err << line << '\n';
    if (!strict || notes.Empty()) return true;
    err << "Nothing written: --strict\n";
    return false;
}

void PrintWritten(std::ostream& out, const std::vector<std::string>& names) {
    for (const std::string& name : names)
        out << "Wrote " << name << '\n';
}

// Saves the bank as its "Save" does, into outputs, adding the files it writes to written; false, with the
// message on err, when nothing or not everything was saved.
bool SaveTheBank(const font::FontState& state, settings::BinSort binSort, const std::string& dir,
                 base::OutputSet& outputs, std::vector<std::string>& written, std::ostream& err) {
    const font::BankSaveResult save =
        font::SaveBank(state.Bank, state.Editor.CurrentFont, binSort, dir, outputs, state.Editor.Smooth);
    if (!save.ran) {
        err << "The bank is empty: nothing to save\n";
        return false;
    }
    if (save.failure) {
        err << *save.failure << '\n' << base::DetailLines(save.detail);
        return false;
    }
    written.insert(written.end(), save.written.begin(), save.written.end());
    return true;
}

// Generates the code as "Code" does, into outputs, adding the files it writes to written.
bool GenerateTheCode(const font::FontState& state, bool halfWord, settings::PaletteFormat paletteFormat,
                     const std::string& dir, base::OutputSet& outputs, std::vector<std::string>& written,
                     std::ostream& out, std::ostream& err) {
    const font::CodeGenResult code =
        font::GenerateBankCode(state.Bank, halfWord, paletteFormat, dir, outputs);
    if (!code.ran) {
        err << "The bank is empty: no code generated\n";
        return false;
    }
    if (code.failure) {
        err << *code.failure << '\n' << base::DetailLines(code.detail);
        return false;
    }
    PrintNotes(code.notes, out, err);
    written.insert(written.end(), code.written.begin(), code.written.end());
    return true;
}

// Puts a job's files in place together; false, with the message on err, when they could not be (then none
// of them changed). The names written are listed once they are all in place.
bool CommitFiles(base::OutputSet& outputs, const char* message, const std::vector<std::string>& written,
                 std::ostream& out, std::ostream& err) {
    if (!outputs.Commit()) {
        err << message << '\n' << base::DetailLines({outputs.Problem()});
        return false;
    }
    PrintWritten(out, written);
    return true;
}

// Loads a bank file into the empty bank as "Load" does. False when the file could not be read; skipped
// glyphs are reported and clear `clean`.
bool LoadTheBank(font::FontState& state, const std::string& path, bool& clean, std::ostream& out,
                 std::ostream& err) {
    const font::BankLoadResult load = font::LoadBankFile(state.Bank, path, state.Editor.FontPalette);
    if (load.failure) {
        err << *load.failure << '\n' << base::DetailLines(load.detail);
        if (load.Skipped == 0) return false;
        clean = false;
    }
    // A bank saved with "Smooth" on is saved with it again, as the window's box takes it from the file.
    if (load.Smooth) state.Editor.Smooth = true;
    out << "Loaded " << load.Added << " glyphs from " << path << '\n';
    return true;
}

int RunGlyph(const FontGlyphJob& job, std::ostream& out, std::ostream& err) {
    auto state = std::make_unique<font::FontState>();
    std::unique_ptr<font::FreeTypeRenderer> renderer;
    if (job.text) {
        renderer = std::make_unique<font::FreeTypeRenderer>();
        if (!ShowFont(*state, *renderer, job.boxes, err)) return kExitFailure;
    }
    ApplyBoxes(state->Editor, job.boxes);
    if (job.text) {
        font::RenderNotes notes;
        const auto pixels = font::EnterCharacter(state->Editor, *renderer, *job.text, &notes);
        out << "Face: " << state->Editor.CurrentFont.Family << ", Pixels: " << pixels.value_or("") << '\n';
        if (!ReportRender(notes, state->Editor, job.strict, err)) return kExitFailure;
    } else {
        base::FailureDetail detail;
        if (const auto failure = font::LoadGlyphFile(state->Editor, *job.load, &detail)) {
            err << *failure << '\n' << base::DetailLines(detail);
            return kExitFailure;
        }
    }
    // The output directory is made only once the job is sure to write into it.
    MakeOutputDirectory(job.boxes.outputDirectory);
    const font::GlyphSaveResult saved =
        font::SaveGlyphFiles(state->Editor, job.bankCount, job.boxes.binSort, job.boxes.outputDirectory);
    PrintWritten(out, saved.written);
    return Report(saved.failure, saved.notes, out, err) ? kExitOk : kExitFailure;
}

int RunBank(const FontBankJob& job, std::ostream& out, std::ostream& err) {
    auto state = std::make_unique<font::FontState>();
    font::FreeTypeRenderer renderer;
    if (!ShowFont(*state, renderer, job.boxes, err)) return kExitFailure;
    ApplyBoxes(state->Editor, job.boxes);

    std::vector<std::u32string> lines;
    if (job.stringsFile) {
        std::vector<std::uint8_t> bytes;
        base::FileProblem problem;
        if (base::ReadWholeFile(*job.stringsFile, bytes, kMaxStringsFileBytes, &problem) !=
            base::ReadStatus::Ok)
            throw base::Error(base::ProblemText(problem));
        lines = font::MemoLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
    // What the glyphs will lose is known before anything is written, so that --strict writes nothing. A run
    // the bank cannot hold renders nothing, so it has nothing to report but its shortage.
    const std::u32string chars = job.ascii ? font::AsciiRunCharacters()
                                 : job.range ? *job.range
                                             : font::BuildFontDef(lines).Distinct;
    if (chars.size() <= font::FontBank::kCapacity - state->Bank.Count()) {
        const font::RenderNotes notes = font::CheckGlyphs(state->Editor, renderer, chars);
        if (!ReportRender(notes, state->Editor, job.strict, err)) return kExitFailure;
    }

    MakeOutputDirectory(job.boxes.outputDirectory);
    // Font_def.h, the bank files and the code are one job: they are replaced together, or none of them.
    base::OutputSet outputs;
    font::StringsResult filled;
    if (job.ascii) {
        filled = font::InsertAscii(state->Editor, state->Bank, renderer);
    } else if (job.range) {
        filled = font::InsertCharacters(state->Editor, state->Bank, renderer, *job.range);
    } else {
        filled = font::GenerateStrings(state->Editor, state->Bank, renderer, lines, job.boxes.outputDirectory,
                                       outputs);
        if (outputs.Failed()) {
            Report(filled.failure, filled.notes, out, err);
            return kExitFailure;
        }
    }
    const bool clean = Report(filled.failure, filled.notes, out, err);
    // A bank that cannot hold the run is not saved, nor is code made from it: nothing is written.
    if (filled.failure) return kExitFailure;
    out << "Face: " << state->Editor.CurrentFont.Family << ", " << state->Bank.Count()
        << " glyphs in the bank\n";

    std::vector<std::string> written = filled.written;
    if (!SaveTheBank(*state, job.boxes.binSort, job.boxes.outputDirectory, outputs, written, err))
        return kExitFailure;
    if (job.code && !GenerateTheCode(*state, job.halfWord, job.paletteFormat, job.boxes.outputDirectory,
                                     outputs, written, out, err))
        return kExitFailure;
    if (!CommitFiles(outputs, job.code ? font::kCodeGenFail : font::kCreateFontFileError, written, out, err))
        return kExitFailure;
    return clean ? kExitOk : kExitFailure;
}

int RunSave(const FontSaveJob& job, std::ostream& out, std::ostream& err) {
    auto state = std::make_unique<font::FontState>();
    font::FreeTypeRenderer renderer;
    if (!ShowFont(*state, renderer, job.boxes, err)) return kExitFailure;
    bool clean = true;
    if (!LoadTheBank(*state, job.bankFile, clean, out, err)) return kExitFailure;
    MakeOutputDirectory(job.boxes.outputDirectory);
    base::OutputSet outputs;
    std::vector<std::string> written;
    if (!SaveTheBank(*state, job.boxes.binSort, job.boxes.outputDirectory, outputs, written, err))
        return kExitFailure;
    if (!CommitFiles(outputs, font::kCreateFontFileError, written, out, err)) return kExitFailure;
    return clean ? kExitOk : kExitFailure;
}

int RunCode(const FontCodeJob& job, std::ostream& out, std::ostream& err) {
    MakeOutputDirectory(job.outputDirectory);
    auto state = std::make_unique<font::FontState>();
    bool clean = true;
    if (!LoadTheBank(*state, job.bankFile, clean, out, err)) return kExitFailure;
    base::OutputSet outputs;
    std::vector<std::string> written;
    if (!GenerateTheCode(*state, job.halfWord, job.paletteFormat, job.outputDirectory, outputs, written, out,
                         err))
        return kExitFailure;
    if (!CommitFiles(outputs, font::kCodeGenFail, written, out, err)) return kExitFailure;
    return clean ? kExitOk : kExitFailure;
}

int RunFont(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const FontJob job = ParseFontArgs(args);
    return std::visit(
        [&](const auto& j) -> int {
            using T = std::decay_t<decltype(j)>;
            if constexpr (std::is_same_v<T, FontGlyphJob>)
                return RunGlyph(j, out, err);
            else if constexpr (std::is_same_v<T, FontBankJob>)
                return RunBank(j, out, err);
            else if constexpr (std::is_same_v<T, FontSaveJob>)
                return RunSave(j, out, err);
            else
                return RunCode(j, out, err);
        },
        job);
}

} // namespace

namespace {

// The options of the font and of the glyph's geometry, as several forms take them.
std::vector<OptionHelp> FontOptionHelp() {
    return {{"--font", "FAMILY|FILE[:N]",
             "the font family, or a .ttf, .otf, .ttc or .otc file (face N of a collection, default 0) "
             "(default: fontconfig's sans-serif)"},
            {"--size", "PT", "the size in points, 1 to 1000 (default 10)"},
            {"--style", "bold,italic,underline,strikeout", "the style, words separated by commas (default normal)"},
            {"--allow-substitute", "",
             "render with the face that stands in for a family that is not installed (default: such a family "
             "fails the job)"}};
}

std::vector<OptionHelp> GeometryOptionHelp() {
    return {{"--bpp", "1|2|4|8", "the bits per pixel of the glyph (default 1)"},
            {"--width", "12|13|14|15|16|24|26|28|30|32|36|39|42|45|48|52|56|60|64",
             "the glyph grid's width in pixels (default 16)"},
            {"--height", "16|32|48|64", "the glyph grid's height in pixels (default 16)"},
            {"--x-offset", "N", "the glyph's X offset in pixels, -32 to 32 (default 0)"},
            {"--y-offset", "N", "the glyph's Y offset in pixels, -32 to 32 (default 0)"},
            {"--smooth", "",
             "render 2, 4 and 8 bpp glyphs anti-aliased onto a ramp of the palette from entry 0 (the "
             "background) to the last level (the ink); a bank saved so records it as ;Smooth=1 (default off)"},
            {"--threshold", "T",
             "at --bpp 1, ink exactly the pixels the text covers at least T/255, T from 0 to 255 (default: "
             "the plain rendering)"}};
}

std::vector<OptionHelp> Join(std::initializer_list<std::vector<OptionHelp>> parts) {
    std::vector<OptionHelp> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

const OptionHelp kBinSortHelp{"--bin-sort", "half|font", "the Bin Sort of the bank's binary: Half or Font (default half)"};
const OptionHelp kOutHelp{"--out", "DIR", "the folder the files go to, made when missing (default: the current folder)"};
const OptionHelp kStrictHelp{"--strict", "",
                             "fail the job before anything is written when the face lacks a character or the "
                             "glyph cuts ink off (default: they are named on stderr)"};
const OptionHelp kHalfWordHelp{"--half-word", "", "Half Word on for the code (default off)"};
const OptionHelp kPaletteHelp{"--palette", "rgb888|rgb666", "the palette's colour format (default rgb888)"};

} // namespace

const Command kFontCommand{
    "font",
    {"render glyphs, fill font banks and generate their code, as the Font tab does",
     {{"glyph",
       "(--text TEXT | --load GLYPH.txt)",
       "Render one or two characters (or load a glyph file) and write the glyph files, as the Font tab's entry "
       "box and its Save do.",
       Join({{{"--text", "TEXT", "the one or two characters to render (UTF-8)"},
              {"--load", "GLYPH.txt", "load a glyph file instead of rendering"}},
             FontOptionHelp(),
             GeometryOptionHelp(),
             {kBinSortHelp,
              {"--bank-count", "N", "the bank count in the files' names, 0 to 256 (default 0)"},
              kStrictHelp,
              kOutHelp}}),
       "txt"},
      {"bank",
       "(--ascii | --strings FILE.txt | --range LIST)",
       "Fill an empty bank with the characters 33 to 127, those of a text file's lines (writing Font_def.h "
       "too) or those a range list names, save it as FontBank.txt and FontBank.bin and, with --code, "
       "generate its code.",
       Join({{{"--ascii", "", "the characters 33 to 127, as Ascii does"},
              {"--strings", "FILE.txt", "the characters of the UTF-8 file's lines, as Generate does"},
              {"--range", "LIST",
               "code points, hexadecimal or decimal, single or FIRST-LAST, separated by commas "
               "(0x20-0x7E,0xA0-0xFF,8592), in their order, each once"}},
             FontOptionHelp(),
             GeometryOptionHelp(),
             {kBinSortHelp,
              {"--code", "", "generate Font.c, Font.h, the listings, the binaries and Palette.txt too"},
              kHalfWordHelp,
              kPaletteHelp,
              kStrictHelp,
              kOutHelp}}),
       "txt"},
      {"save",
       "BANK.txt",
       "Load a bank file and save it again as FontBank.txt and FontBank.bin, its font lines naming the font "
       "given.",
       Join({FontOptionHelp(), {kBinSortHelp, kOutHelp}}),
       "txt"},
      {"code",
       "BANK.txt",
       "Generate Font.c, Font.h, the listings, the binaries and the merged palette of a bank file.",
       {kHalfWordHelp, kPaletteHelp, kOutHelp},
       "txt"}},
     "A run with more characters than the bank has free places (256) writes nothing and exits 1 with \"Font "
     "Bank Full !!!\".",
     {"tavix-cli font bank --range 0x20-0x7E --font \"DejaVu Sans\" --size 12 --code --out font"}},
    RunFont};

} // namespace cli
