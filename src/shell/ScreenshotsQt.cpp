// tavix-screenshots OUTDIR SHEET.bmp TONE.wav: shows every tab of the main window at work on the example
// project and saves a picture of the window for each, OUTDIR/NN-caption.png, for the user guide.
// scripts/screenshots.sh runs it under Xvfb; nothing here writes outside OUTDIR.
#include "settings/AppIdentity.h"
#include "shell/Ide.h"
#include "shell/QtApplication.h"

#include <QCoreApplication>
#include <QFont>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include <cstdio>
#include <deque>
#include <string>

namespace {

// Confirms each file dialog with the next file of its list; the other dialogs are cancelled.
class ChosenFiles final : public ui::DialogDriver {
public:
    std::deque<std::string> files;
    bool RunFileDialog(ui::FileDialog& dialog, const std::string&) override {
        if (files.empty()) return false;
        dialog.FileName = files.front();
        files.pop_front();
        return true;
    }
    bool RunColourDialog(ui::ColourDialog&) override { return false; }
    bool RunFontDialog(ui::FontDialog&) override { return false; }
};

// Message boxes go to stderr: a picture of the window shows the status bar instead.
class PrintedBoxes final : public ui::MessageBoxes {
public:
    void ErrorBox(const std::string& title, const std::string& text) override {
        std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
    }
    void PlainBox(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

template <typename T> T* Find(QObject* parent, const char* name) {
    return parent->findChild<T*>(QString::fromLatin1(name));
}

} // namespace

int main(int argc, char** argv) {
    shell::TavixApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: tavix-screenshots OUTDIR SHEET.bmp TONE.wav\n");
        return 2;
    }
    const std::string out = argv[1], sheet = argv[2], tone = argv[3];
    QApplication::setApplicationName(QString::fromLatin1(settings::AppName));
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    ChosenFiles dialogs;
    PrintedBoxes boxes;
    // A settings file that is read (it does not exist: the start-up choices) and never written.
    shell::TMainTop window({out + "/.no-settings.INI", &dialogs, &boxes});
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "tavix-screenshots: the window was not shown\n");
        return 1;
    }
    auto* pages = Find<QTabWidget>(&window, "PageVELDA");

    // Each tab with the job the guide describes on it.
    window.OpenFromCommandLine(sheet);
    int shot = 0;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        const QString caption = pages->tabText(i);
        if (caption == QStringLiteral("Palette")) {
            window.OpenBitmap(sheet);
        } else if (caption == QStringLiteral("Font")) {
            if (auto* entry = Find<QLineEdit>(&window, "Edit_Char")) {
                entry->setText(QStringLiteral("A"));
                QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
                QCoreApplication::sendEvent(entry, &release);
            }
            if (auto* ascii = Find<QPushButton>(&window, "Font_btnStringAscii")) ascii->click();
        } else if (caption == QStringLiteral("AOSD")) {
            dialogs.files.push_back(sheet);
            if (auto* open = Find<QPushButton>(&window, "Aosd_BtnOpenPicture")) open->click();
        } else if (caption == QStringLiteral("WAV")) {
            window.OpenFromCommandLine(tone);
        }
        QTest::qWait(200);
        QString name = caption.toLower();
        name.replace(QLatin1Char(' '), QLatin1Char('-'));
        const QString path = QString::fromStdString(out) + QStringLiteral("/%1-%2.png").arg(++shot, 2, 10, QLatin1Char('0')).arg(name);
        if (!window.grab().save(path)) {
            std::fprintf(stderr, "tavix-screenshots: cannot write %s\n", path.toLocal8Bit().constData());
            return 1;
        }
        std::printf("%s\n", path.toLocal8Bit().constData());
    }
    return 0;
}
