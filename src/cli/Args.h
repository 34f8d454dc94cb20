#pragma once

#include "base/Colour.h"
#include "settings/Settings.h"

#include <string>
#include <vector>

namespace cli {

// A command line that cannot be run; the text is the one-line message for stderr.
struct UsageError {
    std::string message;
};

// The UsageError of a number out of its range (Number), and of a word that is none of a choice's (Choice):
// what the option takes, for a project file to say in its own words.
struct NumberError : UsageError {
    long min = 0;
    long max = 0;
};
struct ChoiceError : UsageError {
    std::vector<std::string> choices;
};

// A decimal number from min to max; what names the option in the message.
long Number(const std::string& text, long min, long max, const std::string& what);

// A colour written RRGGBB (hexadecimal, red first), as a colour value 0x00BBGGRR.
base::Colour HexColour(const std::string& text, const std::string& what);

// The value of the option at args[i] (the next argument); i moves onto it.
const std::string& ValueOf(const std::vector<std::string>& args, size_t& i);

// One of the words a choice option takes; returns its position in choices.
int Choice(const std::string& option, const std::string& value, const std::vector<std::string>& choices);

// The settings' choices as the options name them, through Choice: --palette rgb888|rgb666, --code c|asm,
// --bin-sort half|font.
settings::PaletteFormat PaletteFormatChoice(const std::string& option, const std::string& value);
settings::CodeFormat CodeFormatChoice(const std::string& option, const std::string& value);
settings::BinSort BinSortChoice(const std::string& option, const std::string& value);

// Makes the directory of --out (and its parents) unless it is empty; throws base::Error when it cannot.
void MakeOutputDirectory(const std::string& directory);

} // namespace cli
