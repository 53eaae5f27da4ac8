#pragma once
#include <QObject>

class QtSerialPortTest : public QObject {
    Q_OBJECT
private slots:
    void bytesCrossTheLineUnchangedBothWays_data();
    void bytesCrossTheLineUnchangedBothWays();
    void arrivingBytesAreCountedAsTheyComeWithoutAnEventLoop();
    void lineSettingsReachTheDevice_data();
    void lineSettingsReachTheDevice();
    void openingFailuresNameThePortTheDeviceAndTheReason_data();
    void openingFailuresNameThePortTheDeviceAndTheReason();
    void aSecondOpenerOfTheSameDeviceIsToldItIsBusy();
    void aDeviceWithoutAccessRightsIsReportedAsPermissionDenied();
    void aVanishedDeviceReadsAsClosedAndCanBeOpenedAfresh();
    void aClosedPortSendsAndReadsNothing();
};
