#pragma once
#include <QObject>

class RoundTripTest : public QObject {
    Q_OBJECT
private slots:
    void validRunModeSequencesPassAndComeBack();
    void validImmediateSequencesPassAndComeBack();
    void randomStringsStayInsideAndPassingOnesComeBack();
    void longStringsStayInside();
};
