#include <QtTest>

#include "test_numbers.h"
#include "test_text_lines.h"

int main(int argc, char* argv[]) {
    int status = 0;
    { NumbersTest t; status |= QTest::qExec(&t, argc, argv); }
    { TextLinesTest t; status |= QTest::qExec(&t, argc, argv); }
    return status;
}
