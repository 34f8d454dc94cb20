#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "aosd/AosdTab.h"
#include "font/FontTab.h"
#include "osd/OsdTab.h"
#include "widgets/PictureGrid.h"
#include "widgets/PreviewWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextDocument>
#include <QToolButton>

namespace {

using Bytes = std::vector<std::uint8_t>;

// A 4-bpp sheet of 16 cells of 16 x 16 in one row: every cell uses indices 0..3, except cell 2, which uses 9.
testsupport::BmpLayout SixteenCells() {
    testsupport::BmpLayout s;
    s.width = 256;
    s.height = 16;
    s.bpp = 4;
    s.palette = testsupport::DistinctPalette(16);
    s.indices = testsupport::IndicesOf(256, 16, [](int x, int y) { return x / 16 == 2 ? 9 : (x + y) % 4; });
    return s;
}

} // namespace

class PreviewTest : public QObject {
    Q_OBJECT
private slots:
    // Generate shows its files decoded beside the After picture; with the 2BPP planes the one cell whose
    // index does not fit in two bits is outlined in red. The window exists only once Generate has run.
    void osdPreviewOutlinesCellsThatDifferFromTheSheet() {
        UiFixture f;
        auto& w = f.Window();
        f.Open(WriteBmp(f, "sheet.bmp", SixteenCells()));
        Child<QAction>(&w, "N16x16")->trigger();
        auto* tab = Child<osd::OsdTab>(&w, "TabSheet_BmpFont");
        QVERIFY(tab->Preview() == nullptr);
        QVERIFY(w.findChild<widgets::PreviewWindow*>() == nullptr);

        QTest::mouseClick(Child<QToolButton>(&w, "BitBtn_Generate"), Qt::LeftButton);
        widgets::PreviewWindow* preview = tab->Preview();
        QVERIFY(preview);
        QCOMPARE(preview->accessibleName(), QStringLiteral("OSD Preview"));
        QVERIFY(preview->isVisible());
        QVERIFY2(preview->Text().contains(QStringLiteral("16 cells of 16 x 16 pixels, 4 bpp")), qPrintable(preview->Text()));
        QVERIFY2(preview->Text().contains(QStringLiteral("Every cell shows the sheet's colours.")),
                 qPrintable(preview->Text()));
        // Shown twice as large: 256 x 16 pixels of cells.
        QCOMPARE(preview->RightImage().size(), QSize(512, 32));

        QTest::mouseClick(Child<QCheckBox>(&w, "OSD_chkTo2BPP"), Qt::LeftButton);
        QTest::mouseClick(Child<QToolButton>(&w, "BitBtn_Generate"), Qt::LeftButton);
        QCOMPARE(tab->Preview(), preview); // one window, built once
        QVERIFY2(preview->Text().contains(QStringLiteral("1 of 16 cells differ from the sheet (outlined in red).")),
                 qPrintable(preview->Text()));
        const QImage& shown = preview->RightImage();
        QCOMPARE(shown.pixelColor(2 * 32 + 1, 10), QColor(Qt::red)); // cell 2's left edge
        QVERIFY(shown.pixelColor(1 * 32 + 1, 10) != QColor(Qt::red));
    }

    // Write Image shows the output decoded beside the picture and says in the status bar whether they are
    // the same: RLC writes index 255 as 254, which the count shows.
    void aosdPreviewCountsDifferingPixels() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_AOsd");
        auto* tab = Child<aosd::AosdTab>(&w, "TabSheet_AOsd");
        testsupport::BmpLayout s;
        s.width = 9;
        s.height = 2;
        s.palette = testsupport::DistinctPalette(256);
        s.indices = {1, 1, 1, 1, 1, 2, 0xFF, 0xFF, 3, 7, 7, 7, 7, 7, 7, 7, 0xFF, 0};
        f.dialogs.ConfirmFile(WriteBmp(f, "pic.bmp", s));
        Child<QPushButton>(tab, "Aosd_BtnOpenPicture")->click();
        QVERIFY(tab->Preview() == nullptr);

        f.dialogs.ConfirmFile(f.dir / "raw.bin");
        Child<QPushButton>(tab, "Aosd_BtnWriteImage")->click();
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(f.Panel(1), QStringLiteral("Preview: identical"));
        QVERIFY(tab->Preview());
        QCOMPARE(tab->Preview()->RightImage(), tab->Preview()->LeftImage());

        Child<QCheckBox>(tab, "Aosd_chkRLCEnable")->click();
        f.dialogs.ConfirmFile(f.dir / "rlc.bin");
        Child<QPushButton>(tab, "Aosd_BtnWriteImage")->click();
        QCOMPARE(f.Panel(1), QStringLiteral("Preview: 3 differing pixels"));
        QCOMPARE(tab->Preview()->Text(), QStringLiteral("Preview: 3 differing pixels"));
        QCOMPARE(tab->Preview()->RightImage().size(), QSize(9, 2));
        QCOMPARE(tab->Preview()->findChild<QLabel*>(QStringLiteral("Preview_Right"))->pixmap().size(),
                 QSize(9 * 8, 2 * 8)); // shown eight times as large
    }

    // The bank grid's glyph tooltip holds the glyph decoded from its bytes as a picture the tooltip can load.
    void bankTooltipShowsTheDecodedGlyph() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_Font");
        auto& editor = w.workspace().font.Editor;
        editor.PreviewSurface.SetPixel(editor.WindowLeft() + 3, editor.WindowTop() + 5, 0x000000);
        QTest::mouseClick(Child<QPushButton>(&w, "Font_btnInsert"), Qt::LeftButton);
        auto* grid = Child<widgets::PictureGrid>(&w, "Font_sgFontBank");
        QVERIFY(grid->PictureToolTip(2).isEmpty()); // no such glyph
        const QString tip = grid->PictureToolTip(1);
        QVERIFY2(tip.contains(QStringLiteral("Glyph 1 as FontBank.bin draws it (16 x 16, 1 bpp)")), qPrintable(tip));
        const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("src=\"([^\"]+)\"")).match(tip);
        QVERIFY(m.hasMatch());
        QTextDocument doc;
        doc.setHtml(tip);
        const QImage image = doc.resource(QTextDocument::ImageResource, QUrl(m.captured(1))).value<QImage>();
        QCOMPARE(image.size(), QSize(48, 48));
        QCOMPARE(image.pixelColor(3 * 3 + 1, 5 * 3 + 1), QColor(Qt::black));
        QCOMPARE(image.pixelColor(4 * 3 + 1, 5 * 3 + 1), QColor(Qt::white));
    }
};

TAVIX_UI_SUITE(PreviewTest)

#include "PreviewTest.moc"
