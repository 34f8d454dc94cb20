#include "font/FreeTypeRenderer.h"

#include "base/Error.h"
#include "base/FileLog.h"
#include "base/Format.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <string_view>
#include <tuple>
#include <vector>

#include <sys/stat.h>

namespace font {

namespace {

// fontconfig's start-up reads shared state of the library's own without a lock (renderers made on two
// threads at once race there), so every call into it from this file takes this lock: renderers on
// threads side by side (a build's jobs) find their faces one at a time and draw in parallel.
std::mutex& FontconfigLock() {
    static std::mutex lock;
    return lock;
}

// Whole pixels of a 26.6 value, rounded to the nearest.
int RoundPixels(FT_Pos v) {
    return static_cast<int>((v + 32) >> 6);
}

// Where a text's lines and glyphs go, for one font at one size.
struct Metrics {
    int ascent = 0;
    int descent = 0;
    int underlineTop = 0; // rows relative to the baseline (positive downwards)
    int underlineThickness = 1;
    int strikeTop = 0;
    int strikeThickness = 1;
};

// The families a substituted pattern binds as strongly as the name asked for: the name itself and the
// families the configuration declares the same (binding "same", as its metric aliases do). The weak ones
// after them are the defaults every name gets.
std::vector<std::string> StronglyBoundFamilies(FcPattern* pattern) {
    std::vector<std::string> families;
    FcPatternIter it;
    if (!FcPatternFindIter(pattern, &it, FC_FAMILY)) return families;
    const int count = FcPatternIterValueCount(pattern, &it);
    for (int i = 0; i < count; ++i) {
        FcValue value;
        FcValueBinding binding = FcValueBindingWeak;
        if (FcPatternIterGetValue(pattern, &it, i, &value, &binding) != FcResultMatch) continue;
        if (value.type == FcTypeString && binding != FcValueBindingWeak)
            families.emplace_back(reinterpret_cast<const char*>(value.u.s));
    }
    return families;
}

// A family name as fontconfig compares family names: letter case and blanks do not count.
std::string FamilyKey(std::string_view name) {
    std::string key;
    for (char c : name)
        if (c != ' ') key += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return key;
}

// Whether one of the matched font's family names is one of families.
bool MatchesAny(FcPattern* match, const std::vector<std::string>& families) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        for (const std::string& family : families)
            if (FamilyKey(reinterpret_cast<const char*>(name)) == FamilyKey(family)) return true;
    return false;
}

// The generic names, which stand for whatever face the configuration prefers.
bool IsGenericFamily(const std::string& family) {
    static constexpr const char* kGeneric[] = {"sans-serif", "serif",     "monospace", "cursive",
                                               "fantasy",    "system-ui", "emoji",     "math",
                                               "fangsong",   "sans",      "mono"};
    const std::string key = FamilyKey(family);
    for (const char* generic : kGeneric)
        if (key == generic) return true;
    return false;
}

struct LoadedFace {
    FT_Face face = nullptr;
    std::string family;      // the family fontconfig matched
    bool substitute = false; // ... in place of a family that is not installed
    bool embolden = false;   // the family has no bold member: embolden the outlines
    bool transform = false;  // the family has no italic member: slant the outlines
    FT_Matrix matrix{};
    // The size the face is set to and its metrics: setting a size runs the face's hinting set-up, which
    // costs more than drawing a glyph, so it is done only when the size changes.
    int pixels = 0;
    Metrics metrics;
};

} // namespace

struct FreeTypeRenderer::Impl {
    FT_Library library = nullptr;
    FcConfig* config = nullptr;
    std::map<std::tuple<std::string, bool, bool>, LoadedFace> faces;
    // The families taken from font files (UseFontFile): the file and the face in it.
    std::map<std::string, std::pair<std::string, int>> fileFaces;

    ~Impl() {
        for (auto& [key, loaded] : faces)
            if (loaded.face) FT_Done_Face(loaded.face);
        if (library) FT_Done_FreeType(library);
        if (config) {
            const std::lock_guard fontconfig(FontconfigLock());
            FcConfigDestroy(config);
        }
    }

    LoadedFace& Face(const FontChoice& font) {
        const bool bold = font.Style & kBold;
        const bool italic = font.Style & kItalic;
        const auto key = std::make_tuple(font.Family, bold, italic);
        if (auto it = faces.find(key); it != faces.end()) return it->second;
        if (auto file = fileFaces.find(font.Family); file != fileFaces.end())
            return faces.emplace(key, FromFile(file->second.first, file->second.second, bold, italic))
                .first->second;

        std::unique_lock fontconfig(FontconfigLock());
        FcPattern* pattern = FcPatternCreate();
        if (!pattern) throw base::Error("Out of memory finding the font " + font.Family);
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(font.Family.c_str()));
        FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
        FcConfigSubstitute(config, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        const std::vector<std::string> asked = StronglyBoundFamilies(pattern);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, pattern, &result);
        FcPatternDestroy(pattern);
        if (!match) throw base::Error("No font found for " + font.Family);

        LoadedFace loaded;
        loaded.substitute = !IsGenericFamily(font.Family) && !MatchesAny(match, asked);
        FcChar8* file = nullptr;
        FcChar8* family = nullptr;
        int index = 0;
        FcBool embolden = FcFalse;
        FcMatrix* matrix = nullptr;
        const bool haveFile = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch;
        const std::string path = haveFile ? reinterpret_cast<const char*>(file) : "";
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch)
            loaded.family = reinterpret_cast<const char*>(family);
        if (FcPatternGetBool(match, FC_EMBOLDEN, 0, &embolden) == FcResultMatch) loaded.embolden = embolden;
        if (FcPatternGetMatrix(match, FC_MATRIX, 0, &matrix) == FcResultMatch && matrix &&
            (matrix->xx != 1 || matrix->xy != 0 || matrix->yx != 0 || matrix->yy != 1)) {
            loaded.transform = true;
            loaded.matrix.xx = static_cast<FT_Fixed>(std::lround(matrix->xx * 65536.0));
            loaded.matrix.xy = static_cast<FT_Fixed>(std::lround(matrix->xy * 65536.0));
            loaded.matrix.yx = static_cast<FT_Fixed>(std::lround(matrix->yx * 65536.0));
            loaded.matrix.yy = static_cast<FT_Fixed>(std::lround(matrix->yy * 65536.0));
        }
        FcPatternDestroy(match);
        fontconfig.unlock();
        if (path.empty()) throw base::Error("No font found for " + font.Family);
        if (FT_New_Face(library, path.c_str(), index, &loaded.face) != 0)
            throw base::Error("Unable to load the font " + path);
        base::LogRead(path); // the glyphs come from it: a build runs the job again when it changes
        if (loaded.family.empty() && loaded.face->family_name) loaded.family = loaded.face->family_name;
        return faces.emplace(key, loaded).first->second;
    }

    // The face at index `face` of the font file at path, emboldened and slanted as fontconfig would do for a
    // family without bold or italic members where the face is not bold or italic itself.
    LoadedFace FromFile(const std::string& path, int face, bool bold, bool italic) {
        LoadedFace loaded;
        if (const FT_Error error = FT_New_Face(library, path.c_str(), face, &loaded.face); error != 0) {
            loaded.face = nullptr;
            struct stat info {};
            const std::string reason =
                stat(path.c_str(), &info) != 0 ? std::string(std::strerror(errno))
                : S_ISDIR(info.st_mode)        ? std::string("it is a folder")
                : error == FT_Err_Invalid_Argument && face > 0
                    ? base::strprintf("it has no face %d", face)
                    : base::strprintf("FreeType cannot read it as a font (error %d)", static_cast<int>(error));
            throw base::Error("Cannot read the font file \"" + path + "\": " + reason + ".");
        }
        base::LogRead(path);
        loaded.family = loaded.face->family_name ? loaded.face->family_name : "";
        loaded.embolden = bold && !(loaded.face->style_flags & FT_STYLE_FLAG_BOLD);
        if (italic && !(loaded.face->style_flags & FT_STYLE_FLAG_ITALIC)) {
            loaded.transform = true;
            loaded.matrix.xx = 0x10000;
            loaded.matrix.xy = 0x3333; // fontconfig's synthetic oblique: x += 0.2 y
            loaded.matrix.yx = 0;
            loaded.matrix.yy = 0x10000;
        }
        return loaded;
    }

    // Sets the face to the font's size and returns where things go.
    Metrics Prepare(LoadedFace& loaded, const FontChoice& font) {
        FT_Face face = loaded.face;
        const int pixels = std::max(1, std::abs(font.Height()));
        FT_Set_Transform(face, loaded.transform ? &loaded.matrix : nullptr, nullptr);
        if (pixels == loaded.pixels) return loaded.metrics;
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0 && face->num_fixed_sizes > 0) {
            // A face of bitmap strikes only: the strike nearest the size.
            int best = 0;
            for (int i = 1; i < face->num_fixed_sizes; ++i)
                if (std::abs(face->available_sizes[i].height - pixels) <
                    std::abs(face->available_sizes[best].height - pixels))
                    best = i;
            FT_Select_Size(face, best);
        }

        Metrics m;
        const FT_Size_Metrics& sm = face->size->metrics;
        m.ascent = static_cast<int>((sm.ascender + 63) >> 6);
        m.descent = static_cast<int>((-sm.descender + 63) >> 6);
        const int em = static_cast<int>(sm.y_ppem);
        if (FT_IS_SCALABLE(face)) {
            const FT_Fixed scale = sm.y_scale;
            m.underlineThickness = std::max(1, RoundPixels(FT_MulFix(face->underline_thickness, scale)));
            m.underlineTop =
                -RoundPixels(FT_MulFix(face->underline_position, scale)) - m.underlineThickness / 2;
            const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
            if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
                m.strikeThickness = std::max(1, RoundPixels(FT_MulFix(os2->yStrikeoutSize, scale)));
                m.strikeTop = -RoundPixels(FT_MulFix(os2->yStrikeoutPosition, scale));
            } else {
                m.strikeThickness = m.underlineThickness;
                m.strikeTop = -(em * 3 + 5) / 10; // about half the height of a lower-case letter
            }
        } else {
            m.underlineThickness = std::max(1, em / 14);
            m.underlineTop = std::max(1, m.descent / 2);
            m.strikeThickness = m.underlineThickness;
            m.strikeTop = -(em * 3 + 5) / 10;
        }
        loaded.pixels = pixels;
        loaded.metrics = m;
        return m;
    }

    // Loads the glyph of c into the face's slot (the face's missing-glyph shape when it has none), styled.
    // Hinted for black-and-white output unless smooth, as a desktop draws small text unsmoothed: strokes
    // keep the widths the face's hints give them instead of growing by the pixels smoothing would touch.
    // Smooth glyphs take the face's default hinting, as anti-aliased text is drawn.
    bool Load(LoadedFace& loaded, char32_t c, bool smooth) {
        FT_Face face = loaded.face;
        const FT_UInt index = FT_Get_Char_Index(face, static_cast<FT_ULong>(c));
        FT_Int32 flags = smooth ? FT_LOAD_DEFAULT : FT_LOAD_TARGET_MONO;
        if (loaded.embolden || loaded.transform) flags |= FT_LOAD_NO_BITMAP;
        if (FT_Load_Glyph(face, index, flags) != 0) return false;
        if (loaded.embolden) FT_GlyphSlot_Embolden(face->glyph);
        return true;
    }

    // Lays the text out from pen position x on the baseline; with a plot, renders every glyph (smoothed or
    // black-and-white) and hands it each pixel the glyph touches with its coverage (255 for a pixel of a
    // black-and-white bitmap). Returns the summed advances.
    template <class Plot>
    int Layout(LoadedFace& loaded, bool smooth, int x, int baseline, std::u32string_view text, Plot* plot) {
        FT_Face face = loaded.face;
        int pen = x;
        for (char32_t c : text) {
            if (!Load(loaded, c, smooth)) continue;
            FT_GlyphSlot slot = face->glyph;
            if (plot && FT_Render_Glyph(slot, smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) == 0) {
                const FT_Bitmap& bm = slot->bitmap;
                const int left = pen + slot->bitmap_left;
                const int top = baseline - slot->bitmap_top;
                for (unsigned r = 0; r < bm.rows; ++r) {
                    const unsigned char* row =
                        bm.pitch >= 0 ? bm.buffer + static_cast<std::ptrdiff_t>(r) * bm.pitch
                                      : bm.buffer + static_cast<std::ptrdiff_t>(bm.rows - 1 - r) * -bm.pitch;
                    for (unsigned col = 0; col < bm.width; ++col) {
                        unsigned value = 0;
                        if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
                            value = row[col / 8] & (0x80 >> (col % 8)) ? 255 : 0;
                        else if (bm.pixel_mode == FT_PIXEL_MODE_GRAY)
                            value = bm.num_grays > 1 && bm.num_grays != 256
                                        ? (row[col] * 255u + (bm.num_grays - 1) / 2) / (bm.num_grays - 1)
                                        : row[col];
                        if (value != 0)
                            (*plot)(left + static_cast<int>(col), top + static_cast<int>(r),
                                    static_cast<std::uint8_t>(std::min(value, 255u)));
                    }
                }
            }
            pen += RoundPixels(slot->advance.x);
        }
        return pen - x;
    }

    // Underline and strike-out across width pixels from x, as plot(col, row) calls.
    template <class Plot>
    static void Lines(const FontChoice& font, const Metrics& m, int x, int baseline, int width, Plot plot) {
        const auto line = [&](int top, int thickness) {
            for (int row = top; row < top + thickness; ++row)
                for (int col = x; col < x + width; ++col)
                    plot(col, row);
        };
        if (font.Style & kUnderline) line(baseline + m.underlineTop, m.underlineThickness);
        if (font.Style & kStrikeOut) line(baseline + m.strikeTop, m.strikeThickness);
    }
};

FreeTypeRenderer::FreeTypeRenderer(Configuration configuration) : impl_(std::make_unique<Impl>()) {
    if (FT_Init_FreeType(&impl_->library) != 0) throw base::Error("Unable to start the FreeType library");
    {
        const std::lock_guard fontconfig(FontconfigLock());
        impl_->config =
            configuration == Configuration::Shared ? FcConfigReference(nullptr) : FcInitLoadConfigAndFonts();
    }
    if (!impl_->config) throw base::Error("Unable to read the fontconfig configuration");
}

FreeTypeRenderer::~FreeTypeRenderer() = default;

std::string FreeTypeRenderer::UseFontFile(const std::string& path, int face) {
    LoadedFace loaded = impl_->FromFile(path, face, false, false);
    const std::string family = loaded.family;
    FT_Done_Face(loaded.face);
    if (family.empty()) throw base::Error("Cannot read the font file \"" + path + "\": its face has no family name.");
    // Faces already loaded under that family name are fontconfig's, not the file's.
    for (auto it = impl_->faces.begin(); it != impl_->faces.end();) {
        if (std::get<0>(it->first) != family) {
            ++it;
            continue;
        }
        if (it->second.face) FT_Done_Face(it->second.face);
        it = impl_->faces.erase(it);
    }
    impl_->fileFaces[family] = {path, face};
    return family;
}

std::string FreeTypeRenderer::ResolveFamily(const FontChoice& font) {
    return impl_->Face(font).family;
}

bool FreeTypeRenderer::Substitutes(const FontChoice& font) {
    return impl_->Face(font).substitute;
}

bool FreeTypeRenderer::HasGlyph(const FontChoice& font, char32_t c) {
    return FT_Get_Char_Index(impl_->Face(font).face, static_cast<FT_ULong>(c)) != 0;
}

void FreeTypeRenderer::DrawText(ColourImage& image, int x, int y, const FontChoice& font,
                                std::u32string_view text, base::Colour ink) {
    LoadedFace& loaded = impl_->Face(font);
    const Metrics m = impl_->Prepare(loaded, font);
    const int baseline = y + m.ascent;
    // Faces with grey bitmap strikes count any coverage as ink.
    auto plot = [&](int col, int row, std::uint8_t) { image.SetPixel(col, row, ink); };
    const int width = impl_->Layout(loaded, false, x, baseline, text, &plot);
    Impl::Lines(font, m, x, baseline, width, [&](int col, int row) { image.SetPixel(col, row, ink); });
}

void FreeTypeRenderer::DrawCoverage(CoverageImage& coverage, int x, int y, const FontChoice& font,
                                    std::u32string_view text) {
    LoadedFace& loaded = impl_->Face(font);
    const Metrics m = impl_->Prepare(loaded, font);
    const int baseline = y + m.ascent;
    auto plot = [&](int col, int row, std::uint8_t c) { coverage.Cover(col, row, c); };
    const int width = impl_->Layout(loaded, true, x, baseline, text, &plot);
    Impl::Lines(font, m, x, baseline, width, [&](int col, int row) { coverage.Cover(col, row, 255); });
}

TextExtent FreeTypeRenderer::MeasureText(const FontChoice& font, std::u32string_view text) {
    LoadedFace& loaded = impl_->Face(font);
    const Metrics m = impl_->Prepare(loaded, font);
    TextExtent extent;
    using NoPlot = void (*)(int, int, std::uint8_t);
    extent.Width = impl_->Layout(loaded, false, 0, 0, text, static_cast<NoPlot*>(nullptr));
    extent.Height = m.ascent + m.descent;
    return extent;
}

} // namespace font
