#pragma once
#include <QObject>

class ReentryTest : public QObject {
    Q_OBJECT
private slots:
    void clicksDuringATransactionNeverDisturbIt_data();
    void clicksDuringATransactionNeverDisturbIt();
    void sendBetweenCyclesLeavesTheDisplayItsOwnReply();
    void editOfTheCommandLineDuringTheDisplayIsKept();
};
