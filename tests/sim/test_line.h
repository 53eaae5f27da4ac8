#pragma once
#include <QObject>

class LineTest : public QObject {
    Q_OBJECT
private slots:
    void bothFramingsAreAnsweredAndLogged();
    void aClientMayCloseAndReopenTheLine();
    void silentLogsRequestsButNeverAnswers();
    void lateAndDribbledRepliesTakeTheirTime();
    void badChecksumCorruptsEveryOemReply();
    void terminationRemovesTheLink();
    void badOptionsAreRefused_data();
    void badOptionsAreRefused();
};
