#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "cli/Cli.h"
#include "cli/OsdCommand.h"
#include "cli/PaletteCommand.h"
#include "picture/Picture.h"
#include "widgets/ColourGrid.h"
#include "widgets/PictureView.h"
#include "widgets/Swatch.h"
#include "widgets/TCSpinEdit.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <sstream>

namespace {

QPoint GridPoint(int x, int y) {
    return QPoint(x + widgets::ColourGrid::kBorder, y + widgets::ColourGrid::kBorder);
}

QString Text(QWidget* w, const char* name) {
    return Child<QLabel>(w, name)->text();
}

// An 8-bit picture using indices 0..5 on a palette of distinct colours, entry 26 pure red.
testsupport::BmpLayout Picture8() {
    testsupport::BmpLayout s;
    s.width = 10;
    s.height = 6;
    s.bpp = 8;
    s.palette = testsupport::DistinctPalette(256);
    s.palette[26] = 0x0000FF;
    s.indices = testsupport::IndicesOf(10, 6, [](int x, int y) { return (x + y) % 6; });
    return s;
}

QRgb Rgb(base::Colour c) {
    return qRgb(base::RedOf(c), base::GreenOf(c), base::BlueOf(c));
}

} // namespace

class PaletteTabTest : public QObject {
    Q_OBJECT
private slots:
    void pointerAndPicksReadOut() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Palette");
        f.Open(WriteBmp(f, "p.bmp", Picture8()));
        auto* grid = Child<widgets::ColourGrid>(&w, "StringGrid_Palette_GRID");
        const base::Colour e1 = testsupport::DistinctPalette(256)[1];
        const QString entry1 = QString::asprintf("0x01 (  1), R=0x%02X, G=0x%02X, B=0x%02X", base::RedOf(e1),
                                                 base::GreenOf(e1), base::BlueOf(e1));
        // Column 0 is X 0..12, column 1 is X 13..25.
        for (int x : {0, 12}) {
            QTest::mouseMove(grid, GridPoint(x, 0));
            QVERIFY(
                Text(&w, "Label_PaletteIndex_GRID").startsWith(QStringLiteral("Palette Index: 0x00 (  0)")));
        }
        for (int x : {13, 25}) {
            QTest::mouseMove(grid, GridPoint(x, 0));
            QCOMPARE(Text(&w, "Label_PaletteIndex_GRID"), QStringLiteral("Palette Index: ") + entry1);
        }
        QTest::mouseMove(grid, GridPoint(13 * 10, 13)); // row 1, column 10: entry 26
        QCOMPARE(Text(&w, "Label_PaletteIndex_GRID"),
                 QStringLiteral("Palette Index: 0x1A ( 26), R=0xFF, G=0x00, B=0x00"));
        QCOMPARE(Child<widgets::Swatch>(&w, "Edit_PaletteIndex_GRID")->Colour(), QColor(0xFF, 0, 0));

        QTest::mouseClick(grid, Qt::RightButton, {}, GridPoint(13 * 10 + 5, 13 + 5));
        QCOMPARE(Text(&w, "Label_SelectedIndex_GRID_R"),
                 QStringLiteral("RIGHT Index: 0x1A ( 26), R=0xFF, G=0x00, B=0x00"));
        QTest::mouseClick(grid, Qt::LeftButton, {}, GridPoint(20, 3));
        QCOMPARE(Text(&w, "Label_SelectedIndex_GRID_L"), QStringLiteral("LEFT Index: ") + entry1);
        QCOMPARE(int(w.workspace().palette.LeftIndex), 1);
        QCOMPARE(int(w.workspace().palette.RightIndex), 26);
        // Outside the 16 x 16 cells the pointer changes nothing.
        QTest::mouseMove(grid, GridPoint(208, 100));
        QCOMPARE(Text(&w, "Label_PaletteIndex_GRID"),
                 QStringLiteral("Palette Index: 0x1A ( 26), R=0xFF, G=0x00, B=0x00"));
    }

    void editsKeepTheLookAndMoveTheShownSize() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Palette");
        testsupport::BmpLayout s = Picture8();
        s.palette.resize(6);
        f.Open(WriteBmp(f, "p.bmp", s));
        QCOMPARE(f.Panel(0), QStringLiteral("Width:  10/Height: 6/Palette:  6"));
        const QImage before = Child<widgets::PictureView>(&w, "Image_Palette_PIC")->Image();
        auto* grid = Child<widgets::ColourGrid>(&w, "StringGrid_Palette_GRID");

        // Delete entry 3: the picture looks the same, entry 255 holds the old entry 3.
        QTest::mouseClick(grid, Qt::LeftButton, {}, GridPoint(13 * 3 + 1, 1));
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Delete"), Qt::LeftButton);
        QCOMPARE(f.Panel(0), QStringLiteral("Width:  10/Height: 6/Palette:  5"));
        QCOMPARE(w.workspace().PaletteTable[255], base::EntryOf(s.palette[3]));
        QCOMPARE(Child<widgets::PictureView>(&w, "Image_Palette_PIC")->Image(), before);

        // Swap the first two entries with a repeat of 1, then Insert at 0 a colour chosen in the dialog.
        QTest::mouseClick(grid, Qt::LeftButton, {}, GridPoint(1, 1));
        QTest::mouseClick(grid, Qt::RightButton, {}, GridPoint(14, 1));
        QCOMPARE(Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Repeat")->value(), 1);
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Swap"), Qt::LeftButton);
        QCOMPARE(w.workspace().PaletteTable[0], base::EntryOf(s.palette[1]));
        QCOMPARE(Child<widgets::PictureView>(&w, "Image_Palette_PIC")->Image(), before);

        f.dialogs.ConfirmColour(0x00FF00);
        QTest::mouseClick(Child<widgets::Swatch>(&w, "Edit_SelectedIndex_GRID_L"), Qt::LeftButton);
        QCOMPARE(Child<widgets::Swatch>(&w, "Edit_SelectedIndex_GRID_L")->Colour(), QColor(0, 0xFF, 0));
        QCOMPARE(f.dialogs.shownColours.back().Colour, base::ColourOf(w.workspace().PaletteTable[0]));
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Insert"), Qt::LeftButton);
        QCOMPARE(f.Panel(0), QStringLiteral("Width:  10/Height: 6/Palette:  6"));
        QCOMPARE(Text(&w, "Label_SelectedIndex_GRID_L"),
                 QStringLiteral("LEFT Index: 0x00 (  0), R=0x00, G=0xFF, B=0x00"));
        // Every pixel keeps its colour but those of index 255 (the deleted entry 3), which go to the new
        // entry 0.
        const QImage inserted = Child<widgets::PictureView>(&w, "Image_Palette_PIC")->Image();
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x)
                QCOMPARE(inserted.pixel(x, y), (x + y) % 6 == 3 ? qRgb(0, 0xFF, 0) : before.pixel(x, y));

        // Update entry 1 to the LEFT colour: its pixels turn to it; Invert twice gives it back.
        f.dialogs.ConfirmColour(0xFF0000); // pure blue
        QTest::mouseClick(grid, Qt::LeftButton, {}, GridPoint(14, 1));
        QTest::mouseClick(Child<widgets::Swatch>(&w, "Edit_SelectedIndex_GRID_L"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Update"), Qt::LeftButton);
        const QImage updated = Child<widgets::PictureView>(&w, "Image_Palette_PIC")->Image();
        // File index 1 went 1 (Delete), 0 (Swap), 1 (Insert): those pixels are entry 1 and turn blue.
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x)
                QCOMPARE(updated.pixel(x, y), (x + y) % 6 == 1 ? qRgb(0, 0, 0xFF) : inserted.pixel(x, y));
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Invert"), Qt::LeftButton);
        QCOMPARE(Text(&w, "Label_SelectedIndex_GRID_L"),
                 QStringLiteral("LEFT Index: 0x01 (  1), R=0xFF, G=0xFF, B=0x00"));
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Invert"), Qt::LeftButton);
        QCOMPARE(Child<widgets::PictureView>(&w, "Image_Palette_PIC")->Image(), updated);
    }

    void saveWritesWhatTheCliWritesAndRestoresTheDialog() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Palette");
        const std::string in = WriteBmp(f, "p.bmp", Picture8());
        f.Open(in);
        auto* grid = Child<widgets::ColourGrid>(&w, "StringGrid_Palette_GRID");
        // Swap entries 0..15 with 16..31 (the first two rows), then invert entry 2.
        QTest::mouseClick(grid, Qt::LeftButton, {}, GridPoint(1, 1));
        QTest::mouseClick(grid, Qt::RightButton, {}, GridPoint(1, 14));
        Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Repeat")->setValue(16);
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Swap"), Qt::LeftButton);
        QTest::mouseClick(grid, Qt::LeftButton, {}, GridPoint(27, 1));
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Invert"), Qt::LeftButton);

        const ui::FileDialog saveBefore = w.SaveDialog_Main;
        f.dialogs.ConfirmFile(f.dir / "edited");
        Child<QAction>(&w, "NBtn_Save")->trigger();
        const ui::FileDialog& shown = f.dialogs.shownFiles.back();
        QCOMPARE(QString::fromStdString(shown.Filter),
                 QStringLiteral("Bitmap File(*.BMP)|*.BMP|All File(*.*)|*.*"));
        QCOMPARE(shown.FilterIndex, 1);
        QCOMPARE(QString::fromStdString(shown.DefaultExt), QStringLiteral(".BMP"));
        QCOMPARE(QString::fromStdString(w.SaveDialog_Main.Filter), QString::fromStdString(saveBefore.Filter));
        QCOMPARE(QString::fromStdString(w.SaveDialog_Main.Filter),
                 QStringLiteral("Binary File(*.bin)|*.bin|Data File(*.dat)|*.dat|All File(*.*)|*.*"));
        QCOMPARE(w.SaveDialog_Main.DefaultExt, saveBefore.DefaultExt);

        const std::string saved = f.dir / "edited.BMP";
        QVERIFY(std::filesystem::exists(saved));
        // The saved file shows the picture as displayed.
        const picture::Picture back = picture::ReadBmpPicture(saved);
        const QImage shownImage = Child<widgets::PictureView>(&w, "Image_Palette_PIC")->Image();
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 10; ++x)
                QCOMPARE(Rgb(back.PixelAt(x, y)), shownImage.pixel(x, y));

        std::ostringstream out, err;
        const std::string cliSaved = f.dir / "cli.bmp";
        QCOMPARE(cli::Run({"palette", in, cliSaved, "--swap", "0,16,16", "--invert", "2"}, out, err), 0);
        QVERIFY(testsupport::ReadFile(saved) == testsupport::ReadFile(cliSaved));

        // On the AOSD tab the dialog shows and nothing is written.
        ShowTab(w, "TabSheet_AOsd");
        f.dialogs.ConfirmFile(f.dir / "aosd");
        Child<QAction>(&w, "NBtn_Save")->trigger();
        QVERIFY(!std::filesystem::exists(f.dir / "aosd.BMP"));
        QCOMPARE(int(f.dialogs.shownFiles.size()), 3);
        QVERIFY(f.boxes.boxes.empty());
    }

    void editsBelow8BitsReachTheBitmapOrSaySoInPanel1() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Palette");
        testsupport::BmpLayout s;
        s.width = 10;
        s.height = 6;
        s.bpp = 4;
        s.palette = testsupport::DistinctPalette(16);
        s.indices = testsupport::IndicesOf(10, 6, [](int x, int y) { return (x + 2 * y) % 16; });
        f.Open(WriteBmp(f, "p4.bmp", s));
        const QString panel1 = f.Panel(1);
        const std::vector<std::uint8_t> opened = w.workspace().bitmap.Pixels;
        auto* grid = Child<widgets::ColourGrid>(&w, "StringGrid_Palette_GRID");

        // Invert entry 1: every index still fits 4 bits, the bitmap takes the edit and panel 1 stays.
        QTest::mouseClick(grid, Qt::LeftButton, {}, GridPoint(14, 1));
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Invert"), Qt::LeftButton);
        QCOMPARE(w.workspace().bitmap.ColourTable[1], base::MakeColour(247, 1, 252)); // (8, 254, 3) inverted
        QCOMPARE(f.Panel(1), panel1);

        // Insert at entry 0 lifts index 15 to 16: the bitmap keeps its pixels and panel 1 says so.
        QTest::mouseClick(grid, Qt::LeftButton, {}, GridPoint(1, 1));
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Insert"), Qt::LeftButton);
        QCOMPARE(f.Panel(1),
                 QStringLiteral("Index 16 does not fit 4 bpp: File > Save writes the edited picture "
                                "as 8 bpp; Generate uses the last edit that fit."));
        QVERIFY(w.workspace().bitmap.Pixels == opened);
        QVERIFY(f.boxes.boxes.empty());

        // Delete at entry 0 takes every index back: the bitmap has the opened pixels again, the note goes.
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Delete"), Qt::LeftButton);
        QCOMPARE(f.Panel(1), QString());
        QVERIFY(w.workspace().bitmap.Pixels == opened);
        QCOMPARE(f.Panel(0), QStringLiteral("Width:  10/Height: 6/Palette:  16"));
    }

    void controlsHaveAccessibleNamesAndDescriptions() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Palette");
        f.Open(WriteBmp(f, "p.bmp", Picture8()));
        auto* grid = Child<widgets::ColourGrid>(&w, "StringGrid_Palette_GRID");
        auto* hover = Child<widgets::Swatch>(&w, "Edit_PaletteIndex_GRID");
        auto* left = Child<widgets::Swatch>(&w, "Edit_SelectedIndex_GRID_L");
        auto* right = Child<widgets::Swatch>(&w, "Edit_SelectedIndex_GRID_R");
        auto* repeat = Child<widgets::TCSpinEdit>(&w, "CSpinEdit_Repeat");

        QCOMPARE(grid->accessibleName(), QStringLiteral("Palette entries"));
        QCOMPARE(hover->accessibleName(), QStringLiteral("Palette Index"));
        QCOMPARE(left->accessibleName(), QStringLiteral("LEFT Index"));
        QCOMPARE(right->accessibleName(), QStringLiteral("RIGHT Index"));
        QCOMPARE(Child<QLabel>(&w, "Label_SelectedIndex_GRID_L")->buddy(), left);
        QCOMPARE(repeat->accessibleName(), QStringLiteral("Swap repeat count"));

        // Each description is the read-out of the entry its control shows.
        QTest::mouseMove(grid, GridPoint(13 * 10, 13)); // entry 26, pure red
        QCOMPARE(hover->accessibleDescription(),
                 QStringLiteral("Palette Index: 0x1A ( 26), R=0xFF, G=0x00, B=0x00"));
        QTest::mouseClick(grid, Qt::RightButton, {}, GridPoint(13 * 10 + 5, 13 + 5));
        QTest::mouseClick(grid, Qt::LeftButton, {}, GridPoint(20, 3));
        const QString rightText = QStringLiteral("RIGHT Index: 0x1A ( 26), R=0xFF, G=0x00, B=0x00");
        QCOMPARE(right->accessibleDescription(), rightText);
        QCOMPARE(left->accessibleDescription(), Text(&w, "Label_SelectedIndex_GRID_L"));
        QCOMPARE(grid->accessibleDescription(), Text(&w, "Label_SelectedIndex_GRID_L") + "\n" + rightText);

        // After an edit the LEFT swatch, its read-out and its description follow the entry.
        QTest::mouseClick(grid, Qt::LeftButton, {}, GridPoint(13 * 10 + 5, 13 + 5));
        QTest::mouseClick(Child<QPushButton>(&w, "Button_Palette_Invert"), Qt::LeftButton);
        const QString inverted = QStringLiteral("LEFT Index: 0x1A ( 26), R=0x00, G=0xFF, B=0xFF");
        QCOMPARE(Text(&w, "Label_SelectedIndex_GRID_L"), inverted);
        QCOMPARE(left->Colour(), QColor(0, 0xFF, 0xFF));
        QCOMPARE(left->accessibleDescription(), inverted);
        QCOMPARE(right->accessibleDescription(), Text(&w, "Label_SelectedIndex_GRID_R"));
        QCOMPARE(grid->accessibleDescription(), inverted + "\n" + rightText);
    }

    void saveToAnUnwritablePathShowsTheError() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Palette");
        f.Open(WriteBmp(f, "p.bmp", Picture8()));
        f.dialogs.ConfirmFile(f.dir / "missing/dir/x.bmp");
        Child<QAction>(&w, "NBtn_Save")->trigger();
        QVERIFY(f.LastBox().error);
        QVERIFY(QString::fromStdString(f.LastBox().text)
                    .contains(QString::fromStdString(f.dir / "missing/dir/x.bmp")));
        QVERIFY(w.isVisible());
    }
};

TAVIX_UI_SUITE(PaletteTabTest)

#include "PaletteTabTest.moc"
