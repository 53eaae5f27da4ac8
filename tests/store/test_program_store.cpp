#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "fakes/rig.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "platform/files/moving_file.h"
#include "store/program_file.h"
#include "store/program_panel.h"
#include "window/start_up.h"

using namespace zr;
using namespace zr::test;

namespace {

// x{n} stands for n letters x.
QByteArray Expanded(const QByteArray& text) {
    return ExpandedRepeats(QString::fromLatin1(text)).toLatin1();
}

// A longer file is shown by its length.
constexpr qint64 kShownLength = 1 << 20;

// A module on fakes whose program folder is a fresh temporary directory. ProgFile is set as
// start-up sets it; programs.txt is only there once a test makes it: a file of `before` (mode
// 0640), "(missing)", "(folder)", "(fifo)", "(link) text", a link to a file of that text, or
// "(sparse N)", N bytes that take no room on the disk. "(held S) " before it has another program
// hold the file locked for writing for S seconds.
// "(room N) " or "(no inode) " before it puts the folder on a disk of its own, a tmpfs of 1 MiB,
// which is then filled to leave N bytes free, or which has no file left to make.
struct StoreRig {
    explicit StoreRig(QByteArray before) {
        m.ProgFile = m.files.pathOf("programs.txt");
        QByteArray room;  // the bytes left free on a disk of its own; "-" for no file left to make
        if (before.startsWith("(room ") || before.startsWith("(no inode) ")) {
            const qsizetype end = before.indexOf(") ");
            room = before.startsWith("(room ") ? before.mid(6, end - 6) : "-";
            before = before.mid(end + 2);
        }
        if (before.startsWith("(held ")) {
            const qsizetype end = before.indexOf(") ");
            heldFor = before.mid(6, end - 6);
            before = before.mid(end + 2);
        }
        before = Expanded(before);
        // The disk's root is one of its files; with no file left, programs.txt is the other.
        if (!room.isEmpty()) mount(room != "-" ? 16 : before == "(missing)" ? 1 : 2);
        const bool linked = before.startsWith("(link) ");
        if (before == "(folder)") QVERIFY(QDir(dir.path()).mkdir("programs.txt"));
        if (before == "(fifo)") QVERIFY(::mkfifo(m.ProgFile.c_str(), 0600) == 0);
        if (before.startsWith("(sparse ")) {
            write({});
            QVERIFY(::truncate(m.ProgFile.c_str(), before.mid(8).chopped(1).toLongLong()) == 0);
        }
        if (linked) QVERIFY(QFile::link("real.txt", path()));
        if (linked || !before.startsWith("("))
            write(before.mid(linked ? 7 : 0), linked ? "real.txt" : "programs.txt");
        if (!room.isEmpty() && room != "-") fill(room.toLongLong());
        if (!heldFor.isEmpty()) hold();
    }
    // Another program holds programs.txt locked for writing, for `heldFor` seconds.
    void hold() {
        holder.start("flock", {"--exclusive", path(), "sleep", QString::fromLatin1(heldFor)});
        QVERIFY(holder.waitForStarted());
        const int fd = ::open(m.ProgFile.c_str(), O_RDONLY | O_CLOEXEC);
        while (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            ::flock(fd, LOCK_UN);
            QThread::msleep(5);
        }
        ::close(fd);
    }
    ~StoreRig() {
        holder.kill();
        holder.waitForFinished();
        if (mounted) ::umount2(dir.path().toLocal8Bit().constData(), MNT_DETACH);
    }
    // Only root may mount a disk: where ctest is not root, it runs this test as root of a user
    // and mount namespace of its own (tests/in_mount_namespace).
    void mount(int files) {
        const QByteArray options = "size=1m,nr_inodes=" + QByteArray::number(files);
        mounted =
            ::mount("tmpfs", dir.path().toLocal8Bit().constData(), "tmpfs", 0, options.constData()) == 0;
        if (!mounted)
            noDisk = QString(
                         "a tmpfs cannot be mounted here (%1): it needs root, or ctest where "
                         "'unshare -rm' works")
                         .arg(std::strerror(errno));
    }
    // Leaves `room` bytes free: the file "filler" takes the rest of the disk.
    void fill(qint64 room) const {
        const int fd = ::open(path("filler").toLocal8Bit().constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        const std::vector<char> chunk(std::size_t(1) << 18, 'f');
        qint64 size = 0;
        for (ssize_t n = 0; fd >= 0 && (n = ::write(fd, chunk.data(), chunk.size())) > 0;) size += n;
        QVERIFY(fd >= 0 && errno == ENOSPC && ::ftruncate(fd, size - room) == 0);
        ::close(fd);
    }
    void write(const QByteArray& text, const char* name = "programs.txt") const {
        WriteFile(path(name), text);
    }
    static void WriteFile(const QString& path, const QByteArray& text) {
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(text) == text.size());
        QVERIFY(out.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    }
    QString path(const char* name = "programs.txt") const { return dir.filePath(name); }
    // The text of programs.txt, or what stands in its place.
    QByteArray contents() const {
        const QFileInfo info(path());
        QFile file(path());
        if (!info.exists() || !info.isFile())
            return info.isDir() ? "<folder>" : info.exists() ? "<fifo>" : "<no file>";
        if (info.size() > kShownLength) return "<" + QByteArray::number(info.size()) + " bytes>";
        return file.open(QIODevice::ReadOnly) ? file.readAll() : "<unreadable>";
    }
    // The error number, then each box shown; the store's own box is critical, with no title.
    QByteArray errors() const {
        return QByteArray::number(m.ErrNum) +
               QByteArray::fromStdString(rig.dialogs.told(MessageIcon::Critical, ""));
    }
    QByteArray items(Control list) const {
        QByteArrayList items;
        for (const std::string& item : rig.form.at(list).items) items << QByteArray::fromStdString(item);
        return items.join(',');
    }

    QTemporaryDir dir;
    QByteArray heldFor;
    QProcess holder;
    bool mounted = false;
    QString noDisk;
    Rig rig{dir.path().toStdString()};
    Module& m = rig.m;
};

// Another process that made a file, and holds it locked unless `unlocked`, until it ends.
struct OtherWriter {
    OtherWriter(const QString& folder, const QByteArray& pattern, bool unlocked) {
        int ready[2];
        QVERIFY(::pipe(ready) == 0);
        pid = ::fork();
        if (pid == 0) {
            const QByteArray name = QByteArray(pattern).replace("PID", QByteArray::number(::getpid()));
            const int fd = ::open(QString(folder + "/" + name).toLocal8Bit().constData(),
                                  O_WRONLY | O_CREAT | O_EXCL, 0600);
            if (fd < 0 || ::write(fd, "partial", 7) != 7 || (!unlocked && ::flock(fd, LOCK_EX) != 0))
                _exit(1);
            if (::write(ready[1], "!", 1) != 1) _exit(1);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        char told = 0;
        QVERIFY(::read(ready[0], &told, 1) == 1);
        ::close(ready[0]);
    }
    ~OtherWriter() { end(); }
    void end() {
        if (pid <= 0) return;
        ::kill(pid, SIGKILL);
        ::waitpid(std::exchange(pid, 0), nullptr, 0);
    }
    pid_t pid = 0;
};

const Control kButtons[] = {Control::cmdSave, Control::cmdRecall, Control::cmdDel};

// The panel as "File" leaves it: shown, with Save, Recall and Delete enabled.
void OpenPanel(FakeForm& form) {
    form.setVisible(Control::fraProgram, true);
    for (Control c : kButtons) form.setEnabled(c, true);
}

// Runs a store operation as a table names it; a write's mode is already in ProgMode.
void Run(Module& m, const QByteArray& operation) {
    operation == "list"       ? LoadProgramNames(m)
    : operation == "retrieve" ? RetrieveProgram(m)
    : operation == "start"    ? Form_Load(m)
                              : StoreProgram(m);
}

}  // namespace

class ProgramStoreTest : public QObject {
    Q_OBJECT
private slots:
    void operationsOnTheFile_data() { AddTableRows(QFINDTESTDATA("program_files.txt")); }
    void operationsOnTheFile() {
        QFETCH(QByteArrayList, row);
        const QByteArray operation = row[2].split(' ').first();
        StoreRig s(row[1]);
        if (!s.noDisk.isEmpty()) QSKIP(qPrintable(s.noDisk));
        const bool existed = QFileInfo::exists(s.path());
        const QFile::Permissions mode = QFile::permissions(s.path());
        s.m.ProgName = Expanded(row[3]).toStdString();
        s.m.CmdString = "W";
        s.rig.form.at(Control::text1).text = "shown";
        for (Control list : {Control::cboFile0, Control::cboFile1}) s.rig.form.addItem(list, "old");

        s.m.ProgMode = operation == "list" ? row[2].split(' ').last().toStdString() : operation.toStdString();
        Run(s.m, operation);

        const QByteArray outcome = operation == "retrieve" ? QByteArray::fromStdString(s.m.CmdString)
                                   : operation == "list"
                                       ? s.items(Control::cboFile0) + "/" + s.items(Control::cboFile1)
                                       : s.contents();
        QCOMPARE(outcome, Expanded(row[4]));
        QCOMPARE(s.errors(), row.value(5, "0").replace("<file>", s.m.ProgFile.c_str()));
        // Nothing is left beside programs.txt, which keeps its mode, and a link stays a link.
        const QStringList entries =
            QDir(s.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        const bool linked = row[1].startsWith("(link)");
        QCOMPARE(entries.filter(QRegularExpression("^(?!filler$)")).join(','),
                 QString(s.contents() == "<no file>" ? ""
                         : linked                    ? "programs.txt,real.txt"
                                                     : "programs.txt"));
        if (existed) QCOMPARE(QFile::permissions(s.path()), mode);
        QCOMPARE(QFileInfo(s.path()).isSymLink(), linked);
        // After a rewrite the next Send must send what the command line shows.
        if (s.m.ErrNum == 0 && (operation == "replace" || operation == "delete"))
            QCOMPARE(s.m.CmdString, "shown");
        if (operation == "append") QCOMPARE(s.m.CmdString, "W");
    }

    // A writer killed halfway leaves its temporary file behind; the next write removes it, and
    // only it.
    void aWriteRemovesWhatAKilledWriterLeft_data() { AddTableRows(QFINDTESTDATA("leftovers.txt")); }
    void aWriteRemovesWhatAKilledWriterLeft() {
        QFETCH(QByteArrayList, row);
        StoreRig s(row[1]);
        s.write("notes", "notes.txt");
        std::vector<std::unique_ptr<OtherWriter>> writers;
        QByteArray left = row[4];
        for (const QByteArray& item : row[2].split(' ')) {
            const char* const marks[] = {"KILLED", "LIVE", "NEW"};
            const auto mark = std::find_if(std::begin(marks), std::end(marks),
                                           [&](const char* m) { return item.contains(m); });
            if (mark != std::end(marks)) {
                writers.push_back(std::make_unique<OtherWriter>(
                    s.dir.path(), QByteArray(item).replace(*mark, "PID"), item.contains("NEW")));
                // Each writer's number replaces the first mark of its kind still left.
                if (const qsizetype at = left.indexOf(*mark); at >= 0)
                    left.replace(at, qstrlen(*mark), QByteArray::number(writers.back()->pid));
                if (item.contains("KILLED")) writers.back()->end();
            } else if (item.endsWith('/')) {
                QVERIFY(QDir(s.dir.path()).mkdir(item.chopped(1)));
            } else if (item.endsWith('@')) {
                QVERIFY(QFile::link("notes.txt", s.path(item.chopped(1))));
            } else {
                s.write("other", item);
            }
        }
        s.m.ProgName = "a";
        s.m.CmdString = "W";
        s.m.ProgMode = row[3].toStdString();
        Run(s.m, row[3]);
        QCOMPARE(s.m.ErrNum, 0);
        QStringList beside =
            QDir(s.dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
        beside.removeAll("programs.txt");
        beside.removeAll("notes.txt");
        QCOMPARE(beside.join(','), QString::fromLatin1(left));
    }

    // Two processes append to programs.txt on a nearly full disk: one's short entries fit, the
    // other's long one never does and is cut back each time. What the first appended is all
    // there, in its order, whatever the two did at the same time.
    void anAppendCutBackNeverCutsWhatAnotherAppended() {
        constexpr int kOthersEntries = 200;
        const QByteArray before = "\"\"\r\na;1\r\n";
        StoreRig s("(room 262144) " + before);
        if (!s.noDisk.isEmpty()) QSKIP(qPrintable(s.noDisk));
        const std::string path = s.m.ProgFile;
        QTemporaryDir elsewhere;  // where the other tells what it appended
        const QString told = elsewhere.filePath("appended");
        const pid_t other = ::fork();
        if (other == 0) {
            DiskFiles files(s.dir.path().toStdString());
            std::string appended, error;
            QElapsedTimer running;
            running.start();
            // Enough entries to meet the other's cut-backs many times, however slow the build.
            int fitted = 0;
            for (int i = 0; fitted < kOthersEntries && running.elapsed() < 20000; ++i) {
                const std::string entry = "w" + std::to_string(i) + "\r\n";
                if (files.append(path, entry, error)) {
                    appended += entry;
                    ++fitted;
                }
            }
            // Flushed before _exit, which runs no destructor.
            QFile out(told);
            const bool written =
                out.open(QIODevice::WriteOnly) &&
                out.write(appended.data(), qint64(appended.size())) == qint64(appended.size()) && out.flush();
            _exit(written ? 0 : 1);
        }
        const std::string tooLong(300 * 1024, 'x');
        int cutBack = 0;
        std::string error;
        int status = 0;
        while (::waitpid(other, &status, WNOHANG) == 0) {
            cutBack += s.m.files.append(path, tooLong, error) ? 0 : 1;
            QThread::usleep(100);
        }
        QCOMPARE(status, 0);
        QFile in(told);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray appended = in.readAll();
        QVERIFY(cutBack > 0);
        QCOMPARE(appended.count('w'), kOthersEntries);
        QCOMPARE(s.contents(), before + appended);
    }

    // Two programs start at once where the user has no programs.txt yet, and each saves at
    // once: the file is made once, and neither save is lost to the other's making it. The file
    // is made at start-up, or, while one beside a read-only program stands for it, by the
    // first save.
    void twoFirstStartsKeepBothSaves_data() {
        QTest::addColumn<bool>("moving");
        QTest::newRow("made at start-up") << false;
        QTest::newRow("moved from the program's folder") << true;
    }
    void twoFirstStartsKeepBothSaves() {
        QFETCH(bool, moving);
        const QByteArray fresh = "\"\"\r\nInitialize syringe;W4R\r\n";
        for (int round = 0; round < 25; ++round) {
            QTemporaryDir folder;
            const std::string own = folder.filePath("programs.txt").toStdString();
            const std::string earlier = folder.filePath("earlier.txt").toStdString();
            if (moving) StoreRig::WriteFile(folder.filePath("earlier.txt"), fresh);
            int go[2];
            QVERIFY(::pipe(go) == 0);
            pid_t starts[2];
            for (int k = 0; k < 2; ++k) {
                starts[k] = ::fork();
                if (starts[k] != 0) continue;
                char ready = 0;
                if (::read(go[0], &ready, 1) != 1) _exit(2);
                Rig rig(folder.path().toStdString());
                MovingFile files(rig.files, rig.dialogs, own, moving ? earlier : "");
                Module m(rig.serial, rig.timer, rig.clock, rig.events, rig.dialogs, rig.form, files);
                Form_Load(m);
                m.ProgMode = "append";
                m.ProgName = "start" + std::to_string(k);
                m.CmdString = "W";
                StoreProgram(m);
                _exit(m.ErrNum == 0 ? 0 : 1);
            }
            QVERIFY(::write(go[1], "!!", 2) == 2);
            for (pid_t start : starts) {
                int status = -1;
                ::waitpid(start, &status, 0);
                QCOMPARE(status, 0);
            }
            ::close(go[0]);
            ::close(go[1]);
            QFile file(QString::fromStdString(own));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray text = file.readAll();
            QString shown;
            // A save that comes between the making of the file and its first lines stands
            // before them.
            QVERIFY2(text.count(fresh) == 1 && text.contains("start0;W\r\n\r\n") &&
                         text.contains("start1;W\r\n\r\n") && text.size() == 52,
                     qPrintable((QDebug(&shown) << text, shown)));
        }
    }

    void panelClicks_data() { AddTableRows(QFINDTESTDATA("panel_clicks.txt")); }
    void panelClicks() {
        QFETCH(QByteArrayList, row);
        const QByteArray button = row[1].split(' ').first();
        const bool saving = button == "save";
        const Control list = saving ? Control::cboFile0 : Control::cboFile1;
        const Control pressed = saving               ? Control::cmdSave
                                : button == "delete" ? Control::cmdDel
                                                     : Control::cmdRecall;
        StoreRig s("\"\"\r\na;1\r\nb;2\r\n");
        FakeForm& form = s.rig.form;
        OpenPanel(form);
        form.setVisible(list, false);
        form.setText(Control::text1, row[4].toStdString());
        s.m.ProgName = "old";
        saving ? cmdSave_Click(s.m) : button == "delete" ? cmdDel_Click(s.m) : cmdRecall_Click(s.m);
        QCOMPARE(s.items(list), "a,b");
        QVERIFY(form.visible(list));
        for (Control c : kButtons) QCOMPARE(form.enabled(c), c == pressed);  // the others are locked
        if (saving)
            QCOMPARE(s.m.ProgMode + "/" + s.m.ProgName, "save/");
        else
            QCOMPARE(form.top(list), 1200);

        if (row[1].contains("exit")) {  // what Exit and "File" do to the panel's state
            s.m.ProgMode = "";
            s.m.ProgName = "";
            OpenPanel(form);
        }
        if (row[1].contains("vanish")) s.write("a;1");
        if (row[2].toInt() >= 0) {
            form.setListIndex(list, row[2].toInt());
            if (saving) cboFile0_Click(s.m);
        }
        if (row[3] != "-") form.at(list).text = row[3].toStdString();
        if (saving) {
            s.m.ErrNum = 12;  // left by an earlier action; must not stop the save
            cmdSave_Click(s.m);
        } else {
            cboFile1_Click(s.m);
        }
        QCOMPARE(QByteArray::fromStdString(form.text(Control::text1)), row[5]);
        QCOMPARE(s.contents(), row[6]);
        QCOMPARE(s.errors(), row.value(7, "0"));
        QVERIFY(!form.visible(Control::fraProgram) && !form.visible(list));
    }
};

ZR_TEST(ProgramStoreTest);
#include "test_program_store.moc"
