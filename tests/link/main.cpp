#include "fakes/run_tests.h"
#include "test_position.h"
#include "test_reentry.h"
#include "test_send_stop.h"
#include "test_transaction.h"
#include "test_wire.h"

int main(int argc, char* argv[]) {
    return zr::test::RunTests<WireTest, TransactionTest, SendStopTest, PositionTest, ReentryTest>(argc, argv);
}
