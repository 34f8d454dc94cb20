#include "cli/BuildProject.h"

#include "aosd/AosdMerge.h"
#include "aosd/AosdWriters.h"
#include "base/FileProblem.h"
#include "base/Path.h"
#include "base/WholeFile.h"
#include "cli/AosdCommand.h"
#include "cli/Commands.h"
#include "cli/FontCommand.h"
#include "cli/MergeCommand.h"
#include "cli/OsdCommand.h"
#include "cli/PaletteCommand.h"
#include "cli/WavCommand.h"
#include "merge/MergeWriter.h"

// toml++'s internal checks are for its own developers; the library as distributions build it has them off. On,
// they abort the process on some malformed projects the parser goes on to refuse with an error: a user's project
// file is input, and a refusal is what it gets.
#define TOML_ASSERT(expr) static_assert(true)
#include <toml++/toml.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <set>

namespace cli {

namespace {

// A project file larger than this is not one: a project lists jobs, not data.
constexpr std::size_t kMaxProjectBytes = 4u << 20;

// Where a table's `out` goes on its command line.
enum class OutPlace {
    Operand,      // an operand after the inputs (aosd image IN OUT)
    FolderOption, // --out DIR
    FirstOperand, // before the inputs (merge OUT FILE...)
    None,         // the command names its outputs itself (aosd merge)
};

// The shape of one kind of table: which command runs it and where its input, inputs, count and out go on
// that command's line. Every other key is an option of the command and is checked by the command's parser.
struct JobKind {
    const char* table;
    const Command* command;
    void (*parse)(const std::vector<std::string>&); // the command's parser; throws UsageError
    std::vector<std::string> words = {};            // after the command's name
    OutPlace out = OutPlace::Operand;
    const char* inputOption = nullptr; // the option that takes `input`; nullptr: an operand
    bool manyInputs = false;           // `inputs` (a list) instead of `input`
    bool inputRequired = true;
    bool count = false; // COUNT follows the input
    bool edits = false; // palette edits
};

template <typename Job, Job (*Parse)(const std::vector<std::string>&)>
void ParseOnly(const std::vector<std::string>& a) {
    Parse(a);
}

const std::vector<JobKind>& Kinds() {
    static const std::vector<JobKind> kinds = {
        {.table = "osd",
         .command = &kOsdCommand,
         .parse = ParseOnly<OsdJob, ParseOsdArgs>,
         .out = OutPlace::FolderOption},
        {.table = "palette",
         .command = &kPaletteCommand,
         .parse = ParseOnly<PaletteJob, ParsePaletteArgs>,
         .edits = true},
        {.table = "font_bank",
         .command = &kFontCommand,
         .parse = ParseOnly<FontJob, ParseFontArgs>,
         .words = {"bank"},
         .out = OutPlace::FolderOption,
         .inputOption = "--strings",
         .inputRequired = false},
        {.table = "font_glyph",
         .command = &kFontCommand,
         .parse = ParseOnly<FontJob, ParseFontArgs>,
         .words = {"glyph"},
         .out = OutPlace::FolderOption,
         .inputOption = "--load",
         .inputRequired = false},
        {.table = "aosd_image",
         .command = &kAosdCommand,
         .parse = ParseOnly<AosdJob, ParseAosdArgs>,
         .words = {"image"}},
        {.table = "aosd_sequence",
         .command = &kAosdCommand,
         .parse = ParseOnly<AosdJob, ParseAosdArgs>,
         .words = {"sequence"},
         .count = true},
        {.table = "aosd_palette",
         .command = &kAosdCommand,
         .parse = ParseOnly<AosdJob, ParseAosdArgs>,
         .words = {"palette"}},
        {.table = "wav_resample",
         .command = &kWavCommand,
         .parse = ParseOnly<WavJob, ParseWavArgs>,
         .words = {"resample"}},
        {.table = "wav_strip",
         .command = &kWavCommand,
         .parse = ParseOnly<WavJob, ParseWavArgs>,
         .words = {"strip"}},
        {.table = "aosd_merge",
         .command = &kAosdCommand,
         .parse = ParseOnly<AosdJob, ParseAosdArgs>,
         .words = {"merge"},
         .out = OutPlace::None,
         .manyInputs = true},
        {.table = "merge",
         .command = &kMergeCommand,
         .parse = ParseOnly<MergeJob, ParseMergeArgs>,
         .out = OutPlace::FirstOperand,
         .manyInputs = true,
         .inputRequired = false},
    };
    return kinds;
}

// Options whose value names a file, read or written: taken relative to the project file, like input and out.
const std::set<std::string> kPathOptions = {"save-reduced", "list", "strings", "load"};

// What the build itself reads from a table; every other key is an option of the command.
const std::set<std::string> kJobKeys = {"name", "input", "inputs", "out", "count", "edits"};

std::size_t LineOf(const toml::source_region& source) {
    return static_cast<std::size_t>(source.begin.line);
}

// Collects the problems of a project file, each with its line.
class Problems {
public:
    explicit Problems(std::string path) : path_(std::move(path)) {}
    void Add(std::size_t line, const std::string& text) {
        lines_.emplace_back(line, path_ + ":" + std::to_string(line) + ": " + text);
    }
    void Add(const std::string& text) { lines_.emplace_back(0, path_ + ": " + text); }
    bool Any() const { return !lines_.empty(); }
    // In the order of the file (a table's keys are read in the order of their names).
    [[noreturn]] void Throw() {
        std::stable_sort(lines_.begin(), lines_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        ProjectError error;
        for (auto& [line, text] : lines_)
            error.lines.push_back(std::move(text));
        throw error;
    }

private:
    std::string path_;
    std::vector<std::pair<std::size_t, std::string>> lines_;
};

// What the parser said of a command line it refused: its message (empty when it took the line) and, for a
// number out of range or a word none of a choice's, what the option takes.
struct Refused {
    std::string message;
    std::optional<NumberError> number;
    std::optional<ChoiceError> choice;
    bool Any() const { return !message.empty(); }
};

Refused Refusal(const JobKind& kind, const std::vector<std::string>& args) {
    Refused refused;
    try {
        kind.parse(args);
        return refused;
    } catch (const NumberError& e) {
        refused.number = e;
        refused.message = e.message;
    } catch (const ChoiceError& e) {
        refused.choice = e;
        refused.message = e.message;
    } catch (const UsageError& e) {
        refused.message = e.message;
    }
    if (refused.message.empty()) refused.message = "refused";
    return refused;
}

// What the value of a number or choice option must be, as the project file says it: "one of 12..16", "one
// of 1, 2, 4, 8", "one of "k470a", "k470e"". A choice of numbers is written as numbers.
struct ValueShape {
    std::optional<NumberError> number;
    std::optional<ChoiceError> choice;

    bool Numeric() const {
        if (number) return true;
        if (!choice) return false;
        for (const std::string& c : choice->choices)
            if (c.empty() || c.find_first_not_of("0123456789") != std::string::npos) return false;
        return true;
    }
    std::string Text() const {
        if (number) return "one of " + std::to_string(number->min) + ".." + std::to_string(number->max);
        std::string list;
        for (const std::string& c : choice->choices)
            list += (list.empty() ? "" : ", ") + (Numeric() ? c : "\"" + c + "\"");
        return "one of " + list;
    }
    bool Takes(const std::string& value) const {
        if (choice)
            return std::find(choice->choices.begin(), choice->choices.end(), value) != choice->choices.end();
        long n = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
        return ec == std::errc() && end == value.data() + value.size() && n >= number->min &&
               n <= number->max;
    }
};

// The shape of option's value, asked of the parser with a value no number and no choice is; nullopt for
// an option that takes any text (a family, a list of ranges). The refusal counts only where it is the
// option's own (a line may hold another fault that the parser finds later).
std::optional<ValueShape> ShapeOf(const JobKind& kind, std::vector<std::string> line,
                                  const std::string& option) {
    line.push_back(option);
    line.push_back("?");
    const Refused refused = Refusal(kind, line);
    if (refused.message.rfind(option + " ", 0) != 0) return std::nullopt;
    if (refused.number) return ValueShape{refused.number, std::nullopt};
    if (refused.choice) return ValueShape{std::nullopt, refused.choice};
    return std::nullopt;
}

// A TOML value as the project file writes it, for messages.
std::string Written(const toml::node& node) {
    if (const auto* s = node.as_string()) return "\"" + s->get() + "\"";
    if (const auto* n = node.as_integer()) return std::to_string(n->get());
    if (const auto* b = node.as_boolean()) return b->get() ? "true" : "false";
    if (node.is_floating_point()) return "a number with a fraction";
    if (node.is_array()) return "a list";
    if (node.is_table()) return "a table";
    return "a date or a time";
}

// Whether text names the option --key (and not a longer option that starts the same).
bool Names(const std::string& text, const std::string& key) {
    const std::string option = "--" + key;
    for (std::size_t at = text.find(option); at != std::string::npos; at = text.find(option, at + 1)) {
        const std::size_t end = at + option.size();
        const char next = end < text.size() ? text[end] : ' ';
        if (!(std::isalnum(static_cast<unsigned char>(next)) || next == '-')) return true;
    }
    return false;
}

// A refusal of the parser as the message of the key that names the option: "--cell must be ..." is said
// of the key ("osd.cell must be ..."); a message that names the option elsewhere follows the key.
std::string KeyWords(const std::string& refusal, const std::string& key) {
    const std::string option = "--" + key;
    if (refusal.rfind(option, 0) != 0) return ": " + refusal;
    std::size_t rest = option.size();
    if (rest < refusal.size() && refusal[rest] == ':') {
        ++rest;
    } else {
        // "--a and --b need --c" is said of both: it is kept whole.
        const std::string next = refusal.substr(rest, 5);
        if (next == " and " || next.rfind(" or ", 0) == 0 || next.rfind(",", 0) == 0) return ": " + refusal;
    }
    while (rest < refusal.size() && refusal[rest] == ' ')
        ++rest;
    return " " + refusal.substr(rest);
}

// The font file a --font value names, and its face index; nullopt for a family name (and for a value the
// parser refuses, which the whole line then tells).
std::optional<std::pair<std::string, int>> FontFile(const std::string& value) {
    try {
        return FontFileOf(value);
    } catch (const UsageError&) {
        return std::nullopt;
    }
}

struct TableReader {
    const JobKind& kind;
    const toml::table& table;
    std::size_t line;
    Problems& problems;
    bool ok = true;

    std::string Key(const std::string& key) const { return std::string(kind.table) + "." + key; }
    std::size_t LineOfKey(const std::string& key) const {
        const toml::node* node = table.get(key);
        return node ? LineOf(node->source()) : line;
    }
    void Fail(const std::string& key, const std::string& text) { Say(key, " " + text); }
    // The key, then words that begin with their own separator (" must be", ": --a needs --b").
    void Say(const std::string& key, const std::string& words) {
        problems.Add(LineOfKey(key), Key(key) + words);
        ok = false;
    }

    std::optional<std::string> String(const std::string& key) {
        const toml::node* node = table.get(key);
        if (!node) return std::nullopt;
        if (const auto* s = node->as_string(); s && !s->get().empty()) return s->get();
        Fail(key, "must be a string that is not empty");
        return std::nullopt;
    }

    std::vector<std::string> Strings(const std::string& key) {
        std::vector<std::string> values;
        const toml::node* node = table.get(key);
        if (!node) return values;
        const toml::array* array = node->as_array();
        if (array)
            for (const toml::node& item : *array) {
                const auto* s = item.as_string();
                if (!s || s->get().empty()) {
                    array = nullptr;
                    break;
                }
                values.push_back(s->get());
            }
        if (!array || values.empty()) {
            Fail(key, "must be a list of strings that are not empty");
            values.clear();
        }
        return values;
    }
};

} // namespace

std::string CleanPath(const std::string& path) {
    std::string clean = std::filesystem::path(path).lexically_normal().generic_string();
    while (clean.size() > 1 && clean.back() == '/') // "out/" is the folder "out"
        clean.pop_back();
    return clean.empty() ? "." : clean;
}

namespace {

// Reads one table into a job; false (with its problems added) when it cannot be run.
bool ReadJob(const JobKind& kind, const toml::table& table, std::size_t line, const std::string& folder,
             Problems& problems, BuildJob& job) {
    TableReader r{kind, table, line, problems};
    job.table = kind.table;
    job.line = line;
    job.command = kind.command;

    // The keys the build reads itself; a key no table of this kind has is named as such.
    for (const auto& [key, node] : table) {
        const std::string k(key.str());
        const bool foreign = (k == "out" && kind.out == OutPlace::None) ||
                             (k == "input" && kind.manyInputs) || (k == "inputs" && !kind.manyInputs) ||
                             (k == "count" && !kind.count) || (k == "edits" && !kind.edits);
        if (foreign) r.Fail(k, "is not a key of [[" + std::string(kind.table) + "]]");
    }
    if (const auto name = r.String("name"))
        job.name = *name;
    else if (!table.get("name"))
        r.Fail("name", "is missing: every job has a name");

    auto resolve = [&](const std::string& p) { return base::ResolvePath(folder, p); };
    const std::optional<std::string> input = kind.manyInputs ? std::nullopt : r.String("input");
    const std::vector<std::string> inputs =
        kind.manyInputs ? r.Strings("inputs") : std::vector<std::string>{};
    const std::optional<std::string> out = kind.out == OutPlace::None ? std::nullopt : r.String("out");
    if (kind.inputRequired && !table.get(kind.manyInputs ? "inputs" : "input"))
        r.Fail(kind.manyInputs ? "inputs" : "input", "is missing");
    if (kind.out != OutPlace::None && !table.get("out")) r.Fail("out", "is missing");
    std::optional<std::int64_t> count;
    if (kind.count) {
        if (const toml::node* node = table.get("count")) {
            if (const auto* n = node->as_integer())
                count = n->get();
            else
                r.Fail("count", "must be an integer, not " + Written(*node));
        } else {
            r.Fail("count", "is missing");
        }
    }
    std::vector<std::string> edits =
        kind.edits && table.get("edits") ? r.Strings("edits") : std::vector<std::string>{};
    if (!r.ok) return false;

    // The command line, twice: as it runs (paths joined to the project's folder) and as the project writes
    // it (what decides whether the job must run again, wherever the project is built from).
    struct Line {
        std::vector<std::string> run, key;
        void Add(const std::string& word) { Add(word, word); }
        void Add(const std::string& runWord, const std::string& keyWord) {
            run.push_back(runWord);
            key.push_back(keyWord);
        }
    };
    Line base;
    for (const std::string& w : kind.words)
        base.Add(w);
    if (kind.out == OutPlace::FirstOperand) base.Add(resolve(*out), *out);
    if (input) {
        if (kind.inputOption) base.Add(kind.inputOption);
        base.Add(resolve(*input), *input);
        job.inputs.push_back(resolve(*input));
    }
    for (const std::string& i : inputs) {
        base.Add(resolve(i), i);
        job.inputs.push_back(resolve(i));
    }
    if (count) base.Add(std::to_string(*count));
    if (kind.out == OutPlace::Operand) base.Add(resolve(*out), *out);
    Line tail;
    if (kind.out == OutPlace::FolderOption) {
        tail.Add("--out");
        tail.Add(resolve(*out), *out);
    }

    // Each option key: whether the command knows it and whether it is a flag, asked of the command's own
    // parser with the option alone at the end of the line (where an option that takes a value has none);
    // then, for a number or a choice, whether the value is one it takes, in the type it is written in.
    Line options;
    std::map<std::string, std::string> optionValues; // key -> the value as written, for the outputs
    for (const auto& [key, node] : table) {
        const std::string k(key.str());
        if (kJobKeys.count(k)) continue;
        std::vector<std::string> probe = base.run;
        probe.push_back("--" + k);
        const std::string refusal = Refusal(kind, probe).message;
        if (refusal.find("unknown option") != std::string::npos) {
            r.Fail(k, "is not a key of [[" + std::string(kind.table) + "]]");
            continue;
        }
        const bool takesValue = refusal == "--" + k + " needs a value";
        if (const auto* flag = node.as_boolean(); flag && !takesValue) {
            if (flag->get()) options.Add("--" + k);
            optionValues[k] = flag->get() ? "true" : "false";
            continue;
        }
        if (!takesValue) {
            r.Fail(k, "must be true or false, not " + Written(node));
            continue;
        }
        const std::optional<ValueShape> shape = ShapeOf(kind, base.run, "--" + k);
        std::string value;
        if (const auto* n = node.as_integer(); n && (!shape || shape->Numeric()))
            value = std::to_string(n->get());
        else if (const auto* s = node.as_string(); s && (!shape || !shape->Numeric()))
            value = s->get();
        if (shape && (value.empty() || !shape->Takes(value))) {
            const auto* s = node.as_string();
            const bool quoted = s && shape->Numeric() && shape->Takes(s->get());
            r.Fail(k, "must be " + shape->Text() + ", not " + Written(node) +
                          (quoted ? " (numbers are written without quotes)" : ""));
            continue;
        }
        if (!shape && !node.as_integer() && !node.as_string()) {
            r.Fail(k, "must be a string or a number, not " + Written(node));
            continue;
        }
        options.Add("--" + k);
        if (kPathOptions.count(k)) {
            options.Add(resolve(value), value);
            if (k != "save-reduced") job.inputs.push_back(resolve(value));
        } else if (std::optional<std::pair<std::string, int>> file; k == "font" && (file = FontFile(value))) {
            // A font file is a path like the others; PATH:N keeps its face index.
            const std::string path = resolve(file->first);
            options.Add(value.size() > file->first.size() ? path + value.substr(file->first.size()) : path,
                        value);
            job.inputs.push_back(path);
        } else {
            options.Add(value);
        }
        optionValues[k] = value;
    }
    for (const std::string& edit : edits) {
        const std::size_t space = edit.find(' ');
        options.Add("--" + edit.substr(0, space));
        if (space != std::string::npos) options.Add(edit.substr(space + 1));
    }
    if (!r.ok) return false;

    for (Line* part : {&options, &tail}) {
        base.run.insert(base.run.end(), part->run.begin(), part->run.end());
        base.key.insert(base.key.end(), part->key.begin(), part->key.end());
    }
    // The whole line, as the command would take it: a refusal is told at the key it names.
    if (const Refused refused = Refusal(kind, base.run); refused.Any()) {
        const std::string& refusal = refused.message;
        std::string named;
        for (const auto& [key, node] : table)
            if (!kJobKeys.count(std::string(key.str())) && Names(refusal, std::string(key.str())) &&
                key.str().size() > named.size())
                named = std::string(key.str());
        if (!named.empty())
            r.Say(named, KeyWords(refusal, named));
        else if (kind.edits && refusal.find("--") != std::string::npos && !edits.empty())
            r.Fail("edits", "has an edit the command refuses: " + refusal);
        else if (kind.count && refused.number && refusal.rfind("COUNT ", 0) == 0)
            r.Fail("count", "must be " + ValueShape{refused.number, std::nullopt}.Text() + ", not " +
                                std::to_string(*count));
        else if (kind.count && refusal.rfind("COUNT ", 0) == 0)
            r.Fail("count", refusal.substr(6));
        else {
            problems.Add(line, std::string(kind.table) + " '" + job.name + "': " + refusal);
            r.ok = false;
        }
        return false;
    }
    job.args = base.run;
    job.keyArgs = base.key;

    // What it writes, as far as that is known before it runs.
    if (optionValues.count("save-reduced"))
        job.outputs.push_back(CleanPath(resolve(optionValues["save-reduced"])));
    const std::string table_ = kind.table;
    if (kind.out == OutPlace::FolderOption) {
        job.outputs.push_back(CleanPath(resolve(*out)) + "/");
    } else if (kind.out == OutPlace::FirstOperand) {
        const merge::MergeOutputs names = merge::MergeOutputNames(resolve(*out));
        job.outputs.push_back(CleanPath(names.image));
        job.outputs.push_back(CleanPath(names.table));
    } else if (kind.out == OutPlace::None) {
        const aosd::MergeState names = aosd::MergePathsFor(resolve(inputs.front()));
        job.outputs.push_back(CleanPath(names.MergeBinPath));
        job.outputs.push_back(CleanPath(names.MergeTablePath));
    } else if (table_ == "aosd_image" || table_ == "aosd_sequence" || table_ == "aosd_palette") {
        const bool hex = table_ == "aosd_palette" && optionValues["hex"] == "true";
        job.outputs.push_back(CleanPath(aosd::AosdOutputPathFor(resolve(*out), hex ? ".txt" : ".bin")));
    } else {
        job.outputs.push_back(CleanPath(resolve(*out)));
    }
    return true;
}

// Whether the file path is one output writes: the same file, or a file in the folder it writes into.
bool Writes(const std::string& output, const std::string& path) {
    if (output.back() == '/')
        return output == "./" ? path.find('/') == std::string::npos : path.rfind(output, 0) == 0;
    return output == path;
}

void OrderJobs(BuildProject& project, Problems& problems) {
    std::vector<BuildJob>& jobs = project.jobs;
    // Two jobs that write the same file would race and leave one of them stale.
    std::map<std::string, std::size_t> writer;
    for (std::size_t j = 0; j < jobs.size(); ++j)
        for (const std::string& o : jobs[j].outputs) {
            if (o.back() == '/') continue;
            const auto [it, fresh] = writer.emplace(o, j);
            if (!fresh)
                problems.Add(jobs[j].line, jobs[j].table + " '" + jobs[j].name + "' writes " + o +
                                               ", which job '" + jobs[it->second].name + "' writes too");
        }
    // So would two jobs that write files of the same names into one folder: the font jobs of one kind
    // (FontBank.txt, 1BPPFont0.txt, ...), and OSD jobs of sheets of one name.
    std::map<std::string, std::size_t> folderWriter;
    for (std::size_t j = 0; j < jobs.size(); ++j)
        for (const std::string& o : jobs[j].outputs) {
            if (o.back() != '/') continue;
            std::string names = jobs[j].table;
            if (jobs[j].table == "osd" && !jobs[j].inputs.empty()) {
                std::string stem = std::filesystem::path(jobs[j].inputs.front()).stem().string();
                for (char& c : stem)
                    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                names += " " + stem;
            }
            const auto [it, fresh] = folderWriter.emplace(o + " " + names, j);
            if (!fresh)
                problems.Add(jobs[j].line, jobs[j].table + " '" + jobs[j].name + "' writes into " + o +
                                               " files of the names job '" + jobs[it->second].name +
                                               "' writes there: give each its own out");
        }
    // A file another job names as its output orders the two for certain. A file in a folder another job
    // writes into (--out) may be one of its files or a source kept there: that order is taken only where it
    // makes no cycle.
    std::vector<std::pair<std::size_t, std::size_t>> maybe; // (reader, writer)
    auto add = [&](std::size_t b, std::size_t a) {
        if (std::find(jobs[b].needs.begin(), jobs[b].needs.end(), a) == jobs[b].needs.end())
            jobs[b].needs.push_back(a);
    };
    for (std::size_t b = 0; b < jobs.size(); ++b)
        for (const std::string& input : jobs[b].inputs)
            for (std::size_t a = 0; a < jobs.size(); ++a) {
                if (a == b) continue;
                for (const std::string& o : jobs[a].outputs)
                    if (Writes(o, CleanPath(input))) {
                        if (o.back() == '/')
                            maybe.emplace_back(b, a);
                        else
                            add(b, a);
                    }
            }

    // A cycle is found by a walk that meets a job it is still inside of.
    std::vector<int> state(jobs.size(), 0); // 0 not seen, 1 on the walk, 2 done
    std::vector<std::size_t> walk;
    std::function<bool(std::size_t)> visit = [&](std::size_t j) {
        if (state[j] == 2) return false;
        if (state[j] == 1) {
            std::string names;
            const auto from = std::find(walk.begin(), walk.end(), j);
            for (auto it = from; it != walk.end(); ++it)
                names += "'" + jobs[*it].name + "' needs ";
            problems.Add(jobs[j].line,
                         "the jobs need each other's outputs: " + names + "'" + jobs[j].name + "'");
            return true;
        }
        state[j] = 1;
        walk.push_back(j);
        // The walk follows what a job reads back to the job that writes it.
        for (const std::size_t n : jobs[j].needs)
            if (visit(n)) return true;
        walk.pop_back();
        state[j] = 2;
        return false;
    };
    for (std::size_t j = 0; j < jobs.size(); ++j)
        if (visit(j)) return;

    // Whether job from needs job to, through any chain of needs.
    std::function<bool(std::size_t, std::size_t)> reaches = [&](std::size_t from, std::size_t to) {
        if (from == to) return true;
        for (const std::size_t n : jobs[from].needs)
            if (reaches(n, to)) return true;
        return false;
    };
    for (const auto& [reader, writer] : maybe)
        if (!reaches(writer, reader)) add(reader, writer);
}

// The line (from 1) of the first byte outside ASCII that stands outside a string and a comment, or 0 when there
// is none. TOML takes such characters only inside those; the TOML reader's own handling of them elsewhere
// reaches code its authors marked unreachable (undefined behaviour), so they are refused before it reads.
std::size_t LineOfStrayCharacter(std::string_view text) {
    std::size_t line = 1;
    std::size_t i = 0;
    const std::size_t n = text.size();
    const auto run = [&](char quote) { // the quotes in a row from i
        std::size_t k = i;
        while (k < n && text[k] == quote)
            ++k;
        return k - i;
    };
    while (i < n) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            ++i;
        } else if (c == '#') { // a comment, to the line's end
            while (i < n && text[i] != '\n')
                ++i;
        } else if (c == '"' || c == '\'') {
            const bool basic = c == '"';
            const bool multiLine = run(c) >= 3;
            i += multiLine ? 3 : 1;
            while (i < n) {
                const char d = text[i];
                if (d == '\n') {
                    ++line;
                    if (!multiLine) break; // an unclosed string: the reader says so
                    ++i;
                } else if (basic && d == '\\') {
                    // An escape takes the next character; a line end after it only in a multi-line string.
                    if (i + 1 < n && text[i + 1] == '\n' && !multiLine) {
                        ++i;
                        continue;
                    }
                    if (i + 1 < n && text[i + 1] == '\n') ++line;
                    i += 2;
                } else if (d == c) {
                    if (!multiLine) {
                        ++i;
                        break;
                    }
                    const std::size_t quotes = run(c);
                    i += quotes;
                    if (quotes >= 3) break; // up to two more quotes belong to the string
                } else {
                    ++i;
                }
            }
        } else if (static_cast<unsigned char>(c) >= 0x80) {
            return line;
        } else {
            ++i;
        }
    }
    return 0;
}

} // namespace

BuildProject LoadProject(const std::string& path) {
    BuildProject project;
    project.path = path;
    const std::size_t slash = path.find_last_of('/');
    project.folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    Problems problems(path);

    std::vector<std::uint8_t> bytes;
    base::FileProblem problem;
    if (base::ReadWholeFile(path, bytes, kMaxProjectBytes, &problem) != base::ReadStatus::Ok)
        throw ProjectError{{base::ProblemText(problem)}};
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (const std::size_t line = LineOfStrayCharacter(text)) {
        problems.Add(line, "a character outside ASCII stands outside a string and a comment");
        problems.Throw();
    }
    toml::table root;
    try {
        root = toml::parse(text, path);
    } catch (const toml::parse_error& e) {
        problems.Add(LineOf(e.source()), std::string(e.description()));
        problems.Throw();
    }

    // Jobs in the order of the file, whatever their kinds.
    struct Found {
        const JobKind* kind;
        const toml::table* table;
        std::size_t line;
    };
    std::vector<Found> found;
    for (const auto& [key, node] : root) {
        const std::string name(key.str());
        const auto kind =
            std::find_if(Kinds().begin(), Kinds().end(), [&](const JobKind& k) { return name == k.table; });
        if (kind == Kinds().end()) {
            std::string list;
            for (const JobKind& k : Kinds())
                list += std::string(list.empty() ? "" : ", ") + "[[" + k.table + "]]";
            problems.Add(LineOf(key.source()), "unknown table '" + name + "' (a job is one of " + list + ")");
            continue;
        }
        const toml::array* array = node.as_array();
        if (!array || !array->is_array_of_tables()) {
            problems.Add(LineOf(key.source()), name + " is a list of jobs: write each as [[" + name + "]]");
            continue;
        }
        for (const toml::node& item : *array)
            found.push_back({&*kind, item.as_table(), LineOf(item.source())});
    }
    std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.line < b.line; });

    std::map<std::string, std::size_t> names;
    for (const Found& f : found) {
        BuildJob job;
        if (!ReadJob(*f.kind, *f.table, f.line, project.folder, problems, job)) continue;
        if (const auto [it, fresh] = names.emplace(job.name, f.line); !fresh) {
            problems.Add(LineOf(f.table->get("name")->source()),
                         std::string(f.kind->table) + ".name '" + job.name +
                             "' is the name of the job on line " + std::to_string(it->second) + " too");
            continue;
        }
        project.jobs.push_back(std::move(job));
    }
    if (!problems.Any()) OrderJobs(project, problems);
    if (problems.Any()) problems.Throw();
    return project;
}

} // namespace cli
