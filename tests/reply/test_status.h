#pragma once
#include <QObject>

class StatusTest : public QObject {
    Q_OBJECT
private slots:
    void statusCharacterGivesCodeReadinessAndMeaning_data();
    void statusCharacterGivesCodeReadinessAndMeaning();
    void eachErrorLetterMeansTheSameInBothCases();
    void earlierTextsAndErrorsAreReplaced();
    void replyWithoutDataReadsNotAvailable();
};
