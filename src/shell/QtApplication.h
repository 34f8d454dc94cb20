#pragma once

#include <QApplication>

namespace shell {

// The application object. An error that escapes a handler ends that handler only: it is shown the way
// ui::ReportUncaught shows it (the main window's error box) and the event loop goes on, whatever the handler
// changed before stays changed.
class TavixApplication final : public QApplication {
public:
    TavixApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace shell
