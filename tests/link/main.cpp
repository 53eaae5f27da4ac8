#include <QtTest>

#include "test_position.h"
#include "test_reentry.h"
#include "test_send_stop.h"
#include "test_transaction.h"
#include "test_wire.h"

int main(int argc, char* argv[]) {
    int status = 0;
    { WireTest t; status |= QTest::qExec(&t, argc, argv); }
    { TransactionTest t; status |= QTest::qExec(&t, argc, argv); }
    { SendStopTest t; status |= QTest::qExec(&t, argc, argv); }
    { PositionTest t; status |= QTest::qExec(&t, argc, argv); }
    { ReentryTest t; status |= QTest::qExec(&t, argc, argv); }
    return status;
}
