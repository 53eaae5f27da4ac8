#ifdef ZR_TEST_GUI
#include <QApplication>
#else
#include <QCoreApplication>
#endif
#include <QTest>
#include <clocale>
#include <cstdio>
#include <cstring>

#include "fakes/test_registry.h"

namespace zr::test {

std::vector<TestFactory>& RegisteredTests() {
    static std::vector<TestFactory> tests;
    return tests;
}

}  // namespace zr::test

// Runs every QtTest class registered in this executable; non-zero when any of them failed.
// Tests of widgets run under a QApplication, all others under a QCoreApplication.
int main(int argc, char* argv[]) {
#ifdef ZR_TEST_GUI
    QApplication app(argc, argv);
#else
    QCoreApplication app(argc, argv);
#endif
    // A run meant to be under a decimal-comma locale fails when that locale did not take
    // (the application sets it from the environment): passing there would prove nothing.
    if (qEnvironmentVariableIsSet("ZR_DECIMAL_COMMA") &&
        std::strcmp(std::localeconv()->decimal_point, ",") != 0) {
        std::fprintf(stderr, "The decimal-comma locale is not in effect (LC_NUMERIC=%s, LOCPATH=%s)\n",
                     qgetenv("LC_NUMERIC").constData(), qgetenv("LOCPATH").constData());
        return 1;
    }
    int status = 0;
    for (const auto& make : zr::test::RegisteredTests()) {
        const auto test = make();
        status |= QTest::qExec(test.get(), argc, argv);
    }
    return status;
}
