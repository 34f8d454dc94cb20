#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "cli/Cli.h"
#include "cli/OsdCommand.h"
#include "cli/PaletteCommand.h"
#include "widgets/ColourGrid.h"
#include "widgets/PictureView.h"
#include "widgets/Swatch.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

// A character sheet: every pixel's index from its position, every colour distinct.
testsupport::BmpLayout Sheet(int width, int height, int bpp, int colours) {
    testsupport::BmpLayout s;
    s.width = width;
    s.height = height;
    s.bpp = bpp;
    s.palette = testsupport::DistinctPalette(1 << bpp);
    s.indices =
        testsupport::IndicesOf(width, height, [=](int x, int y) { return (x / 3 + 5 * y) % colours; });
    return s;
}

// The files of a directory by name, with their bytes.
std::map<std::string, std::vector<std::uint8_t>> FilesIn(const std::string& dir, const std::string& prefix) {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) == 0 && name.find(".bmp") == std::string::npos &&
            name.find(".BMP") == std::string::npos)
            files[name] = testsupport::ReadFile(entry.path().string());
    }
    return files;
}

// tavix-cli in-process, with its outputs in outDir.
int Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    if (code != 0) qWarning("tavix-cli: %s", err.str().c_str());
    return code;
}

QPoint GridPoint(int x, int y) {
    return QPoint(x + widgets::ColourGrid::kBorder, y + widgets::ColourGrid::kBorder);
}

} // namespace

class OsdTabTest : public QObject {
    Q_OBJECT
private slots:
    void generateWritesWhatTheCliWritesForEveryChoice() {
        struct Case {
            int bpp;
            const char* cellItem;
            const char* cell;
            bool asmCode;
            bool rgb666;
            bool to2bpp;
        };
        const Case cases[] = {
            {4, "N12x16", "12", true, false, false},  {4, "N16x16", "16", false, true, true},
            {8, "N13x16", "13", false, false, false}, {1, "N14x16", "14", true, true, false},
            {2, "N15x16", "15", false, false, false},
        };
        for (const Case& c : cases) {
            UiFixture f;
            auto& w = f.Window();
            const std::string path = WriteBmp(f, "sheet.bmp", Sheet(40, 32, c.bpp, 1 << c.bpp));
            f.Open(path);
            Child<QAction>(&w, c.cellItem)->trigger();
            Child<QAction>(&w, c.asmCode ? "N_ASM" : "N_C")->trigger();
            ShowTab(w, "TabSheet_AOsd");
            QTest::mouseClick(
                Child<QRadioButton>(&w, c.rgb666 ? "rgPaletteFormat_RGB666" : "rgPaletteFormat_RGB888"),
                Qt::LeftButton);
            ShowTab(w, "TabSheet_BmpFont");
            auto* to2 = Child<QCheckBox>(&w, "OSD_chkTo2BPP");
            QCOMPARE(!to2->isHidden(), c.bpp == 4);
            if (c.to2bpp) QTest::mouseClick(to2, Qt::LeftButton);
            QTest::mouseClick(Child<QToolButton>(&w, "BitBtn_Generate"), Qt::LeftButton);

            QVERIFY(f.boxes.boxes.empty());
            QCOMPARE(f.Panel(1), QStringLiteral("sheet_B.txt OK !"));
            const auto window = FilesIn(f.dir.path(), "sheet");
            QCOMPARE(int(window.size()), c.bpp == 1 ? 9 : 8);

            testsupport::TempDir cliOut;
            std::vector<std::string> args = {"osd",       path,
                                             "--cell",    c.cell,
                                             "--code",    c.asmCode ? "asm" : "c",
                                             "--palette", c.rgb666 ? "rgb666" : "rgb888",
                                             "--out",     cliOut.path()};
            if (c.to2bpp) args.push_back("--2bpp");
            QCOMPARE(Cli(args), 0);
            const auto cli = FilesIn(cliOut.path(), "sheet");
            QCOMPARE(int(cli.size()), int(window.size()));
            for (const auto& [name, bytes] : window) {
                QVERIFY2(cli.count(name), name.c_str());
                QVERIFY2(cli.at(name) == bytes, name.c_str());
            }
        }
    }

    void reduceThenGenerateAndSave() {
        UiFixture f;
        auto& w = f.Window();
        const std::string path = WriteBmp(f, "font.bmp", Sheet(32, 16, 8, 5));
        f.Open(path);
        QCOMPARE(f.Panel(0), QStringLiteral("Width:  32/Height: 16/Palette:  256"));
        QTest::mouseClick(Child<QPushButton>(&w, "BitBtn_ReducePalette"), Qt::LeftButton);
        QCOMPARE(Child<QLabel>(&w, "Label_PaletteNumber_After")->text(),
                 QStringLiteral("[A] Palette Number:   5"));
        const QImage& after = Child<widgets::PictureView>(&w, "Image_BMP_After")->Image();
        QCOMPARE(after.size(), QSize(256, 256));

        // The After grid: entry 1 is the second colour that appears (index 1 of the sheet).
        auto* grid = Child<widgets::ColourGrid>(&w, "StringGrid_Palette_After");
        QTest::mouseMove(grid, GridPoint(13, 0));
        const base::Colour second = testsupport::DistinctPalette(256)[1];
        QCOMPARE(Child<QLabel>(&w, "Label_PaletteIndex_After")->text(),
                 QString::asprintf("[A] Palette Index: 0x01 (  1), R=0x%02X, G=0x%02X, B=0x%02X",
                                   base::RedOf(second), base::GreenOf(second), base::BlueOf(second)));
        QCOMPARE(Child<widgets::Swatch>(&w, "Edit_PaletteIndex_After")->Colour(),
                 QColor(base::RedOf(second), base::GreenOf(second), base::BlueOf(second)));

        QTest::mouseClick(Child<QToolButton>(&w, "BitBtn_Generate"), Qt::LeftButton);
        f.dialogs.ConfirmFile(f.dir / "reduced");
        Child<QAction>(&w, "NBtn_Save")->trigger();
        QVERIFY(f.boxes.boxes.empty());
        QVERIFY(fs::exists(f.dir / "reduced.BMP"));

        testsupport::TempDir cliOut;
        QCOMPARE(
            Cli({"osd", path, "--reduce", "--out", cliOut.path(), "--save-reduced", cliOut / "reduced.BMP"}),
            0);
        const auto window = FilesIn(f.dir.path(), "font");
        for (const auto& [name, bytes] : FilesIn(cliOut.path(), "font"))
            QVERIFY2(window.at(name) == bytes, name.c_str());
        QVERIFY(testsupport::ReadFile(f.dir / "reduced.BMP") ==
                testsupport::ReadFile(cliOut / "reduced.BMP"));
    }

    void afterViewsFollowThePaletteFormat() {
        UiFixture f;
        auto& w = f.Window();
        testsupport::BmpLayout s = Sheet(16, 16, 4, 2);
        s.palette[0] = base::MakeColour(0x40, 0x80, 0xFF);
        f.Open(WriteBmp(f, "mask.bmp", s));
        ShowTab(w, "TabSheet_AOsd");
        QTest::mouseClick(Child<QRadioButton>(&w, "rgPaletteFormat_RGB666"), Qt::LeftButton);
        QCOMPARE(w.workspace().settings.PaletteColorMask(), 0xFCFCFCu);
        ShowTab(w, "TabSheet_BmpFont");
        QTest::mouseClick(Child<QPushButton>(&w, "BitBtn_ReducePalette"), Qt::LeftButton);
        auto* grid = Child<widgets::ColourGrid>(&w, "StringGrid_Palette_After");
        QTest::mouseClick(grid, Qt::LeftButton, {}, GridPoint(2, 2));
        QCOMPARE(Child<QLabel>(&w, "Label_SelectedIndex_After")->text(),
                 QStringLiteral("[A] Selected Index: 0x00 (  0), R=0x40, G=0x80, B=0xFC"));
        const QImage& after = Child<widgets::PictureView>(&w, "Image_BMP_After")->Image();
        QCOMPARE(after.pixel(0, 0), qRgb(0x40, 0x80, 0xFC));
    }

    void beforeGridReadOutsAndTheStatusLine() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_BitmapHeader");
        ShowTab(w, "TabSheet_BmpFont");
        QCOMPARE(f.Panel(0), QStringLiteral("Width:  0/Height: 0/Palette:  0"));

        testsupport::BmpLayout s = Sheet(16, 16, 8, 2);
        s.palette[18] = base::MakeColour(0xFF, 0x80, 0x00);
        s.palette.resize(20);
        f.Open(WriteBmp(f, "b.bmp", s));
        QCOMPARE(f.Panel(0), QStringLiteral("Width:  16/Height: 16/Palette:  20"));
        auto* grid = Child<widgets::ColourGrid>(&w, "StringGrid_Palette_Before");
        QTest::mouseMove(grid, GridPoint(30, 14)); // row 1, column 2
        QCOMPARE(Child<QLabel>(&w, "Label_PaletteIndex_Before")->text(),
                 QStringLiteral("[B] Palette Index: 0x12 ( 18), R=0xFF, G=0x80, B=0x00"));
        QCOMPARE(Child<widgets::Swatch>(&w, "Edit_PaletteIndex_Before")->Colour(), QColor(0xFF, 0x80, 0x00));
        QTest::mouseClick(grid, Qt::LeftButton, {}, GridPoint(30, 14));
        QCOMPARE(Child<QLabel>(&w, "Label_SelectedIndex_Before")->text(),
                 QStringLiteral("[B] Selected Index: 0x12 ( 18), R=0xFF, G=0x80, B=0x00"));
        // A right click leaves the selection where it was.
        QTest::mouseClick(grid, Qt::RightButton, {}, GridPoint(0, 0));
        QCOMPARE(Child<QLabel>(&w, "Label_SelectedIndex_Before")->text(),
                 QStringLiteral("[B] Selected Index: 0x12 ( 18), R=0xFF, G=0x80, B=0x00"));
        // Past the 16 x 16 cells nothing changes.
        QTest::mouseMove(grid, GridPoint(209, 3));
        QCOMPARE(Child<QLabel>(&w, "Label_PaletteIndex_Before")->text(),
                 QStringLiteral("[B] Palette Index: 0x12 ( 18), R=0xFF, G=0x80, B=0x00"));
    }

    // The open dialog's folder is where Generate writes, named by their names alone, whatever the
    // process's working directory is; a name typed relative to it is taken from it.
    void generateWritesIntoTheFolderOfTheConfirmedDialog() {
        UiFixture f; // the working directory is f.dir
        auto& w = f.Window();
        fs::create_directory(f.dir / "pics");
        testsupport::WriteFile(f.dir / "pics/sheet.bmp", testsupport::BuildBmp(Sheet(16, 16, 8, 4)));
        testsupport::WriteFile(f.dir / "pics/other.bmp", testsupport::BuildBmp(Sheet(12, 16, 4, 4)));

        f.Open("pics/sheet.bmp"); // typed relative to the working directory
        QVERIFY(f.boxes.boxes.empty());
        QTest::mouseClick(Child<QToolButton>(&w, "BitBtn_Generate"), Qt::LeftButton);
        QVERIFY(fs::exists(f.dir / "pics/sheet_MSB.bin"));
        QVERIFY(!fs::exists(f.dir / "sheet_MSB.bin"));
        QCOMPARE(f.Panel(1), QStringLiteral("sheet_B.txt OK !"));

        f.Open("other.bmp"); // typed relative to the folder the last dialog chose
        QVERIFY(f.boxes.boxes.empty());
        QVERIFY(w.windowTitle().endsWith(QStringLiteral("pics/other.bmp")));
        QTest::mouseClick(Child<QToolButton>(&w, "BitBtn_Generate"), Qt::LeftButton);
        QVERIFY(fs::exists(f.dir / "pics/other_MSB.bin"));
        QCOMPARE(f.dialogs.shownFolders.back(), std::string("pics/"));
        QCOMPARE(QDir::currentPath(), QString::fromStdString(f.dir.path()));
    }

    void anOutputThatCannotBeCreatedIsReported() {
        UiFixture f;
        auto& w = f.Window();
        f.Open(WriteBmp(f, "sheet.bmp", Sheet(16, 16, 8, 4)));
        fs::create_directory(f.dir / "sheet_LSB.bin");
        QTest::mouseClick(Child<QToolButton>(&w, "BitBtn_Generate"), Qt::LeftButton);
        QCOMPARE(QString::fromStdString(f.LastBox().title), QStringLiteral("Error"));
        // Generate has no message of its own for this: the file and why are the message.
        const QString message = QStringLiteral("cannot write sheet_LSB.bin: Is a directory");
        QCOMPARE(QString::fromStdString(f.LastBox().text), message);
        QCOMPARE(f.Panel(1), message);
        QVERIFY(!fs::exists(f.dir / "sheet.C"));
        QVERIFY(!fs::exists(f.dir / "sheet_R.txt")); // the run's files change together, or none

        std::ostringstream out, err;
        testsupport::TempDir cliOut;
        fs::create_directory(cliOut / "sheet_LSB.bin");
        QCOMPARE(cli::Run({"osd", f.dir / "sheet.bmp", "--out", cliOut.path()}, out, err), 1);
        QCOMPARE(QString::fromStdString(err.str()),
                 QString::fromStdString("cannot write " + (cliOut / "sheet_LSB.bin") + ": Is a directory\n"));
    }

    // More cells than FONT_Init loads: panel 1 keeps its " OK !" note, panel 2 says what is left out; the
    // next sheet, which fits, clears it.
    void cellsFontInitLeavesOutAreNotedBesideTheOkNote() {
        UiFixture f;
        auto& w = f.Window();
        Child<QAction>(&w, "N12x16")->trigger();
        f.Open(WriteBmp(f, "big.bmp", Sheet(1020, 64, 1, 2)));
        QTest::mouseClick(Child<QToolButton>(&w, "BitBtn_Generate"), Qt::LeftButton);
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(f.Panel(1), QStringLiteral("big_B.txt OK !"));
        QCOMPARE(f.Panel(2), QStringLiteral("FONT_Init loads the first 256 of 340 cells"));

        f.Open(WriteBmp(f, "full.bmp", Sheet(192, 256, 1, 2)));
        QTest::mouseClick(Child<QToolButton>(&w, "BitBtn_Generate"), Qt::LeftButton);
        QCOMPARE(f.Panel(1), QStringLiteral("full_B.txt OK !"));
        QCOMPARE(f.Panel(2), QString());
    }
};

TAVIX_UI_SUITE(OsdTabTest)

#include "OsdTabTest.moc"
