#pragma once

#include "shell/Ide.h"
#include "support/BmpBuilder.h"
#include "support/Scripted.h"

#include <QLabel>
#include <QString>

#include <memory>
#include <string>

// A main window on the offscreen platform with scripted dialogs and recorded message boxes, its settings
// file and its current directory in a fresh temporary directory.
struct UiFixture {
    UiFixture();
    ~UiFixture();

    // Creates the window (after the settings file is prepared, if a test wants one).
    shell::TMainTop& Window();
    // Opens path through the scripted File > Open dialog on the active page.
    void Open(const std::string& path);
    // The last recorded message box, or an empty one.
    testsupport::RecordingBoxes::Box LastBox() const;
    QString Panel(int i);

    testsupport::TempDir dir;
    std::unique_ptr<testsupport::CurrentDirectory> cwd;
    std::string settingsPath;
    bool settingsBeside = true; // the settings file is the one beside the executable
    testsupport::ScriptedDialogs dialogs;
    testsupport::RecordingBoxes boxes;
    std::unique_ptr<shell::TMainTop> window;
};

// A child of parent by object name, failing the test when there is none.
template <typename T> T* Child(QObject* parent, const char* name) {
    T* child = parent->findChild<T*>(QString::fromLatin1(name));
    if (!child) qFatal("no child named %s", name);
    return child;
}

// Makes the tab of that object name the active page, as a click on its caption does, and returns it.
QWidget* ShowTab(shell::TMainTop& window, const char* objectName);

// Writes a BMP built from layout into the fixture's directory and returns its path.
std::string WriteBmp(const UiFixture& f, const std::string& name, const testsupport::BmpLayout& layout);
