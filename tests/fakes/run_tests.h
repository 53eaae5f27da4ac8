#pragma once

#include <QtTest>

namespace zr::test {

template <typename Test>
int RunTest(int argc, char* argv[]) {
    Test test;
    return QTest::qExec(&test, argc, argv);
}

// Runs the QtTest classes of one test executable in order; non-zero when any failed.
template <typename... Tests>
int RunTests(int argc, char* argv[]) {
    int status = 0;
    ((status |= RunTest<Tests>(argc, argv)), ...);
    return status;
}

}  // namespace zr::test
