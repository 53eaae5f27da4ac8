#include <QApplication>
#include <QtTest>

#include "fakes/test_registry.h"

namespace zr::test {

std::vector<TestFactory>& RegisteredTests() {
    static std::vector<TestFactory> tests;
    return tests;
}

}  // namespace zr::test

// Runs every QtTest class registered in this executable; non-zero when any of them failed.
int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    int status = 0;
    for (const auto& make : zr::test::RegisteredTests()) {
        const auto test = make();
        status |= QTest::qExec(test.get(), argc, argv);
    }
    return status;
}
