#include "shell/QtApplication.h"

#include <QFont>
#include <QTest>

#include <cstring>
#include <functional>
#include <map>
#include <string>

#include "ui/Suites.h"

// Runs one suite (by name, as ctest passes it) or all of them.
int main(int argc, char** argv) {
    shell::TavixApplication app(argc, argv);
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    const auto& suites = AllSuites();
    if (argc > 1 && suites.count(argv[1])) {
        // The remaining arguments go to QTest (e.g. a test function name).
        const std::string suite = argv[1];
        char** rest = argv + 1;
        rest[0] = argv[0];
        return suites.at(suite)(argc - 1, rest);
    }
    int failures = 0;
    for (const auto& [name, run] : suites)
        failures += run(1, argv);
    return failures;
}
