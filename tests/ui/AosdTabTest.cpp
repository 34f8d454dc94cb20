#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "aosd/AosdTab.h"
#include "aosd/AosdWriters.h"
#include "cli/Cli.h"
#include "ui/QtConvert.h"
#include "widgets/ColourGrid.h"
#include "widgets/PictureView.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// tavix-cli in-process; returns what it printed.
std::string Cli(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = cli::Run(args, out, err);
    if (code != 0) qWarning("tavix-cli: %s", err.str().c_str());
    return out.str();
}

// The value a CLI output line gives for an "Information" caption.
QString CliValue(const std::string& out, const std::string& caption) {
    const size_t at = out.find(caption + ": ");
    if (at == std::string::npos) return QStringLiteral("<missing>");
    const size_t start = at + caption.size() + 2;
    return QString::fromStdString(out.substr(start, out.find('\n', start) - start));
}

testsupport::BmpLayout Row(Bytes pixels, int bpp = 8) {
    testsupport::BmpLayout s;
    s.width = static_cast<int>(pixels.size());
    s.height = 1;
    s.bpp = bpp;
    s.palette = testsupport::DistinctPalette(1 << bpp);
    s.indices = std::move(pixels);
    return s;
}

const Bytes kMixedRow{0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0xFF, 0xFF, 0x03};

struct Tab {
    explicit Tab(UiFixture& fixture) : f(fixture), w(fixture.Window()) {
        ShowTab(w, "TabSheet_AOsd");
        tab = Child<aosd::AosdTab>(&w, "TabSheet_AOsd");
    }
    template <typename T> T* C(const char* name) { return Child<T>(tab, name); }
    QString Label(const char* name) { return C<QLabel>(name)->text(); }
    void Click(const char* button) { C<QPushButton>(button)->click(); }
    void Open(const std::string& path) {
        f.dialogs.ConfirmFile(path);
        Click("Aosd_BtnOpenPicture");
    }
    void SetRlc(const char* chip) { // nullptr: RLC off
        auto* rlc = C<QCheckBox>("Aosd_chkRLCEnable");
        if (rlc->isChecked() != (chip != nullptr)) rlc->click();
        if (chip) C<QRadioButton>(chip)->click();
    }

    UiFixture& f;
    shell::TMainTop& w;
    aosd::AosdTab* tab = nullptr;
};

} // namespace

class AosdTabTest : public QObject {
    Q_OBJECT
private slots:
    void startsWithItsDefaults() {
        UiFixture f;
        Tab t(f);
        QCOMPARE(t.tab->Caption(), QStringLiteral("AOSD"));
        for (const char* name : {"Aosd_BtnWriteImage", "Aosd_BtnWritePalette", "Aosd_BtnMultiImages"})
            QVERIFY2(!t.C<QPushButton>(name)->isEnabled(), name);
        QVERIFY(t.C<QPushButton>("Aosd_BtnOpenPicture")->isEnabled());
        QVERIFY(t.C<QPushButton>("Aosd_BtnMergeFiles")->isEnabled());
        QCOMPARE(t.C<QPushButton>("Aosd_BtnMultiImages")->text(), QStringLiteral("Write Multi Images"));
        QVERIFY(!t.C<QCheckBox>("Aosd_chkMergeFiles")->isChecked());
        QCOMPARE(t.C<QCheckBox>("Aosd_chkMergeFiles")->text(), QStringLiteral("New Merge File"));
        auto* binary = t.C<QCheckBox>("Aosd_chkBinary");
        QVERIFY(binary->isChecked() && !binary->isEnabled());
        QVERIFY(!t.C<QCheckBox>("Aosd_chkRLCEnable")->isChecked());
        QCOMPARE(t.C<QCheckBox>("Aosd_chkRLCEnable")->toolTip(),
                 QStringLiteral("Data 0xFF will change to 0xFE"));
        QVERIFY(!t.C<QCheckBox>("Aosd_chkSplitPalette")->isChecked());
        QVERIFY(t.C<QRadioButton>("Aosd_rdo70A")->isChecked());
        QVERIFY(!t.C<QRadioButton>("Aosd_rdo70A")->isEnabled());
        QVERIFY(!t.C<QRadioButton>("Aosd_rdo70E")->isEnabled());
        auto* number = t.C<QLineEdit>("Aosd_edtImageNo");
        QCOMPARE(number->text(), QStringLiteral("1"));
        QCOMPARE(number->maxLength(), 3);
        QCOMPARE(number->accessibleName(), QStringLiteral("Image Number"));
        QVERIFY(!t.C<QPlainTextEdit>("Aosd_MemoTxt")->isVisible());
        for (const char* name : {"Aosd_lbFname", "Aosd_lbImgWidth", "Aosd_lbImgHeight", "Aosd_lbWriteSize"})
            QCOMPARE(t.Label(name), QStringLiteral("        "));
        QCOMPARE(t.Label("Aosd_lbPercent"), QString());
        for (int i : {0, 100, 255})
            QVERIFY(!t.tab->Aosd_SGrid_PaletteDrawCell(i));

        // A count typed before any picture is open leaves "Write Multi Images" as it is.
        number->setText(QStringLiteral("12"));
        QVERIFY(!t.C<QPushButton>("Aosd_BtnMultiImages")->isEnabled());
    }

    void optionsFollowEachOther() {
        UiFixture f;
        Tab t(f);
        auto* rlc = t.C<QCheckBox>("Aosd_chkRLCEnable");
        auto* a = t.C<QRadioButton>("Aosd_rdo70A");
        auto* e = t.C<QRadioButton>("Aosd_rdo70E");
        rlc->click();
        QVERIFY(a->isEnabled() && e->isEnabled());
        e->click();
        rlc->click();
        QVERIFY(!a->isEnabled() && !e->isEnabled());
        QVERIFY(e->isChecked()); // kept for the next time RLC is enabled

        auto* hex = t.C<QCheckBox>("Aosd_chkSplitPalette");
        auto* binary = t.C<QCheckBox>("Aosd_chkBinary");
        hex->click();
        QVERIFY(!binary->isChecked());
        hex->click();
        QVERIFY(binary->isChecked());
    }

    void openShowsThePictureItsNamesAndItsPalette() {
        UiFixture f;
        Tab t(f);
        testsupport::BmpLayout s;
        s.width = 5;
        s.height = 3;
        s.bpp = 4;
        s.palette = testsupport::DistinctPalette(16);
        s.indices = testsupport::IndicesOf(5, 3, [](int x, int y) { return (x + 5 * y) % 16; });
        t.Open(WriteBmp(f, "logo01.bmp", s));
        QVERIFY(f.boxes.boxes.empty());
        const ui::FileDialog& shown = f.dialogs.shownFiles.back();
        QCOMPARE(shown.Name, std::string("Aosd_DlgOpenPicture"));
        QCOMPARE(shown.Filter, std::string(ui::kPictureOpenFilter));

        QCOMPARE(t.Label("Aosd_lbFname"), QStringLiteral("logo01.bmp"));
        QCOMPARE(t.Label("Aosd_lbImgWidth"), QStringLiteral("5"));
        QCOMPARE(t.Label("Aosd_lbImgHeight"), QStringLiteral("3"));
        QCOMPARE(t.Label("Aosd_lbWriteSize"), QStringLiteral("        "));
        QVERIFY(t.C<QPushButton>("Aosd_BtnWriteImage")->isEnabled());
        QVERIFY(t.C<QPushButton>("Aosd_BtnWritePalette")->isEnabled());
        QVERIFY(!t.C<QPushButton>("Aosd_BtnMultiImages")->isEnabled());

        const QImage image = t.C<widgets::PictureView>("Aosd_imgPicture")->Image();
        QCOMPARE(image.size(), QSize(5, 3));
        QCOMPARE(image.pixelColor(2, 1), ui::ToQColor(s.palette[7]));
        QCOMPARE(*t.tab->Aosd_SGrid_PaletteDrawCell(15), ui::ToQColor(s.palette[15]));
        QCOMPARE(*t.tab->Aosd_SGrid_PaletteDrawCell(16), QColor(0, 0, 0));
        QCOMPARE(*t.tab->Aosd_SGrid_PaletteDrawCell(255), QColor(0, 0, 0));

        auto* number = t.C<QLineEdit>("Aosd_edtImageNo");
        auto* multi = t.C<QPushButton>("Aosd_BtnMultiImages");
        number->setText(QStringLiteral("12"));
        QVERIFY(multi->isEnabled());
        number->setText(QString());
        QVERIFY(!multi->isEnabled());
        number->setText(QStringLiteral("1"));
        QVERIFY(!multi->isEnabled());
        number->setText(QStringLiteral("2"));
        QVERIFY(multi->isEnabled());
    }

    // The sizes are 16-bit: a picture 40000 pixels wide opens and is written whole.
    void picturesUpTo65535ASideOpen() {
        UiFixture f;
        Tab t(f);
        testsupport::BmpLayout s;
        s.width = 40000;
        s.height = 2;
        s.palette = testsupport::DistinctPalette(256);
        s.indices = testsupport::IndicesOf(40000, 2, [](int x, int y) { return (x + y) % 0xFF; });
        t.Open(WriteBmp(f, "wide.bmp", s));
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(t.Label("Aosd_lbImgWidth"), QStringLiteral("40000"));
        QCOMPARE(t.Label("Aosd_lbImgHeight"), QStringLiteral("2"));
        f.dialogs.ConfirmFile(f.dir / "wide.bin");
        t.Click("Aosd_BtnWriteImage");
        QCOMPARE(testsupport::ReadFile(f.dir / "wide.bin"), s.indices);
        QCOMPARE(t.Label("Aosd_lbWriteSize"), QStringLiteral("80000"));
    }

    void aRefusedPictureChangesNothing() {
        UiFixture f;
        Tab t(f);
        testsupport::BmpLayout deep;
        deep.width = 12;
        deep.height = 2;
        deep.biWidth = 4;
        deep.biBitCount = 24;
        t.Open(WriteBmp(f, "deep.bmp", deep));
        QCOMPARE(f.LastBox().title, std::string("Error"));
        QVERIFY(f.LastBox().text.find("deep.bmp") != std::string::npos);
        QVERIFY(f.LastBox().text.find("24 bits per pixel") != std::string::npos);
        QVERIFY(!t.C<QPushButton>("Aosd_BtnWriteImage")->isEnabled());
        QCOMPARE(t.Label("Aosd_lbFname"), QStringLiteral("        "));
        QVERIFY(t.C<widgets::PictureView>("Aosd_imgPicture")->Image().isNull());
    }

    void writeImageWritesWhatTheCliWrites() {
        UiFixture f;
        Tab t(f);
        const std::string picture = WriteBmp(f, "logo01.bmp", Row(kMixedRow));
        fs::create_directory(f.dir / "cli");
        t.Open(picture);
        const struct {
            const char* chip; // nullptr: raw
            const char* cliChip;
            const char* proposed;
        } cases[] = {{nullptr, nullptr, "logo01"},
                     {"Aosd_rdo70A", "k470a", "logo01_rlc"},
                     {"Aosd_rdo70E", "k470e", "logo01_rlc"}};
        int n = 0;
        for (const auto& c : cases) {
            const std::string name = "image" + std::to_string(n++);
            t.SetRlc(c.chip);
            t.C<QCheckBox>("Aosd_chkSplitPalette")->click(); // "Binary" off: the image writer turns it on
            f.dialogs.ConfirmFile(f.dir / name);
            t.Click("Aosd_BtnWriteImage");
            t.C<QCheckBox>("Aosd_chkSplitPalette")->click();
            QVERIFY(f.boxes.boxes.empty());
            const ui::FileDialog& shown = f.dialogs.shownFiles.back();
            QCOMPARE(shown.Name, std::string("Aosd_DlgSaveFile"));
            QCOMPARE(shown.FileName, std::string(c.proposed));
            QCOMPARE(shown.FilterIndex, 1);
            std::vector<std::string> args{"aosd", "image", picture, f.dir / ("cli/" + name)};
            if (c.cliChip) args.insert(args.end(), {"--rlc", c.cliChip});
            const std::string out = Cli(args);
            const std::string window = aosd::AosdOutputPathFor(f.dir / name, ".bin");
            QCOMPARE(testsupport::ReadFile(window),
                     testsupport::ReadFile(aosd::AosdOutputPathFor(f.dir / ("cli/" + name), ".bin")));
            QCOMPARE(testsupport::ReadFile(window).size(), c.chip ? size_t{7} : size_t{9});
            QCOMPARE(t.Label("Aosd_lbWriteSize"), CliValue(out, "Write Size"));
            QCOMPARE(t.Label("Aosd_lbPercent"), CliValue(out, "Compress Percent"));
            QCOMPARE(t.Label("Aosd_lbFname"), QStringLiteral("logo01.bmp"));
            QVERIFY(t.C<QCheckBox>("Aosd_chkBinary")->isChecked());
            // The two 0xFF pixels the code cannot hold are counted beside the messages' panel.
            QCOMPARE(f.Panel(2), c.chip ? QStringLiteral("2 pixels of index 255 written as 254") : QString());
        }
        // The coded picture shows its 0xFF pixels as 0xFE.
        const QImage image = t.C<widgets::PictureView>("Aosd_imgPicture")->Image();
        QCOMPARE(image.pixelColor(6, 0), ui::ToQColor(testsupport::DistinctPalette(256)[0xFE]));
    }

    void sequenceWritesWhatTheCliWrites() {
        UiFixture f;
        Tab t(f);
        const std::string first = WriteBmp(f, "anim008.bmp", Row(kMixedRow));
        WriteBmp(f, "anim010.bmp", Row(Bytes(9, 0xFF)));
        WriteBmp(f, "anim011.bmp", Row(Bytes{9, 8, 7, 7, 7, 7, 7, 7, 7}));
        fs::create_directory(f.dir / "cli");
        t.C<QLineEdit>("Aosd_edtImageNo")->setText(QStringLiteral("4"));
        t.Open(first);
        QVERIFY(t.C<QPushButton>("Aosd_BtnMultiImages")->isEnabled());
        t.SetRlc("Aosd_rdo70A");
        f.dialogs.ConfirmFile(f.dir / "seq.dat");
        t.Click("Aosd_BtnMultiImages");
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(f.dialogs.shownFiles.back().FileName, std::string("anim008-x4_rlc"));
        const std::string out =
            Cli({"aosd", "sequence", first, "4", f.dir / "cli/seq.dat", "--rlc", "k470a"});
        // 01 FF 02 02 FE FE 03, FE FF 06, 09 08 07 FF 04.
        QCOMPARE(testsupport::ReadFile(f.dir / "seq.dat"),
                 (Bytes{0x01, 0xFF, 0x02, 0x02, 0xFE, 0xFE, 0x03, 0xFE, 0xFF, 0x06, 0x09, 0x08, 0x07, 0xFF,
                        0x04}));
        QCOMPARE(testsupport::ReadFile(f.dir / "seq.dat"), testsupport::ReadFile(f.dir / "cli/seq.dat"));
        QCOMPARE(t.Label("Aosd_lbWriteSize"), QStringLiteral("15"));
        QCOMPARE(t.Label("Aosd_lbWriteSize"), CliValue(out, "Write Size"));
        QCOMPARE(t.Label("Aosd_lbPercent"), CliValue(out, "Compress Percent"));
        QCOMPARE(t.Label("Aosd_lbPercent"), QStringLiteral("44%"));
        QCOMPARE(f.Panel(2), QStringLiteral("11 pixels of index 255 written as 254")); // 2 + 9
        // The last member is the picture shown.
        const QImage image = t.C<widgets::PictureView>("Aosd_imgPicture")->Image();
        QCOMPARE(image.pixelColor(0, 0), ui::ToQColor(testsupport::DistinctPalette(256)[9]));
    }

    void aNameWithoutANumberIsRefusedBeforeAnyDialog() {
        UiFixture f;
        Tab t(f);
        t.C<QLineEdit>("Aosd_edtImageNo")->setText(QStringLiteral("3"));
        t.Open(WriteBmp(f, "logo.bmp", Row(kMixedRow)));
        const size_t dialogs = f.dialogs.shownFiles.size();
        t.Click("Aosd_BtnMultiImages");
        QCOMPARE(f.dialogs.shownFiles.size(), dialogs);
        QCOMPARE(f.dialogs.unexpected, 0);
        QCOMPARE(f.LastBox().title, std::string("Error"));
        QCOMPARE(
            f.LastBox().text,
            std::string("The picture name logo does not end in a number, so no sequence can be formed."));
    }

    void paletteIsWrittenBothWaysAsTheCliWritesIt() {
        UiFixture f;
        Tab t(f);
        testsupport::BmpLayout s = Row(kMixedRow);
        s.palette[0] = base::MakeColour(0xFF, 0xFF, 0xFF);
        const std::string picture = WriteBmp(f, "logo01.bmp", s);
        fs::create_directory(f.dir / "cli");
        t.Open(picture);

        t.C<QRadioButton>("rgPaletteFormat_RGB666")->click();
        t.C<QCheckBox>("Aosd_chkSplitPalette")->click();
        f.dialogs.ConfirmFile(f.dir / "pal");
        t.Click("Aosd_BtnWritePalette");
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(f.dialogs.shownFiles.back().FileName, std::string("logo01_pal"));
        QCOMPARE(f.dialogs.shownFiles.back().FilterIndex, 2);
        QVERIFY(!t.C<QCheckBox>("Aosd_chkBinary")->isChecked());
        QCOMPARE(t.C<QPlainTextEdit>("Aosd_MemoTxt")->blockCount(), 51);
        Cli({"aosd", "palette", picture, f.dir / "cli/pal", "--hex", "--palette", "rgb666"});
        const std::string text = testsupport::ReadText(f.dir / "pal.txt");
        QCOMPARE(text, testsupport::ReadText(f.dir / "cli/pal.txt"));
        QVERIFY(text.rfind("// Palette_Red x 256\r\n0x3F,", 0) == 0);

        t.C<QRadioButton>("rgPaletteFormat_RGB888")->click();
        t.C<QCheckBox>("Aosd_chkSplitPalette")->click();
        f.dialogs.ConfirmFile(f.dir / "pal");
        t.Click("Aosd_BtnWritePalette");
        QCOMPARE(f.dialogs.shownFiles.back().FilterIndex, 1);
        Cli({"aosd", "palette", picture, f.dir / "cli/pal"});
        const Bytes bin = testsupport::ReadFile(f.dir / "pal.bin");
        QCOMPARE(bin, testsupport::ReadFile(f.dir / "cli/pal.bin"));
        QCOMPARE(bin.size(), size_t{768});
        QCOMPARE(int{bin[512]}, 0xFF);
    }

    void mergeGoesOnAcrossClicksAsTheCliMerges() {
        UiFixture f;
        Tab t(f);
        for (const std::string sub : {"win", "cli"}) {
            fs::create_directory(f.dir / sub);
            testsupport::WriteFile(f.dir / (sub + "/a.bin"), Bytes(300, 0xAA));
            testsupport::WriteFile(f.dir / (sub + "/b.bin"), Bytes(50, 0xBB));
        }
        auto* fresh = t.C<QCheckBox>("Aosd_chkMergeFiles");
        fresh->click();
        f.dialogs.ConfirmFile(f.dir / "win/a.bin");
        t.Click("Aosd_BtnMergeFiles");
        QVERIFY(!fresh->isChecked());
        QCOMPARE(f.dialogs.shownFiles.back().Name, std::string("Aosd_DlgOpenBinary"));
        QCOMPARE(f.dialogs.shownFiles.back().Filter,
                 std::string("Binary File(*.bin)|*.bin|All File(*.*)|*.*"));
        QCOMPARE(t.Label("Aosd_lbWriteSize"), QStringLiteral("300"));
        f.dialogs.ConfirmFile(f.dir / "win/b.bin");
        t.Click("Aosd_BtnMergeFiles");
        QVERIFY(f.boxes.boxes.empty());
        QCOMPARE(t.Label("Aosd_lbFname"), QStringLiteral("b.bin"));
        QCOMPARE(t.Label("Aosd_lbWriteSize"), QStringLiteral("350"));
        QCOMPARE(t.Label("Aosd_lbPercent"), QString());

        const std::string out = Cli({"aosd", "merge", f.dir / "cli/a.bin", f.dir / "cli/b.bin"});
        QVERIFY(out.find("Write Size: 350") != std::string::npos);
        for (const char* name : {"Merge_a.bin", "Merge_tbl.txt"})
            QCOMPARE(testsupport::ReadFile(f.dir / (std::string("win/") + name)),
                     testsupport::ReadFile(f.dir / (std::string("cli/") + name)));
        QCOMPARE(testsupport::ReadText(f.dir / "win/Merge_tbl.txt"),
                 std::string("\n#define PICa_OFFSET (AOSD_START_ADR+          0) //a.bin"
                             "\n#define PICb_OFFSET (AOSD_START_ADR+        300) //b.bin"));

        // The merge file itself is refused, and nothing is appended.
        f.dialogs.ConfirmFile(f.dir / "win/Merge_a.bin");
        t.Click("Aosd_BtnMergeFiles");
        QCOMPARE(f.LastBox().title, std::string("Error"));
        QCOMPARE(QString::fromStdString(f.LastBox().text),
                 QString::fromStdString("the output " + (f.dir / "win/Merge_a.bin") + " is the input"));
        QCOMPARE(testsupport::ReadFile(f.dir / "win/Merge_a.bin").size(), size_t{350});
    }
};

TAVIX_UI_SUITE(AosdTabTest)
#include "AosdTabTest.moc"
