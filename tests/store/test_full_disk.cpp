#include <fcntl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "fakes/rig.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "store/program_panel.h"
#include "window/panels.h"
#include "window/start_up.h"

using namespace zr;
using namespace zr::test;

namespace {

const qint64 kBlock = 4096;  // the page a tmpfs gives a file at a time

// A disk of its own: a tmpfs of 1 MiB and 16 files on a fresh temporary folder, unmounted at
// the end. Only root may mount one; a test that is not root runs again in a user and mount
// namespace.
class SmallDisk {
public:
    SmallDisk() {
        mounted_ =
            ::mount("tmpfs", path().toLocal8Bit().constData(), "tmpfs", 0, "size=1m,nr_inodes=16") == 0;
        if (!mounted_) qWarning("mounting a tmpfs: %s", std::strerror(errno));
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(path().toLocal8Bit().constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;

    bool mounted() const { return mounted_; }
    QString path(const QString& name = {}) const {
        return name.isEmpty() ? dir_.path() : dir_.filePath(name);
    }
    qint64 room() const {
        struct statvfs info {};
        return ::statvfs(path().toLocal8Bit().constData(), &info) == 0
                   ? qint64(info.f_bavail) * qint64(info.f_bsize)
                   : -1;
    }
    // Leaves `room` bytes free: the file "filler" takes the rest of the disk.
    bool fill(qint64 room) const {
        const int fd = ::open(path("filler").toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        const std::vector<char> chunk(std::size_t(64 * kBlock), 'f');
        qint64 size = 0;
        for (ssize_t n = 0; fd >= 0 && (n = ::write(fd, chunk.data(), chunk.size())) > 0;) size += n;
        const bool filled = fd >= 0 && errno == ENOSPC && ::ftruncate(fd, size - room) == 0;
        if (fd >= 0) ::close(fd);
        return filled && this->room() == room;
    }
    // Uses up every file the disk may hold: files "filler-n" until no more can be made.
    bool useAllInodes() const {
        for (int n = 0; n < 16; ++n) {
            const int fd = ::open(path(QString("filler-%1").arg(n)).toLocal8Bit().constData(),
                                  O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            if (fd < 0) return errno == ENOSPC;
            ::close(fd);
        }
        return false;
    }

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
};

// Why a mount cannot be had here, or "" when it can: as root directly, otherwise in a user
// and mount namespace, where this test runs again (see initTestCase).
QString NoMountHere() {
    if (::geteuid() == 0) return {};
    QProcess probe;
    probe.start("unshare", {"-rm", "true"});
    if (probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
        return {};
    const QString told = QString::fromLocal8Bit(probe.readAllStandardError()).trimmed();
    return "needs root, or user namespaces for 'unshare -rm' (" +
           (told.isEmpty() ? probe.errorString() : told) + ")";
}

// The file the rows start from: the line "", an entry "a" of x's and the entry "b;2", `size`
// bytes in all.
QByteArray ProgramsOfSize(int size) {
    const QByteArray head = "\"\"\r\na;", tail = "\r\nb;2\r\n";
    return head + QByteArray(size - head.size() - tail.size(), 'x') + tail;
}

// The index of the item `name` in the list, or -1.
int IndexOf(const FakeForm& form, Control list, const QByteArray& name) {
    const std::vector<std::string>& items = form.at(list).items;
    const auto found = std::find(items.begin(), items.end(), name.toStdString());
    return found == items.end() ? -1 : int(found - items.begin());
}

}  // namespace

class FullDiskTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        const QString why = NoMountHere();
        if (!why.isEmpty()) QSKIP(qPrintable("a full disk cannot be made here: " + why));
        if (::geteuid() == 0) return;
        // Run again as root of a namespace of its own; its report and status stand for this run.
        std::vector<QByteArray> args = {"unshare", "-rm"};
        for (const QString& arg : QCoreApplication::arguments()) args.push_back(arg.toLocal8Bit());
        std::vector<char*> argv;
        for (QByteArray& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        qInfo("not root: running again in a user and mount namespace of its own");
        std::fflush(stdout);
        ::execvp("unshare", argv.data());
        QFAIL(qPrintable(QString("running unshare: %1").arg(std::strerror(errno))));
    }

    // The operator's actions on a disk that is full, or runs full during the write: each one
    // keeps programs.txt byte for byte, leaves no other file behind and says why.
    void actionsOnAFullDisk_data() { AddTableRows(QFINDTESTDATA("full_disk.txt")); }
    void actionsOnAFullDisk() {
        QFETCH(QByteArrayList, row);
        const QByteArrayList action = row[1].split(' ');
        SmallDisk disk;
        QVERIFY(disk.mounted());
        const QByteArray before = row[2] == "none" ? QByteArray() : ProgramsOfSize(row[2].toInt());
        if (row[2] != "none") {
            QFile file(disk.path("programs.txt"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
        }
        QVERIFY(row[3] == "no inode" ? disk.useAllInodes() : disk.fill(row[3].toLongLong()));

        Rig rig(disk.path().toStdString());
        Module& m = rig.m;
        Form_Load(m);
        rig.form.setText(Control::text1, "W4R");
        const QByteArray name = action.value(1);
        if (action[0] == "save") {
            cmdProgram_Click(m);
            cmdSave_Click(m);
            if (const int index = IndexOf(rig.form, Control::cboFile0, name); index >= 0) {
                rig.form.setListIndex(Control::cboFile0, index);
                cboFile0_Click(m);
            } else {
                rig.form.at(Control::cboFile0).text = name.toStdString();
            }
            cmdSave_Click(m);
        } else if (action[0] == "delete") {
            cmdProgram_Click(m);
            cmdDel_Click(m);
            rig.form.setListIndex(Control::cboFile1, IndexOf(rig.form, Control::cboFile1, name));
            cboFile1_Click(m);
        }

        QFile file(disk.path("programs.txt"));
        const QByteArray after = !file.exists()                   ? QByteArray("<no file>")
                                 : file.open(QIODevice::ReadOnly) ? file.readAll()
                                                                  : QByteArray("<unreadable>");
        QByteArray expected = row[4];
        if (expected.startsWith("before")) expected = before + expected.mid(7);
        QCOMPARE(after, expected);
        const QByteArray told = QByteArray::number(m.ErrNum) +
                                QByteArray::fromStdString(rig.dialogs.told(MessageIcon::Critical, ""));
        QCOMPARE(told, row.value(5, "0").replace("<file>", m.ProgFile.c_str()));
        const QStringList left =
            QDir(disk.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        QCOMPARE(left.filter(QRegularExpression("^(?!filler)")).join(','),
                 after == "<no file>" ? "" : "programs.txt");
    }
};

ZR_TEST(FullDiskTest);
#include "test_full_disk.moc"
