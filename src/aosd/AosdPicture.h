#pragma once

#include "base/Colour.h"
#include "picture/Picture.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace aosd {

struct AosdState;

// The 256 palette entries shared by the AOSD and Palette tabs.
using PaletteTable = picture::PaletteTable;

// A path cut into the parts the AOSD tab names its outputs and sequence members with. directory runs up to
// and including the last separator ('\' or '/'); extension from the last '.' to the end; baseName is what
// lies between them. The cut follows the dot wherever it is: a path with no dot has the whole path as its
// extension and an empty baseName, and a dot that lies in a directory name leaves baseName empty too.
struct AosdPathParts {
    std::string directory;
    std::string baseName;
    std::string extension;
};
AosdPathParts SplitAosdPath(const std::string& path);

// The picture the AOSD tab converts: one palette index a pixel, exactly as the file stores them (pictures
// of 1, 2 or 4 bits per pixel are widened to a byte a pixel).
struct AosdPicture {
    std::uint16_t width = 0;
    std::uint16_t height = 0;
    std::vector<base::Colour> palette; // the colour table the file holds, at most 256 entries
    std::vector<std::uint8_t> pixels;  // width * height indices, row 0 the top row

    bool Empty() const { return width == 0 || height == 0; }
};

struct LoadedPicture {
    AosdPicture picture;
    std::optional<std::string> failure; // why the file cannot be converted; picture is empty then
    bool deep = false;                  // refused for its depth (more than 8 bits per pixel)
};

// Reads the BMP (or PNG) file at path for conversion. A picture that is not indexed (16, 24 or 32 bits per pixel)
// or has no pixels is refused with a failure naming the file and the reason. Throws base::Error, naming the
// file, when the file cannot be read or decoded as a BMP.
LoadedPicture LoadAosdPicture(const std::string& path);
// The same check and conversion for a picture already decoded; name stands for the file in the message.
LoadedPicture ToAosdPicture(picture::Picture read, const std::string& name);

// "Image Number:" as a count: the decimal value of text kept to its low 16 bits; nothing for an empty text
// or one that is not made of decimal digits.
std::optional<std::uint16_t> ParseImageNumber(const std::string& text);

struct OpenPictureOutcome {
    bool opened = false;                // the picture, its names and PaletteTable are the new file's
    std::optional<std::string> failure; // a refused picture; nothing changed
    bool deep = false;                  // refused for its depth (more than 8 bits per pixel)
};

// "Open Picture" of path, with the text "Image Number:" holds. A non-empty text that is not a number
// ends it silently (the box takes only digits, so only a paste gets there). Otherwise the picture is read
// (LoadAosdPicture): a refusal comes back as failure and a file that cannot be read throws base::Error; in
// both cases nothing has changed. On success the state takes the path, its parts, the count and the
// picture, every entry of table is cleared and the picture's colour table copied into it from entry 0, and
// AosdPaletteBytes becomes 1024.
OpenPictureOutcome OpenAosdPicture(AosdState& state, PaletteTable& table, const std::string& path,
                                   const std::string& imageNumberText);

// What a change of "Image Number:" does to "Write Multi Images".
enum class MultiButton { Disable, Enable, Keep };

// A changed "Image Number:" text. Empty: the button is disabled and the count stays. A number sets the
// count; below 2 disables the button, 2 or more enables it once a picture is open and otherwise leaves it.
// Throws base::Error for a text that is not a number (the count stays).
MultiButton ImageNumberChanged(AosdState& state, const std::string& text, bool pictureOpen);

// The picture as it shows: each pixel the colour of its palette entry (black past the palette).
picture::Picture ShownPicture(const AosdPicture& picture);

// The entries the palette grid colours: all 256 once a picture was opened, none before.
inline int ShownPaletteEntries(std::uint16_t paletteBytes) {
    return paletteBytes / 4;
}

} // namespace aosd
