#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "support/PngBuilder.h"
#include "widgets/PictureView.h"

#include <QCheckBox>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <map>

namespace {

testsupport::BmpLayout Sheet(int width, int height, int bpp) {
    testsupport::BmpLayout s;
    s.width = width;
    s.height = height;
    s.bpp = bpp;
    s.palette = testsupport::DistinctPalette(1 << bpp);
    s.indices = testsupport::IndicesOf(width, height, [bpp](int x, int y) { return (x + y) % (1 << bpp); });
    return s;
}

QString Cell(QWidget* w, const char* grid, int row, int column) {
    return Child<QTableWidget>(w, grid)->item(row, column)->text();
}

} // namespace

class OpenBitmapTest : public QObject {
    Q_OBJECT
private slots:
    void fourBitSheetOnTheOsdTab() {
        UiFixture f;
        auto& w = f.Window();
        const std::string path = WriteBmp(f, "sheet.bmp", Sheet(24, 32, 4));
        f.Open(path);
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(w.windowTitle(), QString::fromStdString("Tavix v0.1.5.9 - " + path));
        QCOMPARE(f.Panel(0), QStringLiteral("Width:  24/Height: 32/Palette:  16"));
        QVERIFY(!Child<QCheckBox>(&w, "OSD_chkTo2BPP")->isHidden());
        // The Before picture shows the file unscaled.
        const QImage& before = Child<widgets::PictureView>(&w, "Image_BMP_Before")->Image();
        QCOMPARE(before.size(), QSize(24, 32));
        const base::Colour c = testsupport::DistinctPalette(16)[(5 + 7) % 16];
        QCOMPARE(before.pixel(5, 7), qRgb(base::RedOf(c), base::GreenOf(c), base::BlueOf(c)));
        // The open dialog was the shared one with its filter.
        QCOMPARE(QString::fromStdString(f.dialogs.shownFiles.back().Name), QStringLiteral("OpenDialog_Main"));
        QCOMPARE(QString::fromStdString(f.dialogs.shownFiles.back().Filter),
                 QStringLiteral("BITMAP File(*.bmp)|*.bmp|PNG files (*.png)|*.png|All pictures|*.bmp;*.png|"
                                "All File(*.*)|*.*"));

        // An 8-bpp picture hides the 2BPP option again.
        f.Open(WriteBmp(f, "eight.bmp", Sheet(16, 16, 8)));
        QVERIFY(Child<QCheckBox>(&w, "OSD_chkTo2BPP")->isHidden());
    }

    void refusalsReportThroughTheErrorBox() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_BitmapHeader");

        f.Open(f.dir / "missing.bmp");
        QCOMPARE(QString::fromStdString(f.LastBox().title), QStringLiteral("Error"));
        QCOMPARE(QString::fromStdString(f.LastBox().text), QStringLiteral("File Not Exist !!!"));
        QCOMPARE(f.Panel(1), QStringLiteral("File Not Exist !!!"));
        QCOMPARE(w.windowTitle(), QStringLiteral("Tavix v0.1.5.9"));

        const std::string wide = WriteBmp(f, "wide.bmp", Sheet(1025, 2, 8));
        f.Open(wide);
        QCOMPARE(QString::fromStdString(f.LastBox().text), QStringLiteral("Wrong File Size !!!"));
        QCOMPARE(w.windowTitle(), QString::fromStdString("Tavix v0.1.5.9 - " + wide));
        QCOMPARE(Cell(&w, "StringGrid_InfoHeader", 2, 1), QStringLiteral("01 04 00 00 (1025)"));
        QCOMPARE(Cell(&w, "StringGrid_InfoHeader", 2, 2), QStringLiteral("Width in pixels"));

        testsupport::BmpLayout deep = Sheet(4, 2, 8);
        deep.biBitCount = 24;
        f.Open(WriteBmp(f, "deep.bmp", deep));
        QCOMPARE(QString::fromStdString(f.LastBox().text), QStringLiteral("Don't support 24bit!!!"));
        QCOMPARE(f.Panel(1), QStringLiteral("Don't support 24bit!!!"));
        QCOMPARE(Cell(&w, "StringGrid_InfoHeader", 5, 1), QStringLiteral("18 00 (24)"));
        QCOMPARE(Cell(&w, "StringGrid_FileHeader", 1, 1), QStringLiteral("42 4D (B M)"));

        // A good file after the refused ones.
        const size_t boxes = f.boxes.boxes.size();
        f.Open(WriteBmp(f, "good.bmp", Sheet(8, 8, 8)));
        QCOMPARE(f.boxes.boxes.size(), boxes);
        QCOMPARE(int(w.workspace().bitmap.Width), 8);
        QCOMPARE(Cell(&w, "StringGrid_InfoHeader", 5, 1), QStringLiteral("08 00 (8)"));

        // A cancelled dialog changes nothing.
        f.dialogs.CancelFile();
        const QString title = w.windowTitle();
        w.NBtn_OpenClick();
        QCOMPARE(w.windowTitle(), title);
        QCOMPARE(f.boxes.boxes.size(), boxes);
    }

    void headerGridsFixedTextsAppearWhenTheTabIsShown() {
        UiFixture f;
        auto& w = f.Window();
        QCOMPARE(Cell(&w, "StringGrid_FileHeader", 1, 0), QString());
        ShowTab(w, "TabSheet_BitmapHeader");
        QCOMPARE(Cell(&w, "StringGrid_FileHeader", 0, 0), QStringLiteral("Offset"));
        QCOMPARE(Cell(&w, "StringGrid_FileHeader", 0, 1), QStringLiteral("Value"));
        QCOMPARE(Cell(&w, "StringGrid_FileHeader", 0, 2), QStringLiteral("Description"));
        QCOMPARE(Cell(&w, "StringGrid_FileHeader", 4, 0), QStringLiteral("000A-000D"));
        QCOMPARE(Cell(&w, "StringGrid_FileHeader", 4, 2), QStringLiteral("Bitmap data offset"));
        QCOMPARE(Cell(&w, "StringGrid_InfoHeader", 11, 0), QStringLiteral("0024-0027"));
        QCOMPARE(Cell(&w, "StringGrid_InfoHeader", 11, 2), QStringLiteral("Important colors"));
        QCOMPARE(Cell(&w, "StringGrid_FileHeader", 2, 1), QStringLiteral("00 00 00 00 (0)"));
        QCOMPARE(Cell(&w, "StringGrid_FileHeader", 5, 0), QString());
        QCOMPARE(Cell(&w, "StringGrid_InfoHeader", 12, 1), QString());
        auto* grid = Child<QTableWidget>(&w, "StringGrid_InfoHeader");
        QCOMPARE(grid->rowCount(), 14);
        QCOMPARE(grid->columnWidth(2), 273);
        QCOMPARE(grid->rowHeight(3), 22);

        // Opening on another tab still refreshes the values.
        ShowTab(w, "TabSheet_BmpFont");
        testsupport::BmpLayout s = Sheet(8, 4, 8);
        s.reserved2 = 1;
        f.Open(WriteBmp(f, "r.bmp", s));
        QCOMPARE(Cell(&w, "StringGrid_FileHeader", 3, 1), QStringLiteral("00 00 01 00 (65536)"));
    }

    void pngOpensAsItsBmpTwinAndTheHeaderTabSaysSo() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_BitmapHeader");
        testsupport::PngLayout png;
        png.width = 5;
        png.height = 3;
        png.bitDepth = 4;
        png.palette = testsupport::DistinctPalette(16);
        png.indices = testsupport::IndicesOf(5, 3, [](int x, int y) { return (x + 5 * y) % 16; });
        png.phys = testsupport::PngLayout::Phys{3780, 3780, true};
        testsupport::BmpLayout bmp = Sheet(5, 3, 4);
        bmp.indices = png.indices;
        bmp.xPelsPerMeter = bmp.yPelsPerMeter = 3780;
        const auto cells = [&w] {
            QStringList all;
            for (const char* grid : {"StringGrid_FileHeader", "StringGrid_InfoHeader"})
                for (int row = 0; row < Child<QTableWidget>(&w, grid)->rowCount(); ++row)
                    for (int column = 0; column < 3; ++column)
                        if (auto* item = Child<QTableWidget>(&w, grid)->item(row, column)) all << item->text();
            return all;
        };

        f.Open(WriteBmp(f, "twin.bmp", bmp));
        const QStringList twin = cells();
        QVERIFY(f.Panel(1) != QString::fromUtf8("PNG \u2014 shown as its BMP header"));
        testsupport::WriteFile(f.dir / "logo.png", testsupport::BuildPng(png));
        f.Open(f.dir / "logo.png");
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(cells(), twin);
        QCOMPARE(Cell(&w, "StringGrid_InfoHeader", 8, 1), QStringLiteral("C4 0E 00 00 (3780)"));
        QCOMPARE(f.Panel(1), QString::fromUtf8("PNG \u2014 shown as its BMP header"));

        // A truecolour PNG gets the depth message; a damaged one the reader's error naming it.
        png.colour = testsupport::PngColour::Rgb;
        png.bitDepth = 8;
        testsupport::WriteFile(f.dir / "photo.png", testsupport::BuildPng(png));
        f.Open(f.dir / "photo.png");
        QCOMPARE(QString::fromStdString(f.LastBox().text), QStringLiteral("Don't support 24bit!!!"));
        QCOMPARE(Cell(&w, "StringGrid_InfoHeader", 5, 1), QStringLiteral("18 00 (24)"));
        std::vector<std::uint8_t> damaged = testsupport::BuildPng(png);
        damaged[29] ^= 0xFF; // the IHDR chunk's CRC
        testsupport::WriteFile(f.dir / "bad.png", damaged);
        ShowTab(w, "TabSheet_BmpFont");
        f.Open(f.dir / "bad.png");
        QCOMPARE(QString::fromStdString(f.LastBox().text),
                 QString::fromStdString("Cannot read the picture \"" + f.dir / "bad.png" + "\": IHDR: CRC error."));
    }

    void undecodablePictureEndsOpenWithTheReadersError() {
        UiFixture f;
        auto& w = f.Window();
        testsupport::BmpLayout odd = Sheet(8, 8, 8);
        odd.biCompression = 7;
        const std::string path = WriteBmp(f, "odd.bmp", odd);
        f.Open(path);
        QVERIFY(f.LastBox().error);
        QVERIFY(QString::fromStdString(f.LastBox().text).contains(QString::fromStdString(path)));
        QVERIFY(QString::fromStdString(f.LastBox().text).contains(QStringLiteral("compression method 7")));
        // Nothing after the picture load happened.
        QCOMPARE(w.windowTitle(), QStringLiteral("Tavix v0.1.5.9"));
        QCOMPARE(int(w.workspace().bitmap.Width), 0);
        QVERIFY(w.isVisible());
    }

    // Files as other programs write them reach the loader from the OSD tab, the tab active at start.
    void deepAndLongHeaderFilesOnTheOsdTab() {
        UiFixture f;
        auto& w = f.Window();
        testsupport::BmpLayout deep;
        deep.width = 4;
        deep.height = 2;
        deep.bpp = 24;
        deep.values = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF, 0, 0x808080, 0x123456, 0xABCDEF};
        const std::string deepPath = WriteBmp(f, "deep.bmp", deep);
        f.Open(deepPath);
        QCOMPARE(QString::fromStdString(f.LastBox().title), QStringLiteral("Error"));
        QCOMPARE(QString::fromStdString(f.LastBox().text), QStringLiteral("Don't support 24bit!!!"));
        QCOMPARE(f.Panel(1), QStringLiteral("Don't support 24bit!!!"));
        QCOMPARE(w.windowTitle(), QString::fromStdString("Tavix v0.1.5.9 - " + deepPath));
        ShowTab(w, "TabSheet_BitmapHeader");
        QCOMPARE(Cell(&w, "StringGrid_InfoHeader", 5, 1), QStringLiteral("18 00 (24)"));

        // An 8-bit sheet with a 124-byte header writes what the same sheet with a 40-byte header writes.
        ShowTab(w, "TabSheet_BmpFont");
        const size_t boxes = f.boxes.boxes.size();
        std::map<std::string, std::vector<std::uint8_t>> outputs[2];
        for (int infoSize : {40, 124}) {
            testsupport::BmpLayout s = Sheet(32, 16, 8);
            s.infoSize = infoSize;
            const std::string sub = "h" + std::to_string(infoSize);
            std::filesystem::create_directory(f.dir / sub);
            f.Open(WriteBmp(f, sub + "/sheet.bmp", s));
            QCOMPARE(f.Panel(0), QStringLiteral("Width:  32/Height: 16/Palette:  256"));
            QTest::mouseClick(Child<QToolButton>(&w, "BitBtn_Generate"), Qt::LeftButton);
            for (const auto& entry : std::filesystem::directory_iterator(f.dir / sub))
                if (entry.path().extension() != ".bmp")
                    outputs[infoSize == 40 ? 0 : 1][entry.path().filename().string()] =
                        testsupport::ReadFile(entry.path().string());
        }
        QCOMPARE(f.boxes.boxes.size(), boxes);
        QCOMPARE(int(outputs[0].size()), 8);
        QVERIFY(outputs[0] == outputs[1]);
    }

    void paletteTabTakesThePicturesColourTable() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Palette");
        testsupport::BmpLayout s = Sheet(16, 8, 4);
        s.palette[0] = 0x0000FF; // pure red
        f.Open(WriteBmp(f, "p.bmp", s));
        QCOMPARE(f.Panel(0), QStringLiteral("Width:  16/Height: 8/Palette:  16"));
        QCOMPARE(int(w.workspace().PaletteTable[0].peRed), 0xFF);
        QCOMPARE(int(w.workspace().PaletteTable[15].peGreen), 255 - 15);
        QCOMPARE(Child<QLabel>(&w, "Label_SelectedIndex_GRID_L")->text(),
                 QStringLiteral("LEFT Index: 0x00 (  0), R=0xFF, G=0x00, B=0x00"));
        QCOMPARE(Child<QLabel>(&w, "Label_SelectedIndex_GRID_R")->text(),
                 QStringLiteral("RIGHT Index: 0x00 (  0), R=0xFF, G=0x00, B=0x00"));
        QCOMPARE(Child<QLabel>(&w, "Label_PaletteIndex_GRID")->text(),
                 QStringLiteral("Palette Index: 0x00 (  0), R=0xFF, G=0x00, B=0x00"));
        QCOMPARE(Child<widgets::PictureView>(&w, "Image_Palette_PIC")->Image().size(), QSize(16, 8));
    }
};

TAVIX_UI_SUITE(OpenBitmapTest)

#include "OpenBitmapTest.moc"
