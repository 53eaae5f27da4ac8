#include "fakes/run_tests.h"
#include "test_reply_paging.h"
#include "test_reports.h"
#include "test_status.h"

int main(int argc, char* argv[]) {
    return zr::test::RunTests<StatusTest, ReportsTest, ReplyPagingTest>(argc, argv);
}
