#pragma once
#include <QObject>

class TransactionTest : public QObject {
    Q_OBJECT
private slots:
    void promptReplyIsDecodedShownAndClosesThePort();
    void waitsSleepATenthOfASecondAndNeverSpin();
    void groupAddressReadsNothingAndLeavesThePortOpen();
    void tooFewCharactersLeaveTheTimerRunning();
    void badOemChecksumShowsNothing();
    void shortOemReplyIsShownRaw();
    void silentReplyLeavesTheFields();
    void dribbledReplyIsReadWholeAfterItSettles();
    void lateCharactersOfAnUnansweredExchangeComeFirst();
    void portThatCannotOpenIsReportedAndNothingIsSent();
};
