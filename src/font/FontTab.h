#pragma once

#include "font/FontQt.h"
#include "font/FontState.h"
#include "font/TextRenderer.h"
#include "settings/Settings.h"
#include "ui/Tab.h"

#include <memory>
#include <string>

namespace font {

class GlyphPanel;
class BankPanel;
class StringsPanel;
struct BankLoadResult;

// The "Font" tab: TrueType characters rendered into glyphs, edited pixel by pixel with a 16-colour palette,
// collected in the bank and turned into firmware source. It is composed of three panels, each owning its
// controls, its handlers and the dialogs it alone uses: the glyph panel (font boxes, preview, glyph grid,
// palette, options, glyph files), the bank panel (bank grid, bank files, code) and the strings panel
// (text-string generation). The tab holds what they share (the renderer, and through a PanelContext the
// document state and the services), hears what each panel changed, and refreshes the panels that show it:
// no panel calls another.
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
    bool UndoStep() override;
    bool RedoStep() override;
    // One glyph file (Load of the editor) or bank file (Load of the bank, told by its ";FontFace=" lines).
    DropOpen DropTaken(const std::vector<std::string>& paths) const override;
    void OpenDropped(const std::vector<std::string>& paths) override;

private:
    // What the panels report, and the panels that show it.
    void BankChanged();
    void EditorChanged();
    void FontChanged();
    void BankFontRead(const BankLoadResult& result);
    void StringsRun(bool ascii);

    FontState& state_;
    ui::Messages& messages_;
    std::unique_ptr<TextRenderer> renderer_;

    GlyphPanel* glyph_ = nullptr;
    BankPanel* bank_ = nullptr;
    StringsPanel* strings_ = nullptr;
};

} // namespace font
