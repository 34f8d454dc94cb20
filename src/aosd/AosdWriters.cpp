#include "aosd/AosdWriters.h"

#include "aosd/AosdState.h"
#include "base/Error.h"
#include "base/FileProblem.h"
#include "base/Format.h"
#include "base/OutputFile.h"
#include "base/Path.h"

#include <span>
#include <string_view>

namespace aosd {

std::string AosdOutputPathFor(const std::string& chosen, const std::string& defaultExtension) {
    return chosen.find('.') == std::string::npos ? chosen + defaultExtension : chosen;
}

std::string ProposedImageName(const std::string& baseName, bool rlc) {
    return rlc ? baseName + "_rlc" : baseName;
}

std::string ProposedSequenceName(const std::string& baseName, std::uint16_t count, bool rlc) {
    return base::strprintf("%s-x%d", baseName.c_str(), count) + (rlc ? "_rlc" : "");
}

std::string ProposedPaletteName(const std::string& baseName) {
    return baseName + "_pal";
}

bool EndsInNumber(const std::string& baseName) {
    return !baseName.empty() && baseName.back() >= '0' && baseName.back() <= '9';
}

std::string NoSequenceMessage(const std::string& baseName) {
    return base::strprintf("The picture name %s does not end in a number, so no sequence can be formed.",
                           baseName.c_str());
}

std::string SequenceMemberName(const std::string& baseName, std::uint32_t i) {
    std::size_t start = baseName.size();
    while (start > 0 && baseName[start - 1] >= '0' && baseName[start - 1] <= '9')
        --start;
    // Adds i to the digits as text, so a number of any length (a date and time, say) counts on exactly.
    std::string digits = baseName.substr(start);
    std::uint64_t carry = i;
    for (std::size_t k = digits.size(); k > 0 && carry > 0; --k) {
        const std::uint64_t sum = static_cast<std::uint64_t>(digits[k - 1] - '0') + carry;
        digits[k - 1] = static_cast<char>('0' + sum % 10);
        carry = sum / 10;
    }
    if (carry > 0) digits.insert(0, std::to_string(carry));
    const std::size_t firstDigit = digits.find_first_not_of('0');
    digits = firstDigit == std::string::npos ? "0" : digits.substr(firstDigit);
    const std::size_t keep = digits.size() < baseName.size() ? baseName.size() - digits.size() : 0;
    return baseName.substr(0, keep) + digits;
}

namespace {

// The tool has no message of its own for an output that cannot be written: the problem is the message.
[[noreturn]] void CannotWrite(const base::OutputFile& out) {
    throw base::Error(base::ProblemText(out.Problem()));
}

void WriteBytes(base::OutputFile& out, std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return; // an empty buffer may have no storage to point at
    out.Write(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

std::optional<std::string> SizeRefusal(const std::string& path, const AosdPicture& member,
                                       const AosdPicture& opened) {
    if (member.width == opened.width && member.height == opened.height) return std::nullopt;
    return base::strprintf("The picture \"%s\" is %u x %u pixels, but the opened picture is %u x %u: every "
                           "picture written must have the size of the opened one.",
                           path.c_str(), unsigned{member.width}, unsigned{member.height},
                           unsigned{opened.width}, unsigned{opened.height});
}

ImageWriteResult Shown(const AosdState& state) {
    ImageWriteResult result;
    result.fileName = base::FileNameOf(state.AosdPicturePath);
    result.width = state.picture.width;
    result.height = state.picture.height;
    return result;
}

} // namespace

ImageWriteResult WriteAosdImage(AosdState& state, const RlcOptions& options, const std::string& chosen) {
    state.AosdOutputPath = AosdOutputPathFor(chosen, ".bin");
    ImageWriteResult result;
    if (base::SameFile(state.AosdOutputPath, state.AosdPicturePath)) {
        result.failure = base::ProblemText(base::OutputIsInput(state.AosdOutputPath));
        return result;
    }
    LoadedPicture loaded = LoadAosdPicture(state.AosdPicturePath);
    result.failure =
        loaded.failure ? loaded.failure : SizeRefusal(state.AosdPicturePath, loaded.picture, state.picture);
    if (result.failure) return result;

    std::vector<std::uint8_t> buffer;
    const EncodedImage encoded = EncodeAosdImage(loaded.picture, options, buffer);
    base::OutputFile out;
    if (!out.Create(state.AosdOutputPath, base::OutputFile::Mode::Binary)) CannotWrite(out);
    WriteBytes(out, encoded.stream);
    if (!out.Close()) CannotWrite(out);

    state.picture = std::move(loaded.picture);
    result = Shown(state);
    result.writeSize = encoded.writeSize;
    result.rawSize = encoded.rawSize;
    result.changedPixels = encoded.changedPixels;
    return result;
}

ImageWriteResult WriteAosdSequence(AosdState& state, const RlcOptions& options, const std::string& chosen) {
    ImageWriteResult result;
    if (!EndsInNumber(state.AosdBaseName)) {
        result.failure = NoSequenceMessage(state.AosdBaseName);
        return result;
    }
    state.AosdOutputPath = AosdOutputPathFor(chosen, ".bin");
    // The members that exist, each of which must be another file than the output.
    std::vector<std::string> members;
    const std::optional<base::FileId> output = base::ExistingFileId(state.AosdOutputPath);
    for (std::uint32_t i = 0; i < state.AosdImageCount; ++i) {
        std::string member =
            state.AosdDirectory + SequenceMemberName(state.AosdBaseName, i) + state.AosdExtension;
        const std::optional<base::FileId> id = base::ExistingFileId(member);
        if (!id) continue;
        if (output && *id == *output) {
            result.failure = base::ProblemText(base::OutputIsInput(state.AosdOutputPath));
            return result;
        }
        members.push_back(std::move(member));
    }
    base::OutputFile out;
    if (!out.Create(state.AosdOutputPath, base::OutputFile::Mode::Binary)) CannotWrite(out);

    // Everything goes to a temporary file that replaces the output only at the end, so a member refused
    // half-way leaves the old output as it was.
    std::optional<AosdPicture> lastMember;
    std::vector<std::uint8_t> buffer;
    std::int64_t written = 0;
    std::int64_t raw = 0;
    std::int64_t changed = 0;
    for (const std::string& member : members) {
        LoadedPicture loaded = LoadAosdPicture(member);
        result.failure = loaded.failure ? loaded.failure : SizeRefusal(member, loaded.picture, state.picture);
        if (result.failure) return result;
        const EncodedImage encoded = EncodeAosdImage(loaded.picture, options, buffer);
        WriteBytes(out, encoded.stream);
        written += encoded.writeSize;
        raw += encoded.rawSize;
        changed += encoded.changedPixels;
        lastMember = std::move(loaded.picture);
    }
    if (!out.Close()) CannotWrite(out);

    if (lastMember) state.picture = std::move(*lastMember);
    result = Shown(state);
    result.writeSize = written;
    result.rawSize = raw;
    result.changedPixels = changed;
    return result;
}

namespace {

std::uint8_t Component(std::uint8_t value, settings::PaletteFormat paletteFormat) {
    return paletteFormat == settings::PaletteFormat::Rgb666 ? static_cast<std::uint8_t>(value >> 2) : value;
}

} // namespace

std::vector<std::uint8_t> BinaryPalette(const PaletteTable& table, settings::PaletteFormat paletteFormat) {
    std::vector<std::uint8_t> out(768);
    for (std::size_t i = 0; i < 256; ++i) {
        out[i] = Component(table[i].peRed, paletteFormat);
        out[256 + i] = Component(table[i].peGreen, paletteFormat);
        out[512 + i] = Component(table[i].peBlue, paletteFormat);
    }
    return out;
}

std::vector<std::string> HexPaletteLines(const PaletteTable& table, settings::PaletteFormat paletteFormat) {
    std::vector<std::string> lines;
    lines.reserve(51);
    const struct {
        const char* title;
        std::uint8_t base::PALETTEENTRY::*component;
    } planes[] = {{"// Palette_Red x 256", &base::PALETTEENTRY::peRed},
                  {"// Palette_Green x 256", &base::PALETTEENTRY::peGreen},
                  {"// Palette_Blue x 256", &base::PALETTEENTRY::peBlue}};
    for (const auto& plane : planes) {
        lines.emplace_back(plane.title);
        for (std::size_t j = 0; j < 16; ++j) {
            std::string line;
            line.reserve(80);
            for (std::size_t k = 0; k < 16; ++k) {
                line += "0x";
                base::AppendHex2(line, Component(table[16 * j + k].*plane.component, paletteFormat));
                line += ',';
            }
            lines.push_back(std::move(line));
        }
    }
    return lines;
}

std::string WriteAosdPalette(AosdState& state, const PaletteTable& table,
                             settings::PaletteFormat paletteFormat, bool hex, const std::string& chosen) {
    state.AosdOutputPath = AosdOutputPathFor(chosen, hex ? ".txt" : ".bin");
    if (base::SameFile(state.AosdOutputPath, state.AosdPicturePath))
        throw base::Error(base::ProblemText(base::OutputIsInput(state.AosdOutputPath)));
    base::OutputFile out;
    if (!out.Create(state.AosdOutputPath,
                    hex ? base::OutputFile::Mode::Text : base::OutputFile::Mode::Binary))
        CannotWrite(out);
    if (hex) {
        for (const std::string& line : HexPaletteLines(table, paletteFormat)) {
            out.Write(line);
            out.Write("\n");
        }
    } else {
        WriteBytes(out, BinaryPalette(table, paletteFormat));
    }
    if (!out.Close()) CannotWrite(out);
    return state.AosdOutputPath;
}

} // namespace aosd
