#include "ui/Suites.h"
#include "ui/UiFixture.h"

#include "widgets/PictureView.h"

#include <QTabBar>
#include <QTabWidget>
#include <QTest>

#include <filesystem>

namespace {

testsupport::BmpLayout Sheet() {
    testsupport::BmpLayout s;
    s.width = 16;
    s.height = 16;
    s.bpp = 4;
    s.palette = testsupport::DistinctPalette(16);
    s.indices = testsupport::IndicesOf(16, 16, [](int x, int y) { return (x + y) % 16; });
    return s;
}

bool Shows(QWidget* w, const char* view) {
    return !Child<widgets::PictureView>(w, view)->Image().isNull();
}

struct Route {
    shell::Page page;
    const char* objectName;
    bool osdBefore;      // File > Open loads the OSD tab's Before picture
    bool palettePicture; // File > Open loads the Palette tab's picture
    bool saves;          // File > Save writes a file
};

const Route kRoutes[] = {
    {shell::Page::Osd, "TabSheet_BmpFont", true, false, true},
    {shell::Page::BitmapHeader, "TabSheet_BitmapHeader", false, false, false},
    {shell::Page::Palette, "TabSheet_Palette", false, true, true},
    {shell::Page::Font, "TabSheet_Font", false, false, false},
    {shell::Page::Aosd, "TabSheet_AOsd", false, false, false},
    {shell::Page::Wav, "TabSheet_Wav", false, false, false},
    {shell::Page::Merge, "TabSheet_MERGE", false, false, false},
};

// Opens and saves with the tab of route active, and checks that both reached that tab's handlers.
void OpenAndSaveOn(UiFixture& f, const Route& r) {
    auto& w = f.Window();
    QWidget* tab = Child<QWidget>(&w, r.objectName);
    Child<QTabWidget>(&w, "PageVELDA")->setCurrentWidget(tab);
    QCOMPARE(w.ActivePage(), r.page);
    QCOMPARE(static_cast<QWidget*>(w.ActiveTab()), tab);

    f.Open(WriteBmp(f, "sheet.bmp", Sheet()));
    QVERIFY(f.boxes.boxes.empty());
    QCOMPARE(Shows(&w, "Image_BMP_Before"), r.osdBefore);
    QCOMPARE(Shows(&w, "Image_Palette_PIC"), r.palettePicture);

    const std::string saved = f.dir / "saved.bmp";
    f.dialogs.ConfirmFile(saved);
    w.NBtn_SaveClick();
    QCOMPARE(std::filesystem::exists(saved), r.saves);
    QCOMPARE(f.dialogs.unexpected, 0);
}

} // namespace

class TabContractTest : public QObject {
    Q_OBJECT
private slots:
    void openAndSaveReachTheActiveTab() {
        for (const Route& r : kRoutes) {
            UiFixture f;
            OpenAndSaveOn(f, r);
        }
    }

    // The active tab is found by object: moving tabs around the page control routes Open and Save as before.
    void openAndSaveFollowTheTabWhereverItStands() {
        for (const Route& r : kRoutes) {
            UiFixture f;
            auto* pages = Child<QTabWidget>(&f.Window(), "PageVELDA");
            pages->tabBar()->moveTab(0, 6);
            pages->tabBar()->moveTab(2, 4);
            OpenAndSaveOn(f, r);
        }
    }

    void everyTabHasItsCaptionInOrder() {
        UiFixture f;
        auto* pages = Child<QTabWidget>(&f.Window(), "PageVELDA");
        const QStringList captions = {"OSD", "Bitmap Header", "Palette", "Font", "AOSD", "WAV", "Merge"};
        QCOMPARE(pages->count(), int(captions.size()));
        for (int i = 0; i < pages->count(); ++i)
            QCOMPARE(pages->tabText(i), captions[i]);
    }
};

TAVIX_UI_SUITE(TabContractTest)

#include "TabContractTest.moc"
