#pragma once
#include <QObject>

class ProgramPanelTest : public QObject {
    Q_OBJECT
private slots:
    void firstSavePressListsTheNamesForTyping();
    void secondSavePressReplacesOrAppends_data();
    void secondSavePressReplacesOrAppends();
    void pickRecallsOrDeletesAtOnce_data();
    void pickRecallsOrDeletesAtOnce();
    void withoutAFileNothingIsWritten();
};
