#include <QtTest>
#include <filesystem>
#include <fstream>

#include "fakes/test_registry.h"
#include "platform/port_device.h"
#include "pty_pair.h"

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

using namespace zr;

void PortDeviceTest::withoutALinkPortsAreTheBuiltInLines_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM1") << 1 << "/dev/ttyS0";
    QTest::newRow("COM2") << 2 << "/dev/ttyS1";
    QTest::newRow("COM4") << 4 << "/dev/ttyS3";
}

void PortDeviceTest::withoutALinkPortsAreTheBuiltInLines() {
    QFETCH(int, number);
    QFETCH(QString, device);
    QTemporaryDir folder;
    const PortDevice port = ComPortDevice(number, folder.path());
    QCOMPARE(port.path, device);
    QCOMPARE(QString::fromStdString(port.shown), device);
}

void PortDeviceTest::aLinkInTheProgramFolderIsFollowedToItsDevice() {
    QTemporaryDir folder;
    PtyPair pty;
    LinkPort(folder.path().toStdString(), 2, pty.slaveName());
    const PortDevice port = ComPortDevice(2, folder.path());
    QCOMPARE(port.path.toStdString(), pty.slaveName());
    QCOMPARE(port.shown, folder.path().toStdString() + "/COM2 -> " + pty.slaveName());
    QCOMPARE(DeviceProblem(port), std::string());
    QCOMPARE(ComPortDevice(1, folder.path()).path, QString("/dev/ttyS0"));
}

void PortDeviceTest::aRelativeLinkIsFollowedFromTheProgramFolder() {
    QTemporaryDir folder;
    PtyPair pty;
    const std::string target = "../../../../../../../../../.." + pty.slaveName();
    LinkPort(folder.path().toStdString(), 3, target);
    QCOMPARE(ComPortDevice(3, folder.path()).path.toStdString(), pty.slaveName());
}

void PortDeviceTest::aDanglingLinkIsAMissingDevice() {
    QTemporaryDir folder;
    LinkPort(folder.path().toStdString(), 1, "/dev/pts/no-such-terminal");
    const PortDevice port = ComPortDevice(1, folder.path());
    QCOMPARE(port.path, QString("/dev/pts/no-such-terminal"));
    QCOMPARE(port.shown, folder.path().toStdString() + "/COM1 -> /dev/pts/no-such-terminal");
    QCOMPARE(DeviceProblem(port), std::string("no such device"));
}

void PortDeviceTest::aPlainFileIsNotASerialDevice() {
    QTemporaryDir folder;
    const std::string file = folder.path().toStdString() + "/COM1";
    std::ofstream(file) << "not a line";
    const PortDevice port = ComPortDevice(1, folder.path());
    QCOMPARE(port.path.toStdString(), file);
    QCOMPARE(DeviceProblem(port), std::string("not a serial device"));
}

ZR_TEST(PortDeviceTest);
#include "test_port_device.moc"
