#pragma once

#include "shell/Workspace.h"
#include "ui/Dialogs.h"
#include "ui/Messages.h"
#include "ui/Tab.h"

#include <QMainWindow>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QDragEnterEvent;
class QDragMoveEvent;
class QDropEvent;
class QMimeData;
class QLabel;
class QTabWidget;

namespace shell {

class TAboutTop;

// What the main window is run with: where the settings file is, and who shows dialogs and message boxes
// (the toolkit's in the application, scripted ones in the tests).
struct MainContext {
    std::string settingsPath;
    ui::DialogDriver* dialogs = nullptr; // not owned; outlives the window
    ui::MessageBoxes* boxes = nullptr;   // not owned; outlives the window
    // Whether the settings file is the one beside the executable; when it is not, the status bar at start and
    // the About window name it.
    bool settingsBesideExecutable = true;
};

// The main window: the frame with its menus, status bar and page control. It owns the workspace, the shared
// dialogs and the tabs the registry makes; each tab owns its controls, its own dialogs and its handlers, and
// the frame reaches them only through the ui::Tab hooks.
class TMainTop final : public QMainWindow, private ui::StatusPanels {
    Q_OBJECT
public:
    explicit TMainTop(const MainContext& context);
    ~TMainTop() override;

    Workspace& workspace() { return *ws_; }
    ui::Messages& messages() { return messages_; }
    // The tabs in page order, as the registry made them.
    const std::vector<ui::Tab*>& Tabs() const { return tabs_; }
    // The active tab, found by object.
    ui::Tab* ActiveTab() const;
    QString PanelText(int panel) const;

    ui::FileDialog OpenDialog_Main;
    ui::FileDialog SaveDialog_Main;

    // Menu handlers.
    void NBtn_OpenClick();
    void NBtn_SaveClick();
    void NBtn_QuitClick();
    void MainTop_ExitClick();
    void MainTop_AboutClick();

    // File > Open of path with the active tab's target, as after a confirmed dialog.
    void OpenBitmap(const std::string& path);
    // `tavix FILE`: a .wav file as the WAV tab's WAV Load takes it, any other as File > Open on the OSD tab;
    // the tab is shown and the file's folder becomes the current one, as after a confirmed dialog.
    void OpenFromCommandLine(const std::string& path);
    // What the status bar said at start and the About window says about the settings file: empty when it is
    // the one beside the executable.
    const std::string& SettingsNote() const { return settingsNote_; }

private:
    void FormCreate();
    void BuildMenu();
    void BuildStatusBar();
    void BuildPages();
    void AddTab(ui::Tab* tab);
    void PageChanged(int index);
    void SetPanelText(int panel, const std::string& text) override;
    void ApplySettingsToMenu();
    void BuildShortcuts();

    // Files dragged onto the window: taken when the active tab takes them (the cursor says so), refused
    // otherwise; a drop opens them as the tab's matching open does.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    ui::Tab::DropOpen DropTaken(const QMimeData* data, std::vector<std::string>& paths) const;

    std::string settingsPath_;
    bool settingsBeside_ = true;
    std::string settingsNote_;
    ui::DropAnsweringDriver dialogs_; // the context's driver, answering for dropped files
    std::unique_ptr<Workspace> ws_;
    ui::Messages messages_;

    ui::TabContext tabContext_;
    QTabWidget* PageVELDA = nullptr;
    std::array<QLabel*, 4> panels_{};
    std::vector<ui::Tab*> tabs_; // in page order; owned by the page control
    ui::Tab* shownTab_ = nullptr;
    TAboutTop* AboutTop = nullptr;

    std::array<QAction*, settings::FontSize::kItems> fontSizeItems_{};
    QAction* N_ASM = nullptr;
    QAction* N_C = nullptr;
    QAction* N_BinHalf = nullptr;
    QAction* N_BinFont = nullptr;
};

// The program's icon (the project's own drawing).
QIcon ProgramIcon();

} // namespace shell
