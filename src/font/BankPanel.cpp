#include "font/BankPanel.h"

#include "font/BankCodeGen.h"
#include "font/BankFiles.h"
#include "font/FontBank.h"
#include "font/FontQt.h"
#include "font/GlyphDecoder.h"
#include "ui/Guarded.h"
#include "ui/Placement.h"
#include "widgets/PictureGrid.h"
#include "widgets/PreviewWindow.h"

#include <QBuffer>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>

namespace font {

namespace {

// The bank grid: its columns' widths and titles, the title row's and the glyph rows' heights.
constexpr int kBankColumnWidths[4] = {34, 64, 37, 82};
constexpr const char* kBankTitles[4] = {"No.", "Font", "Bpp", "Description"};
constexpr int kBankHeaderRowHeight = 32;
constexpr int kBankGlyphRowHeight = 64;
// Only a press on a glyph's picture loads it into the editor.
constexpr int kBankGlyphColumn = 1;

widgets::PictureGrid::Shape BankShape() {
    widgets::PictureGrid::Shape s;
    s.columnWidths.assign(std::begin(kBankColumnWidths), std::end(kBankColumnWidths));
    s.titleHeight = kBankHeaderRowHeight;
    s.rowHeight = kBankGlyphRowHeight;
    for (const char* title : kBankTitles)
        s.titles << QString::fromLatin1(title);
    s.fixedFirstColumn = true;
    s.pictureColumn = kBankGlyphColumn;
    return s;
}

} // namespace

BankPanel::BankPanel(const PanelContext& context, QWidget* parent) : QWidget(parent), context_(context) {
    setObjectName(QStringLiteral("Font_BankPanel"));
    Font_gbFontBank = ui::Placed(new QGroupBox(QStringLiteral("Bank"), this), "Font_gbFontBank", 0, 2);
    Font_gbFontBank->setFixedSize(272, 646);
    QWidget* g = Font_gbFontBank;

    Font_sgFontBank = ui::Placed(new widgets::PictureGrid(BankShape(), g), "Font_sgFontBank", 8, 22);
    Font_sgFontBank->setFixedHeight(kBankHeaderRowHeight + 1 + 7 * (kBankGlyphRowHeight + 1) + 4);
    Font_sgFontBank->setToolTip(QStringLiteral("Click a glyph's picture to edit it again. Ctrl+Z undoes"));
    ui::NameOwnerDrawn(Font_sgFontBank, QStringLiteral("Font bank"));
    // A glyph's tooltip shows it as the bank's bytes draw it, made only when the tooltip shows.
    Font_sgFontBank->SetPictureToolTip([this](int row) { return DecodedGlyphToolTip(row); });

    const int y = 22 + Font_sgFontBank->height() + 10;
    Font_btnBankDelete =
        ui::PlacedButton(g, "Font_btnBankDelete", "Delete", 8, y, 76, 26, "Delete One Font Form Bank");
    Font_BtnBankClear = ui::PlacedButton(g, "Font_BtnBankClear", "Clear", 92, y, 76, 26, "Clear Font Bank");
    Font_btnBankLoad =
        ui::PlacedButton(g, "Font_btnBankLoad", "Load", 8, y + 34, 76, 26, "Load Font Bank File");
    Font_btnBankSave =
        ui::PlacedButton(g, "Font_btnBankSave", "Save", 92, y + 34, 76, 26, "Save Font Bank File");
    Font_btnBankCode = ui::PlacedButton(g, "Font_btnBankCode", "Code", 176, y + 34, 76, 26,
                                        "Generate C Style Code Form Bank");
    Font_chkHalfWord = ui::Placed(new QCheckBox(QStringLiteral("Half Word"), g), "Font_chkHalfWord", 176, y);
    Font_chkHalfWord->setChecked(false);

    connect(Font_sgFontBank, &widgets::PictureGrid::pressedAt, this,
            [this](int column, int row, Qt::MouseButton) {
                ui::RunGuarded([=, this] {
                    const FontStep step(context_.state);
                    Font_sgFontBankMouseDown(column, row);
                });
            });
    connect(Font_btnBankDelete, &QPushButton::clicked, this, ui::Guarded([this] {
                const FontStep step(context_.state);
                Font_btnBankDeleteClick();
            }));
    connect(Font_BtnBankClear, &QPushButton::clicked, this, ui::Guarded([this] {
                const FontStep step(context_.state);
                Font_BtnBankClearClick();
            }));
    connect(Font_btnBankLoad, &QPushButton::clicked, this, ui::Guarded([this] { Font_btnBankLoadClick(); }));
    connect(Font_btnBankSave, &QPushButton::clicked, this, ui::Guarded([this] { Font_btnBankSaveClick(); }));
    connect(Font_btnBankCode, &QPushButton::clicked, this, ui::Guarded([this] { Font_btnBankCodeClick(); }));
    // On its state change, whatever made it (a click, the keyboard, a screen reader's toggle action).
    connect(Font_chkHalfWord, &QCheckBox::toggled, this, ui::Guarded([this] { Font_chkHalfWordClick(); }));
}

void BankPanel::Font_sgFontBankMouseDown(int column, int row) {
    const FontBank& bank = context_.state.Bank;
    if (column != kBankGlyphColumn || row < 1 || static_cast<std::size_t>(row) > bank.Count()) return;
    LoadNodeIntoEditor(context_.state.Editor, bank[static_cast<std::size_t>(row - 1)]);
    emit editorChanged();
}

void BankPanel::Font_btnBankDeleteClick() {
    FontBank& bank = context_.state.Bank;
    const int row = Font_sgFontBank->CurrentGridRow();
    if (bank.Empty() || row < 1 || static_cast<std::size_t>(row) > bank.Count()) return;
    bank.Remove(static_cast<std::size_t>(row - 1));
    ShowBank();
}

void BankPanel::Font_BtnBankClearClick() {
    context_.state.Bank.Clear();
    ShowBank();
}

void BankPanel::Font_btnBankSaveClick() {
    const BankSaveResult result =
        SaveBank(context_.state.Bank, context_.state.Editor.CurrentFont, context_.settings.BinSort(),
                 base::OutputDirectory::Current(context_.folder), context_.state.Editor.Smooth);
    if (result.failure) context_.messages.DialogPrintError(1, *result.failure, result.detail);
}

void BankPanel::Font_btnBankLoadClick() {
    ui::FileDialog& dialog = context_.openDialog;
    const ui::DialogRestore restore(dialog);
    dialog.Filter = kBankFileFilter;
    dialog.FilterIndex = 1;
    dialog.FileName = kBankTextName;
    if (!dialog.Execute(context_.dialogs, context_.folder)) return;
    const BankLoadResult result =
        LoadBankFile(context_.state.Bank, dialog.FileName, context_.state.Editor.FontPalette);
    // Another bank was opened: the steps taken before cannot be taken back.
    if (result.Added > 0 || !result.failure) context_.state.History.Clear();
    // A bank saved with "Smooth" on turns the box on, so that saving it again keeps the line.
    if (result.Smooth) context_.state.Editor.Smooth = true;
    emit bankFontRead(result);
    ShowBank();
    if (result.failure) context_.messages.DialogPrintError(1, *result.failure, result.detail);
}

void BankPanel::Font_btnBankCodeClick() {
    const CodeGenResult result =
        GenerateBankCode(context_.state.Bank, context_.state.HalfWord, context_.settings.PaletteFormat(),
                         base::OutputDirectory::Current(context_.folder));
    if (result.failure) {
        context_.messages.DialogPrintError(1, *result.failure, result.detail);
        return;
    }
    context_.messages.ShowNotes(result.notes);
}

void BankPanel::Font_chkHalfWordClick() {
    context_.state.HalfWord = Font_chkHalfWord->isChecked();
}

QString BankPanel::DecodedGlyphToolTip(int row) const {
    const FontBank& bank = context_.state.Bank;
    if (row < 1 || static_cast<std::size_t>(row) > bank.Count()) return {};
    const GlyphNode& node = bank[static_cast<std::size_t>(row - 1)];
    const picture::IndexedImage decoded = DecodedGlyphOf(node);
    if (decoded.indices.empty()) return {};
    constexpr int kZoom = 3;
    const QImage image = widgets::ToQImage(decoded).scaled(static_cast<int>(decoded.width) * kZoom,
                                                            static_cast<int>(decoded.height) * kZoom,
                                                            Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("<p>Glyph %1 as FontBank.bin draws it (%2 x %3, %4 bpp):</p>"
                          "<img src=\"data:image/png;base64,%5\" width=\"%6\" height=\"%7\">")
        .arg(row)
        .arg(node.GridWidth())
        .arg(node.GridHeight())
        .arg(node.Bpp())
        .arg(QString::fromLatin1(png.toBase64()))
        .arg(image.width())
        .arg(image.height());
}

void BankPanel::ShowBank() {
    const FontBank& bank = context_.state.Bank;
    const int count = static_cast<int>(bank.Count());
    Font_sgFontBank->SetDataRows(count);
    for (int n = 1; n <= count; ++n) {
        const GlyphNode& node = bank[static_cast<std::size_t>(n - 1)];
        const BankRowTexts t = BankRowTextsOf(node, n);
        const QString picture = QStringLiteral("%1 x %2 glyph").arg(node.GridWidth()).arg(node.GridHeight());
        Font_sgFontBank->SetRow(n,
                                {QString::fromStdString(t.Number), picture, QString::fromStdString(t.Bpp),
                                 QString::fromStdString(t.Description)},
                                ToQImage(GlyphImageOf(node)));
    }
    {
        // Shows the state; its change event would only set it again.
        const QSignalBlocker quiet(Font_chkHalfWord);
        Font_chkHalfWord->setChecked(context_.state.HalfWord);
    }
    Font_sgFontBank->setAccessibleDescription(QStringLiteral("%1 glyphs").arg(count));
}

} // namespace font
