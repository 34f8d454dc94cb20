#include "cli/FontCommand.h"

#include "base/Error.h"
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

#include <memory>
#include <ostream>
#include <set>

namespace cli {

namespace {

// A strings file is the string memo's text (256 characters); this leaves room for far longer texts, but a
// file larger than this is not one.
constexpr std::size_t kMaxStringsFileBytes = 1u << 20;

// The options each subcommand takes.
const std::set<std::string> kFontOptions = {"--font", "--size", "--style"};
const std::set<std::string> kGeometryOptions = {"--bpp", "--width", "--height", "--x-offset", "--y-offset"};

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
    bool ascii = false, code = false, halfWord = false;
    bool paletteGiven = false;
    std::int32_t paletteFormat = 1;
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
            p.boxes.family = ValueOf(args, i);
            if (p.boxes.family->empty()) throw UsageError{"--font needs a family name"};
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
            p.boxes.binSort = Choice(a, ValueOf(args, i), {"half", "font"});
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
        } else if (a == "--ascii") {
            p.ascii = true;
        } else if (a == "--code") {
            p.code = true;
        } else if (a == "--half-word") {
            p.halfWord = true;
        } else if (a == "--palette") {
            p.paletteFormat = Choice(a, ValueOf(args, i), {"rgb666", "rgb888"});
            p.paletteGiven = true;
        }
    }
    return p;
}

std::string OneBankFile(const std::string& sub, const Parsed& p) {
    if (p.positional.size() != 1) throw UsageError{"font " + sub + " takes one BANK.txt"};
    return p.positional[0];
}

} // namespace

FontJob ParseFontArgs(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"font needs glyph, bank, save or code"};
    const std::string& sub = args[0];
    if (sub == "glyph") {
        const Parsed p = ParseOptions(sub, args,
                                      Union({kFontOptions,
                                             kGeometryOptions,
                                             {"--text", "--load", "--bin-sort", "--bank-count", "--out"}}));
        if (!p.positional.empty())
            throw UsageError{"font glyph: unexpected argument '" + p.positional[0] + "'"};
        if (p.text.has_value() == p.load.has_value())
            throw UsageError{"font glyph needs --text TEXT or --load FILE"};
        if (p.text) {
            const std::size_t n = font::DecodeUtf8(*p.text).size();
            if (n < 1 || n > 2)
                throw UsageError{"--text takes one or two characters, as the entry box holds"};
        }
        return FontGlyphJob{p.boxes, p.text, p.load, p.bankCount};
    }
    if (sub == "bank") {
        const Parsed p = ParseOptions(
            sub, args,
            Union({kFontOptions,
                   kGeometryOptions,
                   {"--ascii", "--strings", "--bin-sort", "--code", "--half-word", "--palette", "--out"}}));
        if (!p.positional.empty())
            throw UsageError{"font bank: unexpected argument '" + p.positional[0] + "'"};
        if (p.ascii == p.strings.has_value()) throw UsageError{"font bank needs --ascii or --strings FILE"};
        if (!p.code && (p.halfWord || p.paletteGiven))
            throw UsageError{"--half-word and --palette need --code"};
        return FontBankJob{p.boxes, p.ascii, p.strings, p.code, p.halfWord, p.paletteFormat};
    }
    if (sub == "save") {
        const Parsed p = ParseOptions(sub, args, Union({kFontOptions, {"--bin-sort", "--out"}}));
        return FontSaveJob{p.boxes, OneBankFile(sub, p)};
    }
    if (sub == "code") {
        const Parsed p = ParseOptions(sub, args, {"--half-word", "--palette", "--out"});
        return FontCodeJob{OneBankFile(sub, p), p.halfWord, p.paletteFormat, p.boxes.outputDirectory};
    }
    throw UsageError{"font takes glyph, bank, save or code, not '" + sub + "'"};
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
}

// Prints the messages the window would show with DialogPrintError; true when there were none.
bool Report(const std::vector<std::string>& messages, std::ostream& err) {
    for (const std::string& m : messages)
        err << m << '\n';
    return messages.empty();
}

void PrintWritten(std::ostream& out, std::initializer_list<const char*> names) {
    for (const char* name : names)
        out << "Wrote " << name << '\n';
}

// Saves the bank as its "Save" does, into outputs; false, with the message on err, when nothing or not
// everything was saved.
bool SaveTheBank(const font::FontState& state, std::int32_t binSort, const std::string& dir,
                 base::OutputSet& outputs, std::ostream& err) {
    const font::BankSaveResult save =
        font::SaveBank(state.Bank, state.Editor.CurrentFont, binSort, dir, outputs);
    if (!save.Ran) {
        err << "The bank is empty: nothing to save\n";
        return false;
    }
    if (save.failure) {
        err << *save.failure << '\n';
        return false;
    }
    return true;
}

bool GenerateTheCode(const font::FontState& state, bool halfWord, std::int32_t paletteFormat,
                     const std::string& dir, base::OutputSet& outputs, std::ostream& out, std::ostream& err) {
    const font::CodeGenResult code =
        font::GenerateBankCode(state.Bank, halfWord, paletteFormat, dir, outputs);
    if (!code.Ran) {
        err << "The bank is empty: no code generated\n";
        return false;
    }
    if (code.failure) {
        err << *code.failure << '\n';
        return false;
    }
    if (!code.Note.empty()) out << code.Note << '\n';
    return true;
}

// Puts a job's files in place together; false, with the message on err, when they could not be (then none
// of them changed). The names written are listed once they are all in place.
bool CommitFiles(base::OutputSet& outputs, const char* message, std::initializer_list<const char*> names,
                 std::ostream& out, std::ostream& err) {
    if (!outputs.Commit()) {
        err << base::WithReason(message, outputs.FailureText()) << '\n';
        return false;
    }
    PrintWritten(out, names);
    return true;
}

constexpr std::initializer_list<const char*> kBankFiles = {font::kBankTextName, font::kBankBinaryName};
constexpr std::initializer_list<const char*> kCodeFiles = {"Font.c",       "Font.h",      "Font_Msb.txt",
                                                           "Font_Lsb.txt", "Palette.txt", "__TMP__.TXT",
                                                           "FONT_MSB.BIN", "FONT_LSB.BIN"};

// Loads a bank file into the empty bank as "Load" does. False when the file could not be read; skipped
// glyphs are reported and clear `clean`.
bool LoadTheBank(font::FontState& state, const std::string& path, bool& clean, std::ostream& out,
                 std::ostream& err) {
    const font::BankLoadResult load = font::LoadBankFile(state.Bank, path, state.Editor.FontPalette);
    if (load.failure) {
        err << *load.failure << '\n';
        if (load.Skipped == 0) return false;
        clean = false;
    }
    out << "Loaded " << load.Added << " glyphs from " << path << '\n';
    return true;
}

int RunGlyph(const FontGlyphJob& job, std::ostream& out, std::ostream& err) {
    MakeOutputDirectory(job.boxes.outputDirectory);
    auto state = std::make_unique<font::FontState>();
    std::unique_ptr<font::FreeTypeRenderer> renderer;
    if (job.text) {
        renderer = std::make_unique<font::FreeTypeRenderer>();
        font::FontShowProp(state->Editor, *renderer, FontOf(job.boxes));
    }
    ApplyBoxes(state->Editor, job.boxes);
    if (job.text) {
        const auto pixels = font::EnterCharacter(state->Editor, *renderer, *job.text);
        out << "Face: " << state->Editor.CurrentFont.Family << ", Pixels: " << pixels.value_or("") << '\n';
    } else if (const auto failure = font::LoadGlyphFile(state->Editor, *job.load)) {
        err << *failure << '\n';
        return kExitFailure;
    }
    const font::GlyphSaveResult saved =
        font::SaveGlyphFiles(state->Editor, job.bankCount, job.boxes.binSort, job.boxes.outputDirectory);
    for (const std::string& name : saved.Written)
        out << "Wrote " << name << '\n';
    return Report(saved.failures, err) ? kExitOk : kExitFailure;
}

int RunBank(const FontBankJob& job, std::ostream& out, std::ostream& err) {
    MakeOutputDirectory(job.boxes.outputDirectory);
    auto state = std::make_unique<font::FontState>();
    font::FreeTypeRenderer renderer;
    font::FontShowProp(state->Editor, renderer, FontOf(job.boxes));
    ApplyBoxes(state->Editor, job.boxes);

    // Font_def.h, the bank files and the code are one job: they are replaced together, or none of them.
    base::OutputSet outputs;
    font::StringsResult filled;
    if (job.ascii) {
        filled = font::InsertAscii(state->Editor, state->Bank, renderer);
    } else {
        std::vector<std::uint8_t> bytes;
        std::string reason;
        if (base::ReadWholeFile(*job.stringsFile, bytes, kMaxStringsFileBytes, &reason) !=
            base::ReadStatus::Ok)
            throw base::Error(reason);
        const std::vector<std::u32string> lines =
            font::MemoLines(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
        filled = font::GenerateStrings(state->Editor, state->Bank, renderer, lines, job.boxes.outputDirectory,
                                       outputs);
        if (outputs.Failed()) {
            Report(filled.Messages, err);
            return kExitFailure;
        }
    }
    const bool clean = Report(filled.Messages, err);
    out << "Face: " << state->Editor.CurrentFont.Family << ", " << state->Bank.Count()
        << " glyphs in the bank\n";

    if (!SaveTheBank(*state, job.boxes.binSort, job.boxes.outputDirectory, outputs, err)) return kExitFailure;
    if (job.code && !GenerateTheCode(*state, job.halfWord, job.paletteFormat, job.boxes.outputDirectory,
                                     outputs, out, err))
        return kExitFailure;
    if (!outputs.Commit()) {
        err << base::WithReason(job.code ? font::kCodeGenFail : font::kCreateFontFileError,
                                outputs.FailureText())
            << '\n';
        return kExitFailure;
    }
    if (!job.ascii) PrintWritten(out, {font::kFontDefName});
    PrintWritten(out, kBankFiles);
    if (job.code) PrintWritten(out, kCodeFiles);
    return clean ? kExitOk : kExitFailure;
}

int RunSave(const FontSaveJob& job, std::ostream& out, std::ostream& err) {
    MakeOutputDirectory(job.boxes.outputDirectory);
    auto state = std::make_unique<font::FontState>();
    font::FreeTypeRenderer renderer;
    font::FontShowProp(state->Editor, renderer, FontOf(job.boxes));
    bool clean = true;
    if (!LoadTheBank(*state, job.bankFile, clean, out, err)) return kExitFailure;
    base::OutputSet outputs;
    if (!SaveTheBank(*state, job.boxes.binSort, job.boxes.outputDirectory, outputs, err)) return kExitFailure;
    if (!CommitFiles(outputs, font::kCreateFontFileError, kBankFiles, out, err)) return kExitFailure;
    return clean ? kExitOk : kExitFailure;
}

int RunCode(const FontCodeJob& job, std::ostream& out, std::ostream& err) {
    MakeOutputDirectory(job.outputDirectory);
    auto state = std::make_unique<font::FontState>();
    bool clean = true;
    if (!LoadTheBank(*state, job.bankFile, clean, out, err)) return kExitFailure;
    base::OutputSet outputs;
    if (!GenerateTheCode(*state, job.halfWord, job.paletteFormat, job.outputDirectory, outputs, out, err))
        return kExitFailure;
    if (!CommitFiles(outputs, font::kCodeGenFail, kCodeFiles, out, err)) return kExitFailure;
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

const Command kFontCommand{
    "font",
    "  font glyph (--text TEXT | --load GLYPH.txt) [--font FAMILY] [--size PT]\n"
    "      [--style bold,italic,underline,strikeout] [--bpp 1|2|4|8] [--width 12|13|...|64]\n"
    "      [--height 16|32|48|64] [--x-offset N] [--y-offset N] [--bin-sort half|font] [--bank-count N]\n"
    "      [--out DIR]\n"
    "                        render one or two characters (or load a glyph file) and write the glyph files,\n"
    "                        as the Font tab's entry box and its Save do\n"
    "  font bank (--ascii | --strings FILE) [FONT and GEOMETRY options as for font glyph]\n"
    "      [--bin-sort half|font] [--code [--half-word] [--palette rgb888|rgb666]] [--out DIR]\n"
    "                        fill a bank with the characters 33..127 or those of FILE's lines (writing\n"
    "                        Font_def.h), save it as FontBank.txt and FontBank.bin, and generate its code\n"
    "  font save BANK.txt [--font FAMILY] [--size PT] [--style ...] [--bin-sort half|font] [--out DIR]\n"
    "                        load a bank file and save it again, its font lines naming the font given\n"
    "  font code BANK.txt [--half-word] [--palette rgb888|rgb666] [--out DIR]\n"
    "                        generate Font.c, Font.h, the listings, the binaries and the merged palette\n",
    RunFont};

} // namespace cli
