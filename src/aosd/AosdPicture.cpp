#include "aosd/AosdPicture.h"

#include "aosd/AosdState.h"
#include "base/Error.h"
#include "base/Format.h"
#include "base/Path.h"
#include "picture/Picture.h"

namespace aosd {

AosdPathParts SplitAosdPath(const std::string& path) {
    AosdPathParts parts;
    const std::size_t separator = path.find_last_of("/\\");
    const std::size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
    const std::size_t dot = path.rfind('.');
    parts.directory = path.substr(0, nameStart);
    parts.extension = dot == std::string::npos ? path : path.substr(dot);
    if (dot != std::string::npos && dot > nameStart) parts.baseName = path.substr(nameStart, dot - nameStart);
    return parts;
}

namespace {

std::optional<std::string> Refusal(const std::string& path, const std::string& reason) {
    return base::strprintf("The picture \"%s\" cannot be converted: %s.", path.c_str(), reason.c_str());
}

} // namespace

LoadedPicture ToAosdPicture(picture::Picture read, const std::string& name) {
    LoadedPicture loaded;
    if (read.bitsPerPixel > 8) {
        loaded.deep = true;
        loaded.failure =
            Refusal(name, base::strprintf("it has %d bits per pixel, and only indexed pictures of "
                                          "1, 2, 4 or 8 bits per pixel hold palette indices",
                                          read.bitsPerPixel));
        return loaded;
    }
    if (read.width <= 0 || read.height <= 0) {
        loaded.failure = Refusal(name, base::strprintf("it is %d x %d pixels and has no pixels to convert",
                                                       read.width, read.height));
        return loaded;
    }
    const std::size_t count = static_cast<std::size_t>(read.width) * static_cast<std::size_t>(read.height);
    if (read.width > 0xFFFF || read.height > 0xFFFF || read.indices.size() != count) {
        loaded.failure = Refusal(name, base::strprintf("its %d x %d pixels cannot be read as palette indices",
                                                       read.width, read.height));
        return loaded;
    }
    AosdPicture& picture = loaded.picture;
    picture.width = static_cast<std::uint16_t>(read.width);
    picture.height = static_cast<std::uint16_t>(read.height);
    picture.pixels = std::move(read.indices);
    picture.palette = std::move(read.palette);
    if (picture.palette.size() > 256) picture.palette.resize(256);
    return loaded;
}

LoadedPicture LoadAosdPicture(const std::string& path) {
    // The colours shown come from the indices and the palette (ShownPicture), so the reader need not build
    // them.
    return ToAosdPicture(picture::ReadBmpPicture(path, picture::PictureParts::IndicesOnly), path);
}

picture::Picture ShownPicture(const AosdPicture& picture) {
    picture::Picture shown = picture::Picture::Blank(picture.width, picture.height, 0);
    shown.palette = picture.palette;
    base::Colour table[256] = {};
    for (std::size_t i = 0; i < picture.palette.size() && i < 256; ++i)
        table[i] = picture.palette[i];
    for (std::size_t i = 0; i < shown.pixels.size() && i < picture.pixels.size(); ++i)
        shown.pixels[i] = table[picture.pixels[i]];
    return shown;
}

std::optional<std::uint16_t> ParseImageNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    std::uint16_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = static_cast<std::uint16_t>(value * 10u + static_cast<unsigned>(c - '0'));
    }
    return value;
}

OpenPictureOutcome OpenAosdPicture(AosdState& state, PaletteTable& table, const std::string& path,
                                   const std::string& imageNumberText) {
    OpenPictureOutcome outcome;
    const std::optional<std::uint16_t> count = ParseImageNumber(imageNumberText);
    if (!imageNumberText.empty() && !count) return outcome;

    LoadedPicture loaded = LoadAosdPicture(path);
    if (loaded.failure) {
        outcome.failure = std::move(loaded.failure);
        outcome.deep = loaded.deep;
        return outcome;
    }

    const AosdPathParts parts = SplitAosdPath(path);
    state.AosdPicturePath = path;
    state.AosdDirectory = parts.directory;
    state.AosdBaseName = parts.baseName;
    state.AosdExtension = parts.extension;
    if (count) state.AosdImageCount = *count;
    state.picture = std::move(loaded.picture);

    table.fill(base::PALETTEENTRY{});
    for (std::size_t i = 0; i < state.picture.palette.size(); ++i)
        table[i] = base::EntryOf(state.picture.palette[i]);
    state.AosdPaletteBytes = 1024;
    outcome.opened = true;
    return outcome;
}

MultiButton ImageNumberChanged(AosdState& state, const std::string& text, bool pictureOpen) {
    if (text.empty()) return MultiButton::Disable;
    const std::optional<std::uint16_t> count = ParseImageNumber(text);
    if (!count) throw base::Error(base::strprintf("'%s' is not a valid image number.", text.c_str()));
    state.AosdImageCount = *count;
    if (*count < 2) return MultiButton::Disable;
    return pictureOpen ? MultiButton::Enable : MultiButton::Keep;
}

} // namespace aosd
