#include <QtTest>

#include "test_reply_paging.h"
#include "test_reports.h"
#include "test_status.h"

int main(int argc, char* argv[]) {
    int status = 0;
    {
        StatusTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        ReportsTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        ReplyPagingTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}
