#pragma once
#include <QObject>

class FramesTest : public QObject {
    Q_OBJECT
private slots:
    void framesAreFoundWhateverTheChunks_data();
    void framesAreFoundWhateverTheChunks();
    void oemChecksumIsCheckedOverStxToEtx();
    void overlongGarbageNeverGrowsAFrame();
    void repliesHaveTheLayoutTheDecodersRead_data();
    void repliesHaveTheLayoutTheDecodersRead();
    void groupAddressesReachMembersWithoutReply();
};
