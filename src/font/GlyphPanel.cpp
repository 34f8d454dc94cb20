#include "font/GlyphPanel.h"

#include "font/BankFiles.h"
#include "font/FontBank.h"
#include "font/FontQt.h"
#include "font/GlyphFile.h"
#include "ui/Guarded.h"
#include "ui/Placement.h"
#include "ui/QtConvert.h"
#include "widgets/ColourGrid.h"
#include "widgets/GlyphGrid.h"
#include "widgets/Swatch.h"
#include "widgets/TCSpinEdit.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>

namespace font {

namespace {

QLabel* Caption(QWidget* parent, const char* name, const char* text, int x, int y, int width) {
    auto* label = ui::Placed(new QLabel(QString::fromLatin1(text), parent), name, x, y);
    label->setTextFormat(Qt::PlainText);
    label->setFixedSize(width, 22);
    return label;
}

// A read-only box with the label beside it, which names it for a screen reader.
QLineEdit* ReadOnlyBox(QWidget* parent, const char* name, QLabel* label, int x, int y, int width) {
    auto* box = ui::Placed(new QLineEdit(parent), name, x, y);
    box->setReadOnly(true);
    box->setFixedSize(width, 22);
    ui::NameAfterLabel(label, box);
    return box;
}

QComboBox* DropDown(QWidget* parent, const char* name, QLabel* label, int x, int y, int width,
                    const char* const* items, int count, int start) {
    auto* box = ui::Placed(new QComboBox(parent), name, x, y);
    for (int i = 0; i < count; ++i)
        box->addItem(QString::fromLatin1(items[i]));
    box->setCurrentIndex(start);
    box->setFixedSize(width, 24);
    ui::NameAfterLabel(label, box);
    return box;
}

widgets::TCSpinEdit* OffsetBox(QWidget* parent, const char* name, QLabel* label, int x, int y) {
    auto* spin = ui::Placed(new widgets::TCSpinEdit(parent), name, x, y);
    spin->setRange(-GlyphEditor::kMaxOffset, GlyphEditor::kMaxOffset);
    spin->setValue(0);
    spin->SetTypingAllowed(false);
    spin->setFixedSize(64, 24);
    ui::NameAfterLabel(label, spin);
    return spin;
}

// The glyph grid's panel, 364 x 364 pixels; the grid is centred in it.
constexpr int kGlyphPanelSize = 364;

// The on-screen size of one glyph pixel in the glyph grid (without its grid line): smaller as the glyph has
// more cells across or down, so that the largest glyph still fits the panel.
int ViewCellWidth(int widthIndex) {
    const int across = CellsAcrossOf(widthIndex);
    return across <= 2 ? 10 : across == 3 ? 6 : 4;
}
int ViewCellHeight(int heightIndex) {
    const int down = CellsDownOf(heightIndex);
    return down <= 2 ? 10 : down == 3 ? 6 : 4;
}

// The font palette grid: 17 columns by 2 rows, the first column and row fixed. Column 0 is 32 pixels wide,
// the others 18; rows are 18 high. Row 1 of column c (1..16) shows FontPalette[c - 1].
constexpr int kPaletteGridColumns = 17;
constexpr int kPaletteGridRows = 2;
constexpr int kPaletteGridTitleWidth = 32;
constexpr int kPaletteGridColumnWidth = 18;
constexpr int kPaletteGridRowHeight = 18;

// The text of a fixed cell: "Index" and "Color" in column 0, "1".."16" in row 0; "" for the colour cells.
QString PaletteGridTitle(int column, int row) {
    if (column == 0)
        return row == 0 ? QStringLiteral("Index") : row == 1 ? QStringLiteral("Color") : QString();
    if (row == 0 && column >= 1 && column < kPaletteGridColumns) return QString::number(column);
    return {};
}

// The palette entry of a cell of the palette grid: row 1, columns 1..16; -1 for the titles.
int PaletteEntryAt(int column, int row) {
    return row == 1 && column >= 1 && column < kPaletteGridColumns ? column - 1 : -1;
}

widgets::ColourGrid::Shape PaletteShape() {
    widgets::ColourGrid::Shape s;
    s.columns = kPaletteGridColumns;
    s.rows = kPaletteGridRows;
    s.cellWidth = kPaletteGridColumnWidth;
    s.cellHeight = kPaletteGridRowHeight;
    s.columnWidths = {kPaletteGridTitleWidth};
    s.titleRow = true;
    s.titleColumn = true;
    return s;
}

// Face names come from fontconfig and from bank files in UTF-8.
void SetBox(QLineEdit* box, const std::string& text) {
    box->setText(QString::fromStdString(text));
}

} // namespace

GlyphPanel::GlyphPanel(const PanelContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("Font_GlyphPanel"));
    Font_digFontSel.Name = "Font_digFontSel";
    Font_digFontSel.Font = ToDialog(DialogStartFont());
    Font_digFontColorSel.Name = "Font_digFontColorSel";

    // "Font": the read-only boxes of the current font and the font dialog's button.
    Font_gbFontSel = ui::Placed(new QGroupBox(QStringLiteral("Font"), this), "Font_gbFontSel", 4, 2);
    Font_gbFontSel->setFixedSize(228, 196);
    QWidget* g = Font_gbFontSel;
    OSD_edtTTFFontFace =
        ReadOnlyBox(g, "OSD_edtTTFFontFace", Caption(g, "Font_lblFace", "Face:", 8, 24, 52), 62, 24, 156);
    OSD_edtTTFFontStyle =
        ReadOnlyBox(g, "OSD_edtTTFFontStyle", Caption(g, "Font_lblStyle", "Style:", 8, 52, 52), 62, 52, 156);
    OSD_edtTTFFontSize =
        ReadOnlyBox(g, "OSD_edtTTFFontSize", Caption(g, "Font_lblSize", "Size:", 8, 80, 52), 62, 80, 44);
    OSD_edtTTFFontHeight = ReadOnlyBox(g, "OSD_edtTTFFontHeight",
                                       Caption(g, "Font_lblHeight", "Height:", 114, 80, 48), 162, 80, 56);
    OSD_edtTTFFontCharset = ReadOnlyBox(g, "OSD_edtTTFFontCharset",
                                        Caption(g, "Font_lblCharset", "Charset:", 8, 108, 52), 62, 108, 44);
    OSD_edtTTFFontPixels = ReadOnlyBox(g, "OSD_edtTTFFontPixels",
                                       Caption(g, "Font_lblPixels", "Pixels:", 114, 108, 48), 162, 108, 56);
    OSD_btnTTFFontSel =
        ui::PlacedButton(g, "OSD_btnTTFFontSel", "Font ...", 62, 146, 96, 28, "Select Font Style");
    Font_btnFontFile = ui::PlacedButton(g, "Font_btnFontFile", "Font File...", 162, 146, 60, 28,
                                        "Render with the first face of a .ttf, .otf or .ttc file");

    // "PreView": the drawing surface, unscaled.
    Font_gbFontPreView =
        ui::Placed(new QGroupBox(QStringLiteral("PreView"), this), "Font_gbFontPreView", 4, 202);
    Font_gbFontPreView->setFixedSize(228, 168);
    Font_imgFontPreView = ui::Placed(new QLabel(Font_gbFontPreView), "Font_imgFontPreView", 50, 28);
    Font_imgFontPreView->setFixedSize(GlyphEditor::kSurfaceSize, GlyphEditor::kSurfaceSize);
    ui::NameOwnerDrawn(Font_imgFontPreView, QStringLiteral("Preview"),
                       QStringLiteral("The 128 x 128 drawing surface; the glyph's top-left is at 32, 32"));

    // The glyph grid, centred in its panel.
    Font_plFontPanel = ui::Placed(new QFrame(this), "Font_plFontPanel", 240, 6);
    Font_plFontPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Font_plFontPanel->setFixedSize(kGlyphPanelSize, kGlyphPanelSize);
    // The grid draws the lines right of and below its cells; a line behind it closes its top and left.
    gridOutline_ = new QWidget(Font_plFontPanel);
    gridOutline_->setAutoFillBackground(true);
    QPalette outline = gridOutline_->palette();
    outline.setColor(QPalette::Window, QColor(0xA0, 0xA0, 0xA0));
    gridOutline_->setPalette(outline);
    Font_sgGridChar = ui::Placed(new widgets::GlyphGrid(Font_plFontPanel), "Font_sgGridChar", 0, 0);
    Font_sgGridChar->SetCellColour([this](int c, int r) { return ui::ToQColor(Editor().GlyphPixel(c, r)); });
    Font_sgGridChar->SetCellDescription(
        [this](int c, int r) { return ui::ToQt(ColorName(Editor().GlyphPixel(c, r))); });
    Font_sgGridChar->setToolTip(QStringLiteral("Paint with the left colour; hold Alt for the right colour"));
    ui::NameOwnerDrawn(Font_sgGridChar, QStringLiteral("Glyph grid"));

    // "Options": the glyph's geometry and colours, the editing buttons and the glyph file.
    Font_gbFontOption =
        ui::Placed(new QGroupBox(QStringLiteral("Options"), this), "Font_gbFontOption", 4, 374);
    Font_gbFontOption->setFixedSize(604, 274);
    QWidget* o = Font_gbFontOption;
    Font_cbFontColorType =
        DropDown(o, "Font_cbFontColorType", Caption(o, "Font_lblColorType", "Color Type:", 8, 24, 96), 106,
                 24, 110, kColorTypeItems.data(), kColorTypes, 0);
    Font_cbGridWidth =
        DropDown(o, "Font_cbGridWidth", Caption(o, "Font_lblGridWidth", "Grid Width:", 8, 54, 96), 106, 54,
                 64, kGridWidthItems.data(), kWidthIndexes, 4);
    Font_cbGridHeight =
        DropDown(o, "Font_cbGridHeight", Caption(o, "Font_lblGridHeight", "Grid Height:", 8, 84, 96), 106, 84,
                 64, kGridHeightItems.data(), kHeightIndexes, 0);
    CSpinEdit_Xoffset =
        OffsetBox(o, "CSpinEdit_Xoffset", Caption(o, "Font_lblXoffset", "X offset:", 8, 114, 96), 106, 114);
    CSpinEdit_Yoffset =
        OffsetBox(o, "CSpinEdit_Yoffset", Caption(o, "Font_lblYoffset", "Y offset:", 8, 144, 96), 106, 144);
    QLabel* entryLabel = Caption(o, "Font_lblEntry", "Entry character:", 8, 174, 96);
    Edit_Char = ui::Placed(new QLineEdit(o), "Edit_Char", 106, 174);
    Edit_Char->setMaxLength(2);
    Edit_Char->setFixedSize(64, 22);
    Edit_Char->setToolTip(QStringLiteral("Type one or two characters and press Enter to render them"));
    ui::NameAfterLabel(entryLabel, Edit_Char);
    Edit_Char->installEventFilter(this);
    Font_btnLoad = ui::PlacedButton(o, "Font_btnLoad", "Load", 8, 226, 80, 26, "Load Font file ");
    Font_BtnSave = ui::PlacedButton(o, "Font_BtnSave", "Save", 96, 226, 80, 26, "Save Font file");

    Font_sgFontPalette =
        ui::Placed(new widgets::ColourGrid(PaletteShape(), o), "Font_sgFontPalette", 236, 22);
    Font_sgFontPalette->SetCellColourAt([this](int column, int row) -> std::optional<QColor> {
        if (row != 1 || column < 1) return std::nullopt;
        return ui::ToQColor(Editor().FontPalette[static_cast<size_t>(column - 1)]);
    });
    Font_sgFontPalette->setToolTip(
        QStringLiteral("Left click: left colour; right click: right colour; double click: change the entry"));
    ui::NameOwnerDrawn(Font_sgFontPalette, QStringLiteral("Font palette"));
    QLabel* leftLabel = Caption(o, "Font_lblForgColor", "Left Color:", 236, 72, 72);
    Font_edtFontForgColor = ui::Placed(new widgets::Swatch(o), "Font_edtFontForgColor", 310, 72);
    ui::NameAfterLabel(leftLabel, Font_edtFontForgColor);
    QLabel* rightLabel = Caption(o, "Font_lblBackColor", "Right Color:", 392, 72, 76);
    Font_edtFontBackColor = ui::Placed(new widgets::Swatch(o), "Font_edtFontBackColor", 470, 72);
    ui::NameAfterLabel(rightLabel, Font_edtFontBackColor);
    Font_btnInvert =
        ui::PlacedButton(o, "Font_btnInvert", "Invert", 236, 102, 80, 26, "Invert Font Color for B/W");
    Font_btnClear = ui::PlacedButton(o, "Font_btnClear", "Clear", 324, 102, 80, 26, "Clear Current Font");
    Font_btnInsert = ui::PlacedButton(o, "Font_btnInsert", "Insert", 412, 102, 80, 26, "Insert Font to Bank");

    connect(OSD_btnTTFFontSel, &QPushButton::clicked, this,
            ui::Guarded([this] { OSD_btnTTFFontSelClick(); }));
    connect(Font_btnFontFile, &QPushButton::clicked, this, ui::Guarded([this] { Font_btnFontFileClick(); }));
    // The boxes act on their change, whatever made it (the mouse, the keyboard, a screen reader); ShowEditor
    // holds their signals back while it shows the editor, so showing a state does not set it again.
    connect(Font_cbFontColorType, &QComboBox::currentIndexChanged, this,
            ui::Guarded([this] { Font_cbFontColorTypeChange(); }));
    connect(Font_cbGridWidth, &QComboBox::currentIndexChanged, this,
            ui::Guarded([this] { Font_cbGridWidthChange(); }));
    connect(Font_cbGridHeight, &QComboBox::currentIndexChanged, this,
            ui::Guarded([this] { Font_cbGridHeightChange(); }));
    connect(CSpinEdit_Xoffset, &QSpinBox::valueChanged, this,
            ui::Guarded([this] { CSpinEdit_XoffsetChange(); }));
    connect(CSpinEdit_Yoffset, &QSpinBox::valueChanged, this,
            ui::Guarded([this] { CSpinEdit_YoffsetChange(); }));
    connect(Font_sgGridChar, &widgets::GlyphGrid::pressed, this,
            [this](int x, int y, Qt::MouseButton, bool alt) {
                ui::RunGuarded([=, this] { Font_sgGridCharMouseDown(x, y, alt); });
            });
    connect(Font_sgGridChar, &widgets::GlyphGrid::moved, this, [this](int x, int y, bool leftHeld, bool alt) {
        ui::RunGuarded([=, this] { Font_sgGridCharMouseMove(x, y, leftHeld, alt); });
    });
    connect(Font_sgGridChar, &widgets::GlyphGrid::released, this,
            ui::Guarded([this] { Font_sgGridCharMouseUp(); }));
    connect(Font_sgFontPalette, &widgets::ColourGrid::pressed, this, [this](int x, int y, Qt::MouseButton b) {
        ui::RunGuarded([=, this] {
            if (const auto cell = Font_sgFontPalette->CellAt(x, y))
                Font_sgFontPaletteMouseDown(cell->first, cell->second, b);
        });
    });
    connect(Font_sgFontPalette, &widgets::ColourGrid::doubleClicked, this,
            ui::Guarded([this] { Font_sgFontPaletteDblClick(); }));
    connect(Font_btnInvert, &QPushButton::clicked, this, ui::Guarded([this] { Font_btnInvertClick(); }));
    connect(Font_btnClear, &QPushButton::clicked, this, ui::Guarded([this] { Font_btnClearClick(); }));
    connect(Font_btnInsert, &QPushButton::clicked, this, ui::Guarded([this] { Font_btnInsertClick(); }));
    connect(Font_btnLoad, &QPushButton::clicked, this, ui::Guarded([this] { Font_btnLoadClick(); }));
    connect(Font_BtnSave, &QPushButton::clicked, this, ui::Guarded([this] { Font_BtnSaveClick(); }));
}

GlyphEditor& GlyphPanel::Editor() {
    return context_.state.Editor;
}

void GlyphPanel::FormCreate() {
    for (int row = 0; row < kPaletteGridRows; ++row)
        for (int column = 0; column < kPaletteGridColumns; ++column)
            Font_sgFontPalette->SetTitle(column, row, PaletteGridTitle(column, row));
    ShowEditor();
    FontShowProp(Editor().CurrentFont);
}

base::Notes GlyphPanel::FontShowProp(const FontChoice& font) {
    const FontBoxTexts t = font::FontShowProp(Editor(), context_.renderer, font);
    SetBox(OSD_edtTTFFontFace, t.Face);
    SetBox(OSD_edtTTFFontStyle, t.Style);
    SetBox(OSD_edtTTFFontSize, t.Size);
    SetBox(OSD_edtTTFFontHeight, t.Height);
    SetBox(OSD_edtTTFFontCharset, t.Charset);
    SetBox(OSD_edtTTFFontPixels, t.Pixels);
    emit fontChanged();
    return t.notes;
}

void GlyphPanel::OSD_btnTTFFontSelClick() {
    if (!Font_digFontSel.Execute(context_.dialogs)) return;
    // Panel 3 says which face stands in, or nothing when the family chosen draws.
    context_.messages.ShowShortfalls(
        base::TextsOf(FontShowProp(FromDialog(Font_digFontSel.Font)), base::Note::Kind::Shortfall));
}

void GlyphPanel::Font_btnFontFileClick() {
    ui::FileDialog& dialog = context_.openDialog;
    const ui::DialogRestore restore(dialog);
    dialog.Filter = kFontFileFilter;
    dialog.FilterIndex = 1;
    dialog.FileName.clear();
    if (!dialog.Execute(context_.dialogs, context_.folder)) return;
    FontChoice font = Editor().CurrentFont;
    font.Family = context_.renderer.UseFontFile(dialog.FileName, 0);
    Font_digFontSel.Font.Name = font.Family;
    context_.messages.ShowShortfalls(base::TextsOf(FontShowProp(font), base::Note::Kind::Shortfall));
}

void GlyphPanel::Edit_CharKeyUp(int key) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return;
    const QString text = Edit_Char->text();
    RenderNotes notes;
    const auto pixels = EnterCharacter(Editor(), context_.renderer, text.toStdString(), &notes);
    if (!pixels) return;
    SetBox(OSD_edtTTFFontPixels, *pixels);
    ShowGlyph();
    context_.messages.ShowShortfalls(RenderNoteLines(notes, Editor()));
}

bool GlyphPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Edit_Char && event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!key->isAutoRepeat()) ui::RunGuarded([this, k = key->key()] { Edit_CharKeyUp(k); });
    }
    return QWidget::eventFilter(watched, event);
}

void GlyphPanel::Font_cbFontColorTypeChange() {
    if (!Editor().ApplyColorType(Font_cbFontColorType->currentIndex())) return;
    ShowColourBoxes();
    ShowGlyph();
}

void GlyphPanel::Font_cbGridWidthChange() {
    if (Editor().ApplyGridWidth(Font_cbGridWidth->currentIndex())) ShowGlyph();
}

void GlyphPanel::Font_cbGridHeightChange() {
    if (Editor().ApplyGridHeight(Font_cbGridHeight->currentIndex())) ShowGlyph();
}

void GlyphPanel::CSpinEdit_XoffsetChange() {
    Editor().SetXOffset(CSpinEdit_Xoffset->value());
    ShowGlyph();
}

void GlyphPanel::CSpinEdit_YoffsetChange() {
    Editor().SetYOffset(CSpinEdit_Yoffset->value());
    ShowGlyph();
}

void GlyphPanel::Font_sgGridCharMouseDown(int x, int y, bool alt) {
    // The painted cell shows at once; the whole grid and the preview follow on release.
    const auto cell = Font_sgGridChar->CellAt(x, y);
    if (cell && Editor().PaintCell(cell->first, cell->second, alt)) Font_sgGridChar->Refresh();
}

void GlyphPanel::Font_sgGridCharMouseMove(int x, int y, bool leftHeld, bool alt) {
    if (leftHeld) Font_sgGridCharMouseDown(x, y, alt);
}

void GlyphPanel::Font_sgGridCharMouseUp() {
    ShowGlyph();
}

void GlyphPanel::Font_sgFontPaletteMouseDown(int column, int row, Qt::MouseButton button) {
    const int entry = PaletteEntryAt(column, row);
    if (entry < 0 || (button != Qt::LeftButton && button != Qt::RightButton)) return;
    if (Editor().PickPaletteColour(entry, button == Qt::LeftButton ? PaintColour::Left : PaintColour::Right))
        ShowColourBoxes();
}

void GlyphPanel::Font_sgFontPaletteDblClick() {
    const int entry = PaletteEntryAt(Font_sgFontPalette->CurrentColumn(), Font_sgFontPalette->CurrentRow());
    if (entry < 0 || !Editor().CanChangePaletteEntry(entry)) return;
    Font_digFontColorSel.Colour = Editor().FontPalette[static_cast<size_t>(entry)];
    if (!Font_digFontColorSel.Execute(context_.dialogs)) return;
    if (Editor().ChangePaletteEntry(entry, Font_digFontColorSel.Colour)) ShowGlyph();
    ShowColourBoxes();
}

void GlyphPanel::Font_btnInvertClick() {
    Editor().Invert();
    ShowGlyph();
}

void GlyphPanel::Font_btnClearClick() {
    Editor().ClearPreview();
    ShowGlyph();
}

void GlyphPanel::Font_btnInsertClick() {
    if (const auto failure = InsertGlyph(context_.state.Bank, Editor())) {
        context_.messages.DialogPrintError(1, *failure);
        return;
    }
    emit bankChanged();
}

void GlyphPanel::Font_BtnSaveClick() {
    const GlyphSaveResult result =
        SaveGlyphFiles(Editor(), context_.state.Bank.Count(), context_.settings.BinSort(),
                       base::OutputDirectory::Current(context_.folder));
    if (result.failure) context_.messages.DialogPrintError(1, *result.failure);
    context_.messages.ShowNotes(result.notes);
}

void GlyphPanel::Font_btnLoadClick() {
    ui::FileDialog& dialog = context_.openDialog;
    const ui::DialogRestore restore(dialog);
    dialog.Filter = kGlyphFileFilter;
    dialog.FilterIndex = 1;
    dialog.FileName = kGlyphFileDefaultName;
    if (!dialog.Execute(context_.dialogs, context_.folder)) return;
    base::FailureDetail detail;
    const auto failure = LoadGlyphFile(Editor(), dialog.FileName, &detail);
    ShowEditor();
    if (failure) context_.messages.DialogPrintError(1, *failure, detail);
}

void GlyphPanel::ShowEditor() {
    GlyphEditor& e = Editor();
    {
        // The boxes show the editor; their change events would only apply it again (and the colour type's
        // would reset the paint colours).
        const QSignalBlocker blockType(Font_cbFontColorType);
        const QSignalBlocker blockWidth(Font_cbGridWidth);
        const QSignalBlocker blockHeight(Font_cbGridHeight);
        const QSignalBlocker blockX(CSpinEdit_Xoffset);
        const QSignalBlocker blockY(CSpinEdit_Yoffset);
        Font_cbFontColorType->setCurrentIndex(e.ColorType());
        Font_cbGridWidth->setCurrentIndex(e.WidthIndex());
        Font_cbGridHeight->setCurrentIndex(e.HeightIndex());
        CSpinEdit_Xoffset->setValue(e.XOffset());
        CSpinEdit_Yoffset->setValue(e.YOffset());
    }
    ShowColourBoxes();
    ShowGlyph();
}

void GlyphPanel::ShowGlyph() {
    // One cell a glyph pixel, centred in the panel.
    const GlyphEditor& e = Editor();
    Font_sgGridChar->SetShape(e.GridWidth(), e.GridHeight(), ViewCellWidth(e.WidthIndex()),
                              ViewCellHeight(e.HeightIndex()));
    const int left = (kGlyphPanelSize - Font_sgGridChar->width()) / 2;
    const int top = (kGlyphPanelSize - Font_sgGridChar->height()) / 2;
    Font_sgGridChar->move(left, top);
    gridOutline_->setGeometry(left - 1, top - 1, Font_sgGridChar->width() + 1, Font_sgGridChar->height() + 1);
    Font_sgGridChar->setAccessibleName(
        QStringLiteral("Glyph grid, %1 x %2 pixels").arg(e.GridWidth()).arg(e.GridHeight()));
    Font_sgGridChar->Refresh();
    Font_imgFontPreView->setPixmap(QPixmap::fromImage(ToQImage(Editor().PreviewSurface)));
}

void GlyphPanel::ShowColourBoxes() {
    const GlyphEditor& e = Editor();
    Font_edtFontForgColor->SetColour(ui::ToQColor(e.LeftColor));
    Font_edtFontForgColor->setToolTip(ui::ToQt(e.LeftHint));
    Font_edtFontForgColor->setAccessibleDescription(ui::ToQt(ColorName(e.LeftColor)));
    Font_edtFontBackColor->SetColour(ui::ToQColor(e.RightColor));
    Font_edtFontBackColor->setToolTip(ui::ToQt(e.RightHint));
    Font_edtFontBackColor->setAccessibleDescription(ui::ToQt(ColorName(e.RightColor)));
    Font_sgFontPalette->setAccessibleDescription(
        QStringLiteral("Left colour: entry %1, %2; right colour: entry %3, %4")
            .arg(e.LeftIndex)
            .arg(ui::ToQt(ColorName(e.LeftColor)))
            .arg(e.RightIndex)
            .arg(ui::ToQt(ColorName(e.RightColor))));
    Font_sgFontPalette->update();
}

void GlyphPanel::ShowBankFont(const BankLoadResult& result) {
    if (result.Face) SetBox(OSD_edtTTFFontFace, *result.Face);
    if (result.Charset) SetBox(OSD_edtTTFFontCharset, *result.Charset);
    if (result.Height) SetBox(OSD_edtTTFFontHeight, *result.Height);
    if (result.Size) SetBox(OSD_edtTTFFontSize, *result.Size);
    if (result.Style) SetBox(OSD_edtTTFFontStyle, *result.Style);
}

void GlyphPanel::ClearEntry() {
    Edit_Char->clear();
}

} // namespace font
