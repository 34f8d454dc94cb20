#pragma once

#include "base/Colour.h"
#include "base/Note.h"
#include "font/ColourImage.h"
#include "font/GlyphCodec.h"
#include "font/GlyphGeometry.h"
#include "font/TextRenderer.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace font {

// The font palette at start: white, black, blue, magenta, grey, green, lime, maroon, navy, olive, purple,
// red, silver, teal, aqua, yellow (colours 0x00BBGGRR).
inline constexpr Palette kStartPalette = {0xFFFFFF, 0x000000, 0xFF0000, 0xFF00FF, 0x808080, 0x008000,
                                          0x00FF00, 0x000080, 0x800000, 0x008080, 0x800080, 0x0000FF,
                                          0xC0C0C0, 0x808000, 0xFFFF00, 0x00FFFF};

// The name of a colour as the colour boxes' tooltips show it: "clBlack", "clMaroon", "clGreen", "clOlive",
// "clNavy", "clPurple", "clTeal", "clGray", "clSilver", "clRed", "clLime", "clYellow", "clBlue",
// "clFuchsia", "clAqua", "clWhite" for those sixteen colours, otherwise "$00BBGGRR" (8 upper-case hex
// digits).
std::string ColorName(base::Colour c);

// The two paint colours: the left one (also the ink of rendered text) and the right one.
enum class PaintColour { Left, Right };

// The glyph designer: the 128 x 128 preview surface, which is the one true picture of the glyph, the font
// and paint colours, the palette, and the geometry. Geometry, bits per pixel and sizes follow from
// ColorType, WidthIndex and HeightIndex through the table of GlyphGeometry.h; they are changed only by the
// Apply... operations, which refuse an index outside their box, so the record is never inconsistent. The
// glyph is the window of GridWidth x GridHeight pixels with its top-left at (32 + XOffset, 32 + YOffset);
// with offsets limited to -32..32 it always lies inside the surface.
//
// A tab reads the controls, calls one operation, then shows the state: the combo boxes show ColorType(),
// WidthIndex(), HeightIndex(), the offset boxes XOffset(), YOffset(), the colour boxes LeftColor /
// LeftHint and RightColor / RightHint, the palette grid FontPalette, the glyph grid GlyphPixel() for each of
// its GridWidth() x GridHeight() cells, the preview PreviewSurface. How large a cell is on screen is the
// tab's business.
class GlyphEditor final {
public:
    static constexpr int kSurfaceSize = 128;
    static constexpr int kWindowOrigin = 32;
    static constexpr int kMaxOffset = 32;

    ColourImage PreviewSurface{kSurfaceSize, kSurfaceSize, kWhite};
    FontChoice CurrentFont = StartFont();
    base::Colour LeftColor = kBlack;  // first paint colour, ink of rendered text
    base::Colour RightColor = kWhite; // second paint colour (Alt)
    std::uint8_t LeftIndex = 1;       // the palette entry the left colour box remembers
    std::uint8_t RightIndex = 0;
    std::string LeftHint = "clBlack"; // the colour boxes' tooltips
    std::string RightHint = "clWhite";
    Palette FontPalette = kStartPalette;
    // Rendered text is smoothed (the "Smooth" box): at 2, 4 and 8 bpp each pixel takes one of SmoothLevels()
    // levels of the text's coverage, drawn with a ramp from RightColor to LeftColor that rendering writes
    // into the palette's first entries. At 1 bpp it changes nothing unless InkThreshold is given.
    bool Smooth = false;
    // At 1 bpp, rendered text inks exactly the pixels it covers at least this much (0..255), smoothing or
    // not; without it, every pixel the text touches at all becomes ink. Other colour types ignore it.
    std::optional<std::uint8_t> InkThreshold;

    int ColorType() const { return colorType_; }
    int WidthIndex() const { return widthIndex_; }
    int HeightIndex() const { return heightIndex_; }
    int XOffset() const { return xOffset_; }
    int YOffset() const { return yOffset_; }

    int GlyphBpp() const { return BppOf(colorType_); }
    int CellWidth() const { return CellWidthOf(widthIndex_); }
    int CellsAcross() const { return CellsAcrossOf(widthIndex_); }
    int CellsDown() const { return CellsDownOf(heightIndex_); }
    int GridWidth() const { return GridWidthOf(widthIndex_); }
    int GridHeight() const { return GridHeightOf(heightIndex_); }
    int WordCount() const { return WordCountOf(colorType_, widthIndex_, heightIndex_); }
    int WindowLeft() const { return kWindowOrigin + xOffset_; }
    int WindowTop() const { return kWindowOrigin + yOffset_; }

    // The colour of glyph pixel (gx, gy), that is surface pixel (WindowLeft() + gx, WindowTop() + gy).
    base::Colour GlyphPixel(int gx, int gy) const {
        return PreviewSurface.Pixel(WindowLeft() + gx, WindowTop() + gy);
    }

    // Every pixel of the surface becomes white.
    void ClearPreview() { PreviewSurface.Fill(kWhite); }
    // Every pixel of the surface whose colour is not `keep` becomes `ink` (Font_ImgAntiGray).
    void AntiGray(base::Colour keep, base::Colour ink);
    // Every pixel of the surface equal to `from` becomes `to` (Font_ImgNewColor).
    void NewColor(base::Colour from, base::Colour to) { PreviewSurface.Replace(from, to); }
    // Pure white becomes pure black and pure black pure white, over the whole surface; other colours stay.
    void Invert();

    // The "Color Type" box chose item `index` (0..3): the left colour becomes palette entry 1 and the right
    // entry 0 (boxes, indexes and tooltips with them), then the whole surface is reduced to what the type
    // can hold: at 1 bpp every pixel that is not RightColor becomes LeftColor, at 2 bpp every pixel that is
    // none of entries 0..3 becomes LeftColor, 4 and 8 bpp keep every colour. Any other index changes
    // nothing and returns false.
    bool ApplyColorType(int index);
    // The "Grid Width" / "Grid Height" box chose item `index`. The surface does not change. An index outside
    // the box (-1: no item) changes nothing and returns false.
    bool ApplyGridWidth(int index);
    bool ApplyGridHeight(int index);
    // The offset boxes: values are kept within -32..32, so the window never leaves the surface.
    void SetXOffset(int value);
    void SetYOffset(int value);

    // The glyph window encoded as GlyphWords (Font_ImgGetFont): WordCount() words.
    GlyphWords Encode() const;
    // Whether a pixel outside the glyph window is not white: ink the glyph does not hold.
    bool InkOutsideWindow() const;

    // A press (or, with the left button held, a move) on glyph pixel (gx, gy) of the glyph grid paints it
    // with RightColor when Alt is held and LeftColor otherwise, whatever the button. A cell outside the
    // glyph's GridWidth() x GridHeight() paints nothing. Returns whether a pixel was painted.
    bool PaintCell(int gx, int gy, bool alt);

    // A press on palette entry `entry` picks it as the left or right colour, within the colour type's entries
    // (1 bpp: 0-1, 2 bpp: 0-3, otherwise 0-15). Returns whether a colour was picked.
    bool PickPaletteColour(int entry, PaintColour colour);
    // Whether a double click on palette entry `entry` may change it: entries 2-3 at 2 bpp, 2-15 at 4 and 8
    // bpp, none at 1 bpp; entries 0 and 1 are never changed there. The tab asks this before it opens the
    // colour dialog.
    bool CanChangePaletteEntry(int entry) const;
    // The colour dialog chose `colour` for palette entry `entry` (which CanChangePaletteEntry allowed): when
    // that entry is the left box's, the picture's old LeftColor pixels take the new colour; then LeftColor
    // and the entry become the colour (the left box keeps its index and tooltip). Returns whether the
    // picture was recoloured; an entry outside 0..15 changes nothing.
    bool ChangePaletteEntry(int entry, base::Colour colour);

private:
    void SetLeft(std::uint8_t index);
    void SetRight(std::uint8_t index);

    std::uint8_t colorType_ = 0;
    std::uint8_t widthIndex_ = 4;
    std::uint8_t heightIndex_ = 0;
    std::int8_t xOffset_ = 0;
    std::int8_t yOffset_ = 0;
};

// The number of smooth levels a colour type holds: 4 at 2 bpp, 16 at 4 and 8 bpp (the palette has 16
// entries), 2 at 1 bpp.
int SmoothLevels(int colorType);
// The level of coverage c (0..255) among levels: round(c * (levels - 1) / 255).
int CoverageLevel(std::uint8_t c, int levels);
// The ramp of levels colours from background (entry 0) to ink (entry levels - 1): each channel
// round(background + (ink - background) * k / (levels - 1)).
std::vector<base::Colour> SmoothRamp(base::Colour background, base::Colour ink, int levels);

// What the read-only font boxes show.
struct FontBoxTexts {
    std::string Face;
    std::string Style;   // FontStyleText
    std::string Size;    // points, decimal
    std::string Height;  // "%i"
    std::string Charset; // "%i"
    std::string Pixels;  // width " x " height of "A"
    // The SubstituteNote, as a shortfall, when the face stands in for a family that is not installed.
    base::Notes notes;
};

// Makes `font` the CurrentFont with the family the renderer actually uses, and returns what the font
// boxes show (FontShowProp). The tab calls it at start with StartFont() and after the font dialog's OK.
// Throws base::Error when the renderer finds no face at all.
FontBoxTexts FontShowProp(GlyphEditor& editor, TextRenderer& renderer, const FontChoice& font);

// "Font "Liberation Mon" is not installed: DejaVu Sans is used instead".
std::string SubstituteNote(const std::string& asked, const std::string& used);

// What a rendering could not put into the glyph as it was asked to.
struct RenderNotes {
    // The characters the face has no glyph for, each once, in the order met; they are drawn as the face's
    // missing-glyph box. Control characters, which no face draws, are not counted.
    std::u32string Missing;
    // The texts rendered whose ink reaches outside the glyph window, in the order met: the glyph loses it.
    std::vector<std::u32string> Cut;

    bool Empty() const { return Missing.empty() && Cut.empty(); }
};

// Renders text as the glyph (RenderGlyphText): clears the surface, draws text at (32, 32) in CurrentFont
// and LeftColor, and turns every pixel that is not exactly white into LeftColor. Returns the text's extent.
// At 1 bpp with an InkThreshold, the pixels covered at least that much become LeftColor and all others
// white instead. Smooth at 2, 4 or 8 bpp: the palette's entries 0..L-1 become SmoothRamp(RightColor,
// LeftColor, L) (the left box then remembers entry L - 1, the right one entry 0), and every pixel of the
// surface takes the ramp's colour of its coverage level, untouched pixels entry 0.
// With notes, adds what the glyph lost: the characters the face lacks, and the text when ink lies outside
// the glyph window.
TextExtent RenderGlyphText(GlyphEditor& editor, TextRenderer& renderer, std::u32string_view text,
                           RenderNotes* notes = nullptr);

// What rendering each of chars as a glyph of its own (as "Generate" and "Ascii" do, in the editor's font,
// geometry and offsets) loses, found on a copy of the editor: the editor does not change.
RenderNotes CheckGlyphs(const GlyphEditor& editor, TextRenderer& renderer, std::u32string_view chars);

// The notes as lines for the status bar and stderr, naming each character by its code point (with the
// character itself where it is printable ASCII): "DejaVu Sans has no glyph for U+4E2D, U+1F600: each is
// drawn as an empty box" and "Ink outside the 16 x 16 glyph is cut off: U+0067 'g', U+0070 'p'". None for
// empty notes.
std::vector<std::string> RenderNoteLines(const RenderNotes& notes, const GlyphEditor& editor);

// Enter released in the "Entry character:" box holding boxText (UTF-8): renders it as RenderGlyphText does
// (adding to notes when given) and returns the "Pixels:" box's new text ("9 x 16"). An empty box does
// nothing and returns nothing.
std::optional<std::string> EnterCharacter(GlyphEditor& editor, TextRenderer& renderer,
                                          std::string_view boxText, RenderNotes* notes = nullptr);

// "%d x %d".
std::string PixelsText(TextExtent extent);

} // namespace font
