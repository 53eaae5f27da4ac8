#pragma once
#include <QObject>

class WireTest : public QObject {
    Q_OBJECT
private slots:
    void errorTextsAreStoredExactly_data();
    void errorTextsAreStoredExactly();
    void numbersWithoutTextLeaveTheDetail();
    void everyAddressIndexHasItsCharacterAndClass_data();
    void everyAddressIndexHasItsCharacterAndClass();
    void addressesOutsideTheListAreClassified();
    void framesAreExactBytes_data();
    void framesAreExactBytes();
    void dtRepliesDecodeByPosition_data();
    void dtRepliesDecodeByPosition();
    void oemRepliesPassOnlyWithTheirChecksum_data();
    void oemRepliesPassOnlyWithTheirChecksum();
    void portSetupSetsItsPropertiesInOrder();
};
