#include "shell/Ide.h"

#include "settings/AppIdentity.h"
#include "settings/SettingsFile.h"
#include "shell/About.h"
#include "shell/Registry.h"
#include "base/Path.h"
#include "wav/WavTab.h"
#include "ui/Guarded.h"
#include "ui/QtConvert.h"

#include <QActionGroup>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QUrl>

namespace shell {

namespace {

constexpr int kClientWidth = 892;
constexpr int kClientHeight = 708;
constexpr int kStatusHeight = 25;
constexpr const char* kFilterF2 = "Binary File(*.bin)|*.bin|Data File(*.dat)|*.dat|All File(*.*)|*.*";

QAction* MenuItem(QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(QString::fromLatin1(caption));
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    return action;
}

QMenu* Submenu(QMenuBar* bar, const char* name, const char* caption) {
    QMenu* menu = bar->addMenu(QString::fromLatin1(caption));
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

// A radio item that checks itself when chosen.
QAction* RadioItem(QMenu* menu, QActionGroup* group, const char* name, const char* caption) {
    QAction* action = MenuItem(menu, name, caption);
    action->setCheckable(true);
    group->addAction(action);
    return action;
}

} // namespace

TMainTop::TMainTop(const MainContext& context)
    : settingsPath_(context.settingsPath), settingsBeside_(context.settingsBesideExecutable), dialogs_(*context.dialogs), ws_(std::make_unique<Workspace>()),
      messages_(*context.boxes, *this), tabContext_{messages_, dialogs_, OpenDialog_Main, SaveDialog_Main,
                                                    ws_->folder} {
    setObjectName(QStringLiteral("MainTop"));
    setWindowIcon(ProgramIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    OpenDialog_Main.Name = "OpenDialog_Main";
    OpenDialog_Main.kind = ui::FileDialog::Kind::Open;
    OpenDialog_Main.Filter = ui::kPictureOpenFilter;
    SaveDialog_Main.Name = "SaveDialog_Main";
    SaveDialog_Main.kind = ui::FileDialog::Kind::Save;
    SaveDialog_Main.Filter = kFilterF2;

    BuildMenu();
    BuildPages();
    BuildStatusBar();
    BuildShortcuts();
    setAcceptDrops(true);

    // The client area is fixed at 892 x 708 below the menu bar.
    const int menuHeight = menuBar()->sizeHint().height();
    setFixedSize(kClientWidth, kClientHeight + menuHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - QPoint(width() / 2, height() / 2));
    }

    ui::SetUncaughtReporter([this](const std::string& text) { messages_.ShowUncaught(text); });
    FormCreate();
    // The About window is built when it is first asked for: nothing the start does not show.
}

TMainTop::~TMainTop() {
    ui::SetUncaughtReporter(nullptr);
}

void TMainTop::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenuVELDA"));

    QMenu* file = Submenu(bar, "MainTop_QUIT", "&File");
    file->menuAction()->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F)); // opens nothing by itself
    connect(MenuItem(file, "NBtn_Open", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O)), &QAction::triggered,
            this, ui::Guarded([this] { NBtn_OpenClick(); }));
    connect(MenuItem(file, "NBtn_Save", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S)), &QAction::triggered,
            this, ui::Guarded([this] { NBtn_SaveClick(); }));
    file->addSeparator()->setObjectName(QStringLiteral("N1"));
    connect(MenuItem(file, "NBtn_Quit", "&Quit", QKeySequence(Qt::CTRL | Qt::Key_Q)), &QAction::triggered,
            this, ui::Guarded([this] { NBtn_QuitClick(); }));

    QMenu* fontSize = Submenu(bar, "MainTop_FontSize", "Font Size");
    auto* fontGroup = new QActionGroup(this);
    static constexpr const char* kFontNames[settings::FontSize::kItems] = {"N12x16", "N13x16", "N14x16",
                                                                           "N15x16", "N16x16"};
    static constexpr const char* kFontCaptions[settings::FontSize::kItems] = {"12 x 16", "13 x 16", "14 x 16",
                                                                              "15 x 16", "16 x 16"};
    for (int n = 0; n < settings::FontSize::kItems; ++n) {
        fontSizeItems_[static_cast<size_t>(n)] =
            RadioItem(fontSize, fontGroup, kFontNames[n], kFontCaptions[n]);
        connect(fontSizeItems_[static_cast<size_t>(n)], &QAction::triggered, this,
                ui::Guarded([this, n] { ws_->settings.SetFontSize(settings::FontSize::Item(n)); }));
    }

    QMenu* codeFormat = Submenu(bar, "MainTop_CodeFormat", "Code Format");
    auto* codeGroup = new QActionGroup(this);
    N_ASM = RadioItem(codeFormat, codeGroup, "N_ASM", "ASM");
    N_C = RadioItem(codeFormat, codeGroup, "N_C", "C");
    connect(N_ASM, &QAction::triggered, this,
            ui::Guarded([this] { ws_->settings.SetCodeFormat(settings::CodeFormat::Asm); }));
    connect(N_C, &QAction::triggered, this,
            ui::Guarded([this] { ws_->settings.SetCodeFormat(settings::CodeFormat::C); }));

    QMenu* binSort = Submenu(bar, "MainTop_BinSort", "Bin Sort");
    auto* binGroup = new QActionGroup(this);
    N_BinHalf = RadioItem(binSort, binGroup, "N_BinHalf", "Half");
    N_BinFont = RadioItem(binSort, binGroup, "N_BinFont", "Font");
    connect(N_BinHalf, &QAction::triggered, this,
            ui::Guarded([this] { ws_->settings.SetBinSort(settings::BinSort::Half); }));
    connect(N_BinFont, &QAction::triggered, this,
            ui::Guarded([this] { ws_->settings.SetBinSort(settings::BinSort::Font); }));

    QAction* about = bar->addAction(QStringLiteral("&About"));
    about->setObjectName(QStringLiteral("MainTop_About"));
    about->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(about, &QAction::triggered, this, ui::Guarded([this] { MainTop_AboutClick(); }));

    QAction* exitItem = bar->addAction(QStringLiteral("&Exit"));
    exitItem->setObjectName(QStringLiteral("MainTop_Exit"));
    connect(exitItem, &QAction::triggered, this, ui::Guarded([this] { MainTop_ExitClick(); }));
}

void TMainTop::BuildPages() {
    PageVELDA = new QTabWidget(this);
    PageVELDA->setObjectName(QStringLiteral("PageVELDA"));
    PageVELDA->setFixedSize(kClientWidth, kClientHeight - kStatusHeight);
    PageVELDA->setUsesScrollButtons(false);
    PageVELDA->setDocumentMode(false);

    for (ui::Tab* tab : CreateTabs(tabContext_, *ws_, PageVELDA))
        AddTab(tab);
    PageVELDA->setCurrentIndex(0);
    shownTab_ = ActiveTab();
    connect(PageVELDA, &QTabWidget::currentChanged, this,
            [this](int index) { ui::RunGuarded([this, index] { PageChanged(index); }); });
    setCentralWidget(PageVELDA);
}

void TMainTop::AddTab(ui::Tab* tab) {
    tabs_.push_back(tab);
    PageVELDA->addTab(tab, tab->Caption());
}

void TMainTop::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar_Main"));
    bar->setFixedHeight(kStatusHeight);
    bar->setSizeGripEnabled(false);
    static constexpr int kWidths[4] = {250, 240, 200, 200};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(QString::number(i), bar);
        panel->setObjectName(QStringLiteral("StatusBar_Main_Panel%1").arg(i));
        panel->setFixedWidth(kWidths[i]);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setTextFormat(Qt::PlainText);
        bar->addWidget(panel);
        panels_[static_cast<size_t>(i)] = panel;
    }
}

void TMainTop::FormCreate() {
    setWindowTitle(QString::fromLatin1(settings::AppTitle));
    ws_->settings = settings::LoadSettings(settingsPath_);
    ApplySettingsToMenu();
    for (ui::Tab* tab : tabs_)
        tab->FormCreate();
    if (!settingsBeside_) {
        settingsNote_ = "Settings: " + settingsPath_;
        SetPanelText(1, settingsNote_);
    }
}

void TMainTop::ApplySettingsToMenu() {
    const settings::Settings& s = ws_->settings;
    fontSizeItems_[static_cast<size_t>(s.FontSize().Index())]->setChecked(true);
    (s.CodeFormat() == settings::CodeFormat::Asm ? N_ASM : N_C)->setChecked(true);
    (s.BinSort() == settings::BinSort::Font ? N_BinFont : N_BinHalf)->setChecked(true);
}

ui::Tab* TMainTop::ActiveTab() const {
    return dynamic_cast<ui::Tab*>(PageVELDA->currentWidget());
}

QString TMainTop::PanelText(int panel) const {
    return panel >= 0 && panel < 4 ? panels_[static_cast<size_t>(panel)]->text() : QString();
}

void TMainTop::SetPanelText(int panel, const std::string& text) {
    if (panel < 0 || panel >= 4) return;
    QLabel* label = panels_[static_cast<size_t>(panel)];
    label->setText(ui::MessageToQt(text));
    // A text longer than its panel can still be read whole.
    label->setToolTip(label->text());
}

void TMainTop::PageChanged(int) {
    ui::Tab* previous = shownTab_;
    shownTab_ = ActiveTab();
    if (previous && previous != shownTab_) previous->TabHidden();
    if (shownTab_) shownTab_->TabShown();
}

void TMainTop::BuildShortcuts() {
    // On the window, not in the menus: the menus stay as they are. A text field with the focus takes these
    // keys for its own undo first.
    const auto add = [this](const QKeySequence& keys, const char* name, bool undo) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setObjectName(QString::fromLatin1(name));
        connect(shortcut, &QShortcut::activated, this, ui::Guarded([this, undo] {
                    if (ui::Tab* active = ActiveTab()) undo ? active->UndoStep() : active->RedoStep();
                }));
    };
    add(QKeySequence(Qt::CTRL | Qt::Key_Z), "Shortcut_Undo", true);
    add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), "Shortcut_Redo", false);
    add(QKeySequence(Qt::CTRL | Qt::Key_Y), "Shortcut_RedoY", false);
}

ui::Tab::DropOpen TMainTop::DropTaken(const QMimeData* data, std::vector<std::string>& paths) const {
    paths.clear();
    if (!data || !data->hasUrls()) return ui::Tab::DropOpen::None;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return ui::Tab::DropOpen::None;
        paths.push_back(ui::FromQt(url.toLocalFile()));
    }
    const ui::Tab* active = ActiveTab();
    if (paths.empty() || !active) return ui::Tab::DropOpen::None;
    return active->DropTaken(paths);
}

void TMainTop::dragEnterEvent(QDragEnterEvent* event) {
    std::vector<std::string> paths;
    if (DropTaken(event->mimeData(), paths) != ui::Tab::DropOpen::None)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMainTop::dragMoveEvent(QDragMoveEvent* event) {
    std::vector<std::string> paths;
    if (DropTaken(event->mimeData(), paths) != ui::Tab::DropOpen::None)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TMainTop::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    const ui::Tab::DropOpen how = DropTaken(event->mimeData(), paths);
    if (how == ui::Tab::DropOpen::None) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    ui::RunGuarded([&] {
        struct Forget {
            ui::DropAnsweringDriver& driver;
            ~Forget() { driver.Forget(); }
        } forget{dialogs_};
        dialogs_.Answer(paths);
        if (how == ui::Tab::DropOpen::FileOpen)
            NBtn_OpenClick();
        else if (ui::Tab* active = ActiveTab())
            active->OpenDropped(paths);
    });
}

void TMainTop::NBtn_OpenClick() {
    if (!OpenDialog_Main.Execute(dialogs_, ws_->folder)) return;
    OpenBitmap(OpenDialog_Main.FileName);
}

void TMainTop::OpenBitmap(const std::string& path) {
    ui::Tab* active = ActiveTab();
    const picture::OpenOutcome outcome =
        picture::OpenBitmap(ws_->bitmap, path, active ? active->FileOpenTarget() : picture::OpenTarget{});
    if (outcome.headersRead)
        setWindowTitle(QString::fromLatin1(settings::AppTitle) + QStringLiteral(" - ") +
                       QString::fromLocal8Bit(path.c_str()));
    for (ui::Tab* tab : tabs_)
        tab->PictureRead(outcome, tab == active);
    if (outcome.failure) {
        messages_.DialogPrintError(1, *outcome.failure, outcome.detail);
        return;
    }
    for (ui::Tab* tab : tabs_)
        tab->PictureAccepted(tab == active);
}

void TMainTop::OpenFromCommandLine(const std::string& path) {
    const std::string resolved = base::ResolvePath(ws_->folder, path);
    const std::string dir = base::SplitPath(resolved).directory;
    if (!dir.empty() && base::IsEnterableDirectory(dir)) ws_->folder = dir;
    const std::string name = base::ToLowerAscii(resolved);
    const bool wave = name.size() >= 4 && name.compare(name.size() - 4, 4, ".wav") == 0;
    for (ui::Tab* tab : tabs_) {
        auto* wavTab = dynamic_cast<wav::WavTab*>(tab);
        if (wave && wavTab) {
            PageVELDA->setCurrentWidget(wavTab);
            wavTab->LoadWav(resolved);
            return;
        }
    }
    PageVELDA->setCurrentIndex(0); // the OSD tab
    OpenBitmap(resolved);
}

void TMainTop::NBtn_SaveClick() {
    // The save dialog belongs to other commands as well: whatever happens here, they find it as they left it.
    const ui::DialogRestore guard(SaveDialog_Main);
    SaveDialog_Main.Filter = "Bitmap File(*.BMP)|*.BMP|All File(*.*)|*.*";
    SaveDialog_Main.FilterIndex = 1;
    SaveDialog_Main.DefaultExt = ".BMP";
    // Shown on every tab; only a tab with a picture to save writes anything.
    if (!SaveDialog_Main.Execute(dialogs_, ws_->folder)) return;
    if (ui::Tab* active = ActiveTab()) active->SaveActivePicture(SaveDialog_Main.FileName);
}

void TMainTop::NBtn_QuitClick() {
    base::FailureDetail detail;
    settings::MakeSettingsFolder({settingsPath_, settingsBeside_});
    if (const auto error = settings::SaveSettings(ws_->settings, settingsPath_, &detail)) {
        messages_.ShowUncaught(*error, detail);
        return;
    }
    close();
}

void TMainTop::MainTop_ExitClick() {
    NBtn_QuitClick();
}

void TMainTop::MainTop_AboutClick() {
    if (!AboutTop) AboutTop = new TAboutTop(this, settingsNote_);
    AboutTop->show();
    AboutTop->raise();
    AboutTop->activateWindow();
}

} // namespace shell
