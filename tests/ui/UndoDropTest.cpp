#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "font/BankFiles.h"
#include "font/FontTab.h"
#include "merge/MergeList.h"
#include "shell/Workspace.h"
#include "support/PngBuilder.h"
#include "support/WavBuilder.h"
#include "widgets/ColourGrid.h"
#include "widgets/GlyphGrid.h"
#include "widgets/PictureGrid.h"
#include "widgets/Swatch.h"
#include "widgets/TCSpinEdit.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QShortcut>
#include <QTest>
#include <QUrl>

#include <filesystem>
#include <map>

namespace fs = std::filesystem;

namespace {

using Files = std::map<std::string, std::vector<std::uint8_t>>;

// The files a directory holds, by name, without the settings file.
Files FilesIn(const std::string& dir) {
    Files files;
    for (const auto& entry : fs::directory_iterator(dir))
        if (entry.is_regular_file() && entry.path().filename() != "Tavix.INI")
            files[entry.path().filename().string()] = testsupport::ReadFile(entry.path().string());
    return files;
}

// The keys pressed on the window, as a user presses them: the shortcut of the focused widget's window.
void Keys(shell::TMainTop& w, QWidget* focus, int key, Qt::KeyboardModifiers modifiers) {
    QApplication::setActiveWindow(&w);
    focus->setFocus();
    QTest::keyClick(focus, static_cast<Qt::Key>(key), modifiers);
}

// What the Font tab's saves write now: the glyph's Save and (with glyphs in the bank) the bank's Save, into
// a folder of their own.
Files FontSaves(UiFixture& f, shell::TMainTop& w, int n) {
    const std::string dir = f.dir / ("saves" + std::to_string(n));
    fs::create_directory(dir);
    w.workspace().folder = dir;
    QTest::mouseClick(Child<QPushButton>(&w, "Font_BtnSave"), Qt::LeftButton);
    QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankSave"), Qt::LeftButton);
    w.workspace().folder = f.dir.path();
    return FilesIn(dir);
}

// Files dragged onto the window and, when the window takes them, dropped: whether it took them.
bool Drop(shell::TMainTop& w, const std::vector<std::string>& paths) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& p : paths)
        urls << QUrl::fromLocalFile(QString::fromStdString(p));
    data.setUrls(urls);
    const QPoint at(w.width() / 2, w.height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &drop);
    return drop.isAccepted();
}

// A glyph file of the editor at 1 bpp: one 16 x 16 cell whose first row is X...............
std::string GlyphFileText() {
    std::string text = ";BPPi=0\n;Xi=4\n;Yi=0\n;Palette\n";
    for (int i = 0; i < 4; ++i)
        text += "0xFFFFFF 0x000000 0xFF0000 0xFF00FF\n";
    text += ";UFONT 00\nX............... 0x80,0x00, DB 080h,000h\n";
    for (int i = 0; i < 15; ++i)
        text += "................ 0x00,0x00, DB 000h,000h\n";
    return text;
}

void WriteText(const std::string& path, const std::string& text) {
    testsupport::WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

// A double click as the desktop delivers it: a press and release, then the second press as a double click.
void DoubleClick(QWidget* target, QPoint at) {
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    QTest::mouseDClick(target, Qt::LeftButton, {}, at);
}

} // namespace

class UndoDropTest : public QObject {
    Q_OBJECT
private slots:
    // Every step of the Font tab is taken back and made again by the window's keys, and at every point the
    // saves write exactly the bytes they wrote when the state was first reached.
    void fontUndoAndRedoRestoreWhatTheSavesWrite() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Font");
        auto* grid = Child<widgets::GlyphGrid>(&w, "Font_sgGridChar");
        QVERIFY(grid->toolTip().contains(QStringLiteral("Ctrl+Z undoes")));
        QVERIFY(Child<QWidget>(&w, "Font_sgFontBank")->toolTip().contains(QStringLiteral("Ctrl+Z undoes")));
        std::vector<Files> states = {FontSaves(f, w, 0)};
        const auto stepped = [&] { states.push_back(FontSaves(f, w, static_cast<int>(states.size()))); };

        // A stroke from press to release is one step.
        QTest::mousePress(grid, Qt::LeftButton, {}, grid->CellCentre(1, 1));
        QTest::mouseMove(grid, grid->CellCentre(2, 1));
        QTest::mouseMove(grid, grid->CellCentre(3, 2));
        QTest::mouseRelease(grid, Qt::LeftButton, {}, grid->CellCentre(3, 2));
        stepped();
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnInvert"), Qt::LeftButton);
        stepped();
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnInsert"), Qt::LeftButton);
        stepped();
        Child<QComboBox>(&w, "Font_cbFontColorType")->setCurrentIndex(2);
        stepped();
        // A palette entry changed through its colour dialog.
        f.dialogs.ConfirmColour(0x111111);
        auto* palette = Child<widgets::ColourGrid>(&w, "Font_sgFontPalette");
        DoubleClick(palette, palette->CellRect(3, 1).center() +
                                 QPoint(widgets::ColourGrid::kBorder, widgets::ColourGrid::kBorder));
        stepped();
        auto* entry = Child<QLineEdit>(&w, "Edit_Char");
        entry->setFocus();
        QTest::keyClicks(entry, QStringLiteral("B"));
        QTest::keyClick(entry, Qt::Key_Return);
        stepped();
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnInsert"), Qt::LeftButton);
        stepped();
        Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Xoffset")->setValue(3);
        stepped();
        WriteText(f.dir / "g.txt", GlyphFileText());
        f.dialogs.ConfirmFile(f.dir / "g.txt");
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnLoad"), Qt::LeftButton);
        stepped();
        // The bank's first glyph picked into the designer, then deleted from the bank.
        auto* bank = Child<widgets::PictureGrid>(&w, "Font_sgFontBank");
        QTest::mouseClick(bank->viewport(), Qt::LeftButton, {}, bank->CellRect(1, 1).center());
        stepped();
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankDelete"), Qt::LeftButton);
        stepped();
        QTest::mouseClick(Child<QPushButton>(&w, "Font_BtnBankClear"), Qt::LeftButton);
        stepped();
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnClear"), Qt::LeftButton);
        stepped();
        for (std::size_t i = 1; i < states.size(); ++i)
            QVERIFY2(states[i] != states[i - 1],
                     qPrintable(QStringLiteral("step %1 changed nothing").arg(i)));

        // While the entry box has the focus, Ctrl+Z is its own: the box's text comes back, the glyph stays.
        entry->clear();
        QTest::keyClicks(entry, QStringLiteral("Q"));
        Keys(w, entry, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(entry->text(), QString());
        QVERIFY(FontSaves(f, w, 100) == states.back());

        // Back to the start, one step at a time, then forward again with both redo keys.
        QWidget* grid0 = grid;
        for (std::size_t i = states.size() - 1; i > 0; --i) {
            Keys(w, grid0, Qt::Key_Z, Qt::ControlModifier);
            QVERIFY2(FontSaves(f, w, 200 + static_cast<int>(i)) == states[i - 1],
                     qPrintable(QStringLiteral("undo to %1").arg(i - 1)));
        }
        Keys(w, grid0, Qt::Key_Z, Qt::ControlModifier); // nothing more to take back
        QVERIFY(FontSaves(f, w, 300) == states[0]);
        for (std::size_t i = 1; i < states.size(); ++i) {
            Keys(w, grid0, i % 2 ? Qt::Key_Y : Qt::Key_Z,
                 i % 2 ? Qt::KeyboardModifiers(Qt::ControlModifier)
                       : Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY2(FontSaves(f, w, 400 + static_cast<int>(i)) == states[i],
                     qPrintable(QStringLiteral("redo to %1").arg(i)));
        }

        // A new step forgets what could be redone; loading a bank forgets every step.
        Keys(w, grid0, Qt::Key_Z, Qt::ControlModifier);
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnInvert"), Qt::LeftButton);
        const Files inverted = FontSaves(f, w, 500);
        Keys(w, grid0, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(FontSaves(f, w, 501) == inverted);
        WriteText(f.dir / "bank.txt", font::BankText(w.workspace().font.Bank, font::StartFont()));
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnInsert"), Qt::LeftButton);
        f.dialogs.ConfirmFile(f.dir / "bank.txt");
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnBankLoad"), Qt::LeftButton);
        const Files loaded = FontSaves(f, w, 502);
        Keys(w, grid0, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(FontSaves(f, w, 503) == loaded);
        QCOMPARE(f.dialogs.unexpected, 0);
    }

    // 100 steps are kept: the hundred inverts come back, the stroke before them is the 101st step and stays.
    void aHundredStepsAreKept() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Font");
        auto* invert = Child<QPushButton>(&w, "Font_btnInvert");
        auto* grid = Child<widgets::GlyphGrid>(&w, "Font_sgGridChar");
        QTest::mouseClick(grid, Qt::LeftButton, {}, grid->CellCentre(0, 0));
        const font::ColourImage start = w.workspace().font.Editor.PreviewSurface;
        for (int i = 0; i < 100; ++i)
            QTest::mouseClick(invert, Qt::LeftButton);
        for (int i = 0; i < 100; ++i)
            Keys(w, grid, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(w.workspace().font.Editor.PreviewSurface == start);
        Keys(w, grid, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.workspace().font.Editor.PreviewSurface.Pixel(32, 32), font::kBlack);
        Keys(w, grid, Qt::Key_Y, Qt::ControlModifier); // the first invert again
        QVERIFY(w.workspace().font.Editor.PreviewSurface != start);
    }

    // The Palette tab's edits come back step by step: File > Save writes at each point the bytes it wrote
    // there before. Opening another picture forgets them.
    void paletteUndoRestoresWhatFileSaveWrites() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Palette");
        testsupport::BmpLayout s;
        s.width = 10;
        s.height = 6;
        s.bpp = 8;
        s.palette = testsupport::DistinctPalette(256);
        s.indices = testsupport::IndicesOf(10, 6, [](int x, int y) { return (x + y) % 6; });
        f.Open(WriteBmp(f, "p.bmp", s));
        auto* grid = Child<widgets::ColourGrid>(&w, "StringGrid_Palette_GRID");
        QVERIFY(grid->toolTip().contains(QStringLiteral("Ctrl+Z undoes")));
        int saves = 0;
        const auto saved = [&] {
            const std::string path = f.dir / ("s" + std::to_string(saves++) + ".BMP");
            f.dialogs.ConfirmFile(path);
            Child<QAction>(&w, "NBtn_Save")->trigger();
            return testsupport::ReadFile(path);
        };
        const auto at = [](int x, int y) {
            return QPoint(x + widgets::ColourGrid::kBorder, y + widgets::ColourGrid::kBorder);
        };
        std::vector<std::vector<std::uint8_t>> states = {saved()};
        QTest::mouseClick(grid, Qt::LeftButton, {}, at(27, 1)); // LEFT entry 2
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Invert"), Qt::LeftButton);
        states.push_back(saved());
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Insert"), Qt::LeftButton);
        states.push_back(saved());
        QTest::mouseClick(grid, Qt::RightButton, {}, at(1, 14)); // RIGHT entry 16
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Swap"), Qt::LeftButton);
        states.push_back(saved());
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Delete"), Qt::LeftButton);
        states.push_back(saved());
        f.dialogs.ConfirmColour(0xFF0000);
        QTest::mouseClick(Child<widgets::Swatch>(&w, "Edit_SelectedIndex_GRID_L"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Update"), Qt::LeftButton);
        states.push_back(saved());
        for (std::size_t i = 1; i < states.size(); ++i)
            QVERIFY(states[i] != states[i - 1]);
        for (std::size_t i = states.size() - 1; i > 0; --i) {
            Keys(w, grid, Qt::Key_Z, Qt::ControlModifier);
            QVERIFY2(saved() == states[i - 1], qPrintable(QStringLiteral("undo to %1").arg(i - 1)));
        }
        for (std::size_t i = 1; i < states.size(); ++i) {
            Keys(w, grid, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY2(saved() == states[i], qPrintable(QStringLiteral("redo to %1").arg(i)));
        }
        f.Open(f.dir / "p.bmp");
        const auto reopened = saved();
        Keys(w, grid, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(saved() == reopened);
        QCOMPARE(f.dialogs.unexpected, 0);
    }

    // Reduce Palette on the OSD tab is a step: taken back, File > Save and Generate write what they wrote
    // before it; made again, what they wrote after it. An edit on the Palette tab in between forgets it.
    void reducePaletteIsAStepOfTheOsdTab() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_BmpFont");
        testsupport::BmpLayout s;
        s.width = 16;
        s.height = 16;
        s.bpp = 8;
        s.palette = testsupport::DistinctPalette(256);
        s.palette[7] = s.palette[3]; // two entries of one colour: the reduction merges them
        s.indices = testsupport::IndicesOf(16, 16, [](int x, int y) { return (x * 3 + y) % 9; });
        f.Open(WriteBmp(f, "r.bmp", s));
        QVERIFY(Child<QWidget>(&w, "Image_BMP_After")->toolTip().contains(QStringLiteral("Ctrl+Z undoes")));
        int saves = 0;
        const auto saved = [&] {
            const std::string path = f.dir / ("o" + std::to_string(saves++) + ".BMP");
            f.dialogs.ConfirmFile(path);
            Child<QAction>(&w, "NBtn_Save")->trigger();
            return testsupport::ReadFile(path);
        };
        auto* label = Child<QLabel>(&w, "Label_PaletteNumber_After");
        const QString labelBefore = label->text();
        const auto before = saved();
        const auto pixelsBefore = w.workspace().bitmap.Pixels;
        QTest::mouseClick(Child<QPushButton>(&w, "BitBtn_ReducePalette"), Qt::LeftButton);
        const auto after = saved();
        const QString labelAfter = label->text();
        QVERIFY(after != before);
        auto* area = Child<QWidget>(&w, "Image_BMP_After");
        Keys(w, area, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(saved() == before);
        QVERIFY(w.workspace().bitmap.Pixels == pixelsBefore);
        QCOMPARE(w.workspace().bitmap.ReducedCount, std::uint16_t{0});
        Keys(w, area, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(saved() == after);
        QCOMPARE(label->text(), labelAfter);
        QVERIFY(labelAfter != labelBefore);

        // The Palette tab edits the reduced picture; the OSD tab's step would take that back too: it is gone.
        ShowTab(w, "TabSheet_Palette");
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Invert"), Qt::LeftButton);
        ShowTab(w, "TabSheet_BmpFont");
        const auto edited = saved();
        Keys(w, area, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(saved() == edited);
        QCOMPARE(f.dialogs.unexpected, 0);
    }

    // A drop does what the matching open does on the active tab, its dialog answered with the file.
    void dropsOpenAsTheMatchingOpen() {
        UiFixture f;
        auto& w = f.Window();
        testsupport::BmpLayout s;
        s.width = 12;
        s.height = 4;
        s.bpp = 8;
        s.palette = testsupport::DistinctPalette(256);
        s.indices = testsupport::IndicesOf(12, 4, [](int x, int) { return x; });
        const std::string bmp = WriteBmp(f, "drop.bmp", s);

        for (const char* tab : {"TabSheet_BmpFont", "TabSheet_BitmapHeader", "TabSheet_Palette"}) {
            ShowTab(w, tab);
            w.workspace().bitmap.Width = 0;
            QVERIFY2(Drop(w, {bmp}), tab);
            QCOMPARE(int(w.workspace().bitmap.Width), 12);
            QCOMPARE(w.OpenDialog_Main.FileName, bmp);
        }

        // A PNG as File > Open takes it.
        testsupport::PngLayout png;
        png.width = 7;
        png.height = 2;
        png.palette = testsupport::DistinctPalette(256);
        png.indices = testsupport::IndicesOf(7, 2, [](int x, int y) { return x + y; });
        const std::string pngPath = f.dir / "drop.png";
        testsupport::WriteFile(pngPath, testsupport::BuildPng(png));
        ShowTab(w, "TabSheet_Palette");
        QVERIFY(Drop(w, {pngPath}));
        QCOMPARE(int(w.workspace().bitmap.Width), 7);
        QCOMPARE(w.OpenDialog_Main.FileName, pngPath);

        ShowTab(w, "TabSheet_AOsd");
        QVERIFY(Drop(w, {bmp}));
        QCOMPARE(w.workspace().aosd.AosdPicturePath, bmp);

        testsupport::WavLayout wav;
        wav.data = {1, 2, 3, 4};
        const std::string wavPath = f.dir / "drop.wav";
        testsupport::WriteFile(wavPath, testsupport::BuildWav(wav));
        ShowTab(w, "TabSheet_Wav");
        QVERIFY(Drop(w, {wavPath}));
        QVERIFY(Child<QLabel>(&w, "Label_WavFileNameVal")->text().endsWith(QStringLiteral("drop.wav")));

        ShowTab(w, "TabSheet_Font");
        WriteText(f.dir / "g.txt", GlyphFileText());
        QVERIFY(Drop(w, {f.dir / "g.txt"}));
        QCOMPARE(w.workspace().font.Editor.GlyphPixel(0, 0), font::kBlack);
        font::FontBank bank;
        font::GlyphNode node;
        node.Words.assign(16, 0x8001);
        QVERIFY(bank.Append(node));
        WriteText(f.dir / "b.txt", font::BankText(bank, font::StartFont()));
        QVERIFY(Drop(w, {f.dir / "b.txt"}));
        QCOMPARE(w.workspace().font.Bank.Count(), std::size_t{1});

        ShowTab(w, "TabSheet_MERGE");
        QVERIFY(Drop(w, {bmp, wavPath}));
        QCOMPARE(int(w.workspace().mergeList.MergeCount()), 2);
        WriteText(f.dir / "LIST.TXT", bmp + "\n");
        QVERIFY(Drop(w, {f.dir / "LIST.TXT"}));
        QCOMPARE(int(w.workspace().mergeList.MergeCount()), 3);
        QCOMPARE(f.dialogs.unexpected, 0);
    }

    // A drop the active tab takes no such file for is refused at the cursor and changes nothing.
    void dropsTheTabDoesNotTakeAreRefused() {
        UiFixture f;
        auto& w = f.Window();
        const std::string a = f.dir / "a.bin";
        const std::string b = f.dir / "b.bin";
        WriteText(a, "x");
        WriteText(b, "y");
        for (const char* tab : {"TabSheet_BmpFont", "TabSheet_BitmapHeader", "TabSheet_Palette",
                                "TabSheet_AOsd", "TabSheet_Wav", "TabSheet_Font"}) {
            ShowTab(w, tab);
            QVERIFY2(!Drop(w, {a, b}), tab);
        }
        QMimeData text;
        text.setText(QStringLiteral("not a file"));
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&w, &enter);
        QVERIFY(!enter.isAccepted());
        QCOMPARE(w.workspace().bitmap.Width, std::uint16_t{0});
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(f.dialogs.unexpected, 0);
    }
};

TAVIX_UI_SUITE(UndoDropTest)
#include "UndoDropTest.moc"
