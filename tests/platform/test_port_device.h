#pragma once
#include <QObject>

class PortDeviceTest : public QObject {
    Q_OBJECT
private slots:
    void withoutALinkPortsAreTheBuiltInLines_data();
    void withoutALinkPortsAreTheBuiltInLines();
    void aLinkInTheProgramFolderIsFollowedToItsDevice();
    void aRelativeLinkIsFollowedFromTheProgramFolder();
    void aDanglingLinkIsAMissingDevice();
    void aPlainFileIsNotASerialDevice();
};
