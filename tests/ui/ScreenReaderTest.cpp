#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "cli/Cli.h"
#include "font/BankFiles.h"
#include "support/WavBuilder.h"
#include "widgets/ColourGrid.h"
#include "widgets/GlyphGrid.h"
#include "widgets/PictureGrid.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <sstream>

// What a user who drives the window with a screen reader (or the keyboard) gets: every check box and radio
// button acts on its state change, whatever made it, and every value shown can be read.
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// How a control's state is changed: by a screen reader's toggle action, or by the program itself.
enum class How { ToggleAction, SetChecked };

const char* NameOf(How how) {
    return how == How::ToggleAction ? "toggle action" : "setChecked";
}

void Tick(QAbstractButton* button, How how) {
    if (how == How::ToggleAction) {
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(button);
        QVERIFY(access && access->actionInterface());
        QVERIFY(
            access->actionInterface()->actionNames().contains(QAccessibleActionInterface::toggleAction()));
        access->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    } else {
        button->setChecked(true);
    }
    QVERIFY2(button->isChecked(), qPrintable(button->objectName()));
}

QString Accessible(QWidget* widget, QAccessible::Text text) {
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(widget);
    return access ? access->text(text) : QStringLiteral("<no interface>");
}

void Click(QWidget* parent, const char* button) {
    QTest::mouseClick(Child<QPushButton>(parent, button), Qt::LeftButton);
}

// An 8-bit picture of one row whose colour table holds two entries.
std::string WriteRowPicture(const UiFixture& f) {
    testsupport::BmpLayout s;
    s.width = 9;
    s.height = 1;
    s.palette = {base::MakeColour(0xFF, 0x80, 0x40), base::MakeColour(0x13, 0x27, 0xFC)};
    s.indices = {0x01, 0x01, 0x01, 0x01, 0x01, 0x02, 0xFF, 0xFF, 0x03};
    return WriteBmp(f, "row7.bmp", s);
}

} // namespace

class ScreenReaderTest : public QObject {
    Q_OBJECT
private slots:
    // "RGB666", "RLC Enable", "K470E" and "Hex Palette" take effect however they are ticked: the bytes
    // written afterwards are the ones they choose.
    void aosdOptionsActOnTheirStateChange() {
        for (const How how : {How::ToggleAction, How::SetChecked}) {
            qInfo("%s", NameOf(how));
            UiFixture f;
            auto& w = f.Window();
            ShowTab(w, "TabSheet_AOsd");
            QWidget* tab = Child<QWidget>(&w, "TabSheet_AOsd");
            f.dialogs.ConfirmFile(WriteRowPicture(f));
            Click(tab, "Aosd_BtnOpenPicture");

            // RLC for the K470E: the run of five 0x01 stores 5 - 4 = 1 after the marker; the two 0xFF
            // pixels go out as 0xFE.
            Tick(Child<QCheckBox>(tab, "Aosd_chkRLCEnable"), how);
            auto* k470e = Child<QRadioButton>(tab, "Aosd_rdo70E");
            QVERIFY(k470e->isEnabled());
            Tick(k470e, how);
            f.dialogs.ConfirmFile(f.dir / "image.bin");
            Click(tab, "Aosd_BtnWriteImage");
            QCOMPARE(testsupport::ReadFile(f.dir / "image.bin"),
                     (Bytes{0x01, 0xFF, 0x01, 0x02, 0xFE, 0xFE, 0x03}));

            // RGB666: each component shifted right by two; 256 red, 256 green, then 256 blue bytes.
            Tick(Child<QRadioButton>(tab, "rgPaletteFormat_RGB666"), how);
            QCOMPARE(w.workspace().settings.PaletteFormat(), settings::PaletteFormat::Rgb666);
            f.dialogs.ConfirmFile(f.dir / "palette.bin");
            Click(tab, "Aosd_BtnWritePalette");
            Bytes palette(768, 0);
            palette[0] = 0x3F, palette[1] = 0x04;
            palette[256] = 0x20, palette[257] = 0x09;
            palette[512] = 0x10, palette[513] = 0x3F;
            QCOMPARE(testsupport::ReadFile(f.dir / "palette.bin"), palette);

            // "Hex Palette" unticks "Binary" and the palette is written as text.
            Tick(Child<QCheckBox>(tab, "Aosd_chkSplitPalette"), how);
            QVERIFY(!Child<QCheckBox>(tab, "Aosd_chkBinary")->isChecked());
            f.dialogs.ConfirmFile(f.dir / "palette");
            Click(tab, "Aosd_BtnWritePalette");
            const std::string text = testsupport::ReadText(f.dir / "palette.txt");
            QVERIFY2(text.rfind("// Palette_Red x 256\r\n0x3F,0x04,0x00,", 0) == 0,
                     text.substr(0, 60).c_str());
            QVERIFY(f.boxes.boxes.empty());
        }
    }

    // The Font tab's boxes act on their change, whatever made it: the keyboard, a screen reader setting the
    // value, or the program; the window showing the editor again changes nothing.
    void fontBoxesActOnTheirChange() {
        UiFixture f;
        auto& w = f.Window();
        QWidget* tab = ShowTab(w, "TabSheet_Font");
        auto* colorType = Child<QComboBox>(tab, "Font_cbFontColorType");
        auto* width = Child<QComboBox>(tab, "Font_cbGridWidth");
        auto* height = Child<QComboBox>(tab, "Font_cbGridHeight");
        const font::GlyphEditor& e = w.workspace().font.Editor;

        colorType->setCurrentIndex(2); // as a screen reader's value change does
        QCOMPARE(e.ColorType(), 2);
        width->setFocus();
        QTest::keyClick(width, Qt::Key_Down); // "16" to "24"
        QCOMPARE(e.WidthIndex(), 5);
        QCOMPARE(e.GridWidth(), 24);
        height->setCurrentIndex(3);
        QCOMPARE(e.GridHeight(), 64);
        QCOMPARE(Child<widgets::GlyphGrid>(tab, "Font_sgGridChar")->Columns(), 24);
        width->setCurrentIndex(4);
        height->setCurrentIndex(0);

        // Showing the editor again does not apply its colour type anew: a glyph loaded from the bank takes
        // the paint colours from the palette as it was before the glyph's own palette came in.
        font::FontBank bank;
        font::GlyphNode node;
        node.ColorType = 1;
        node.Palette = font::kStartPalette;
        node.Palette[1] = 0x0000FF; // red where the editor's palette has black
        node.Words.assign(node.WordCount(), 0);
        QVERIFY(bank.Append(node));
        const std::string file = f.dir / "bank.txt";
        {
            std::ofstream out(file, std::ios::binary);
            out << font::BankText(bank, font::StartFont());
        }
        colorType->setCurrentIndex(0);
        f.dialogs.ConfirmFile(file);
        Click(tab, "Font_btnBankLoad");
        auto* grid = Child<widgets::PictureGrid>(tab, "Font_sgFontBank");
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->CellRect(1, 1).center());
        QCOMPARE(e.ColorType(), 1);
        QCOMPARE(colorType->currentIndex(), 1);
        QCOMPARE(e.FontPalette[1], 0x0000FFu);
        QCOMPARE(e.LeftColor, 0x000000u);
        QCOMPARE(f.dialogs.unexpected, 0);
    }

    // "Half Word" reaches the code generator however it is ticked.
    void halfWordActsOnItsStateChange() {
        for (const How how : {How::ToggleAction, How::SetChecked}) {
            qInfo("%s", NameOf(how));
            UiFixture f;
            auto& w = f.Window();
            ShowTab(w, "TabSheet_Font");
            QWidget* tab = Child<QWidget>(&w, "TabSheet_Font");
            auto* colorType = Child<QComboBox>(tab, "Font_cbFontColorType");
            colorType->setCurrentIndex(2);
            emit colorType->activated(2);
            Click(tab, "Font_btnInsert");
            Click(tab, "Font_btnBankSave");
            Tick(Child<QCheckBox>(tab, "Font_chkHalfWord"), how);
            QVERIFY(w.workspace().font.HalfWord);
            Click(tab, "Font_btnBankCode");
            QCOMPARE(f.Panel(1), QStringLiteral("Half Word: 1 glyph(s) kept their stored order"));

            std::ostringstream out, err;
            QCOMPARE(cli::Run({"font", "code", f.dir / "FontBank.txt", "--half-word", "--out", f.dir / "cli"},
                              out, err),
                     0);
            for (const char* name : {"Font.c", "Font.h", "FONT_MSB.BIN", "FONT_LSB.BIN"})
                QVERIFY2(testsupport::ReadFile(f.dir / name) ==
                             testsupport::ReadFile(f.dir / (std::string("cli/") + name)),
                         name);
        }
    }

    // A value label is read as its caption with the value; the value alone is its accessible value.
    void valueLabelsReadTheirValues() {
        UiFixture f;
        auto& w = f.Window();
        ShowTab(w, "TabSheet_AOsd");
        QWidget* aosd = Child<QWidget>(&w, "TabSheet_AOsd");
        auto* writeSize = Child<QLabel>(aosd, "Aosd_lbWriteSize");
        QCOMPARE(Accessible(writeSize, QAccessible::Name), QStringLiteral("Write Size"));
        QCOMPARE(Accessible(writeSize, QAccessible::Value), QString());
        f.dialogs.ConfirmFile(WriteRowPicture(f));
        Click(aosd, "Aosd_BtnOpenPicture");
        Child<QCheckBox>(aosd, "Aosd_chkRLCEnable")->setChecked(true);
        f.dialogs.ConfirmFile(f.dir / "image.bin");
        Click(aosd, "Aosd_BtnWriteImage");
        const struct {
            const char* label;
            const char* name;
            const char* value;
        } aosdRows[] = {
            {"Aosd_lbFname", "File Name: row7.bmp", "row7.bmp"}, {"Aosd_lbImgWidth", "Image Width: 9", "9"},
            {"Aosd_lbImgHeight", "Image Height: 1", "1"},        {"Aosd_lbWriteSize", "Write Size: 7", "7"},
            {"Aosd_lbPercent", "Compress Percent: 22%", "22%"},
        };
        for (const auto& row : aosdRows) {
            auto* label = Child<QLabel>(aosd, row.label);
            QCOMPARE(Accessible(label, QAccessible::Name), QString::fromLatin1(row.name));
            QCOMPARE(Accessible(label, QAccessible::Value), QString::fromLatin1(row.value));
        }

        ShowTab(w, "TabSheet_Wav");
        QWidget* wav = Child<QWidget>(&w, "TabSheet_Wav");
        testsupport::WavLayout s;
        s.bits = 8;
        s.sampleRate = 16000;
        s.data.assign(2001, 0x80);
        testsupport::WriteFile(f.dir / "beep.wav", testsupport::BuildWav(s));
        f.dialogs.ConfirmFile(f.dir / "beep.wav");
        Click(wav, "Button_WAVLoad");
        Click(wav, "Button_RESampleGen");
        const struct {
            const char* label;
            const char* name;
            const char* value;
        } wavRows[] = {
            {"Label_WavFileNameVal", "FileName: beep.wav", "beep.wav"},
            {"Label_WAVSampleRateVal", "SampleRate: 16000 Hz", "16000 Hz"},
            {"Label_WavChannelVal", "NumChannels: 1-Mono", "1-Mono"},
            {"Label_WAVBitsVal", "BitsPerSample: 8 Bits", "8 Bits"},
            {"Label_RESampleLenVal", "RESample_Length: 0x000003F0-00001008", "0x000003F0-00001008"},
        };
        for (const auto& row : wavRows) {
            auto* label = Child<QLabel>(wav, row.label);
            QCOMPARE(Accessible(label, QAccessible::Name), QString::fromLatin1(row.name));
            QCOMPARE(Accessible(label, QAccessible::Value), QString::fromLatin1(row.value));
        }

        // The editable boxes' own edits, where the text is typed, carry the label beside them.
        QCOMPARE(Accessible(Child<QComboBox>(wav, "ComboBox_RESampleFreq")->lineEdit(), QAccessible::Name),
                 QStringLiteral("RESample_Frequency"));
        QCOMPARE(Accessible(Child<QComboBox>(wav, "ComboBox_WAVBankSel")->lineEdit(), QAccessible::Name),
                 QStringLiteral("Bank"));
    }
};

TAVIX_UI_SUITE(ScreenReaderTest)

#include "ScreenReaderTest.moc"
