#include <QtTest>

#include "test_frames.h"
#include "test_line.h"
#include "test_pump.h"

int main(int argc, char* argv[]) {
    int status = 0;
    {
        FramesTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        PumpTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        LineTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
