#pragma once
#include <QObject>

class LineSettingsTest : public QObject {
    Q_OBJECT
private slots:
    void wellFormedSettingsAreRead_data();
    void wellFormedSettingsAreRead();
    void malformedSettingsAreRefused_data();
    void malformedSettingsAreRefused();
};
