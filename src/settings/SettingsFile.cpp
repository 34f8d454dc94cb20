#include "settings/SettingsFile.h"

#include "base/OutputFile.h"

#include "base/Error.h"
#include "base/Format.h"
#include "base/Path.h"
#include "base/WholeFile.h"

#include <array>
#include <filesystem>
#include <pwd.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace settings {

std::string DefaultSettingsPath() {
    return base::ExecutableDirectory() + SettingsFileName;
}

SettingsLocation ChooseSettingsLocation(const SettingsPlaces& places) {
    const SettingsLocation beside{places.executableDirectory + SettingsFileName, true};
    if (places.writable && places.writable(places.executableDirectory.empty() ? "." : places.executableDirectory))
        return beside;
    std::string config = places.xdgConfigHome;
    // XDG_CONFIG_HOME counts only when it is an absolute path; otherwise ~/.config stands.
    if (config.empty() || config.front() != '/') {
        if (places.home.empty() || places.home.front() != '/') return beside;
        config = places.home + (places.home.back() == '/' ? "" : "/") + ".config";
    }
    if (config.back() != '/') config += '/';
    return {config + "tavix/" + SettingsFileName, false};
}

bool DirectoryWritable(const std::string& directory) {
    return ::access(directory.c_str(), W_OK | X_OK) == 0;
}

SettingsLocation SettingsLocationOfThisProcess() {
    SettingsPlaces places;
    places.executableDirectory = base::ExecutableDirectory();
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME")) places.xdgConfigHome = xdg;
    if (const char* home = std::getenv("HOME")) {
        places.home = home;
    } else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) {
        places.home = pw->pw_dir;
    }
    places.writable = DirectoryWritable;
    return ChooseSettingsLocation(places);
}

void MakeSettingsFolder(const SettingsLocation& location) {
    if (location.besideExecutable) return;
    std::error_code ec;
    std::filesystem::create_directories(base::SplitPath(location.path).directory, ec);
}

namespace {

struct Key {
    const char* name;
    std::int32_t Settings::Stored::*field;
};
constexpr std::array<Key, 4> kKeys{{{"Font Size", &Settings::Stored::FontSize},
                                    {"Code Format", &Settings::Stored::CodeFormat},
                                    {"Bin Sort", &Settings::Stored::BinSort},
                                    {"Palette Format", &Settings::Stored::PaletteFormat}}};

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// One line of the file, without its "\n"; a CR before the "\n" stays part of the line.
struct Line {
    std::string text;
};

std::vector<Line> SplitLines(const std::string& content) {
    std::vector<Line> lines;
    size_t start = 0;
    while (start < content.size()) {
        const size_t end = content.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back({content.substr(start)});
            break;
        }
        lines.push_back({content.substr(start, end - start)});
        start = end + 1;
    }
    return lines;
}

// Far more than four keys and the other lines a user may keep beside them; a larger file is not one this
// tool wrote.
constexpr std::size_t kMaxSettingsFileBytes = 1u << 20;

// The file's text; nothing when it cannot be opened (a missing file). A file that opens but cannot be read
// whole (also one that is not a regular file, or larger than the cap) is an error, so that saving never
// rewrites it from a part.
struct FileText {
    std::optional<std::string> text;
    bool readError = false;
    base::FileProblem problem;
};
FileText ReadFile(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    base::FileProblem problem;
    const base::ReadStatus status = base::ReadWholeFile(path, bytes, kMaxSettingsFileBytes, &problem);
    if (status == base::ReadStatus::CannotOpen) return {};
    if (status != base::ReadStatus::Ok) return {std::nullopt, true, problem};
    return {std::string(bytes.begin(), bytes.end()), false, {}};
}

// A section line "[name]", trimmed; returns the name.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[') return std::nullopt;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// A "key=value" line; returns the trimmed key and the position just after '='.
std::optional<std::pair<std::string_view, size_t>> KeyOf(std::string_view line) {
    const size_t eq = line.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    const std::string_view key = Trim(line.substr(0, eq));
    if (key.empty() || key.front() == ';') return std::nullopt;
    return std::make_pair(key, eq + 1);
}

// Lines [first, last) of the section, or nothing when the file has no such section.
struct SectionRange {
    size_t header;
    size_t first;
    size_t last;
};
std::optional<SectionRange> FindSection(const std::vector<Line>& lines) {
    for (size_t i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i].text);
        if (!name || !EqualNoCase(*name, SettingsSection)) continue;
        size_t end = i + 1;
        while (end < lines.size() && !SectionName(lines[end].text))
            ++end;
        return SectionRange{i, i + 1, end};
    }
    return std::nullopt;
}

std::optional<std::int32_t> ParseInt(std::string_view text) {
    text = Trim(text);
    if (text.empty()) return std::nullopt;
    const std::string s(text);
    const char* begin = s.c_str();
    if (*begin != '-' && *begin != '+' && (*begin < '0' || *begin > '9')) return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(begin, &end, 10);
    if (errno != 0 || *end != '\0' || v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(v);
}

} // namespace

Settings LoadSettings(const std::string& path) {
    Settings::Stored stored;
    const auto content = ReadFile(path).text;
    if (!content) return Settings::FromStored(stored);
    const std::vector<Line> lines = SplitLines(*content);
    const auto section = FindSection(lines);
    if (!section) return Settings::FromStored(stored);
    for (const Key& key : kKeys) {
        for (size_t i = section->first; i < section->last; ++i) {
            const auto kv = KeyOf(lines[i].text);
            if (!kv || !EqualNoCase(kv->first, key.name)) continue;
            if (const auto value = ParseInt(std::string_view(lines[i].text).substr(kv->second)))
                stored.*key.field = *value;
            break; // the first line of a key is the one that counts
        }
    }
    return Settings::FromStored(stored);
}

std::optional<std::string> SaveSettings(const Settings& settings, const std::string& path,
                                        base::FailureDetail* detail) {
    const auto unable = [&](const base::FileProblem& problem) {
        if (detail) detail->push_back(problem);
        return base::strprintf("Unable to write to %s", path.c_str());
    };
    const FileText file = ReadFile(path);
    if (file.readError) return unable(file.problem);
    const auto& content = file.text;
    std::vector<Line> lines = content ? SplitLines(*content) : std::vector<Line>{};
    // New lines follow the file's own line ends; a new file gets CR LF like every text file the tool writes.
    const bool crlf =
        !content || content->find('\n') == std::string::npos || content->find("\r\n") != std::string::npos;
    const std::string cr = crlf ? "\r" : "";

    auto section = FindSection(lines);
    if (!section) {
        std::string header = "[";
        header.append(SettingsSection).append("]").append(cr);
        lines.push_back({header});
        section = SectionRange{lines.size() - 1, lines.size(), lines.size()};
    }
    // New keys go after the last non-empty line of the section, in the order of the table.
    size_t insertAt = section->last;
    while (insertAt > section->first && Trim(lines[insertAt - 1].text).empty())
        --insertAt;
    const Settings::Stored stored = settings.ToStored();
    for (const Key& key : kKeys) {
        const std::string value = std::to_string(stored.*key.field);
        bool replaced = false;
        for (size_t i = section->first; i < insertAt; ++i) {
            const auto kv = KeyOf(lines[i].text);
            if (!kv || !EqualNoCase(kv->first, key.name)) continue;
            const bool hadCr = !lines[i].text.empty() && lines[i].text.back() == '\r';
            size_t valueStart = kv->second;
            while (valueStart < lines[i].text.size() &&
                   (lines[i].text[valueStart] == ' ' || lines[i].text[valueStart] == '\t'))
                ++valueStart;
            lines[i].text = lines[i].text.substr(0, valueStart) + value + (hadCr ? "\r" : "");
            replaced = true;
            break;
        }
        if (!replaced) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                         Line{std::string(key.name) + "=" + value + cr});
            ++insertAt;
        }
    }

    std::string out;
    for (const Line& line : lines)
        out += line.text + '\n';

    // Replaced whole or not at all: a failed write keeps every other section and line of the file.
    base::FileProblem problem;
    if (!base::WriteFileAtomically(path, out, &problem)) return unable(problem);
    return std::nullopt;
}

} // namespace settings
