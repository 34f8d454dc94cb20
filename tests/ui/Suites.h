#pragma once

#include <QTest>

#include <functional>
#include <map>
#include <string>

// Every UI suite registers itself under its class name; ui_tests runs one by name (as ctest passes it) or all.
using UiSuiteRunner = std::function<int(int, char**)>;

inline std::map<std::string, UiSuiteRunner>& AllSuites() {
    static std::map<std::string, UiSuiteRunner> suites;
    return suites;
}

struct UiSuiteRegistration {
    UiSuiteRegistration(const char* name, UiSuiteRunner run) { AllSuites().emplace(name, std::move(run)); }
};

// Put after the suite's class in its file: TAVIX_UI_SUITE(FontTabTest)
#define TAVIX_UI_SUITE(Class)                                                                              \
    static const UiSuiteRegistration kRegister##Class(#Class, [](int argc, char** argv) {                  \
        Class test;                                                                                        \
        return QTest::qExec(&test, argc, argv);                                                            \
    });
