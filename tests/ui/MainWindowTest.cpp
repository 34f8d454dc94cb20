#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "ui/Guarded.h"
#include "support/WavBuilder.h"

#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include <filesystem>
#include <stdexcept>

namespace {

void WriteText(const std::string& path, const std::string& text) {
    testsupport::WriteFile(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void frameCaptionSizesAndPanels() {
        UiFixture f;
        auto& w = f.Window();
        QCOMPARE(w.windowTitle(), QStringLiteral("Tavix v0.1.5.9"));
        QCOMPARE(w.centralWidget()->width(), 892);
        QCOMPARE(w.centralWidget()->height() + w.statusBar()->height(), 708);
        QCOMPARE(w.statusBar()->height(), 25);
        QCOMPARE(w.minimumSize(), w.maximumSize()); // not resizable
        const int widths[4] = {250, 240, 200, 200};
        for (int i = 0; i < 4; ++i) {
            auto* panel =
                Child<QLabel>(&w, QStringLiteral("StatusBar_Main_Panel%1").arg(i).toLatin1().constData());
            QCOMPARE(panel->text(), QString::number(i));
            QCOMPARE(panel->width(), widths[i]);
        }
        auto* pages = Child<QTabWidget>(&w, "PageVELDA");
        const QStringList captions = {"OSD", "Bitmap Header", "Palette", "Font", "AOSD", "WAV", "Merge"};
        const QStringList names = {"TabSheet_BmpFont", "TabSheet_BitmapHeader", "TabSheet_Palette",
                                   "TabSheet_Font",    "TabSheet_AOsd",         "TabSheet_Wav",
                                   "TabSheet_MERGE"};
        QCOMPARE(pages->count(), 7);
        for (int i = 0; i < 7; ++i) {
            QCOMPARE(pages->tabText(i), captions[i]);
            QCOMPARE(pages->widget(i)->objectName(), names[i]);
        }
        QCOMPARE(pages->currentIndex(), 0);
        // Nothing of a tab pokes out of the page control.
        for (int i = 0; i < 7; ++i) {
            pages->setCurrentIndex(i);
            for (auto* child :
                 pages->widget(i)->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
                QVERIFY2(pages->widget(i)->rect().contains(child->geometry()),
                         qPrintable(child->objectName() + QStringLiteral(" is clipped")));
        }
    }

    void menuCaptionsShortcutsAndRadioItems() {
        UiFixture f;
        auto& w = f.Window();
        struct Item {
            const char* name;
            const char* caption;
            const char* shortcut;
        };
        const Item items[] = {
            {"MainTop_QUIT", "&File", "Ctrl+F"},
            {"NBtn_Open", "&Open", "Ctrl+O"},
            {"NBtn_Save", "&Save", "Ctrl+S"},
            {"NBtn_Quit", "&Quit", "Ctrl+Q"},
            {"MainTop_FontSize", "Font Size", ""},
            {"N12x16", "12 x 16", ""},
            {"N13x16", "13 x 16", ""},
            {"N14x16", "14 x 16", ""},
            {"N15x16", "15 x 16", ""},
            {"N16x16", "16 x 16", ""},
            {"MainTop_CodeFormat", "Code Format", ""},
            {"N_ASM", "ASM", ""},
            {"N_C", "C", ""},
            {"MainTop_BinSort", "Bin Sort", ""},
            {"N_BinHalf", "Half", ""},
            {"N_BinFont", "Font", ""},
            {"MainTop_About", "&About", "Ctrl+A"},
            {"MainTop_Exit", "&Exit", ""},
        };
        QStringList barOrder;
        for (QAction* a : w.menuBar()->actions())
            barOrder << a->objectName();
        QCOMPARE(barOrder, (QStringList{"MainTop_QUIT", "MainTop_FontSize", "MainTop_CodeFormat",
                                        "MainTop_BinSort", "MainTop_About", "MainTop_Exit"}));
        for (const Item& item : items) {
            auto* action = Child<QAction>(&w, item.name);
            QCOMPARE(action->text(), QString::fromLatin1(item.caption));
            QCOMPARE(action->shortcut().toString(), QString::fromLatin1(item.shortcut));
        }
        auto* file = Child<QMenu>(&w, "MainTop_QUIT");
        QStringList fileOrder;
        for (QAction* a : file->actions())
            fileOrder << (a->isSeparator() ? QStringLiteral("-") : a->objectName());
        QCOMPARE(fileOrder, (QStringList{"NBtn_Open", "NBtn_Save", "-", "NBtn_Quit"}));

        // First run: 16 x 16, C and Half; choosing an item checks it alone and sets the value at once.
        QVERIFY(Child<QAction>(&w, "N16x16")->isChecked());
        QVERIFY(Child<QAction>(&w, "N_C")->isChecked());
        QVERIFY(Child<QAction>(&w, "N_BinHalf")->isChecked());
        Child<QAction>(&w, "N13x16")->trigger();
        QVERIFY(Child<QAction>(&w, "N13x16")->isChecked());
        QVERIFY(!Child<QAction>(&w, "N16x16")->isChecked());
        QCOMPARE(int(w.workspace().settings.OsdCellWidth()), 13);
        Child<QAction>(&w, "N_ASM")->trigger();
        QCOMPARE(w.workspace().settings.CodeFormat(), settings::CodeFormat::Asm);
        Child<QAction>(&w, "N_BinFont")->trigger();
        QCOMPARE(w.workspace().settings.BinSort(), settings::BinSort::Font);
    }

    void aboutWindowByShortcut() {
        UiFixture f;
        auto& w = f.Window();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        // Built when first asked for: nothing of it exists before.
        QVERIFY(w.findChildren<QDialog*>(QStringLiteral("AboutTop")).isEmpty());
        QTest::keyClick(&w, Qt::Key_A, Qt::ControlModifier);
        auto* about = Child<QDialog>(&w, "AboutTop");
        QVERIFY(about->isVisible());
        QVERIFY(!about->isModal());
        QCOMPARE(about->windowTitle(), QStringLiteral("About Tavix Utility "));
        QCOMPARE(about->size(), QSize(416, 363));
        QCOMPARE(Child<QLabel>(about, "Lbl_Name")->text(), QStringLiteral("Tavix Utility"));
        QCOMPARE(Child<QLabel>(about, "Lbl_VersionAP")->text(), QStringLiteral("Version: 0.1.5.9"));
        QCOMPARE(Child<QLabel>(about, "lbl_Warning")->text(),
                 QStringLiteral("For Engineering Evaluation Only"));
        QCOMPARE(Child<QLabel>(about, "Image_Logo")->pixmap().size(), QSize(299, 100));
        QTest::mouseClick(Child<QPushButton>(about, "Button_Ok"), Qt::LeftButton);
        QVERIFY(!about->isVisible());
        w.MainTop_AboutClick(); // a second time brings the same window back
        QVERIFY(about->isVisible());
        QCOMPARE(w.findChildren<QDialog*>(QStringLiteral("AboutTop")).size(), 1);
    }

    void quitWritesTheSettingsAndTheCloseBoxDoesNot() {
        {
            UiFixture f;
            auto& w = f.Window();
            Child<QAction>(&w, "N_ASM")->trigger();
            QVERIFY(w.close()); // the close box
            QVERIFY(!std::filesystem::exists(f.settingsPath));
        }
        {
            UiFixture f;
            WriteText(f.settingsPath,
                      "[Tavix CONFIG]\r\nFont Size=2\r\nCode Format=0\r\nBin Sort=1\r\n; mine\r\n");
            auto& w = f.Window();
            QVERIFY(Child<QAction>(&w, "N14x16")->isChecked());
            QVERIFY(Child<QAction>(&w, "N_ASM")->isChecked());
            QVERIFY(Child<QAction>(&w, "N_BinFont")->isChecked());
            Child<QAction>(&w, "N15x16")->trigger();
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QTest::keyClick(&w, Qt::Key_Q, Qt::ControlModifier);
            QVERIFY(!w.isVisible());
            QCOMPARE(
                QString::fromStdString(testsupport::ReadText(f.settingsPath)),
                QStringLiteral("[Tavix CONFIG]\r\nFont Size=3\r\nCode Format=0\r\nBin Sort=1\r\n; mine\r\n"
                               "Palette Format=1\r\n"));
        }
        {
            // Out of range: 16 x 16 checked, and Exit writes 4.
            UiFixture f;
            WriteText(f.settingsPath, "[Tavix CONFIG]\nFont Size=9\nCode Format=5\nBin Sort=7\n");
            auto& w = f.Window();
            QVERIFY(Child<QAction>(&w, "N16x16")->isChecked());
            QVERIFY(Child<QAction>(&w, "N_C")->isChecked());
            QVERIFY(Child<QAction>(&w, "N_BinHalf")->isChecked());
            Child<QAction>(&w, "MainTop_Exit")->trigger();
            QVERIFY(!w.isVisible());
            QCOMPARE(
                QString::fromStdString(testsupport::ReadText(f.settingsPath)),
                QStringLiteral("[Tavix CONFIG]\nFont Size=4\nCode Format=5\nBin Sort=7\nPalette Format=1\n"));
        }
    }

    void unwritableSettingsKeepTheWindowOpen() {
        UiFixture f;
        std::filesystem::create_directory(f.settingsPath);
        auto& w = f.Window();
        Child<QAction>(&w, "NBtn_Quit")->trigger();
        QVERIFY(w.isVisible());
        QCOMPARE(QString::fromStdString(f.LastBox().text),
                 QString::fromStdString("Unable to write to " + f.settingsPath));
        QCOMPARE(f.Panel(2), QStringLiteral("Tavix.INI is not a regular file"));
        QVERIFY(f.LastBox().error);
        QVERIFY(w.close()); // the close box still ends the run
    }

    void settingsElsewhereAreNamedAndKeepTheSameBytes() {
        std::string besideBytes;
        {
            UiFixture f;
            auto& w = f.Window();
            QVERIFY(!f.Panel(1).startsWith(QStringLiteral("Settings")));
            w.MainTop_AboutClick();
            QVERIFY(!w.findChild<QLabel*>(QStringLiteral("Lbl_Settings")));
            Child<QAction>(&w, "N_ASM")->trigger();
            Child<QAction>(&w, "N14x16")->trigger();
            Child<QAction>(&w, "NBtn_Quit")->trigger();
            besideBytes = testsupport::ReadText(f.settingsPath);
        }
        UiFixture f;
        // A folder that does not exist yet, as ~/.config/tavix/ on a first run.
        f.settingsPath = f.dir / "config/tavix/Tavix.INI";
        f.settingsBeside = false;
        auto& w = f.Window();
        const QString note = QString::fromStdString("Settings: " + f.settingsPath);
        QCOMPARE(f.Panel(1), note);
        w.MainTop_AboutClick();
        auto* where = Child<QLabel>(&w, "Lbl_Settings");
        QVERIFY(where->isVisible());
        QCOMPARE(where->toolTip(), note);
        QCOMPARE(where->accessibleName(), note);
        Child<QAction>(&w, "N_ASM")->trigger();
        Child<QAction>(&w, "N14x16")->trigger();
        Child<QAction>(&w, "NBtn_Quit")->trigger();
        QVERIFY(!w.isVisible());
        QCOMPARE(QString::fromStdString(testsupport::ReadText(f.settingsPath)), QString::fromStdString(besideBytes));
        QVERIFY(!besideBytes.empty());
    }

    void aFileOnTheCommandLineOpensOnItsTab() {
        UiFixture f;
        auto& w = f.Window();
        std::filesystem::create_directory(f.dir / "in");
        testsupport::BmpLayout layout;
        layout.width = 16;
        layout.height = 16;
        const std::string bmp = WriteBmp(f, "in/sheet.bmp", layout);
        testsupport::WavLayout s;
        s.data = {1, 2, 3, 4};
        testsupport::WriteFile(f.dir / "in/tone.WAV", testsupport::BuildWav(s));

        ShowTab(w, "TabSheet_Wav");
        w.OpenFromCommandLine(bmp);
        QCOMPARE(Child<QTabWidget>(&w, "PageVELDA")->currentWidget()->objectName(), QStringLiteral("TabSheet_BmpFont"));
        QCOMPARE(w.windowTitle(), QString::fromStdString("Tavix v0.1.5.9 - " + bmp));
        QCOMPARE(f.boxes.boxes.size(), size_t{0});
        QCOMPARE(w.workspace().folder, f.dir / "in/");

        // A .wav file, whatever the case of its extension, as WAV Load takes it; a relative name is taken
        // from the current folder.
        w.OpenFromCommandLine("tone.WAV");
        auto* wavTab = Child<QTabWidget>(&w, "PageVELDA")->currentWidget();
        QCOMPARE(wavTab->objectName(), QStringLiteral("TabSheet_Wav"));
        QCOMPARE(Child<QLabel>(wavTab, "Label_WavFileNameVal")->text(), QStringLiteral("tone.WAV"));
        QCOMPARE(f.boxes.boxes.size(), size_t{0});

        // A file that is not there is refused as File > Open refuses it.
        w.OpenFromCommandLine(f.dir / "none.bmp");
        QCOMPARE(QString::fromStdString(f.LastBox().text), QStringLiteral("File Not Exist !!!"));
    }

    void dialogPrintErrorAndUncaughtErrors() {
        UiFixture f;
        auto& w = f.Window();
        w.messages().DialogPrintError(1, "File Not Exist !!!");
        QCOMPARE(QString::fromStdString(f.LastBox().title), QStringLiteral("Error"));
        QCOMPARE(QString::fromStdString(f.LastBox().text), QStringLiteral("File Not Exist !!!"));
        QCOMPARE(f.Panel(1), QStringLiteral("File Not Exist !!!"));
        QCOMPARE(f.Panel(0), QStringLiteral("0"));

        // An error escaping a handler is shown and the run goes on.
        ui::RunGuarded([] { throw std::runtime_error("boom"); });
        QCOMPARE(QString::fromStdString(f.LastBox().text), QStringLiteral("boom"));
        QVERIFY(w.isVisible());
    }
};

TAVIX_UI_SUITE(MainWindowTest)

#include "MainWindowTest.moc"
