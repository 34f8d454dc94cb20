// A bare Qt 6 main window of the same frame as Tavix's: seven empty tabs, a menu bar with the same menus and
// a status bar with four panels. What a window's start costs before any tab builds anything.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    for (const char* menu : {"&File", "&Setting", "&About"}) {
        QMenu* m = window.menuBar()->addMenu(QString::fromLatin1(menu));
        m->addAction(QStringLiteral("Item"));
    }
    auto* tabs = new QTabWidget(&window);
    for (const char* caption : {"One", "Two", "Three", "Four", "Five", "Six", "Seven"})
        tabs->addTab(new QWidget, QString::fromLatin1(caption));
    window.setCentralWidget(tabs);
    for (int i = 0; i < 4; ++i)
        window.statusBar()->addWidget(new QLabel(QString::number(i)), 1);
    window.resize(1012, 780);
    window.show();
    return app.exec();
}
