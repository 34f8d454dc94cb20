#pragma once

#include "font/GlyphEditor.h"
#include "font/PanelContext.h"
#include "font/TextRenderer.h"
#include "font/TextStrings.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;

namespace font {

// The text strings: the memo of texts, one a line (at most 256 characters, shown in the current font),
// "Generate" (Font_def.h and one glyph per distinct character), "Ascii" (the 95 glyphs of codes 33 to 127)
// and "Clear".
class StringsPanel final : public QWidget {
    Q_OBJECT
public:
    StringsPanel(const PanelContext& context, QWidget* parent);

    void Font_btnStringGenerateClick();
    void Font_btnStringAsciiClick();
    // "Range": the memo's text read as a list of code points and ranges fills the bank, as Ascii does.
    void Font_btnStringRangeClick();
    void Font_btnStringClearClick();

    // The memo shows its texts in the font their glyphs are rendered with.
    void SetMemoFont(const FontChoice& font);

signals:
    // "Generate" or (ascii) "Ascii" ran: the bank and the surface changed, and after Ascii the entry box is
    // emptied.
    void stringsRun(bool ascii);

private:
    // Keeps the memo within its limit: what a change added beyond it is taken out again.
    void LimitMemo();
    // The memo's text as typed, its lines ended by "\n".
    QString MemoText() const;
    // Shows every message of a run and its shortage, reports the run (stringsRun), and shows what the glyphs
    // lost (CheckGlyphs before the run) in the status bar.
    void ShowRun(const StringsResult& result, const RenderNotes& notes, bool ascii);

    PanelContext context_;
    int lastChangeEnd_ = 0;
    int lastChangeAdded_ = 0;

    QPlainTextEdit* Font_MemoFontString = nullptr;
    QPushButton* Font_btnStringGenerate = nullptr;
    QPushButton* Font_btnStringAscii = nullptr;
    QPushButton* Font_btnStringRange = nullptr;
    QPushButton* Font_btnStringClear = nullptr;
};

} // namespace font
