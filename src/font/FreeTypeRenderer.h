#pragma once

#include "font/TextRenderer.h"

#include <memory>

namespace font {

// The renderer of TrueType (and other outline) faces: fontconfig finds the face for a family and style, as
// the desktop's font dialog would (a family that is not installed is substituted as fontconfig decides),
// and FreeType draws it. The face is a substitute when its family is none of those fontconfig binds to the
// name asked for as strongly as the name itself (the name, and the metric twins its rules add with it):
// a family found only through the weak defaults appended for every name (sans-serif's faces) stands in
// for one that is not installed.
//
// DrawCoverage is the smoothed drawing: FreeType's anti-aliased rendering with the face's default hinting.
//
// Sizes: a point is 96/72 pixel, and the font's em is |Height()| pixels (10 points: 13 pixels). Glyphs are
// hinted for black-and-white output and rendered without smoothing, so every pixel is ink or untouched and
// strokes keep the widths the face's hints give them (smoothed edges, all turned to ink, would make every
// glyph a pixel bolder on each side). Faces with grey bitmap strikes count any coverage as ink. Bold and
// Italic pick the face's bold and italic members; where the family has none, fontconfig's synthetic
// emboldening and slant apply. Underline
// and StrikeOut are drawn at the positions and thicknesses the face gives. Characters are laid out by their
// hinted advances, rounded to whole pixels, without kerning.
//
// Faces stay loaded for the object's life. One renderer is used by one thread at a time; renderers on
// different threads (a build's jobs) run side by side, their calls into fontconfig taken one at a time.
class FreeTypeRenderer final : public TextRenderer {
public:
    // Which fontconfig configuration finds the faces. Own: one loaded for this renderer and freed with it (a
    // process without a toolkit). Shared: the process's current one, which a window toolkit has loaded
    // already, so that the configuration files and font caches are not read a second time.
    enum class Configuration { Own, Shared };

    // Throws base::Error when FreeType or fontconfig cannot start.
    explicit FreeTypeRenderer(Configuration configuration = Configuration::Own);
    ~FreeTypeRenderer() override;
    FreeTypeRenderer(const FreeTypeRenderer&) = delete;
    FreeTypeRenderer& operator=(const FreeTypeRenderer&) = delete;

    // Takes the face at index `face` of the font file at path (.ttf, .otf, .ttc, ...) as the face of its
    // family, in place of whatever fontconfig would find for that family name, and returns the family name.
    // Bold and Italic on such a face embolden and slant its outlines unless the face is bold or italic
    // itself. Throws base::Error naming the file when it does not exist or FreeType cannot read it, or
    // when it has no face `face`.
    std::string UseFontFile(const std::string& path, int face) override;

    std::string ResolveFamily(const FontChoice& font) override;
    bool Substitutes(const FontChoice& font) override;
    bool HasGlyph(const FontChoice& font, char32_t c) override;
    void DrawText(ColourImage& image, int x, int y, const FontChoice& font, std::u32string_view text,
                  base::Colour ink) override;
    // Anti-aliased with the face's default hinting: each pixel's coverage is FreeType's grey level for it;
    // underline and strike-out cover their pixels whole.
    void DrawCoverage(CoverageImage& coverage, int x, int y, const FontChoice& font,
                      std::u32string_view text) override;
    TextExtent MeasureText(const FontChoice& font, std::u32string_view text) override;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace font
