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

// What File > Open and File > Save reach with a tab active. The tabs listed here take part; every other tab
// the registry makes takes no picture and saves nothing.
struct Role {
    const char* objectName;
    bool osdBefore;      // File > Open loads the OSD tab's Before picture
    bool palettePicture; // File > Open loads the Palette tab's picture
    bool saves;          // File > Save writes a file
};

const Role kRoles[] = {
    {"TabSheet_BmpFont", true, false, true},
    {"TabSheet_Palette", false, true, true},
};

Role RoleOf(const QWidget* tab) {
    for (const Role& r : kRoles)
        if (tab->objectName() == QLatin1String(r.objectName)) return r;
    return {"", false, false, false};
}

// How many tabs the registry makes.
int TabCount() {
    UiFixture f;
    return static_cast<int>(f.Window().Tabs().size());
}

// Opens and saves with tab `index` of the registry active, and checks that both reached that tab's handlers.
void OpenAndSaveOn(UiFixture& f, int index) {
    auto& w = f.Window();
    ui::Tab* tab = w.Tabs()[static_cast<size_t>(index)];
    const Role r = RoleOf(tab);
    qInfo("%s", qPrintable(tab->objectName()));
    Child<QTabWidget>(&w, "PageVELDA")->setCurrentWidget(tab);
    QCOMPARE(w.ActiveTab(), tab);

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
        for (int i = 0; i < TabCount(); ++i) {
            UiFixture f;
            OpenAndSaveOn(f, i);
        }
    }

    // The roles above name tabs the registry makes.
    void everyRoleNamesARegisteredTab() {
        UiFixture f;
        for (const Role& r : kRoles) {
            bool found = false;
            for (const ui::Tab* tab : f.Window().Tabs())
                found = found || tab->objectName() == QLatin1String(r.objectName);
            QVERIFY2(found, r.objectName);
        }
    }

    // The active tab is found by object: moving tabs around the page control routes Open and Save as before.
    void openAndSaveFollowTheTabWhereverItStands() {
        for (int i = 0; i < TabCount(); ++i) {
            UiFixture f;
            auto* pages = Child<QTabWidget>(&f.Window(), "PageVELDA");
            pages->tabBar()->moveTab(0, pages->count() - 1);
            pages->tabBar()->moveTab(2, 4);
            OpenAndSaveOn(f, i);
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
