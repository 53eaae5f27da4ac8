#pragma once
#include <QObject>

class LiveTransactionTest : public QObject {
    Q_OBJECT
private slots:
    void aQueryIsAnsweredAndDecoded_data();
    void aQueryIsAnsweredAndDecoded();
    void anUnansweredFrameLeavesThePortOpenAndTheTimerArmed_data();
    void anUnansweredFrameLeavesThePortOpenAndTheTimerArmed();
    void aGroupAddressIsNotReadFrom_data();
    void aGroupAddressIsNotReadFrom();
    void anOemReplyWithABadChecksumIsRefused();
    void aPumpThatCameBackIsReachedThroughThePortLeftOpen();
};
