#include "base/OutputGuard.h"
#include "settings/AppIdentity.h"
#include "settings/SettingsFile.h"
#include "shell/Ide.h"
#include "shell/QtApplication.h"
#include "ui/DialogsQt.h"
#include "ui/MessagesQt.h"

#include <QFont>
#include <QMessageBox>

#include <exception>

int main(int argc, char** argv) {
    // Before the toolkit starts any thread: a size limit fails the write instead of killing the window, and
    // a kill or a hang-up (the session ending) leaves no temporary file and no half append behind.
    base::GuardOutputs();
    shell::TavixApplication app(argc, argv);
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
        shell::TMainTop MainTop({settings::DefaultSettingsPath(), &dialogs, &boxes});
        dialogs.SetOwner(&MainTop);
        boxes.SetOwner(&MainTop);
        MainTop.show();
        return app.exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QString::fromLatin1(settings::AppName),
                              QString::fromLocal8Bit(e.what()));
        return 1;
    }
}
