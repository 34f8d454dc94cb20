#pragma once

#include "picture/FileOpen.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"

#include <QWidget>

#include <string>
#include <vector>

namespace ui {

// What the frame hands every tab: the services and the shared dialogs. The workspace parts a tab reads and
// writes are passed to its constructor beside this, one reference each, so a tab sees only its own state.
struct TabContext {
    Messages& messages;    // DialogPrintError, ShowMessage, status panels
    DialogDriver& dialogs; // shows file, colour and font dialogs (scripted in the tests)
    FileDialog& OpenDialog_Main;
    FileDialog& SaveDialog_Main;
    // The document's current folder (the workspace's): file dialogs show it and move it, and operations
    // write their outputs with fixed names there.
    std::string& folder;
};

// One page of the main window. The frame (TMainTop) keeps the menus and the order of the start-up steps,
// loops over its tabs, and finds the active one by object; a tab owns its controls, its dialogs and its
// handlers. Every hook has a default that does nothing, so a tab overrides only what it uses.
class Tab : public QWidget {
public:
    explicit Tab(QWidget* parent = nullptr) : QWidget(parent) {}

    // The caption on the page control ("OSD", "Font", ...).
    virtual QString Caption() const = 0;

    // What File > Open reads the opened file into, besides CurrentBitmap, while this tab is the active page:
    // by default nothing; a tab whose picture control shows the opened file names that picture, and the
    // palette table that takes its colour table where it has one.
    virtual picture::OpenTarget FileOpenTarget() { return {}; }
    // File > Save while this tab is the active page, once the save dialog was confirmed with path: by default
    // nothing is written. Throws base::Error when the file cannot be written.
    virtual void SaveActivePicture(const std::string& /*path*/) {}

    // FormCreate's steps for this tab (its start values), run once after every tab exists and the settings
    // were read, in the order the tabs were registered.
    virtual void FormCreate() {}
    // The tab became the active page / stopped being it.
    virtual void TabShown() {}
    virtual void TabHidden() {}

    // File > Open read a file (outcome.headersRead or not): refresh what shows the opened picture. Runs for
    // every tab, before the refusal message, if any, is shown.
    virtual void PictureRead(const picture::OpenOutcome&, bool /*active*/) {}
    // File > Open accepted the file: the steps that follow acceptance. Runs for every tab.
    virtual void PictureAccepted(bool /*active*/) {}

    // Ctrl+Z / Ctrl+Shift+Z (Ctrl+Y) on the window while this tab is active: takes the tab's last step back /
    // makes the last step taken back again, and shows the state. False when there is none (a tab that keeps
    // no steps).
    virtual bool UndoStep() { return false; }
    virtual bool RedoStep() { return false; }

    // Files dropped on the window while this tab is active (local paths, in the order dropped). The tab that
    // takes them says how: File > Open (the frame opens the one file as the menu does), or its own open
    // (OpenDropped runs the matching handler; the file dialog it shows is answered with the files).
    enum class DropOpen { None, FileOpen, Own };
    virtual DropOpen DropTaken(const std::vector<std::string>& /*paths*/) const { return DropOpen::None; }
    virtual void OpenDropped(const std::vector<std::string>& /*paths*/) {}
};

} // namespace ui
