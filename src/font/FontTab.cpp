#include "font/FontTab.h"

#include "base/Error.h"
#include "font/BankFiles.h"
#include "font/BankPanel.h"
#include "font/FreeTypeRenderer.h"
#include "font/GlyphPanel.h"
#include "font/PanelContext.h"
#include "font/StringsPanel.h"
#include "ui/Placement.h"

#include <QGroupBox>

namespace font {

FontTab::FontTab(const ui::TabContext& context, const settings::Settings& settings, FontState& state,
                 QWidget* parent)
    : ui::Tab(parent), state_(state), messages_(context.messages),
      renderer_(std::make_unique<FreeTypeRenderer>(FreeTypeRenderer::Configuration::Shared)) {
    setObjectName(QStringLiteral("TabSheet_Font"));
    const PanelContext panels{
        state,         settings, *renderer_, context.messages, context.dialogs, context.OpenDialog_Main,
        context.folder};

    glyph_ = ui::Placed(new GlyphPanel(panels, this), "Font_GlyphPanel", 0, 0);
    glyph_->setFixedSize(608, 652);
    bank_ = ui::Placed(new BankPanel(panels, this), "Font_BankPanel", 610, 0);
    bank_->setFixedSize(276, 652);
    // The strings are among the options, beside the palette and under the editing buttons.
    strings_ = ui::Placed(new StringsPanel(panels, glyph_->OptionsGroup()), "Font_StringsPanel", 236, 136);

    connect(glyph_, &GlyphPanel::bankChanged, this, &FontTab::BankChanged);
    connect(glyph_, &GlyphPanel::fontChanged, this, &FontTab::FontChanged);
    connect(bank_, &BankPanel::editorChanged, this, &FontTab::EditorChanged);
    connect(bank_, &BankPanel::bankFontRead, this, &FontTab::BankFontRead);
    connect(strings_, &StringsPanel::stringsRun, this, &FontTab::StringsRun);
}

FontTab::~FontTab() = default;

void FontTab::FormCreate() {
    bank_->ShowBank();
    try {
        glyph_->FormCreate();
    } catch (const base::Error& e) {
        // Without a face the rest of the tool still works; the font boxes stay empty until one is chosen.
        messages_.ShowUncaught(e.what());
    }
}

void FontTab::BankChanged() {
    bank_->ShowBank();
}

void FontTab::EditorChanged() {
    glyph_->ShowEditor();
}

void FontTab::FontChanged() {
    strings_->SetMemoFont(state_.Editor.CurrentFont);
}

void FontTab::BankFontRead(const BankLoadResult& result) {
    glyph_->ShowBankFont(result);
}

void FontTab::StringsRun(bool ascii) {
    bank_->ShowBank();
    glyph_->ShowGlyph();
    if (ascii) glyph_->ClearEntry();
}

} // namespace font
