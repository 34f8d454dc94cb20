// tavix-docgen OUTDIR: makes, at build time, what is installed beside the programs from their own texts and
// drawings, so that none of it can drift from them:
//   OUTDIR/man/man1/tavix-cli.1    every command's --help, a section each, below `tavix-cli --help`
//   OUTDIR/man/man1/tavix.1        `tavix --help`
//   OUTDIR/completions/tavix-cli   bash completion: commands, subcommands, options, their words, file types
//   OUTDIR/icons/hicolor/...       the program's icon at each size, and as SVG
#include "base/OutputFile.h"
#include "base/FileProblem.h"
#include "cli/Cli.h"
#include "settings/AppIdentity.h"
#include "shell/IconPattern.h"
#include "shell/WindowUsage.h"

#include <png.h>

#include <cctype>
#include <cstdio>
#include <stdexcept>
#include <filesystem>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ---- man pages

// A line of text as roff shows it as it stands: backslashes escaped, "-" kept a minus, a leading control
// character neutralised.
std::string RoffLine(const std::string& line) {
    std::string out;
    if (!line.empty() && (line[0] == '.' || line[0] == '\'')) out += "\\&";
    for (char c : line) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    return out;
}

// A text shown line for line, as the terminal shows it.
std::string RoffVerbatim(const std::string& text) {
    std::string out = ".nf\n";
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line))
        out += line.empty() ? ".sp\n" : RoffLine(line) + "\n";
    return out + ".fi\n";
}

std::string Header(const std::string& name, const std::string& what) {
    std::string upper;
    for (char c : name)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    std::string header = ".TH ";
    header += upper;
    header += " 1 \"\" \"Tavix ";
    header += settings::AppVersion;
    header += "\" \"User Commands\"\n.SH NAME\n";
    header += RoffLine(name);
    header += " \\- ";
    header += what;
    header += "\n";
    return header;
}

std::string CliManPage() {
    std::string page = Header("tavix-cli", "run the jobs of the Tavix window from the command line");
    page += ".SH DESCRIPTION\n";
    page += RoffVerbatim(cli::MainHelpText());
    page += ".SH COMMANDS\n";
    for (const cli::Command* command : cli::Commands()) {
        page += ".SS ";
        page += command->name;
        page += "\n";
        page += RoffVerbatim(cli::HelpText(command->name, command->help));
    }
    page += ".SH SEE ALSO\ntavix(1)\n";
    return page;
}

std::string WindowManPage() {
    std::string page =
        Header("tavix", "make OSD fonts, font banks, AOSD images, sound and merged images for display firmware");
    page += ".SH DESCRIPTION\n";
    page += RoffVerbatim(shell::kWindowUsage);
    page += ".SH SEE ALSO\ntavix\\-cli(1)\n";
    return page;
}

// ---- bash completion

bool IsWord(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::islower(static_cast<unsigned char>(c)) && !std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

std::vector<std::string> Split(const std::string& s, char separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = s.find(separator, start);
        parts.push_back(s.substr(start, end - start));
        if (end == std::string::npos) return parts;
        start = end + 1;
    }
}

// What completes an option's value, as a line of shell: words, folders, files of an extension, or nothing.
std::string ValueCompletion(const std::string& value) {
    for (char separator : {'|', ','}) {
        const std::vector<std::string> words = Split(value, separator);
        bool all = words.size() > 1;
        for (const std::string& w : words)
            all = all && IsWord(w);
        if (all) {
            std::string list;
            for (const std::string& w : words)
                list += (list.empty() ? "" : " ") + w;
            return "COMPREPLY=($(compgen -W \"" + list + "\" -- \"$cur\"))";
        }
    }
    if (value == "DIR") return "compopt -o filenames 2>/dev/null || true; COMPREPLY=($(compgen -d -- \"$cur\"))";
    if (value.find("FILE") != std::string::npos || value.find('.') != std::string::npos) {
        const std::size_t dot = value.rfind('.');
        std::string ext;
        if (dot != std::string::npos && value.find('|', dot) == std::string::npos) {
            for (char c : value.substr(dot + 1))
                ext += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (!IsWord(ext)) ext.clear();
        }
        return "_tavix_cli_files \"" + ext + "\"";
    }
    return "COMPREPLY=()"; // a number, a text, a list: nothing to offer
}

std::string Completion() {
    // The forms by command and subcommand ("" for none): their options and file types, merged.
    struct Form {
        std::vector<const cli::OptionHelp*> options;
        std::string fileTypes;
    };
    std::map<std::string, std::map<std::string, Form>> forms;
    std::string commands;
    for (const cli::Command* command : cli::Commands()) {
        commands += std::string(command->name) + " ";
        for (const cli::FormHelp& form : command->help.forms) {
            Form& f = forms[command->name][form.sub];
            for (const cli::OptionHelp& option : form.options) {
                bool known = false;
                for (const cli::OptionHelp* o : f.options)
                    known = known || o->name == option.name;
                if (!known) f.options.push_back(&option);
            }
            if (f.fileTypes.empty()) f.fileTypes = form.fileTypes;
        }
    }

    std::string s =
        "# bash completion for tavix-cli, made from its commands' help when Tavix is built.\n"
        "\n"
        "# The files whose names end in one of the extensions in $1 (any file when $1 is empty), and folders.\n"
        "_tavix_cli_files() {\n"
        "    local exts=$1 f e lower\n"
        "    local IFS=$'\\n'\n"
        "    compopt -o filenames 2>/dev/null || true\n"
        "    COMPREPLY=()\n"
        "    for f in $(compgen -d -- \"$cur\"); do COMPREPLY+=(\"$f\"); done\n"
        "    for f in $(compgen -f -- \"$cur\"); do\n"
        "        [[ -d $f ]] && continue\n"
        "        if [[ -z $exts ]]; then COMPREPLY+=(\"$f\"); continue; fi\n"
        "        lower=${f,,}\n"
        "        IFS=' '\n"
        "        for e in $exts; do\n"
        "            if [[ $lower == *.\"$e\" ]]; then COMPREPLY+=(\"$f\"); break; fi\n"
        "        done\n"
        "        IFS=$'\\n'\n"
        "    done\n"
        "}\n"
        "\n"
        "_tavix_cli() {\n"
        "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
        "    local cmd=${COMP_WORDS[1]} sub='' subs=''\n"
        "    COMPREPLY=()\n"
        "    if (( COMP_CWORD == 1 )); then\n"
        "        COMPREPLY=($(compgen -W \"" + commands + "help --help --version\" -- \"$cur\"))\n"
        "        return\n"
        "    fi\n"
        "    if [[ $cmd == help ]]; then\n"
        "        (( COMP_CWORD == 2 )) && COMPREPLY=($(compgen -W \"" + commands + "\" -- \"$cur\"))\n"
        "        return\n"
        "    fi\n"
        "    case $cmd in\n";
    for (const auto& [name, subs] : forms) {
        std::string list;
        for (const auto& [sub, form] : subs)
            if (!sub.empty()) list += (list.empty() ? "" : " ") + sub;
        if (!list.empty()) s += "        " + name + ") subs='" + list + "' ;;\n";
    }
    s += "    esac\n"
         "    if [[ -n $subs ]]; then\n"
         "        if (( COMP_CWORD == 2 )); then\n"
         "            COMPREPLY=($(compgen -W \"$subs\" -- \"$cur\"))\n"
         "            return\n"
         "        fi\n"
         "        sub=${COMP_WORDS[2]}\n"
         "    fi\n"
         "    # The value of the option before the word.\n"
         "    case \"$cmd $sub|$prev\" in\n";
    for (const auto& [name, subs] : forms)
        for (const auto& [sub, form] : subs)
            for (const cli::OptionHelp* option : form.options)
                if (!option->value.empty())
                    s += "        '" + name + " " + sub + "|" + option->name + "') " + ValueCompletion(option->value) +
                         "; return ;;\n";
    s += "    esac\n"
         "    if [[ $cur == -* ]]; then\n"
         "        case \"$cmd $sub\" in\n";
    for (const auto& [name, subs] : forms)
        for (const auto& [sub, form] : subs) {
            std::string list;
            for (const cli::OptionHelp* option : form.options)
                list += option->name + " ";
            s += "            '" + name + " " + sub + "') COMPREPLY=($(compgen -W \"" + list + "--help\" -- \"$cur\")) ;;\n";
        }
    s += "        esac\n"
         "        return\n"
         "    fi\n"
         "    case \"$cmd $sub\" in\n";
    for (const auto& [name, subs] : forms)
        for (const auto& [sub, form] : subs)
            s += "        '" + name + " " + sub + "') _tavix_cli_files \"" + form.fileTypes + "\" ;;\n";
    s += "    esac\n"
         "}\n"
         "\n"
         "complete -F _tavix_cli tavix-cli\n";
    return s;
}

// ---- icons

std::vector<std::uint8_t> IconPng(int size) {
    std::vector<std::uint8_t> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng could not write the icon");
    }
    png_set_write_fn(
        png, &bytes,
        [](png_structp p, png_bytep data, png_size_t length) {
            auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(p));
            out->insert(out->end(), data, data + length);
        },
        nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(size), static_cast<png_uint_32>(size), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(size) * 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const shell::IconColour c = shell::IconCellColour(x * 16 / size, y * 16 / size);
            row[static_cast<std::size_t>(x) * 3] = c.r;
            row[static_cast<std::size_t>(x) * 3 + 1] = c.g;
            row[static_cast<std::size_t>(x) * 3 + 2] = c.b;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

std::string IconSvg() {
    char colour[8];
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"16\" height=\"16\" viewBox=\"0 0 16 16\" "
                      "shape-rendering=\"crispEdges\">\n";
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const shell::IconColour c = shell::IconCellColour(x, y);
            std::snprintf(colour, sizeof colour, "#%02X%02X%02X", c.r, c.g, c.b);
            svg += "<rect x=\"";
            svg += std::to_string(x);
            svg += "\" y=\"";
            svg += std::to_string(y);
            svg += "\" width=\"1\" height=\"1\" fill=\"";
            svg += colour;
            svg += "\"/>\n";
        }
    return svg + "</svg>\n";
}

// ---- writing

void Write(const std::string& path, std::string_view bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    base::OutputFile file;
    if (!file.Create(path, base::OutputFile::Mode::Binary)) throw std::runtime_error(base::ProblemText(file.Problem()));
    file.Write(bytes);
    if (!file.Close()) throw std::runtime_error(base::ProblemText(file.Problem()));
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: tavix-docgen OUTDIR\n";
        return 2;
    }
    const std::string out = argv[1];
    try {
        Write(out + "/man/man1/tavix-cli.1", CliManPage());
        Write(out + "/man/man1/tavix.1", WindowManPage());
        Write(out + "/completions/tavix-cli", Completion());
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
            const std::vector<std::uint8_t> png = IconPng(size);
            const std::string dim = std::to_string(size) + "x" + std::to_string(size);
            Write(out + "/icons/hicolor/" + dim + "/apps/tavix.png",
                  std::string_view(reinterpret_cast<const char*>(png.data()), png.size()));
        }
        Write(out + "/icons/hicolor/scalable/apps/tavix.svg", IconSvg());
    } catch (const std::exception& e) {
        std::cerr << "tavix-docgen: " << e.what() << '\n';
        return 1;
    }
    return 0;
}
