#include <QtTest>
#include <fstream>

#include "fakes/test_registry.h"
#include "platform/port_device.h"
#include "pty_pair.h"

using namespace zr;

class PortDeviceTest : public QObject {
    Q_OBJECT
private slots:
    void withoutALinkPortsAreTheBuiltInLines() {
        QTemporaryDir folder;
        for (int number : {1, 2, 4}) {
            const PortDevice port = ComPortDevice(number, folder.path());
            QCOMPARE(port.path, QString("/dev/ttyS%1").arg(number - 1));
            QCOMPARE(QString::fromStdString(port.shown), port.path);
        }
    }

    void aLinkInTheProgramFolderIsFollowedToItsDevice() {
        QTemporaryDir folder;
        PtyPair pty;
        LinkPort(folder.path().toStdString(), 2, pty.slaveName());
        LinkPort(folder.path().toStdString(), 3, "../../../../../../../../../.." + pty.slaveName());
        const PortDevice port = ComPortDevice(2, folder.path());
        QCOMPARE(port.path.toStdString(), pty.slaveName());
        QCOMPARE(port.shown, folder.path().toStdString() + "/COM2 -> " + pty.slaveName());
        QCOMPARE(DeviceProblem(port), "");
        QCOMPARE(ComPortDevice(3, folder.path()).path.toStdString(),
                 pty.slaveName());  // relative to the folder
        QCOMPARE(ComPortDevice(1, folder.path()).path, "/dev/ttyS0");
    }

    void aDanglingLinkOrAPlainFileIsNoDevice() {
        QTemporaryDir folder;
        LinkPort(folder.path().toStdString(), 1, "/dev/pts/no-such-terminal");
        const PortDevice port = ComPortDevice(1, folder.path());
        QCOMPARE(port.path, "/dev/pts/no-such-terminal");
        QCOMPARE(port.shown, folder.path().toStdString() + "/COM1 -> /dev/pts/no-such-terminal");
        QCOMPARE(DeviceProblem(port), "no such device");
        const std::string file = folder.path().toStdString() + "/COM2";
        std::ofstream(file) << "not a line";
        QCOMPARE(ComPortDevice(2, folder.path()).path.toStdString(), file);
        QCOMPARE(DeviceProblem(ComPortDevice(2, folder.path())), "not a serial device");
    }
};

ZR_TEST(PortDeviceTest);
#include "test_port_device.moc"
