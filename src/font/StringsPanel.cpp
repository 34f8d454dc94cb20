#include "font/StringsPanel.h"

#include "base/Error.h"
#include "font/TextStrings.h"
#include "ui/Guarded.h"
#include "ui/Placement.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace font {

namespace {

// The busy cursor for as long as a run lasts, however it ends.
class BusyCursor final {
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace

StringsPanel::StringsPanel(const PanelContext& context, QWidget* parent)
    : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("Font_StringsPanel"));
    Font_MemoFontString = ui::Placed(new QPlainTextEdit(this), "Font_MemoFontString", 0, 0);
    Font_MemoFontString->setFixedSize(268, 126);
    Font_MemoFontString->setTabChangesFocus(true);
    Font_MemoFontString->setToolTip(QStringLiteral(
        "Texts, one a line (at most 256 characters): Generate makes a glyph for each character"));
    ui::NameOwnerDrawn(Font_MemoFontString, QStringLiteral("Font strings"));
    Font_btnStringGenerate = ui::PlacedButton(this, "Font_btnStringGenerate", "Generate", 276, 0, 80, 26,
                                              "Load Font String To Bank");
    Font_btnStringAscii =
        ui::PlacedButton(this, "Font_btnStringAscii", "Ascii", 276, 34, 80, 26, "Generate Ascii Font");
    Font_btnStringClear =
        ui::PlacedButton(this, "Font_btnStringClear", "Clear", 276, 68, 80, 26, "Clear All Font String");
    // Under Ascii's column: like Ascii it fills the bank from a fixed kind of list, and like Generate it reads
    // the memo, where the ranges are typed and read back by a screen reader.
    Font_btnStringRange = ui::PlacedButton(this, "Font_btnStringRange", "Range", 276, 102, 80, 26,
                                           "Fill the bank with the code points the memo lists, e.g. "
                                           "0x20-0x7E,0xA0-0xFF,0x2190");
    setFixedSize(360, 128);

    connect(Font_MemoFontString->document(), &QTextDocument::contentsChange, this,
            [this](int position, int, int added) {
                lastChangeEnd_ = position + added;
                lastChangeAdded_ = added;
            });
    connect(Font_MemoFontString, &QPlainTextEdit::textChanged, this, [this] { LimitMemo(); });
    connect(Font_btnStringGenerate, &QPushButton::clicked, this,
            ui::Guarded([this] { Font_btnStringGenerateClick(); }));
    connect(Font_btnStringAscii, &QPushButton::clicked, this,
            ui::Guarded([this] { Font_btnStringAsciiClick(); }));
    connect(Font_btnStringRange, &QPushButton::clicked, this,
            ui::Guarded([this] { Font_btnStringRangeClick(); }));
    connect(Font_btnStringClear, &QPushButton::clicked, this,
            ui::Guarded([this] { Font_btnStringClearClick(); }));
}

void StringsPanel::LimitMemo() {
    QTextDocument* doc = Font_MemoFontString->document();
    // The document's length counts one for each line end and one for the end of the text.
    const int excess = doc->characterCount() - 1 - static_cast<int>(kMemoMaxLength);
    if (excess <= 0) return;
    const int cut = std::min(excess, lastChangeAdded_);
    int from = lastChangeEnd_ - cut;
    // Never leave half of a character that needs two code units.
    if (from > 0 && doc->characterAt(from).isLowSurrogate()) --from;
    QTextCursor cursor(doc);
    cursor.setPosition(from);
    cursor.setPosition(lastChangeEnd_, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    lastChangeAdded_ = 0;
    if (doc->characterCount() - 1 > static_cast<int>(kMemoMaxLength)) {
        // A change the tracking missed: cut the end.
        QTextCursor end(doc);
        end.setPosition(static_cast<int>(kMemoMaxLength));
        end.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        end.removeSelectedText();
    }
}

void StringsPanel::SetMemoFont(const FontChoice& font) {
    QFont f(QString::fromStdString(font.Family));
    f.setPointSize(font.Size > 0 ? font.Size : 10);
    f.setBold(font.Style & kBold);
    f.setItalic(font.Style & kItalic);
    f.setUnderline(font.Style & kUnderline);
    f.setStrikeOut(font.Style & kStrikeOut);
    Font_MemoFontString->setFont(f);
}

QString StringsPanel::MemoText() const {
    // toPlainText() would also turn every no-break space into a blank, which then gets no glyph, while the
    // same text read from a file keeps it. Only the line ends are made plain here.
    QString text = Font_MemoFontString->document()->toRawText();
    for (QChar& c : text)
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator) c = QLatin1Char('\n');
    return text;
}

void StringsPanel::ShowRun(const StringsResult& result, const RenderNotes& notes, bool ascii) {
    if (result.failure) context_.messages.DialogPrintError(1, *result.failure);
    context_.messages.ShowNotes(result.notes);
    // Panel 1 carries the error; how many glyphs the run needed and how many were free go beside it.
    context_.messages.ShowDetailOf(result.notes);
    emit stringsRun(ascii);
    // What the glyphs lost, when any were made.
    context_.messages.ShowShortfalls(result.Inserted > 0 ? RenderNoteLines(notes, context_.state.Editor)
                                                         : std::vector<std::string>{});
}

void StringsPanel::Font_btnStringGenerateClick() {
    StringsResult result;
    RenderNotes notes;
    {
        const BusyCursor busy;
        const std::vector<std::u32string> lines = MemoLines(MemoText().toStdString());
        notes = CheckGlyphs(context_.state.Editor, context_.renderer, BuildFontDef(lines).Distinct);
        result = GenerateStrings(context_.state.Editor, context_.state.Bank, context_.renderer, lines,
                                 base::OutputDirectory::Current(context_.folder));
    }
    ShowRun(result, notes, false);
}

void StringsPanel::Font_btnStringAsciiClick() {
    StringsResult result;
    RenderNotes notes;
    {
        const BusyCursor busy;
        notes = CheckGlyphs(context_.state.Editor, context_.renderer, AsciiRunCharacters());
        result = InsertAscii(context_.state.Editor, context_.state.Bank, context_.renderer);
    }
    ShowRun(result, notes, true);
}

void StringsPanel::Font_btnStringRangeClick() {
    std::u32string chars;
    try {
        chars = ParseCharacterRanges(MemoText().toStdString());
    } catch (const base::Error& e) {
        context_.messages.DialogPrintError(1, std::string("Not a range list: ") + e.what());
        return;
    }
    StringsResult result;
    RenderNotes notes;
    {
        const BusyCursor busy;
        notes = CheckGlyphs(context_.state.Editor, context_.renderer, chars);
        result = InsertCharacters(context_.state.Editor, context_.state.Bank, context_.renderer, chars);
    }
    ShowRun(result, notes, false);
}

void StringsPanel::Font_btnStringClearClick() {
    Font_MemoFontString->clear();
}

} // namespace font
