#include <QCoreApplication>
#include <QtTest>

#include "test_live_transaction.h"

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    LiveTransactionTest test;
    return QTest::qExec(&test, argc, argv);
}
