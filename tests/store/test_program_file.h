#pragma once
#include <QObject>

class ProgramFileTest : public QObject {
    Q_OBJECT
private slots:
    void retrieveFindsTheFirstEntryUnderItsName_data();
    void retrieveFindsTheFirstEntryUnderItsName();
    void namesAreListedInFileOrderInTheListInUse_data();
    void namesAreListedInFileOrderInTheListInUse();
    void storingRewritesOrAppends_data();
    void storingRewritesOrAppends();
    void entryChecksLookAtTheFirstCharacters_data();
    void entryChecksLookAtTheFirstCharacters();
    void missingOrUnusableFileIsReportedAndKept_data();
    void missingOrUnusableFileIsReportedAndKept();
    void diskFullPartWayLeavesTheOldFileByteForByte_data();
    void diskFullPartWayLeavesTheOldFileByteForByte();
};
