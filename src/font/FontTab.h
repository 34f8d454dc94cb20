#pragma once

#include "font/ColourImage.h"
#include "font/FontState.h"
#include "font/TextRenderer.h"
#include "settings/Settings.h"
#include "ui/Dialogs.h"
#include "ui/Tab.h"

#include <QImage>

#include <memory>
#include <string>
#include <vector>

namespace font {

class GlyphPanel;
class BankPanel;
class StringsPanel;

// The "Font" tab: TrueType characters rendered into glyphs, edited pixel by pixel with a 16-colour palette,
// collected in the bank and turned into firmware source. It is composed of three panels, each owning its
// controls and their handlers: the glyph panel (font boxes, preview, glyph grid, palette, options, glyph
// files), the bank panel (bank grid, bank files, code) and the strings panel (text-string generation). The
// tab holds what they share: the document state, the renderer, the services and the two dialogs only this
// tab uses.
class FontTab final : public ui::Tab {
    Q_OBJECT
public:
    // Throws base::Error when the text renderer cannot start (no FreeType or fontconfig).
    FontTab(const ui::TabContext& context, const settings::Settings& settings, FontState& state,
            QWidget* parent = nullptr);
    ~FontTab() override;

    QString Caption() const override { return QStringLiteral("Font"); }
    // The start state: an empty bank with its titles, the start font shown in the font boxes and the memo,
    // black and white paint colours, the palette grid's titles and colours, 16 x 16 at 1 bpp, offsets 0.
    void FormCreate() override;

    GlyphPanel& Glyph() { return *glyph_; }
    BankPanel& Bank() { return *bank_; }
    StringsPanel& Strings() { return *strings_; }

    // What the panels share.
    FontState& State() { return state_; }
    const settings::Settings& Settings() const { return settings_; }
    TextRenderer& Renderer() { return *renderer_; }
    ui::Messages& Messages() { return messages_; }
    ui::DialogDriver& Dialogs() { return dialogs_; }
    ui::FileDialog& OpenDialog_Main() { return openDialog_; }
    // The document's current folder: the file dialogs show and move it, the outputs go there.
    std::string& Folder() { return folder_; }
    // Status panel 3: what the last font choice or rendering could not do as asked (a face standing in for
    // one that is not installed, characters the face lacks, ink the glyph cuts off), or nothing.
    void ShowRenderNotes(const std::vector<std::string>& lines);

    ui::FontDialog Font_digFontSel;
    ui::ColourDialog Font_digFontColorSel;

private:
    const settings::Settings& settings_;
    FontState& state_;
    ui::Messages& messages_;
    ui::DialogDriver& dialogs_;
    ui::FileDialog& openDialog_;
    std::string& folder_;
    std::unique_ptr<TextRenderer> renderer_;

    GlyphPanel* glyph_ = nullptr;
    BankPanel* bank_ = nullptr;
    StringsPanel* strings_ = nullptr;
};

// A picture of colour values as the toolkit shows it.
QImage ToQImage(const ColourImage& image);
// The font the font dialog chose (its family without a foundry tag), and the dialog's preset from a font.
FontChoice FromDialog(const ui::FontChoice& chosen);
ui::FontChoice ToDialog(const FontChoice& font);

} // namespace font
