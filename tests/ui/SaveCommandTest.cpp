#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "base/Path.h"
#include "palette/PaletteEdit.h"
#include "picture/Picture.h"

#include <QAction>
#include <QTest>

#include <filesystem>
#include <iterator>

namespace {

using base::Colour;

testsupport::BmpLayout FiveByThree() {
    testsupport::BmpLayout s;
    s.width = 5;
    s.height = 3;
    s.bpp = 8;
    s.palette = testsupport::DistinctPalette(8);
    s.indices = testsupport::IndicesOf(5, 3, [](int x, int y) { return (x + 2 * y) % 8; });
    return s;
}

// SaveDialog_Main as another command left it.
void PresetSaveDialog(shell::TMainTop& w) {
    w.SaveDialog_Main.FileName = "/elsewhere/take.wav";
    w.SaveDialog_Main.Filter = "WAV File(*.wav)|*.wav";
    w.SaveDialog_Main.FilterIndex = 2;
    w.SaveDialog_Main.DefaultExt = ".WAV";
}

void ExpectDialogRestored(const shell::TMainTop& w) {
    QCOMPARE(w.SaveDialog_Main.FileName, std::string("/elsewhere/take.wav"));
    QCOMPARE(w.SaveDialog_Main.Filter, std::string("WAV File(*.wav)|*.wav"));
    QCOMPARE(w.SaveDialog_Main.FilterIndex, 2);
    QCOMPARE(w.SaveDialog_Main.DefaultExt, std::string(".WAV"));
}

// The last dialog shown was File > Save's own.
void ExpectBitmapDialogShown(const UiFixture& f) {
    QVERIFY(!f.dialogs.shownFiles.empty());
    const ui::FileDialog& shown = f.dialogs.shownFiles.back();
    QCOMPARE(shown.Name, std::string("SaveDialog_Main"));
    QCOMPARE(shown.Filter, std::string("Bitmap File(*.BMP)|*.BMP|All File(*.*)|*.*"));
    QCOMPARE(shown.FilterIndex, 1);
    QCOMPARE(shown.DefaultExt, std::string(".BMP"));
}

// File > Save through its menu item: what escapes the command is shown in the error box.
void Save(shell::TMainTop& w) {
    Child<QAction>(&w, "NBtn_Save")->trigger();
}

// Opens FiveByThree on the Palette tab.
shell::TMainTop& OpenOnPaletteTab(UiFixture& f) {
    auto& w = f.Window();
    ShowTab(w, "TabSheet_Palette");
    f.Open(WriteBmp(f, "picture.bmp", FiveByThree()));
    PresetSaveDialog(w);
    return w;
}

} // namespace

// File > Save: the shared save dialog with the bitmap filter, on every tab; what the active tab saves; the
// dialog as other commands left it afterwards, whatever happened.
class SaveCommandTest : public QObject {
    Q_OBJECT
private slots:
    void confirmedNameGetsTheDefaultExtensionAndTheDialogIsRestored() {
        UiFixture f;
        auto& w = OpenOnPaletteTab(f);
        const std::vector<Colour> shown = w.workspace().palette.PalettePicture.pixels;
        f.dialogs.ConfirmFile(f.dir / "result", 2);

        Save(w);

        ExpectBitmapDialogShown(f);
        ExpectDialogRestored(w);
        QVERIFY(!base::FileExists(f.dir / "result"));
        QVERIFY(base::FileExists(f.dir / "result.BMP"));
        const auto bytes = testsupport::ReadFile(f.dir / "result.BMP");
        QVERIFY(picture::DecodeBmpPicture(bytes.data(), bytes.size(), "saved").pixels == shown);
    }

    void cancelWritesNothingAndRestoresTheDialog() {
        UiFixture f;
        auto& w = OpenOnPaletteTab(f);
        f.dialogs.CancelFile();

        Save(w);

        ExpectBitmapDialogShown(f);
        ExpectDialogRestored(w);
        QCOMPARE(std::distance(std::filesystem::directory_iterator(f.dir.path()), {}),
                 1);                                                       // the opened picture
        QCOMPARE(w.workspace().palette.PalettePicture.palette.size(), 8u); // still the picture as opened
    }

    void unwritablePathIsNamedAndChangesNothing() {
        UiFixture f;
        auto& w = OpenOnPaletteTab(f);
        shell::Workspace& ws = w.workspace();
        palette::PickLeft(ws.PaletteTable, ws.palette, 2);
        palette::UpdateEntry(ws.bitmap, ws.PaletteTable, ws.palette, 2, 0x00FF00);
        const picture::Picture before = ws.palette.PalettePicture;
        const std::string path = f.dir / "no such folder/out.bmp";
        f.dialogs.ConfirmFile(path, 2);

        Save(w);

        QVERIFY(f.LastBox().error);
        QVERIFY2(f.LastBox().text.find(path) != std::string::npos, f.LastBox().text.c_str());
        ExpectDialogRestored(w);
        QVERIFY(ws.palette.PalettePicture.pixels == before.pixels);
        QVERIFY(ws.palette.PalettePicture.palette == before.palette);
    }

    // Every tab the registry makes shows the dialog; only the OSD and Palette tabs write.
    void writesOnlyOnTheOsdAndPaletteTabs() {
        UiFixture f;
        auto& w = OpenOnPaletteTab(f);
        int n = 0;
        for (ui::Tab* tab : w.Tabs()) {
            qInfo("%s", qPrintable(tab->objectName()));
            ShowTab(w, qPrintable(tab->objectName()));
            const bool writes = tab->objectName() == QLatin1String("TabSheet_BmpFont") ||
                                tab->objectName() == QLatin1String("TabSheet_Palette");
            const std::string path = f.dir / ("page" + std::to_string(n++) + ".bmp");
            const std::size_t shownBefore = f.dialogs.shownFiles.size();
            f.dialogs.ConfirmFile(path, 2);

            Save(w);

            QCOMPARE(f.dialogs.shownFiles.size(), shownBefore + 1); // the dialog is shown on every tab
            QCOMPARE(base::FileExists(path), writes);
            ExpectDialogRestored(w);
        }
        QCOMPARE(f.dialogs.unexpected, 0);
    }
};

TAVIX_UI_SUITE(SaveCommandTest)

#include "SaveCommandTest.moc"
