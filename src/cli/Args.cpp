#include "cli/Args.h"

#include "base/Error.h"

#include <charconv>
#include <filesystem>

namespace cli {

long Number(const std::string& text, long min, long max, const std::string& what) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < min || value > max)
        throw NumberError{{what + " must be a number from " + std::to_string(min) + " to " +
                           std::to_string(max) + ", not '" + text + "'"},
                          min,
                          max};
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

const std::string& ValueOf(const std::vector<std::string>& args, size_t& i) {
    if (i + 1 >= args.size()) throw UsageError{args[i] + " needs a value"};
    return args[++i];
}

int Choice(const std::string& option, const std::string& value, const std::vector<std::string>& choices) {
    for (size_t k = 0; k < choices.size(); ++k)
        if (choices[k] == value) return static_cast<int>(k);
    std::string list;
    for (size_t k = 0; k < choices.size(); ++k)
        list += (k == 0 ? "" : k + 1 == choices.size() ? " or " : ", ") + choices[k];
    throw ChoiceError{{option + " takes " + list + ", not '" + value + "'"}, choices};
}

settings::PaletteFormat PaletteFormatChoice(const std::string& option, const std::string& value) {
    return Choice(option, value, {"rgb888", "rgb666"}) == 0 ? settings::PaletteFormat::Rgb888
                                                            : settings::PaletteFormat::Rgb666;
}

settings::CodeFormat CodeFormatChoice(const std::string& option, const std::string& value) {
    return Choice(option, value, {"c", "asm"}) == 0 ? settings::CodeFormat::C : settings::CodeFormat::Asm;
}

settings::BinSort BinSortChoice(const std::string& option, const std::string& value) {
    return Choice(option, value, {"half", "font"}) == 0 ? settings::BinSort::Half : settings::BinSort::Font;
}

void MakeOutputDirectory(const std::string& directory) {
    if (directory.empty()) return;
    std::error_code ec;
    std::filesystem::create_directories(directory, ec);
    if (ec) throw base::Error("cannot create " + directory + ": " + ec.message());
}

} // namespace cli
