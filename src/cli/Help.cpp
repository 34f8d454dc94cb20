#include "cli/Help.h"

#include <sstream>

namespace cli {

namespace {

constexpr std::size_t kWidth = kHelpWidth;
// Where an option's text starts.
constexpr std::size_t kOptionColumn = 26;

std::string Synopsis(const std::string& name, const FormHelp& form) {
    std::string line = "tavix-cli " + name;
    if (!form.sub.empty()) line += " " + form.sub;
    if (!form.operands.empty()) line += " " + form.operands;
    if (!form.options.empty()) line += " [OPTIONS]";
    return line;
}

} // namespace

std::string Wrap(const std::string& text, std::size_t width, std::size_t indent, std::size_t firstIndent) {
    std::string result;
    std::string line(firstIndent, ' ');
    bool lineHasWord = false;
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        if (lineHasWord && line.size() + 1 + word.size() > width) {
            result += line + "\n";
            line.assign(indent, ' ');
            lineHasWord = false;
        }
        line += (lineHasWord ? " " : "") + word;
        lineHasWord = true;
    }
    if (lineHasWord) result += line + "\n";
    return result;
}

std::string HelpText(const std::string& name, const CommandHelp& help) {
    std::string text;
    for (std::size_t f = 0; f < help.forms.size(); ++f) {
        text += f == 0 ? "usage: " : "       ";
        text += Synopsis(name, help.forms[f]);
        text += "\n";
    }
    for (const FormHelp& form : help.forms) {
        text += "\n";
        // A command of several forms heads each one's text with its synopsis.
        if (help.forms.size() > 1) text += Synopsis(name, form) + "\n";
        text += Wrap(form.text, kWidth, 2, 2);
        if (!form.options.empty()) text += "\n";
        for (const OptionHelp& option : form.options) {
            std::string head = "  " + option.name + (option.value.empty() ? "" : " " + option.value);
            if (head.size() + 2 > kOptionColumn) {
                text += head + "\n";
                text += Wrap(option.text, kWidth, kOptionColumn, kOptionColumn);
            } else {
                head.resize(kOptionColumn, ' ');
                text += head + Wrap(option.text, kWidth, kOptionColumn, kOptionColumn).substr(kOptionColumn);
            }
        }
    }
    if (!help.notes.empty()) {
        text += "\n";
        // Paragraphs are separated by an empty line.
        std::size_t start = 0;
        while (start <= help.notes.size()) {
            std::size_t end = help.notes.find("\n\n", start);
            if (end == std::string::npos) end = help.notes.size();
            if (start != 0) text += "\n";
            text += Wrap(help.notes.substr(start, end - start), kWidth, 0, 0);
            start = end + 2;
        }
    }
    if (!help.examples.empty()) {
        text += help.examples.size() == 1 ? "\nExample:\n" : "\nExamples:\n";
        for (const std::string& example : help.examples)
            text += "  " + example + "\n";
    }
    text += "\n";
    text += Wrap(kExitStatusText, kWidth, 0, 0);
    return text;
}

} // namespace cli
