#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "cli/Cli.h"
#include "font/BankPanel.h"
#include "font/FontTab.h"
#include "font/GlyphPanel.h"
#include "font/StringsPanel.h"
#include "ui/QtConvert.h"
#include "widgets/ColourGrid.h"
#include "widgets/GlyphGrid.h"
#include "widgets/PictureGrid.h"
#include "widgets/Swatch.h"
#include "widgets/TCSpinEdit.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>

namespace {

namespace fs = std::filesystem;

font::FontTab& FontPage(shell::TMainTop& w) {
    ShowTab(w, "TabSheet_Font");
    return *Child<font::FontTab>(&w, "TabSheet_Font");
}

font::GlyphEditor& Editor(shell::TMainTop& w) {
    return w.workspace().font.Editor;
}

// The regular files of a directory by name, with their bytes.
std::map<std::string, std::vector<std::uint8_t>> FilesIn(const std::string& dir,
                                                         const std::set<std::string>& skip = {}) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && !skip.count(name))
            files[name] = testsupport::ReadFile(entry.path().string());
    }
    return files;
}

// The window's files equal tavix-cli's, name for name and byte for byte.
void CompareFiles(const std::map<std::string, std::vector<std::uint8_t>>& window,
                  const std::map<std::string, std::vector<std::uint8_t>>& cli) {
    QStringList windowNames, cliNames;
    for (const auto& entry : window)
        windowNames << QString::fromStdString(entry.first);
    for (const auto& entry : cli)
        cliNames << QString::fromStdString(entry.first);
    QCOMPARE(windowNames, cliNames);
    for (const auto& [name, bytes] : window)
        QVERIFY2(cli.at(name) == bytes, name.c_str());
}

int Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    if (code != 0) qWarning("tavix-cli: %s", err.str().c_str());
    return code;
}

// Chooses an item of a drop-down list as a user does: the list shows it and reports the choice.
void Choose(QComboBox* box, int index) {
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// The middle of glyph pixel (c, r) of the glyph grid.
QPoint GlyphPoint(widgets::GlyphGrid* grid, int c, int r) {
    return grid->CellCentre(c, r);
}

// The middle of cell (column, row) of the font palette, as a point of the widget.
QPoint PalettePoint(widgets::ColourGrid* grid, int column, int row) {
    return grid->CellRect(column, row).center() +
           QPoint(widgets::ColourGrid::kBorder, widgets::ColourGrid::kBorder);
}

// A double click as the desktop delivers it: a press and release, then the second press as a double click.
void DoubleClick(QWidget* target, QPoint at) {
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    QTest::mouseDClick(target, Qt::LeftButton, {}, at);
}

void SendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held,
               Qt::KeyboardModifiers modifiers = {}) {
    QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), button, held, modifiers);
    QApplication::sendEvent(target, &event);
}

// Every pixel of the surface that is not white.
int InkPixels(const font::GlyphEditor& e) {
    int n = 0;
    for (base::Colour c : e.PreviewSurface.Pixels())
        n += c != font::kWhite;
    return n;
}

ui::FontChoice DejaVu(int size, bool bold = false) {
    ui::FontChoice f;
    f.Name = "DejaVu Sans";
    f.Size = size;
    f.Bold = bold;
    return f;
}

// Renders text as a user does: types it into the entry box and releases Enter.
void Enter(shell::TMainTop& w, const QString& text) {
    auto* entry = Child<QLineEdit>(&w, "Edit_Char");
    entry->setFocus();
    entry->clear();
    QTest::keyClicks(entry, text);
    QTest::keyClick(entry, Qt::Key_Return);
}

} // namespace

class FontTabTest : public QObject {
    Q_OBJECT
private slots:
    // Every control with its caption, hint, items and start value; the boxes show the start font.
    void startStateShowsEveryControl() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        QCOMPARE(static_cast<QWidget*>(w.ActiveTab())->objectName(), QStringLiteral("TabSheet_Font"));

        struct ButtonCase {
            const char* name;
            const char* caption;
            const char* hint;
        };
        const ButtonCase buttons[] = {
            {"OSD_btnTTFFontSel", "Font ...", "Select Font Style"},
            {"Font_btnInvert", "Invert", "Invert Font Color for B/W"},
            {"Font_btnClear", "Clear", "Clear Current Font"},
            {"Font_btnInsert", "Insert", "Insert Font to Bank"},
            {"Font_btnLoad", "Load", "Load Font file "},
            {"Font_BtnSave", "Save", "Save Font file"},
            {"Font_btnBankDelete", "Delete", "Delete One Font Form Bank"},
            {"Font_BtnBankClear", "Clear", "Clear Font Bank"},
            {"Font_btnBankLoad", "Load", "Load Font Bank File"},
            {"Font_btnBankSave", "Save", "Save Font Bank File"},
            {"Font_btnBankCode", "Code", "Generate C Style Code Form Bank"},
            {"Font_btnStringGenerate", "Generate", "Load Font String To Bank"},
            {"Font_btnStringClear", "Clear", "Clear All Font String"},
            {"Font_btnStringAscii", "Ascii", "Generate Ascii Font"},
            {"Font_btnFontFile", "Font File...", "Render with the first face of a .ttf, .otf or .ttc file"},
            {"Font_btnStringRange", "Range",
             "Fill the bank with the code points the memo lists, e.g. 0x20-0x7E,0xA0-0xFF,0x2190"},
        };
        for (const ButtonCase& b : buttons) {
            auto* button = Child<QPushButton>(&w, b.name);
            QCOMPARE(button->text(), QString::fromUtf8(b.caption));
            QCOMPARE(button->toolTip(), QString::fromLatin1(b.hint));
        }
        const std::pair<const char*, const char*> groups[] = {{"Font_gbFontSel", "Font"},
                                                              {"Font_gbFontPreView", "PreView"},
                                                              {"Font_gbFontOption", "Options"},
                                                              {"Font_gbFontBank", "Bank"}};
        for (const auto& [name, title] : groups)
            QCOMPARE(Child<QGroupBox>(&w, name)->title(), QString::fromLatin1(title));
        auto* halfWord = Child<QCheckBox>(&w, "Font_chkHalfWord");
        QCOMPARE(halfWord->text(), QStringLiteral("Half Word"));
        QVERIFY(!halfWord->isChecked());

        struct ComboCase {
            const char* name;
            QStringList items;
            int start;
            const char* label;
        };
        const ComboCase combos[] = {
            {"Font_cbFontColorType", {"2 - 1BPP   ", "4 - 2BPP", "16-4BPP", "16-8BPP"}, 0, "Color Type"},
            {"Font_cbGridWidth",
             {"12", "13", "14", "15", "16", "24", "26", "28", "30", "32", "36", "39", "42", "45", "48", "52",
              "56", "60", "64"},
             4,
             "Grid Width"},
            {"Font_cbGridHeight", {"16", "32", "48", "64"}, 0, "Grid Height"},
        };
        for (const ComboCase& c : combos) {
            auto* box = Child<QComboBox>(&w, c.name);
            QStringList items;
            for (int i = 0; i < box->count(); ++i)
                items << box->itemText(i);
            QCOMPARE(items, c.items);
            QCOMPARE(box->currentIndex(), c.start);
            QCOMPARE(box->accessibleName(), QString::fromLatin1(c.label));
        }
        for (const char* name : {"CSpinEdit_Xoffset", "CSpinEdit_Yoffset"}) {
            auto* spin = Child<widgets::TCSpinEdit>(&w, name);
            QCOMPARE(spin->minimum(), -32);
            QCOMPARE(spin->maximum(), 32);
            QCOMPARE(spin->value(), 0);
        }
        QCOMPARE(Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Xoffset")->accessibleName(),
                 QStringLiteral("X offset"));
        auto* entry = Child<QLineEdit>(&w, "Edit_Char");
        QCOMPARE(entry->maxLength(), 2);
        QCOMPARE(entry->accessibleName(), QStringLiteral("Entry character"));
        QVERIFY(Child<QPlainTextEdit>(&w, "Font_MemoFontString")->toPlainText().isEmpty());

        // The font boxes: fontconfig's sans-serif at 10 points, height -13, charset 0, and "A" measured.
        const font::GlyphEditor& e = Editor(w);
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontFace")->text(),
                 QString::fromStdString(e.CurrentFont.Family));
        QVERIFY(!Child<QLineEdit>(&w, "OSD_edtTTFFontFace")->text().isEmpty());
        QVERIFY(e.CurrentFont.Family != "sans-serif");
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontStyle")->text(), QStringLiteral("Normal"));
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontSize")->text(), QStringLiteral("10"));
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontHeight")->text(), QStringLiteral("-13"));
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontCharset")->text(), QStringLiteral("0"));
        QVERIFY(Child<QLineEdit>(&w, "OSD_edtTTFFontPixels")
                    ->text()
                    .contains(QRegularExpression("^\\d+ x \\d+$")));
        for (const char* name : {"OSD_edtTTFFontFace", "OSD_edtTTFFontStyle", "OSD_edtTTFFontSize",
                                 "OSD_edtTTFFontHeight", "OSD_edtTTFFontCharset", "OSD_edtTTFFontPixels"}) {
            QVERIFY(Child<QLineEdit>(&w, name)->isReadOnly());
            QVERIFY2(!Child<QLineEdit>(&w, name)->accessibleName().isEmpty(), name);
        }
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontPixels")->accessibleName(), QStringLiteral("Pixels"));

        // Colour boxes, palette and bank grids.
        auto* left = Child<widgets::Swatch>(&w, "Font_edtFontForgColor");
        auto* right = Child<widgets::Swatch>(&w, "Font_edtFontBackColor");
        QCOMPARE(left->Colour(), QColor(Qt::black));
        QCOMPARE(left->toolTip(), QStringLiteral("clBlack"));
        QCOMPARE(left->accessibleName(), QStringLiteral("Left Color"));
        QCOMPARE(right->Colour(), QColor(Qt::white));
        QCOMPARE(right->toolTip(), QStringLiteral("clWhite"));
        QCOMPARE(right->accessibleName(), QStringLiteral("Right Color"));
        auto* palette = Child<widgets::ColourGrid>(&w, "Font_sgFontPalette");
        QCOMPARE(palette->Title(0, 0), QStringLiteral("Index"));
        QCOMPARE(palette->Title(0, 1), QStringLiteral("Color"));
        QCOMPARE(palette->Title(1, 0), QStringLiteral("1"));
        QCOMPARE(palette->Title(16, 0), QStringLiteral("16"));
        QCOMPARE(palette->CellRect(0, 0).width(), 32);
        QCOMPARE(palette->CellRect(5, 1).size(), QSize(18, 18));
        QVERIFY(!palette->accessibleName().isEmpty());
        auto* bank = Child<widgets::PictureGrid>(&w, "Font_sgFontBank");
        QCOMPARE(bank->DataRows(), 0);
        QStringList titles;
        for (int c = 0; c < bank->columnCount(); ++c)
            titles << bank->horizontalHeaderItem(c)->text();
        QCOMPARE(titles, QStringList({"No.", "Font", "Bpp", "Description"}));

        // The glyph grid: 16 x 16 cells of 10 pixels with their lines, centred in the 364 x 364 panel.
        auto* grid = Child<widgets::GlyphGrid>(&w, "Font_sgGridChar");
        QCOMPARE(Child<QFrame>(&w, "Font_plFontPanel")->size(), QSize(364, 364));
        QCOMPARE(grid->geometry(), QRect(94, 94, 176, 176));
        QCOMPARE(Child<QLabel>(&w, "Font_imgFontPreView")->size(), QSize(128, 128));
    }

    // Nothing is clipped by its parent and no two controls of one parent overlap.
    void layoutNeitherClipsNorOverlaps() {
        UiFixture f;
        auto& w = f.Window();
        QWidget* page = &FontPage(w);
        std::vector<QWidget*> parents = {page};
        while (!parents.empty()) {
            QWidget* parent = parents.back();
            parents.pop_back();
            const auto children = parent->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
            for (QWidget* child : children) {
                if (child->isWindow() || child->isHidden() || child->objectName().isEmpty()) continue;
                QVERIFY2(parent->rect().contains(child->geometry()),
                         qPrintable(child->objectName() + QStringLiteral(" is clipped by ") +
                                    parent->objectName()));
                for (QWidget* other : children) {
                    if (other == child || other->isHidden() || other->objectName().isEmpty()) continue;
                    QVERIFY2(
                        !child->geometry().intersects(other->geometry()),
                        qPrintable(child->objectName() + QStringLiteral(" overlaps ") + other->objectName()));
                }
                if (qobject_cast<QGroupBox*>(child) || child->objectName().endsWith(QLatin1String("Panel")))
                    parents.push_back(child);
            }
        }
    }

    // "Font ...": the dialog starts at Arial 8 points; the choice is shown, rendered and given to the memo.
    // Cancel changes nothing.
    void fontDialogChoiceIsShownAndRendered() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        f.dialogs.CancelFont();
        QTest::mouseClick(Child<QPushButton>(&w, "OSD_btnTTFFontSel"), Qt::LeftButton);
        QCOMPARE(f.dialogs.shownFonts.size(), size_t{1});
        QCOMPARE(f.dialogs.shownFonts[0].Name, std::string("Font_digFontSel"));
        QCOMPARE(f.dialogs.shownFonts[0].Font.Name, std::string("Arial"));
        QCOMPARE(f.dialogs.shownFonts[0].Font.Size, 8);
        QVERIFY(!f.dialogs.shownFonts[0].Font.Bold && !f.dialogs.shownFonts[0].Font.Italic);
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontSize")->text(), QStringLiteral("10"));

        ui::FontChoice chosen = DejaVu(12, true);
        chosen.Italic = true;
        f.dialogs.ConfirmFont(chosen);
        QTest::mouseClick(Child<QPushButton>(&w, "OSD_btnTTFFontSel"), Qt::LeftButton);
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontFace")->text(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontStyle")->text(), QStringLiteral("Bold/Italic"));
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontSize")->text(), QStringLiteral("12"));
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontHeight")->text(), QStringLiteral("-16")); // 12 * 96 / 72
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontCharset")->text(), QStringLiteral("0"));
        QCOMPARE(Editor(w).CurrentFont.Style, std::uint8_t(font::kBold | font::kItalic));
        const QFont memo = Child<QPlainTextEdit>(&w, "Font_MemoFontString")->font();
        QCOMPARE(memo.family(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(memo.pointSize(), 12);
        QVERIFY(memo.bold() && memo.italic());
        // The dialog keeps the last choice for its next use.
        f.dialogs.CancelFont();
        QTest::mouseClick(Child<QPushButton>(&w, "OSD_btnTTFFontSel"), Qt::LeftButton);
        QCOMPARE(f.dialogs.shownFonts.back().Font.Size, 12);

        // Enter renders: only white and the left colour, ink in the window, the grid shows the surface.
        Enter(w, QStringLiteral("A"));
        const font::GlyphEditor& e = Editor(w);
        for (base::Colour c : e.PreviewSurface.Pixels())
            QVERIFY(c == font::kWhite || c == font::kBlack);
        QVERIFY(InkPixels(e) > 20);
        int windowInk = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                windowInk += e.GlyphPixel(x, y) == font::kBlack;
        QVERIFY(windowInk > 10);
        const QString pixels = Child<QLineEdit>(&w, "OSD_edtTTFFontPixels")->text();
        QVERIFY(pixels.contains(QLatin1String(" x ")));
        auto* grid = Child<widgets::GlyphGrid>(&w, "Font_sgGridChar");
        const QImage shot = grid->grab().toImage();
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QPoint p = GlyphPoint(grid, x, y);
                QCOMPARE(QColor(shot.pixel(p)), ui::ToQColor(e.GlyphPixel(x, y)));
            }
        const QImage preview = Child<QLabel>(&w, "Font_imgFontPreView")->pixmap().toImage();
        QCOMPARE(QColor(preview.pixel(0, 0)), QColor(Qt::white));
        QCOMPARE(preview.size(), QSize(128, 128));

        // Enter in an empty box and other keys do nothing.
        const auto before = e.PreviewSurface;
        Child<QLineEdit>(&w, "Edit_Char")->clear();
        QTest::keyClick(Child<QLineEdit>(&w, "Edit_Char"), Qt::Key_Return);
        QTest::keyClicks(Child<QLineEdit>(&w, "Edit_Char"), QStringLiteral("xyz"));
        QCOMPARE(Child<QLineEdit>(&w, "Edit_Char")->text(), QStringLiteral("xy"));
        QVERIFY(e.PreviewSurface == before);
    }

    // Any button paints with the left colour, Alt with the right; a drag paints only with the left button
    // held; the painted cell shows before the button is released.
    void paintingWithTheMouse() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        auto* grid = Child<widgets::GlyphGrid>(&w, "Font_sgGridChar");
        const font::GlyphEditor& e = Editor(w);

        SendMouse(grid, QEvent::MouseButtonPress, GlyphPoint(grid, 2, 3), Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(e.PreviewSurface.Pixel(34, 35), font::kBlack);
        QCOMPARE(QColor(grid->grab().toImage().pixel(GlyphPoint(grid, 2, 3))), QColor(Qt::black));
        // Dragging with the left button paints every cell the pointer reaches, to the grid's edge.
        SendMouse(grid, QEvent::MouseMove, GlyphPoint(grid, 3, 3), Qt::NoButton, Qt::LeftButton);
        SendMouse(grid, QEvent::MouseMove, GlyphPoint(grid, 15, 15), Qt::NoButton, Qt::LeftButton);
        SendMouse(grid, QEvent::MouseMove, QPoint(grid->width() + 5, 0), Qt::NoButton, Qt::LeftButton);
        SendMouse(grid, QEvent::MouseButtonRelease, GlyphPoint(grid, 15, 15), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(e.PreviewSurface.Pixel(35, 35), font::kBlack);
        QCOMPARE(e.PreviewSurface.Pixel(47, 47), font::kBlack);
        QCOMPARE(InkPixels(e), 3);

        // The right button paints the left colour too, but its drag paints nothing along the way.
        SendMouse(grid, QEvent::MouseButtonPress, GlyphPoint(grid, 0, 0), Qt::RightButton, Qt::RightButton);
        SendMouse(grid, QEvent::MouseMove, GlyphPoint(grid, 1, 0), Qt::NoButton, Qt::RightButton);
        SendMouse(grid, QEvent::MouseButtonRelease, GlyphPoint(grid, 1, 0), Qt::RightButton, Qt::NoButton);
        QCOMPARE(e.PreviewSurface.Pixel(32, 32), font::kBlack);
        QCOMPARE(e.PreviewSurface.Pixel(33, 32), font::kWhite);
        // Moving without a button paints nothing.
        SendMouse(grid, QEvent::MouseMove, GlyphPoint(grid, 5, 5), Qt::NoButton, Qt::NoButton);
        QCOMPARE(e.PreviewSurface.Pixel(37, 37), font::kWhite);
        // Cells are 10 pixels and the grid line right of and below them: (32, 21), on the lines of cell (2,
        // 1), and (23, 11), its top-left pixel, both reach glyph pixel (2, 1).
        QTest::mouseClick(grid, Qt::LeftButton, {}, QPoint(32, 21));
        QCOMPARE(e.PreviewSurface.Pixel(34, 33), font::kBlack);
        QTest::mouseClick(grid, Qt::LeftButton, Qt::AltModifier, QPoint(23, 11));
        QCOMPARE(e.PreviewSurface.Pixel(34, 33), font::kWhite);
        QCOMPARE(InkPixels(e), 4);

        // Alt paints the right colour, with any button.
        QTest::mouseClick(grid, Qt::LeftButton, Qt::AltModifier, GlyphPoint(grid, 2, 3));
        QCOMPARE(e.PreviewSurface.Pixel(34, 35), font::kWhite);
        QTest::mouseClick(grid, Qt::RightButton, Qt::AltModifier, GlyphPoint(grid, 0, 0));
        QCOMPARE(e.PreviewSurface.Pixel(32, 32), font::kWhite);
        QCOMPARE(InkPixels(e), 2);

        // The offsets move the window: the same cell is another surface pixel; the surface stays.
        Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Xoffset")->setValue(-5);
        Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Yoffset")->setValue(7);
        QCOMPARE(e.XOffset(), -5);
        QCOMPARE(e.YOffset(), 7);
        QTest::mouseClick(grid, Qt::LeftButton, {}, GlyphPoint(grid, 0, 0));
        QCOMPARE(e.PreviewSurface.Pixel(27, 39), font::kBlack);
        QCOMPARE(InkPixels(e), 3);

        // From the keyboard: the arrows move the cursor, Space paints it (Shift: the right colour).
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Right);
        QTest::keyClick(grid, Qt::Key_Space);
        QCOMPARE(e.PreviewSurface.Pixel(28, 39), font::kBlack);
        QTest::keyClick(grid, Qt::Key_Space, Qt::ShiftModifier);
        QCOMPARE(e.PreviewSurface.Pixel(28, 39), font::kWhite);
    }

    // The grid follows the width, height and offsets, centred in its panel.
    void gridFollowsTheGeometry() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        auto* grid = Child<widgets::GlyphGrid>(&w, "Font_sgGridChar");
        struct Case {
            int widthIndex, heightIndex;
            int columns, rows, cell, cellHeight;
        };
        // The on-screen cell: 10 pixels up to two character cells across (or down), 6 for three, 4 for four.
        const Case cases[] = {
            {0, 0, 12, 16, 10, 10}, {9, 1, 32, 32, 10, 10}, {10, 2, 36, 48, 6, 6},  {15, 3, 52, 64, 4, 4},
            {18, 3, 64, 64, 4, 4},  {14, 0, 48, 16, 6, 10}, {4, 0, 16, 16, 10, 10}, {5, 1, 24, 32, 10, 10},
            {11, 0, 39, 16, 6, 10}, {16, 2, 56, 48, 4, 6},
        };
        for (const Case& c : cases) {
            Choose(Child<QComboBox>(&w, "Font_cbGridWidth"), c.widthIndex);
            Choose(Child<QComboBox>(&w, "Font_cbGridHeight"), c.heightIndex);
            QCOMPARE(grid->Columns(), c.columns);
            QCOMPARE(grid->Rows(), c.rows);
            QCOMPARE(grid->CellWidth(), c.cell);
            QCOMPARE(grid->CellHeight(), c.cellHeight);
            const int width = c.columns * (c.cell + 1);
            const int height = c.rows * (c.cellHeight + 1);
            QCOMPARE(grid->geometry(), QRect((364 - width) / 2, (364 - height) / 2, width, height));
        }
        // The keyboard chooses too: End picks the last width.
        auto* widthBox = Child<QComboBox>(&w, "Font_cbGridWidth");
        widthBox->setFocus();
        QTest::keyClick(widthBox, Qt::Key_Home);
        QCOMPARE(Editor(w).WidthIndex(), 0);
        QCOMPARE(grid->Columns(), 12);
    }

    // The palette picks only the entries the colour type has; a double click on an editable entry changes
    // it everywhere, entries 0 and 1 never.
    void paletteWithinTheColourTypeLimits() {
        const int usable[4] = {2, 4, 16, 16};
        for (int type = 0; type < 4; ++type) {
            UiFixture f;
            auto& w = f.Window();
            FontPage(w);
            Choose(Child<QComboBox>(&w, "Font_cbFontColorType"), type);
            auto* palette = Child<widgets::ColourGrid>(&w, "Font_sgFontPalette");
            auto* left = Child<widgets::Swatch>(&w, "Font_edtFontForgColor");
            auto* right = Child<widgets::Swatch>(&w, "Font_edtFontBackColor");
            const font::GlyphEditor& e = Editor(w);
            for (int column = 1; column <= 16; ++column) {
                const base::Colour before = e.LeftColor;
                QTest::mouseClick(palette, Qt::LeftButton, {}, PalettePoint(palette, column, 1));
                const base::Colour expected =
                    column <= usable[type] ? font::kStartPalette[static_cast<size_t>(column - 1)] : before;
                QCOMPARE(e.LeftColor, expected);
                QCOMPARE(left->Colour(), ui::ToQColor(expected));
                QCOMPARE(left->toolTip(), QString::fromStdString(font::ColorName(expected)));
            }
            QTest::mouseClick(palette, Qt::RightButton, {}, PalettePoint(palette, usable[type], 1));
            QCOMPARE(e.RightColor, font::kStartPalette[static_cast<size_t>(usable[type] - 1)]);
            QCOMPARE(right->Colour(), ui::ToQColor(e.RightColor));
            // The titles pick nothing, nor does the middle button.
            QTest::mouseClick(palette, Qt::RightButton, {}, PalettePoint(palette, 1, 0));
            QCOMPARE(e.RightColor, font::kStartPalette[static_cast<size_t>(usable[type] - 1)]);
            const base::Colour leftBefore = e.LeftColor;
            QTest::mouseClick(palette, Qt::MiddleButton, {}, PalettePoint(palette, 1, 1));
            QCOMPARE(e.LeftColor, leftBefore);
            QCOMPARE(e.RightColor, font::kStartPalette[static_cast<size_t>(usable[type] - 1)]);
            QCOMPARE(palette->Title(3, 1), QString()); // a colour cell has no title

            // Double clicks: entries 0 and 1 never open the dialog, nor anything at 1 bpp.
            for (int column : {1, 2, 3, 5, 16}) {
                const size_t shown = f.dialogs.shownColours.size();
                const bool opens = type != 0 && column >= 3 && column <= usable[type];
                if (opens) f.dialogs.CancelColour();
                DoubleClick(palette, PalettePoint(palette, column, 1));
                QCOMPARE(f.dialogs.shownColours.size(), shown + (opens ? 1 : 0));
                if (opens) QCOMPARE(f.dialogs.shownColours.back().Name, std::string("Font_digFontColorSel"));
            }
            QCOMPARE(f.dialogs.unexpected, 0);
            QVERIFY(e.FontPalette == font::kStartPalette);
        }
    }

    // In 4 bpp a double click on entry 5 (green) recolours the picture, the left colour and the entry.
    void doubleClickRecoloursTheEntry() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        Choose(Child<QComboBox>(&w, "Font_cbFontColorType"), 2);
        auto* palette = Child<widgets::ColourGrid>(&w, "Font_sgFontPalette");
        auto* grid = Child<widgets::GlyphGrid>(&w, "Font_sgGridChar");
        const font::GlyphEditor& e = Editor(w);
        QTest::mouseClick(palette, Qt::LeftButton, {}, PalettePoint(palette, 6, 1));
        QCOMPARE(e.LeftColor, base::Colour{0x008000});
        for (int c : {1, 4, 9})
            QTest::mouseClick(grid, Qt::LeftButton, {}, GlyphPoint(grid, c, 2));
        QTest::mouseClick(palette, Qt::LeftButton, {}, PalettePoint(palette, 12, 1)); // red
        QTest::mouseClick(grid, Qt::LeftButton, {}, GlyphPoint(grid, 5, 5));

        const base::Colour orange = 0x00A5FF;
        f.dialogs.ConfirmColour(orange);
        DoubleClick(palette, PalettePoint(palette, 6, 1));
        QCOMPARE(f.dialogs.shownColours.size(), size_t{1});
        QCOMPARE(f.dialogs.shownColours[0].Colour, base::Colour{0x008000}); // preset to the entry
        QCOMPARE(e.FontPalette[5], orange);
        QCOMPARE(e.LeftColor, orange);
        for (int c : {1, 4, 9})
            QCOMPARE(e.GlyphPixel(c, 2), orange);
        QCOMPARE(e.GlyphPixel(5, 5), base::Colour{0x0000FF});
        QCOMPARE(Child<widgets::Swatch>(&w, "Font_edtFontForgColor")->Colour(), QColor(0xFF, 0xA5, 0x00));
        QCOMPARE(QColor(grid->grab().toImage().pixel(GlyphPoint(grid, 4, 2))), QColor(0xFF, 0xA5, 0x00));
        QCOMPARE(QColor(palette->grab().toImage().pixel(PalettePoint(palette, 6, 1))),
                 QColor(0xFF, 0xA5, 0x00));

        // Cancel changes nothing.
        f.dialogs.CancelColour();
        DoubleClick(palette, PalettePoint(palette, 7, 1));
        QCOMPARE(e.FontPalette[6], font::kStartPalette[6]);

        // From the keyboard: Enter on the current entry opens the same dialog.
        f.dialogs.ConfirmColour(0x123456);
        palette->setFocus();
        QTest::keyClick(palette, Qt::Key_Right); // entry 7
        QTest::keyClick(palette, Qt::Key_Return);
        QCOMPARE(e.FontPalette[7], base::Colour{0x123456});
    }

    // Invert swaps black and white only; Clear whitens; Insert fills the bank to 256 and refuses the 257th.
    void invertClearAndInsertUpToAFullBank() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        Choose(Child<QComboBox>(&w, "Font_cbFontColorType"), 2);
        auto* palette = Child<widgets::ColourGrid>(&w, "Font_sgFontPalette");
        auto* grid = Child<widgets::GlyphGrid>(&w, "Font_sgGridChar");
        const font::GlyphEditor& e = Editor(w);
        QTest::mouseClick(grid, Qt::LeftButton, {}, GlyphPoint(grid, 0, 0)); // black
        QTest::mouseClick(palette, Qt::LeftButton, {}, PalettePoint(palette, 3, 1));
        QTest::mouseClick(grid, Qt::LeftButton, {}, GlyphPoint(grid, 1, 0)); // blue
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnInvert"), Qt::LeftButton);
        QCOMPARE(e.GlyphPixel(0, 0), font::kWhite);
        QCOMPARE(e.GlyphPixel(1, 0), base::Colour{0xFF0000});
        QCOMPARE(e.PreviewSurface.Pixel(0, 0), font::kBlack);
        QCOMPARE(e.PreviewSurface.Pixel(127, 127), font::kBlack);
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnClear"), Qt::LeftButton);
        QCOMPARE(InkPixels(e), 0);

        auto* bank = Child<widgets::PictureGrid>(&w, "Font_sgFontBank");
        auto* insert = Child<QPushButton>(&w, "Font_btnInsert");
        QTest::mouseClick(grid, Qt::LeftButton, {}, GlyphPoint(grid, 0, 0));
        QTest::mouseClick(insert, Qt::LeftButton);
        QCOMPARE(bank->DataRows(), 1);
        QCOMPARE(bank->Text(0, 1), QStringLiteral("1"));
        QCOMPARE(bank->Text(2, 1), QStringLiteral("4"));
        QCOMPARE(bank->Text(3, 1), QStringLiteral("16x16 2 4 0"));
        // The glyph is drawn at one screen pixel per glyph pixel from the cell's corner.
        const QImage picture = bank->Picture(1);
        QCOMPARE(picture.size(), QSize(16, 16));
        QCOMPARE(QColor(picture.pixel(0, 0)), QColor(0, 0, 0xFF)); // entry 2, blue
        QCOMPARE(QColor(picture.pixel(1, 0)), QColor(Qt::white));
        const QRect cell = bank->CellRect(1, 1);
        const QImage shot = bank->viewport()->grab().toImage();
        QCOMPARE(QColor(shot.pixel(cell.topLeft())), QColor(0, 0, 0xFF));
        QCOMPARE(QColor(shot.pixel(cell.topLeft() + QPoint(1, 0))), QColor(Qt::white));

        for (int i = 1; i < 256; ++i)
            QTest::mouseClick(insert, Qt::LeftButton);
        QCOMPARE(w.workspace().font.Bank.Count(), size_t{256});
        QCOMPARE(bank->DataRows(), 256);
        QCOMPARE(bank->Text(0, 256), QStringLiteral("256"));
        QVERIFY(f.boxes.boxes.empty());
        QTest::mouseClick(insert, Qt::LeftButton);
        QCOMPARE(f.boxes.boxes.size(), size_t{1});
        QCOMPARE(f.LastBox().title, std::string("Error"));
        QCOMPARE(f.LastBox().text, std::string("Font Bank Full !!!"));
        QCOMPARE(f.Panel(1), QStringLiteral("Font Bank Full !!!"));
        QCOMPARE(bank->DataRows(), 256);
    }

    // The editor's Save writes the CLI's files for the same font and choices; Load restores the glyph
    // through the shared open dialog, which is put back on every path.
    void glyphSaveAndLoadMatchTheCli() {
        struct Case {
            bool dejaVu;
            int colorType, widthIndex, heightIndex, x, y;
            const char* text;
            bool binFont;
            const char* bpp;
            const char* width;
            const char* height;
        };
        const Case cases[] = {
            {false, 0, 4, 0, 0, 0, "A", false, "1", "16", "16"},
            {true, 1, 7, 1, 3, -2, "g", true, "2", "28", "32"},
            {false, 2, 11, 2, -4, 5, "Wy", false, "4", "39", "48"},
            {true, 3, 15, 3, 0, 0, "@", true, "8", "52", "64"},
        };
        for (const Case& c : cases) {
            UiFixture f;
            auto& w = f.Window();
            FontPage(w);
            Child<QAction>(&w, c.binFont ? "N_BinFont" : "N_BinHalf")->trigger();
            if (c.dejaVu) {
                f.dialogs.ConfirmFont(DejaVu(14));
                QTest::mouseClick(Child<QPushButton>(&w, "OSD_btnTTFFontSel"), Qt::LeftButton);
            }
            Choose(Child<QComboBox>(&w, "Font_cbGridWidth"), c.widthIndex);
            Choose(Child<QComboBox>(&w, "Font_cbGridHeight"), c.heightIndex);
            Choose(Child<QComboBox>(&w, "Font_cbFontColorType"), c.colorType);
            Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Xoffset")->setValue(c.x);
            Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Yoffset")->setValue(c.y);
            Enter(w, QString::fromUtf8(c.text));
            QTest::mouseClick(Child<QPushButton>(&w, "Font_BtnSave"), Qt::LeftButton);
            QVERIFY(f.boxes.boxes.empty());
            const auto window = FilesIn(f.dir.path(), {"Tavix.INI"});
            QCOMPARE(int(window.size()), c.colorType == 0 ? 2 : 3);

            testsupport::TempDir out;
            std::vector<std::string> args = {"font",       "glyph",
                                             "--text",     c.text,
                                             "--bpp",      c.bpp,
                                             "--width",    c.width,
                                             "--height",   c.height,
                                             "--x-offset", std::to_string(c.x),
                                             "--y-offset", std::to_string(c.y),
                                             "--bin-sort", c.binFont ? "font" : "half",
                                             "--out",      out.path()};
            if (c.dejaVu) {
                for (const char* a : {"--font", "DejaVu Sans", "--size", "14"})
                    args.push_back(a);
            }
            QCOMPARE(Cli(args), 0);
            CompareFiles(window, FilesIn(out.path()));

            // Load the saved glyph into an editor in another state: the same glyph, offsets 0.
            const std::string glyphFile = f.dir / (std::string(c.bpp) + "BPPFont0.txt");
            const font::GlyphEditor& e = Editor(w);
            font::ColourImage saved(e.GridWidth(), e.GridHeight());
            for (int y = 0; y < e.GridHeight(); ++y)
                for (int x = 0; x < e.GridWidth(); ++x)
                    saved.SetPixel(x, y, e.GlyphPixel(x, y));
            Choose(Child<QComboBox>(&w, "Font_cbGridWidth"), 0);
            Choose(Child<QComboBox>(&w, "Font_cbFontColorType"), 0);
            QTest::mouseClick(Child<QPushButton>(&w, "Font_btnClear"), Qt::LeftButton);
            ui::FileDialog& open = w.OpenDialog_Main;
            open.FileName = "picture.bmp";
            const std::string filter = open.Filter;
            const int index = open.FilterIndex;
            f.dialogs.ConfirmFile(glyphFile);
            QTest::mouseClick(Child<QPushButton>(&w, "Font_btnLoad"), Qt::LeftButton);
            QVERIFY(f.boxes.boxes.empty());
            QCOMPARE(f.dialogs.shownFiles.back().Filter,
                     std::string("Font File(*.txt)|*.txt|All File(*.*)|*.*"));
            QCOMPARE(f.dialogs.shownFiles.back().FilterIndex, 1);
            QCOMPARE(f.dialogs.shownFiles.back().FileName, std::string("Font.txt"));
            QCOMPARE(open.FileName, std::string("picture.bmp"));
            QCOMPARE(open.Filter, filter);
            QCOMPARE(open.FilterIndex, index);
            QCOMPARE(e.ColorType(), c.colorType);
            QCOMPARE(e.WidthIndex(), c.widthIndex);
            QCOMPARE(e.HeightIndex(), c.heightIndex);
            QCOMPARE(e.XOffset(), 0);
            QCOMPARE(Child<QComboBox>(&w, "Font_cbFontColorType")->currentIndex(), c.colorType);
            QCOMPARE(Child<QComboBox>(&w, "Font_cbGridWidth")->currentIndex(), c.widthIndex);
            QCOMPARE(Child<QComboBox>(&w, "Font_cbGridHeight")->currentIndex(), c.heightIndex);
            QCOMPARE(Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Xoffset")->value(), 0);
            QCOMPARE(Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Yoffset")->value(), 0);
            QCOMPARE(Child<widgets::GlyphGrid>(&w, "Font_sgGridChar")->Columns(), e.GridWidth());
            for (int y = 0; y < e.GridHeight(); ++y)
                for (int x = 0; x < e.GridWidth(); ++x)
                    QCOMPARE(e.GlyphPixel(x, y), saved.Pixel(x, y));
        }
    }

    // Load: a file that cannot be opened is reported; Cancel changes nothing; both put the dialog back.
    void glyphLoadFailureAndCancel() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        Enter(w, QStringLiteral("B"));
        const auto surface = Editor(w).PreviewSurface;
        ui::FileDialog& open = w.OpenDialog_Main;
        open.FileName = "keep.bmp";
        f.dialogs.CancelFile();
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnLoad"), Qt::LeftButton);
        QCOMPARE(open.FileName, std::string("keep.bmp"));
        QVERIFY(Editor(w).PreviewSurface == surface);
        QVERIFY(f.boxes.boxes.empty());

        f.dialogs.ConfirmFile(f.dir / "missing.txt");
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnLoad"), Qt::LeftButton);
        QCOMPARE(f.LastBox().text, std::string("Open FONT File Error !!!"));
        QCOMPARE(f.Panel(1), QStringLiteral("Open FONT File Error !!!"));
        QCOMPARE(open.FileName, std::string("keep.bmp"));
        QVERIFY(Editor(w).PreviewSurface == surface);
    }

    // The bank grid: a click on a glyph's picture loads it into the editor; other columns and the titles
    // do nothing; Delete removes the current row; Clear empties the bank.
    void bankGridClicksDeleteAndClear() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        auto* insert = Child<QPushButton>(&w, "Font_btnInsert");
        auto* grid = Child<widgets::GlyphGrid>(&w, "Font_sgGridChar");
        // Three glyphs: 1 bpp 16 x 16 with pixel (0, 0); 2 bpp 32 x 32 with pixel (1, 1); 4 bpp 13 x 48.
        QTest::mouseClick(grid, Qt::LeftButton, {}, GlyphPoint(grid, 0, 0));
        QTest::mouseClick(insert, Qt::LeftButton);
        Choose(Child<QComboBox>(&w, "Font_cbGridWidth"), 9);
        Choose(Child<QComboBox>(&w, "Font_cbGridHeight"), 1);
        Choose(Child<QComboBox>(&w, "Font_cbFontColorType"), 1);
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnClear"), Qt::LeftButton);
        QTest::mouseClick(grid, Qt::LeftButton, {}, GlyphPoint(grid, 1, 1));
        QTest::mouseClick(insert, Qt::LeftButton);
        Choose(Child<QComboBox>(&w, "Font_cbGridWidth"), 1);
        Choose(Child<QComboBox>(&w, "Font_cbGridHeight"), 2);
        Choose(Child<QComboBox>(&w, "Font_cbFontColorType"), 2);
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnClear"), Qt::LeftButton);
        QTest::mouseClick(insert, Qt::LeftButton);

        auto* bank = Child<widgets::PictureGrid>(&w, "Font_sgFontBank");
        QCOMPARE(bank->DataRows(), 3);
        QCOMPARE(bank->Text(3, 2), QStringLiteral("32x32 1 9 1"));
        QCOMPARE(bank->Text(3, 3), QStringLiteral("13x48 2 1 2"));
        QCOMPARE(bank->Picture(2).size(), QSize(32, 32));

        // Another palette and an offset in the editor, then a click on row 2's picture.
        const font::GlyphEditor& e = Editor(w);
        Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Xoffset")->setValue(9);
        f.dialogs.ConfirmColour(0x111111);
        auto* palette = Child<widgets::ColourGrid>(&w, "Font_sgFontPalette");
        DoubleClick(palette, PalettePoint(palette, 3, 1));
        QCOMPARE(e.FontPalette[2], base::Colour{0x111111});
        QTest::mouseClick(bank->viewport(), Qt::LeftButton, {}, bank->CellRect(1, 2).center());
        QCOMPARE(e.ColorType(), 1);
        QCOMPARE(e.WidthIndex(), 9);
        QCOMPARE(e.HeightIndex(), 1);
        QCOMPARE(e.XOffset(), 0);
        QCOMPARE(Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Xoffset")->value(), 0);
        QCOMPARE(Child<QComboBox>(&w, "Font_cbGridWidth")->currentIndex(), 9);
        QCOMPARE(Child<QComboBox>(&w, "Font_cbFontColorType")->currentIndex(), 1);
        QVERIFY(e.FontPalette == font::kStartPalette);
        // The colour type set the paint colours from the palette as it was before the node's was taken.
        QCOMPARE(e.LeftColor, font::kBlack);
        QCOMPARE(e.GlyphPixel(1, 1), font::kBlack);
        QCOMPARE(InkPixels(e), 1);
        QCOMPARE(grid->Columns(), 32);

        // Other columns, the titles and a press below the last row load nothing.
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnClear"), Qt::LeftButton);
        for (int column : {0, 2, 3}) {
            QTest::mouseClick(bank->viewport(), Qt::LeftButton, {}, bank->CellRect(column, 1).center());
            QCOMPARE(InkPixels(e), 0);
        }
        QTest::mouseClick(bank->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(80, 10));
        QCOMPARE(InkPixels(e), 0);
        QCOMPARE(e.WidthIndex(), 9);

        // Delete the current row (the first): the former second glyph moves up.
        QTest::mouseClick(bank->viewport(), Qt::LeftButton, {}, bank->CellRect(3, 1).center());
        QCOMPARE(bank->CurrentGridRow(), 1);
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankDelete"), Qt::LeftButton);
        QCOMPARE(bank->DataRows(), 2);
        QCOMPARE(bank->Text(0, 1), QStringLiteral("1"));
        QCOMPARE(bank->Text(3, 1), QStringLiteral("32x32 1 9 1"));
        QCOMPARE(w.workspace().font.Bank[0].WidthIndex, 9);

        QTest::mouseClick(Child<QPushButton>(&w, "Font_BtnBankClear"), Qt::LeftButton);
        QCOMPARE(bank->DataRows(), 0);
        QVERIFY(w.workspace().font.Bank.Empty());
        // Delete on an empty bank does nothing.
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankDelete"), Qt::LeftButton);
        QVERIFY(f.boxes.boxes.empty());
    }

    // Ascii, then the bank's Save and Code, write what `font bank --ascii --code` writes; Half Word and
    // RGB666 too. An empty bank's Save and Code touch nothing.
    void asciiSaveAndCodeMatchTheCli() {
        struct Case {
            bool halfWord, rgb666, binFont;
            int widthIndex;
        };
        const Case cases[] = {{false, false, false, 4}, {true, true, true, 7}};
        for (const Case& c : cases) {
            UiFixture f;
            auto& w = f.Window();
            FontPage(w);
            QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankSave"), Qt::LeftButton);
            QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankCode"), Qt::LeftButton);
            QCOMPARE(int(FilesIn(f.dir.path(), {"Tavix.INI"}).size()), 0);
            QVERIFY(f.boxes.boxes.empty());

            Child<QAction>(&w, c.binFont ? "N_BinFont" : "N_BinHalf")->trigger();
            w.workspace().settings.SetPaletteFormat(c.rgb666 ? settings::PaletteFormat::Rgb666
                                                             : settings::PaletteFormat::Rgb888);
            if (c.halfWord) QTest::mouseClick(Child<QCheckBox>(&w, "Font_chkHalfWord"), Qt::LeftButton);
            QCOMPARE(w.workspace().font.HalfWord, c.halfWord);
            Choose(Child<QComboBox>(&w, "Font_cbGridWidth"), c.widthIndex);
            Child<QLineEdit>(&w, "Edit_Char")->setText(QStringLiteral("Q"));
            QTest::mouseClick(Child<QPushButton>(&w, "Font_btnStringAscii"), Qt::LeftButton);
            QVERIFY(f.boxes.boxes.empty());
            QCOMPARE(Child<widgets::PictureGrid>(&w, "Font_sgFontBank")->DataRows(), 95);
            QVERIFY(Child<QLineEdit>(&w, "Edit_Char")->text().isEmpty());
            QCOMPARE(InkPixels(Editor(w)), 0);
            QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankSave"), Qt::LeftButton);
            QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankCode"), Qt::LeftButton);
            QVERIFY(f.boxes.boxes.empty());
            const auto window = FilesIn(f.dir.path(), {"Tavix.INI"});
            QCOMPARE(int(window.size()), 10);

            testsupport::TempDir out;
            std::vector<std::string> args = {"font",
                                             "bank",
                                             "--ascii",
                                             "--width",
                                             c.widthIndex == 4 ? "16" : "28",
                                             "--bin-sort",
                                             c.binFont ? "font" : "half",
                                             "--code",
                                             "--palette",
                                             c.rgb666 ? "rgb666" : "rgb888",
                                             "--out",
                                             out.path()};
            if (c.halfWord) args.push_back("--half-word");
            QCOMPARE(Cli(args), 0);
            CompareFiles(window, FilesIn(out.path()));
        }
    }

    // "Font File..." renders with the file's face, as --font FILE does; "Range" fills the bank from the code
    // points the memo lists, as --range does: the saved bank is the CLI's, byte for byte.
    void fontFileAndRangeMatchTheCli() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        // A copy in the document's folder: a confirmed dialog makes the file's folder the current one, where
        // Save writes the bank.
        const std::string dejaVu = f.dir / "DejaVuSans.ttf";
        fs::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", dejaVu);
        f.dialogs.ConfirmFile(dejaVu);
        Child<QPushButton>(&w, "Font_btnFontFile")->setFocus();
        QTest::keyClick(Child<QPushButton>(&w, "Font_btnFontFile"), Qt::Key_Space);
        QCOMPARE(f.dialogs.shownFiles.back().Filter,
                 std::string("TrueType/OpenType fonts (*.ttf;*.otf;*.ttc;*.otc)|*.ttf;*.otf;*.ttc;*.otc|"
                             "All File(*.*)|*.*"));
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontFace")->text(), QStringLiteral("DejaVu Sans"));
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontSize")->text(), QStringLiteral("10"));
        QVERIFY(f.boxes.boxes.empty());
        // The open dialog of File > Open keeps its own filter.
        QCOMPARE(w.OpenDialog_Main.Filter, std::string(ui::kPictureOpenFilter));

        // A list that is no range list changes nothing and says why.
        Child<QPlainTextEdit>(&w, "Font_MemoFontString")->setPlainText(QStringLiteral("0x42-0x41"));
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnStringRange"), Qt::LeftButton);
        QCOMPARE(f.LastBox().text, std::string("Not a range list: \"0x42-0x41\" runs backwards"));
        QCOMPARE(w.workspace().font.Bank.Count(), size_t{0});

        const QString range = QStringLiteral("0x43,0x20-0x22,\n65, 0x42-0x43");
        Child<QPlainTextEdit>(&w, "Font_MemoFontString")->setPlainText(range);
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnStringRange"), Qt::LeftButton);
        QCOMPARE(f.boxes.boxes.size(), size_t{1});
        QCOMPARE(Child<widgets::PictureGrid>(&w, "Font_sgFontBank")->DataRows(), 6);
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankSave"), Qt::LeftButton);
        QCOMPARE(f.boxes.boxes.size(), size_t{1});

        testsupport::TempDir out;
        QCOMPARE(Cli({"font", "bank", "--range", "0x43,0x20-0x22,65,0x42-0x43", "--font", dejaVu, "--out",
                      out.path()}),
                 0);
        CompareFiles(FilesIn(f.dir.path(), {"Tavix.INI", "DejaVuSans.ttf"}), FilesIn(out.path()));

        // A font file that cannot be read is named with the reason; the font stays.
        f.dialogs.ConfirmFile(f.dir / "none.ttf");
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnFontFile"), Qt::LeftButton);
        QCOMPARE(f.LastBox().text, "Cannot read the font file \"" + f.dir / "none.ttf" +
                                       "\": No such file or directory.");
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontFace")->text(), QStringLiteral("DejaVu Sans"));
    }

    // Generate writes Font_def.h and one glyph per distinct character, as `font bank --strings` does; the
    // bank file read back by Load saves the same bytes again, with its font lines in the font boxes.
    void generateAndBankLoadMatchTheCli() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        f.dialogs.ConfirmFont(DejaVu(9));
        QTest::mouseClick(Child<QPushButton>(&w, "OSD_btnTTFFontSel"), Qt::LeftButton);
        Choose(Child<QComboBox>(&w, "Font_cbFontColorType"), 1);
        auto* memo = Child<QPlainTextEdit>(&w, "Font_MemoFontString");
        memo->setFocus();
        QTest::keyClicks(memo, QStringLiteral("AB A"));
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, QStringLiteral("C a"));
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnStringGenerate"), Qt::LeftButton);
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(Child<widgets::PictureGrid>(&w, "Font_sgFontBank")->DataRows(), 4); // A, B, C, a
        QCOMPARE(
            QString::fromStdString(testsupport::ReadText(f.dir / "Font_def.h")),
            QStringLiteral("\r\n#define FONT_STR1_1BPP_WORD1\t\t0\r\n#define FONT_STR1_1BPP_WORD2\t\t1"
                           "\r\n#define FONT_STR1_1BPP_WORD4\t\t0\r\n"
                           "\r\n#define FONT_STR2_1BPP_WORD1\t\t2\r\n#define FONT_STR2_1BPP_WORD3\t\t3\r\n"));
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankSave"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankCode"), Qt::LeftButton);
        const auto window = FilesIn(f.dir.path(), {"Tavix.INI"});

        testsupport::TempDir out;
        testsupport::WriteFile(out / "strings.txt",
                               std::vector<std::uint8_t>{'A', 'B', ' ', 'A', '\n', 'C', ' ', 'a'});
        QCOMPARE(Cli({"font", "bank", "--strings", out / "strings.txt", "--font", "DejaVu Sans", "--size",
                      "9", "--bpp", "2", "--code", "--out", out / "cli"}),
                 0);
        CompareFiles(window, FilesIn(out / "cli"));

        // Clear empties the memo only.
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnStringClear"), Qt::LeftButton);
        QVERIFY(memo->toPlainText().isEmpty());
        QCOMPARE(w.workspace().font.Bank.Count(), size_t{4});

        // Load appends the file's glyphs; the boxes show its font lines, CurrentFont stays.
        const auto nodes = w.workspace().font.Bank.Nodes();
        QTest::mouseClick(Child<QPushButton>(&w, "Font_BtnBankClear"), Qt::LeftButton);
        f.dialogs.ConfirmFont(DejaVu(20, true));
        QTest::mouseClick(Child<QPushButton>(&w, "OSD_btnTTFFontSel"), Qt::LeftButton);
        ui::FileDialog& open = w.OpenDialog_Main;
        open.FileName = "keep.bmp";
        f.dialogs.ConfirmFile(f.dir / "FontBank.txt");
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankLoad"), Qt::LeftButton);
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(f.dialogs.shownFiles.back().Filter,
                 std::string("Font Bank File(*.txt)|*.txt|All File(*.*)|*.*"));
        QCOMPARE(f.dialogs.shownFiles.back().FileName, std::string("FontBank.txt"));
        QCOMPARE(open.FileName, std::string("keep.bmp"));
        QVERIFY(w.workspace().font.Bank.Nodes() == nodes);
        QCOMPARE(Child<widgets::PictureGrid>(&w, "Font_sgFontBank")->DataRows(), 4);
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontFace")->text(),
                 QStringLiteral("DejaVu")); // up to the blank
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontSize")->text(), QStringLiteral("9"));
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontHeight")->text(), QStringLiteral("-12"));
        QCOMPARE(Child<QLineEdit>(&w, "OSD_edtTTFFontStyle")->text(), QStringLiteral("Normal"));
        QCOMPARE(Editor(w).CurrentFont.Size, 20);

        // Saved again under the 20-point bold font: the font lines follow CurrentFont, as `font save` does.
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankSave"), Qt::LeftButton);
        QCOMPARE(Cli({"font", "save", out / "cli/FontBank.txt", "--font", "DejaVu Sans", "--size", "20",
                      "--style", "bold", "--out", out / "again"}),
                 0);
        QVERIFY(testsupport::ReadFile(f.dir / "FontBank.txt") ==
                testsupport::ReadFile(out / "again/FontBank.txt"));
        QVERIFY(testsupport::ReadFile(f.dir / "FontBank.bin") ==
                testsupport::ReadFile(out / "again/FontBank.bin"));

        // A file that cannot be opened.
        f.dialogs.ConfirmFile(f.dir / "none.txt");
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankLoad"), Qt::LeftButton);
        QCOMPARE(f.LastBox().text, std::string("Open FONT File Error !!!"));
        QCOMPARE(w.workspace().font.Bank.Count(), size_t{4});
    }

    // A run the bank has no room for changes nothing: "Font Bank Full !!!" once (panel 1), the glyphs it
    // needed and the free places in panel 2, no glyph, no Font_def.h. A run that fits clears panel 2.
    void aRunTheBankCannotHoldChangesNothing() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        for (int i = 0; i < 200; ++i)
            Child<font::GlyphPanel>(&w, "Font_GlyphPanel")->Font_btnInsertClick();
        const auto nodes = w.workspace().font.Bank.Nodes();
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnStringAscii"), Qt::LeftButton);
        QCOMPARE(f.boxes.boxes.size(), size_t{1});
        QCOMPARE(f.LastBox().text, std::string("Font Bank Full !!!"));
        QCOMPARE(f.Panel(1), QStringLiteral("Font Bank Full !!!"));
        QCOMPARE(f.Panel(2), QStringLiteral("This run needs 95 glyphs; the bank has 56 free"));
        QVERIFY(w.workspace().font.Bank.Nodes() == nodes);
        QCOMPARE(Child<widgets::PictureGrid>(&w, "Font_sgFontBank")->DataRows(), 200);

        for (int i = 0; i < 50; ++i)
            Child<font::GlyphPanel>(&w, "Font_GlyphPanel")->Font_btnInsertClick();
        Child<QPlainTextEdit>(&w, "Font_MemoFontString")->setPlainText(QStringLiteral("ABC D\nEFG A"));
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnStringGenerate"), Qt::LeftButton);
        QCOMPARE(f.boxes.boxes.size(), size_t{2});
        QCOMPARE(f.Panel(2), QStringLiteral("This run needs 7 glyphs; the bank has 6 free"));
        QVERIFY(!fs::exists(f.dir / "Font_def.h"));
        QCOMPARE(w.workspace().font.Bank.Count(), size_t{250});

        Child<QPlainTextEdit>(&w, "Font_MemoFontString")->setPlainText(QStringLiteral("ABC D\nEF A"));
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnStringGenerate"), Qt::LeftButton);
        QCOMPARE(f.boxes.boxes.size(), size_t{2});
        QCOMPARE(f.Panel(2), QString());
        QCOMPARE(w.workspace().font.Bank.Count(), size_t{256});
        QVERIFY(fs::is_regular_file(f.dir / "Font_def.h"));
    }

    // The memo's text as typed: a no-break space is a character with a glyph, as in a strings file, and a
    // pasted byte-order mark is none; the window writes what tavix-cli writes for the same text.
    void memoTextIsReadAsTypedLikeAStringsFile() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        f.dialogs.ConfirmFont(DejaVu(9));
        QTest::mouseClick(Child<QPushButton>(&w, "OSD_btnTTFFontSel"), Qt::LeftButton);
        auto* memo = Child<QPlainTextEdit>(&w, "Font_MemoFontString");
        memo->setFocus();
        memo->insertPlainText(QString::fromUtf8("\xEF\xBB\xBF"
                                                "A\xC2\xA0"
                                                "B"));
        QTest::keyClick(memo, Qt::Key_Return);
        memo->insertPlainText(QString::fromUtf8("\xC2\xA0"
                                                "C"));
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnStringGenerate"), Qt::LeftButton);
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(
            QString::fromStdString(testsupport::ReadText(f.dir / "Font_def.h")),
            QStringLiteral("\r\n#define FONT_STR1_1BPP_WORD1\t\t0\r\n#define FONT_STR1_1BPP_WORD2\t\t1"
                           "\r\n#define FONT_STR1_1BPP_WORD3\t\t2\r\n"
                           "\r\n#define FONT_STR2_1BPP_WORD1\t\t1\r\n#define FONT_STR2_1BPP_WORD2\t\t3\r\n"));
        QCOMPARE(w.workspace().font.Bank.Count(), size_t{4}); // A, no-break space, B, C
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankSave"), Qt::LeftButton);
        const auto window = FilesIn(f.dir.path(), {"Tavix.INI"});

        testsupport::TempDir out;
        const std::string text = "A\xC2\xA0"
                                 "B\n\xC2\xA0"
                                 "C";
        testsupport::WriteFile(out / "strings.txt", std::vector<std::uint8_t>(text.begin(), text.end()));
        QCOMPARE(Cli({"font", "bank", "--strings", out / "strings.txt", "--font", "DejaVu Sans", "--size",
                      "9", "--out", out / "cli"}),
                 0);
        CompareFiles(window, FilesIn(out / "cli"));
    }

    // A file that cannot be written is named with the reason: beside the tool's own message in status panel
    // 2, or as the message where the tool has none. The files of the same job keep their old bytes (none is
    // written), and the bank is left as it was.
    void failuresAreReported() {
        struct Case {
            const char* blocker; // a directory where the file would go
            const char* button;
            const char* message;
            const char* stillWritten; // or nullptr
            const char* notWritten;   // or nullptr
            int glyphsAfter;
            const char* detail = ""; // status panel 2: the file and why, where the message does not say
        };
        const Case cases[] = {
            {"1BPPFont1.txt", "Font_BtnSave", "cannot write 1BPPFont1.txt: Is a directory", nullptr,
             "1BPPFont1.bin", 1},
            {"FontBank.bin", "Font_btnBankSave", "Create FONT File Error !!!", nullptr, "FontBank.txt", 1,
             "cannot write FontBank.bin: Is a directory"},
            {"Font.h", "Font_btnBankCode", "Font CodeGen Fail !!!", nullptr, "Font.c", 1,
             "cannot write Font.h: Is a directory"},
            {"Font_def.h", "Font_btnStringGenerate", "cannot write Font_def.h: Is a directory", nullptr, nullptr,
             1},
        };
        for (const Case& c : cases) {
            UiFixture f;
            auto& w = f.Window();
            FontPage(w);
            fs::create_directory(f.dir / c.blocker);
            QTest::mouseClick(Child<QPushButton>(&w, "Font_btnInsert"), Qt::LeftButton);
            Child<QPlainTextEdit>(&w, "Font_MemoFontString")->setPlainText(QStringLiteral("AB"));
            QTest::mouseClick(Child<QPushButton>(&w, c.button), Qt::LeftButton);
            QCOMPARE(f.boxes.boxes.size(), size_t{1});
            QCOMPARE(f.LastBox().title, std::string("Error"));
            QCOMPARE(f.LastBox().text, std::string(c.message));
            QCOMPARE(f.Panel(1), QString::fromLatin1(c.message));
            QCOMPARE(f.Panel(2), QString::fromLatin1(c.detail));
            if (c.stillWritten) QVERIFY(fs::is_regular_file(f.dir / c.stillWritten));
            if (c.notWritten) QVERIFY(!fs::exists(f.dir / c.notWritten));
            QCOMPARE(int(w.workspace().font.Bank.Count()), c.glyphsAfter);
        }
    }

    // With Half Word, a glyph the reordering does not apply to keeps its order, and panel 1 says so.
    void halfWordNoteInTheStatusBar() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        Choose(Child<QComboBox>(&w, "Font_cbFontColorType"), 2);
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnInsert"), Qt::LeftButton);
        QTest::mouseClick(Child<QCheckBox>(&w, "Font_chkHalfWord"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankCode"), Qt::LeftButton);
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(f.Panel(1), QStringLiteral("Half Word: 1 glyph(s) kept their stored order"));
        QVERIFY(fs::is_regular_file(f.dir / "Font.c"));
        // Unticked, the generator reorders nothing and says nothing.
        QTest::mouseClick(Child<QCheckBox>(&w, "Font_chkHalfWord"), Qt::LeftButton);
        QVERIFY(!w.workspace().font.HalfWord);
    }

    // The memo holds at most 256 characters, however they come.
    void memoKeepsItsLimit() {
        UiFixture f;
        auto& w = f.Window();
        FontPage(w);
        auto* memo = Child<QPlainTextEdit>(&w, "Font_MemoFontString");
        memo->setFocus();
        QTest::keyClicks(memo, QString(250, QLatin1Char('x')));
        QTest::keyClick(memo, Qt::Key_Return);
        QTest::keyClicks(memo, QStringLiteral("abcdefgh"));
        QCOMPARE(memo->toPlainText(), QString(250, QLatin1Char('x')) + QStringLiteral("\nabcde"));
        // Typed in the middle of a full memo, nothing is taken from elsewhere.
        QTextCursor cursor = memo->textCursor();
        cursor.setPosition(3);
        memo->setTextCursor(cursor);
        QTest::keyClicks(memo, QStringLiteral("Z"));
        QCOMPARE(memo->toPlainText(), QString(250, QLatin1Char('x')) + QStringLiteral("\nabcde"));
        memo->clear();
        memo->insertPlainText(QString(300, QLatin1Char('y')));
        QCOMPARE(memo->toPlainText(), QString(256, QLatin1Char('y')));
    }
};

TAVIX_UI_SUITE(FontTabTest)

#include "FontTabTest.moc"
