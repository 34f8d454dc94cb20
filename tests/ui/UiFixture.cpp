#include "ui/UiFixture.h"

#include <QAction>
#include <QTabWidget>
#include <QTest>

UiFixture::UiFixture() {
    cwd = std::make_unique<testsupport::CurrentDirectory>(dir.path());
    settingsPath = dir / "Tavix.INI";
}

UiFixture::~UiFixture() {
    window.reset();
    cwd.reset();
}

shell::TMainTop& UiFixture::Window() {
    if (!window) {
        window = std::make_unique<shell::TMainTop>(shell::MainContext{settingsPath, &dialogs, &boxes, settingsBeside});
        window->show();
        if (!QTest::qWaitForWindowExposed(window.get())) qWarning("the main window was not exposed");
    }
    return *window;
}

void UiFixture::Open(const std::string& path) {
    dialogs.ConfirmFile(path);
    // Through the menu item, as a user does: errors escaping the handler are shown, not thrown here.
    Child<QAction>(&Window(), "NBtn_Open")->trigger();
}

testsupport::RecordingBoxes::Box UiFixture::LastBox() const {
    return boxes.boxes.empty() ? testsupport::RecordingBoxes::Box{} : boxes.boxes.back();
}

QString UiFixture::Panel(int i) {
    return Window().PanelText(i);
}

QWidget* ShowTab(shell::TMainTop& window, const char* objectName) {
    auto* tab = Child<QWidget>(&window, objectName);
    Child<QTabWidget>(&window, "PageVELDA")->setCurrentWidget(tab);
    return tab;
}

std::string WriteBmp(const UiFixture& f, const std::string& name, const testsupport::BmpLayout& layout) {
    const std::string path = f.dir / name;
    testsupport::WriteFile(path, testsupport::BuildBmp(layout));
    return path;
}
