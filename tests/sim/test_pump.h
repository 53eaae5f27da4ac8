#pragma once
#include <QObject>

class PumpTest : public QObject {
    Q_OBJECT
private slots:
    void commandsAnswerWithStatusAndData_data();
    void commandsAnswerWithStatusAndData();
    void movesKeepThePumpBusyForStepsOverTopSpeed();
    void stopEndsAMoveWhereThePlungerIs();
    void aWrongStringChangesNothing();
    void keptCommandsRunOnALaterR();
    void programsAreSavedListedAndRecalled();
    void queriesAnswerForEveryReportNumber();
};
