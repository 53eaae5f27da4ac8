#pragma once
#include <QObject>

class PositionTest : public QObject {
    Q_OBJECT
private slots:
    void oneCycleShowsSyringeAndPortAndRestoresTheCommand();
    void busyPumpRepeatsWithoutReadingTheBox();
    void uncheckingStopsAfterExactlyOneMoreCycle();
    void errorWhileBusyEndsTheInnerRepetition();
    void stopBetweenCyclesRunsAndTheCycleGoesOn();
    void portThatCannotOpenEndsTheRepetition();
    void showPositionBeforeAnySendReadsTheCombos();
};
