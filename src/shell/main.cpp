#include "base/LargePages.h"
#include "base/OutputGuard.h"
#include "settings/AppIdentity.h"
#include "settings/SettingsFile.h"
#include "shell/Ide.h"
#include "shell/QtApplication.h"
#include "shell/WindowUsage.h"
#include "ui/DialogsQt.h"
#include "ui/MessagesQt.h"

#include <QFont>
#include <QMessageBox>

#include <cstdio>
#include <cstring>
#include <exception>

int main(int argc, char** argv) {
    // First, while the heap is still small: the toolkit's and the documents' buffers then come from large
    // pages where the system gives them on request.
    base::PreferLargePages();
    // Before the toolkit starts any thread: a size limit fails the write instead of killing the window, and
    // a kill or a hang-up (the session ending) leaves no temporary file and no half append behind.
    base::GuardOutputs();
    // Help and the version need no display.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(shell::kWindowUsage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s\n", settings::AppVersion);
            return 0;
        }
    }
    shell::TavixApplication app(argc, argv);
    // What is left once the toolkit has taken its own options: at most one file to open.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    const bool oneOption = arguments.size() == 1 && arguments[0].startsWith(QLatin1Char('-'));
    if (arguments.size() > 1 || oneOption) {
        std::fprintf(stderr, "tavix: %s (see 'tavix --help')\n",
                     oneOption ? ("unknown option '" + arguments[0].toStdString() + "'").c_str()
                               : "takes one FILE");
        return 2;
    }
    // The same cleanup when the window closes while a job still has files open.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, [] { base::RemoveUnfinishedOutputs(); });
    QApplication::setApplicationName(QString::fromLatin1(settings::AppTitle));
    QApplication::setApplicationName(QString::fromLatin1(settings::AppName));
    QApplication::setWindowIcon(shell::ProgramIcon());
    // The controls' font; where the face is missing the nearest sans face of the system stands in.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    QApplication::setFont(QFont(QStringLiteral("MS Sans Serif"), 8));

    try {
        ui::QtDialogDriver dialogs;
        ui::QtMessageBoxes boxes;
        const settings::SettingsLocation location = settings::SettingsLocationOfThisProcess();
        shell::TMainTop MainTop({location.path, &dialogs, &boxes, location.besideExecutable});
        dialogs.SetOwner(&MainTop);
        boxes.SetOwner(&MainTop);
        MainTop.show();
        // "Open with Tavix": the file as File > Open (or WAV Load) takes it.
        if (!arguments.isEmpty()) MainTop.OpenFromCommandLine(arguments[0].toLocal8Bit().toStdString());
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QString::fromLatin1(settings::AppName),
                              QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
