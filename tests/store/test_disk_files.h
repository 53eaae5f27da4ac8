#pragma once
#include <QObject>

class DiskFilesTest : public QObject {
    Q_OBJECT
private slots:
    void replaceKeepsPermissionsAndLinks();
    void somethingElseInPlaceIsRefusedWithoutBlocking();
};
