#include "font/FontTab.h"

#include "base/Error.h"
#include "font/BankPanel.h"
#include "font/FreeTypeRenderer.h"
#include "font/GlyphPanel.h"
#include "font/StringsPanel.h"
#include "ui/Placement.h"

#include <QGroupBox>

#include <algorithm>

namespace font {

QImage ToQImage(const ColourImage& image) {
    QImage out(image.Width(), image.Height(), QImage::Format_RGB32);
    for (int y = 0; y < image.Height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image.Width(); ++x) {
            const base::Colour c = image.Pixel(x, y);
            line[x] = qRgb(base::RedOf(c), base::GreenOf(c), base::BlueOf(c));
        }
    }
    return out;
}

FontChoice FromDialog(const ui::FontChoice& chosen) {
    FontChoice font;
    font.Family = FamilyWithoutFoundry(chosen.Name);
    font.Size = chosen.Size;
    font.Style =
        static_cast<std::uint8_t>((chosen.Bold ? kBold : 0) | (chosen.Italic ? kItalic : 0) |
                                  (chosen.Underline ? kUnderline : 0) | (chosen.StrikeOut ? kStrikeOut : 0));
    // The desktop's dialog names no character set; its "default set" (1) is no set of its own either.
    font.Charset = chosen.Charset == 1 ? 0 : static_cast<std::uint8_t>(std::clamp(chosen.Charset, 0, 255));
    return font;
}

ui::FontChoice ToDialog(const FontChoice& font) {
    ui::FontChoice preset;
    preset.Name = font.Family;
    preset.Size = font.Size;
    preset.Bold = font.Style & kBold;
    preset.Italic = font.Style & kItalic;
    preset.Underline = font.Style & kUnderline;
    preset.StrikeOut = font.Style & kStrikeOut;
    preset.Charset = font.Charset;
    return preset;
}

FontTab::FontTab(const ui::TabContext& context, const settings::Settings& settings, FontState& state,
                 QWidget* parent)
    : ui::Tab(parent), settings_(settings), state_(state), messages_(context.messages),
      dialogs_(context.dialogs), openDialog_(context.OpenDialog_Main), folder_(context.folder),
      renderer_(std::make_unique<FreeTypeRenderer>()) {
    setObjectName(QStringLiteral("TabSheet_Font"));
    Font_digFontSel.Name = "Font_digFontSel";
    Font_digFontSel.Font = ToDialog(DialogStartFont());
    Font_digFontColorSel.Name = "Font_digFontColorSel";

    glyph_ = ui::Placed(new GlyphPanel(*this, this), "Font_GlyphPanel", 0, 0);
    glyph_->setFixedSize(608, 652);
    bank_ = ui::Placed(new BankPanel(*this, this), "Font_BankPanel", 610, 0);
    bank_->setFixedSize(276, 652);
    // The strings are among the options, beside the palette and under the editing buttons.
    strings_ = ui::Placed(new StringsPanel(*this, glyph_->OptionsGroup()), "Font_StringsPanel", 236, 136);
}

FontTab::~FontTab() = default;

void FontTab::ShowRenderNotes(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "; ") + line;
    messages_.SetPanel(ui::Messages::kRenderPanel, text);
}

void FontTab::FormCreate() {
    bank_->ShowBank();
    try {
        glyph_->FormCreate();
    } catch (const base::Error& e) {
        // Without a face the rest of the tool still works; the font boxes stay empty until one is chosen.
        messages_.ShowUncaught(e.what());
    }
}

} // namespace font
