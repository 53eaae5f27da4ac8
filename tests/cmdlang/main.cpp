#include <QtTest>

#include "test_checker.h"

int main(int argc, char* argv[]) {
    int status = 0;
    { CheckerTest t; status |= QTest::qExec(&t, argc, argv); }
    return status;
}
