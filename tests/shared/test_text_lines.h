#pragma once
#include <QObject>

class TextLinesTest : public QObject {
    Q_OBJECT
private slots:
    void linesEndAtCarriageReturnWithOrWithoutLineFeed_data();
    void linesEndAtCarriageReturnWithOrWithoutLineFeed();
};
