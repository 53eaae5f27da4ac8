#pragma once
#include <QObject>

class SendStopTest : public QObject {
    Q_OBJECT
private slots:
    void sendTakesTheLinkSettingsFromTheCombos_data();
    void sendTakesTheLinkSettingsFromTheCombos();
    void changingThePortClosesAnOpenPortFirst();
    void baudRateWaitsForThePortToBeClosed();
    void portPreparedOnlyWhileClosed();
    void autoBoxDecidesWhatHappensToThePositionFields();
    void stopSendsTwoStopsAndLeavesTheCommandLine();
    void emptyCommandLineSendsAnEmptyCommand();
    void timeoutBoxIsShownOnce();
    void typedPortNameGivesPortZero();
};
