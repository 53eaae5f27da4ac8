#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

#include "fakes/test_registry.h"
#include "shared/disk_files.h"

class DiskFilesTest : public QObject {
    Q_OBJECT
private slots:
    void replaceKeepsPermissionsAndLinks();
    void somethingElseInPlaceIsRefusedWithoutBlocking();
};

using namespace zr;

void DiskFilesTest::replaceKeepsPermissionsAndLinks() {
    QTemporaryDir dir;
    DiskFiles files(dir.path().toStdString());
    const std::string real = PathInFolder(files.folder(), "real.txt");
    const std::string link = PathInFolder(files.folder(), "programs.txt");
    std::string error;
    QVERIFY(files.replace(real, "old", error));
    QVERIFY(::chmod(real.c_str(), 0640) == 0);
    QVERIFY(::symlink("real.txt", link.c_str()) == 0);
    QVERIFY2(files.replace(link, "new", error), error.c_str());
    std::string content;
    QVERIFY(files.read(real, content, error));
    QCOMPARE(content, "new");
    QCOMPARE(QFileInfo(QString::fromStdString(link)).isSymLink(), true);
    struct stat info {};
    QVERIFY(::stat(real.c_str(), &info) == 0);
    QCOMPARE(info.st_mode & 07777, 0640u);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2);
}

void DiskFilesTest::somethingElseInPlaceIsRefusedWithoutBlocking() {
    QTemporaryDir dir;
    DiskFiles files(dir.path().toStdString());
    const std::string pipe = PathInFolder(files.folder(), "programs.txt");
    QVERIFY(::mkfifo(pipe.c_str(), 0600) == 0);
    std::string content, error;
    QVERIFY(files.exists(pipe));
    QVERIFY(!files.read(pipe, content, error));
    QCOMPARE(error, "not a regular file");
    QVERIFY(!files.append(pipe, "x", error));
    QVERIFY(!files.replace(pipe, "x", error));
    QVERIFY(!files.exists(PathInFolder(files.folder(), "none")));
    QVERIFY(!files.append(PathInFolder(files.folder(), "none"), "x", error));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
             QStringList{"programs.txt"});
}

ZR_TEST(DiskFilesTest);
#include "test_disk_files.moc"
