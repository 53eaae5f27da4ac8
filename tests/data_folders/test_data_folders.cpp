#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "../e2e_window/modal_boxes.h"
#include "fakes/table_file.h"
#include "fakes/test_registry.h"
#include "platform/files/data_folders.h"
#include "shared/list_boxes.h"
#include "ui/program.h"

using zr::Control;

// Where the program keeps its data, looked at on real folders; a folder the program may not
// write is made so by its permissions, which needs an ordinary user (ctest runs this test as
// one when started by root).
class DataFoldersTest : public QObject {
    Q_OBJECT
private slots:
    void dataGoWhereTheProgramMayWrite_data() { zr::test::AddTableRows(QFINDTESTDATA("folders.txt")); }
    void dataGoWhereTheProgramMayWrite();
    void theFirstSaveMovesTheProgramFileToTheUser();
    void theCliReadsTheProgramFileTheWindowReads();
};

namespace {

void Write(const QString& path, const QByteArray& content) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void PutCommandLists(const QString& folder) {
    QDir().mkpath(folder);
    for (const zr::DeviceType& device : zr::DeviceTypes) Write(folder + "/" + device.file, "list\r\n");
}

// Takes write permission from the folder; false when the program could still write there.
bool Lock(const QString& folder) {
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    return !QFileInfo(folder).isWritable();
}

// A user whose home and data folder lie in `root`.
void BeUserIn(const QTemporaryDir& root, bool xdgSet) {
    qputenv("HOME", root.filePath("home").toLocal8Bit());
    xdgSet ? qputenv("XDG_DATA_HOME", root.filePath("xdg").toLocal8Bit()) : qunsetenv("XDG_DATA_HOME");
}

const char* const kLockedSkip =
    "a folder without write permission is still writable for this user (root): run as "
    "an ordinary user (ctest does so through setpriv)";

// A read-only program folder with the command lists and a programs.txt of its own, its user's
// data folder not made yet.
struct LockedProgram {
    QTemporaryDir root;
    QString bin = root.filePath("bin");
    QString earlier = bin + "/programs.txt";
    QString own = root.filePath("xdg/zadu-rovu/programs.txt");
    QByteArray earlierText = "\"\"\r\nInitialize syringe;W4R\r\nPrime;ZR\r\n";
    bool locked = false;

    // `executable` is copied into the program's folder.
    explicit LockedProgram(const QString& executable = {}) {
        PutCommandLists(bin);
        Write(earlier, earlierText);
        if (!executable.isEmpty()) QFile::copy(executable, bin + "/" + QFileInfo(executable).fileName());
        BeUserIn(root, true);
        locked = Lock(bin);
    }
    ~LockedProgram() { QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }
};

void Click(zr::Program& program, Control button) {
    QTest::mouseClick(qobject_cast<QAbstractButton*>(program.window().widget(button)), Qt::LeftButton);
}

void Save(zr::Program& program, const std::string& name, const std::string& command) {
    program.window().setText(Control::text1, command);
    Click(program, Control::cmdProgram);
    Click(program, Control::cmdSave);
    program.window().setText(Control::cboFile0, name);
    Click(program, Control::cmdSave);
}

QString ToolTip(zr::Program& program, Control control) {
    return program.window().widget(control)->toolTip();
}

}  // namespace

void DataFoldersTest::dataGoWhereTheProgramMayWrite() {
    QFETCH(QByteArrayList, row);
    QTemporaryDir root;
    const QString prefix = root.filePath("prefix"), bin = prefix + "/bin";
    // Expected places are written relative to the prefix (bin, share) or to the root.
    const auto place = [&](const QByteArray& field) {
        if (field.isEmpty()) return QString();
        const QString path = QString::fromLatin1(field);
        return (path.startsWith("bin") || path.startsWith("share") ? prefix : root.path()) + "/" + path;
    };
    QDir().mkpath(bin);
    if (row[2].contains("beside")) PutCommandLists(bin);
    if (row[2].contains("share")) PutCommandLists(prefix + "/share/zadu-rovu");
    if (row[3] == "yes") Write(bin + "/programs.txt", "\"\"\r\n");
    BeUserIn(root, row[4] == "set");
    if (row[1] == "no" && !Lock(bin)) QSKIP(kLockedSkip);

    const zr::DataFolders folders = zr::PrepareDataFolders(bin.toStdString());
    QFile::setPermissions(bin, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    QCOMPARE(QString::fromStdString(folders.program), bin);
    QCOMPARE(QDir::cleanPath(QString::fromStdString(folders.data)), place(row[5]));
    QCOMPARE(QDir::cleanPath(QString::fromStdString(folders.lists)), place(row[6]));
    QCOMPARE(QString::fromStdString(folders.earlierPrograms), place(row.value(7)));
    QVERIFY(QFileInfo(QString::fromStdString(folders.data)).isDir());
}

// The program file beside a read-only program is read until the first change, which is
// written to the user's own file and told once; the file beside the program stays as it was.
void DataFoldersTest::theFirstSaveMovesTheProgramFileToTheUser() {
    LockedProgram locked;
    if (!locked.locked) QSKIP(kLockedSkip);
    const QStringList installed = QDir(locked.bin).entryList(QDir::Files);
    ModalBoxes boxes;
    zr::Program program(locked.bin);
    QVERIFY(boxes.seen.isEmpty());
    QVERIFY(!QFile::exists(locked.own));
    QCOMPARE(ToolTip(program, Control::cmdProgram),
             "Save, recall or delete named command strings, kept in " + locked.own);
    QVERIFY(ToolTip(program, Control::cboPort)
                .contains(" in " + locked.root.filePath("xdg/zadu-rovu") + " where"));

    Click(program, Control::cmdProgram);
    Click(program, Control::cmdRecall);
    auto* names = qobject_cast<QComboBox*>(program.window().widget(Control::cboFile1));
    QCOMPARE(names->count(), 2);
    QCOMPARE(names->itemText(1), "Prime");
    Click(program, Control::cmdExitProgram);

    Save(program, "Fill", "A3000R");
    QTRY_COMPARE(boxes.seen.size(), 1);
    QCOMPARE(boxes.seen[0], "Zadu Rovu: Saved command strings are kept in " + locked.own +
                                " from now on.  The program's folder cannot be written, so " +
                                locked.earlier + ", which they were read from until now, stays as it was.");
    QCOMPARE(Read(locked.own), locked.earlierText + "Fill;A3000R\r\n\r\n");
    QCOMPARE(Read(locked.earlier), locked.earlierText);

    Save(program, "Empty", "A0R");
    QTest::qWait(50);
    QCOMPARE(boxes.seen.size(), 1);
    QCOMPARE(Read(locked.own), locked.earlierText + "Fill;A3000R\r\n\r\nEmpty;A0R\r\n\r\n");
    QCOMPARE(QDir(locked.bin).entryList(QDir::Files), installed);
}

// zadu-rovu-cli run --program finds the program in the read-only folder's programs.txt, then
// fails only for want of a port.
void DataFoldersTest::theCliReadsTheProgramFileTheWindowReads() {
    LockedProgram locked(ZR_CLI);
    if (!locked.locked) QSKIP(kLockedSkip);
    QProcess cli;
    cli.start(locked.bin + "/zadu-rovu-cli",
              {"run", "--port", "/nonexistent-zadu-rovu-device", "--program", "Initialize syringe"});
    QVERIFY(cli.waitForFinished(10000));
    const QString told = QString::fromLocal8Bit(cli.readAllStandardError());
    QCOMPARE(cli.exitCode(), 2);
    QVERIFY2(told.contains("/nonexistent-zadu-rovu-device"), qPrintable(told));
    QVERIFY(!QFile::exists(locked.own));
}

ZR_TEST(DataFoldersTest);
#include "test_data_folders.moc"
