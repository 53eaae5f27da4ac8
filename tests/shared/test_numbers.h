#pragma once
#include <QObject>

class NumbersTest : public QObject {
    Q_OBJECT
private slots:
    void numericValueReadsLikeTheProgram_data();
    void numericValueReadsLikeTheProgram();
    void roundingTakesHalvesToEven_data();
    void roundingTakesHalvesToEven();
    void valuesTooLargeFor16BitsStopAtItsEnds();
    void signedAndDecimalTexts_data();
    void signedAndDecimalTexts();
};
