#pragma once

#include "base/Colour.h"
#include "font/ColourImage.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace font {

// Style flags of a font, with the values the bank file stores (";FontStyle=").
enum FontStyle : std::uint8_t {
    kBold = 1,
    kItalic = 2,
    kUnderline = 4,
    kStrikeOut = 8,
};

// A font as the font dialog chooses it. Family is what was asked for; once a font has been shown
// (FontShowProp) it is the family actually used, so the boxes and the bank file name the face that drew the
// glyphs.
struct FontChoice {
    std::string Family;
    std::int32_t Size = 10;   // points
    std::uint8_t Style = 0;   // FontStyle flags
    std::uint8_t Charset = 0; // shown "%i"; nothing here depends on it

    // The height in pixels as the bank file and the "Height:" box show it: negative for a size given in
    // points, one point being 96/72 pixel (10 points gives -13, 8 points -11).
    std::int32_t Height() const;

    friend bool operator==(const FontChoice&, const FontChoice&) = default;
};

// The font of the preview when the tab starts (and of the CLI when --font is not given): the desktop's
// sans-serif face at 10 points, no style, charset 0.
FontChoice StartFont();
// The font the font dialog offers the first time: Arial, 8 points (height -11), no style, charset 0.
FontChoice DialogStartFont();

// The family a font dialog names, without the foundry it adds where two foundries make a family of the
// same name: "Nimbus Sans [urw]" is the family "Nimbus Sans", which is what the renderer looks up (with the
// tag it would find no such family and draw another). A name that does not end in a bracketed tag stays as
// it is.
std::string FamilyWithoutFoundry(std::string_view name);

// "Bold/Italic/Underline/StrikeOut" for the flags that are set, in that order; "Normal" when none is.
// Only the four low bits count.
std::string FontStyleText(std::uint8_t style);

struct TextExtent {
    int Width = 0;  // the advances of the characters, summed
    int Height = 0; // the font's ascent plus descent
};

// Draws and measures text in a font. One implementation renders TrueType faces (FreeTypeRenderer); tests
// may use a small deterministic one. A renderer keeps whatever caches it likes, but the pixels a call
// draws depend only on its arguments.
class TextRenderer {
public:
    virtual ~TextRenderer() = default;

    // The family name of the face that draws `font` (a family that is not installed is substituted).
    // Throws base::Error when no face can be found at all.
    virtual std::string ResolveFamily(const FontChoice& font) = 0;

    // Takes face `face` of the font file at path as the face of its family and returns the family name, so
    // that a FontChoice of that family draws from the file. A renderer that draws no font files (the tests'
    // small ones) throws base::Error, as every renderer does for a file it cannot read, naming the file.
    virtual std::string UseFontFile(const std::string& path, int face);

    // Whether that face stands in for a family that is not installed. A family the font configuration
    // itself makes the same as another (Arial and its metric twin) is not a substitute, nor is whatever a
    // generic name (sans-serif, serif, monospace, ...) stands for. Throws base::Error as ResolveFamily.
    virtual bool Substitutes(const FontChoice& font) = 0;

    // Whether that face has a glyph of its own for c; a character it has none for is drawn as the face's
    // missing-glyph shape (an empty box). Throws base::Error as ResolveFamily.
    virtual bool HasGlyph(const FontChoice& font, char32_t c) = 0;

    // Draws text with the top-left corner of its character cell at (x, y): the baseline lies the font's
    // ascent below y. Every pixel the text touches, however slightly, becomes ink; all other pixels keep
    // their colour. Underline and strike-out are drawn across the text's width. Pixels outside the image
    // are dropped. A character the face has no glyph for draws the face's missing-glyph shape. Throws
    // base::Error when no face can be found.
    virtual void DrawText(ColourImage& image, int x, int y, const FontChoice& font, std::u32string_view text,
                          base::Colour ink) = 0;

    // The extent of text in font, as DrawText would lay it out. Throws base::Error as DrawText.
    virtual TextExtent MeasureText(const FontChoice& font, std::u32string_view text) = 0;
};

// Text as UTF-8 decoded to characters. A byte that does not start a valid UTF-8 sequence stands for itself
// (as in ISO 8859-1), so text from any 8-bit file still gives one character per byte.
std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);

} // namespace font
