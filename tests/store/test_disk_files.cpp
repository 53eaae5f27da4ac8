#include <sys/stat.h>

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "fakes/test_registry.h"
#include "shared/disk_files.h"

using namespace zr;

class DiskFilesTest : public QObject {
    Q_OBJECT
private slots:
    void replaceKeepsPermissionsAndLinks() {
        QTemporaryDir dir;
        DiskFiles files(dir.path().toStdString());
        const std::string real = PathInFolder(files.folder(), "real.txt");
        const std::string link = PathInFolder(files.folder(), "programs.txt");
        std::string content, error;
        QVERIFY(files.replace(real, "old", error));
        QVERIFY(::chmod(real.c_str(), 0640) == 0 && ::symlink("real.txt", link.c_str()) == 0);
        QVERIFY2(files.replace(link, "new", error), error.c_str());
        QVERIFY(files.read(real, content, error));
        QCOMPARE(content, "new");
        QVERIFY(QFileInfo(QString::fromStdString(link)).isSymLink());
        struct stat info {};
        QVERIFY(::stat(real.c_str(), &info) == 0);
        QCOMPARE(info.st_mode & 07777, 0640u);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 2);  // no temporary file left
    }

    void somethingElseInPlaceIsRefusedWithoutBlocking() {
        QTemporaryDir dir;
        DiskFiles files(dir.path().toStdString());
        const std::string pipe = PathInFolder(files.folder(), "programs.txt");
        const std::string none = PathInFolder(files.folder(), "none");
        QVERIFY(::mkfifo(pipe.c_str(), 0600) == 0);
        std::string content, error;
        QVERIFY(files.exists(pipe) && !files.exists(none));
        QVERIFY(!files.read(pipe, content, error));
        QCOMPARE(error, "not a regular file");
        QVERIFY(!files.append(pipe, "x", error) && !files.replace(pipe, "x", error) &&
                !files.append(none, "x", error));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System),
                 QStringList{"programs.txt"});
    }
};

ZR_TEST(DiskFilesTest);
#include "test_disk_files.moc"
