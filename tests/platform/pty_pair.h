#pragma once

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <stdexcept>
#include <string>

#include "platform/serial/qt_serial_port.h"

// A pseudo-terminal pair: the adapter opens the slave side (through a COMn link), the test
// plays the far end on the master side.
class PtyPair {
public:
    PtyPair() {
        char name[256] = {};
        if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0)
            throw std::runtime_error("openpty failed");
        slaveName = name;
    }
    ~PtyPair() {
        hangUp();
        releaseSlave();
    }

    int slave() const { return slave_; }
    void send(const std::string& bytes) {
        if (::write(master_, bytes.data(), bytes.size()) != ssize_t(bytes.size()))
            throw std::runtime_error("write failed");
    }
    // Everything that arrives within `ms`, waiting no longer than needed for `expected` bytes.
    std::string receive(size_t expected, int ms = 2000) {
        QElapsedTimer waited;
        waited.start();
        std::string got;
        char buffer[512];
        for (pollfd query{master_, POLLIN, 0}; got.size() < expected && waited.elapsed() < ms;) {
            if (::poll(&query, 1, 10) != 1) continue;
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n <= 0) break;
            got.append(buffer, size_t(n));
        }
        return got;
    }
    // Leaves the slave side to whoever opens it by name: this program holds it no longer.
    void releaseSlave() {
        if (slave_ >= 0) ::close(slave_);
        slave_ = -1;
    }
    // The far end goes away: the slave side hangs up.
    void hangUp() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

    std::string slaveName;

private:
    int master_ = -1;
    int slave_ = -1;
};

// Makes `folder`/COM`number` a symbolic link to `target`.
inline void LinkPort(const QTemporaryDir& folder, int number, const std::string& target) {
    const QString link = folder.filePath(QString("COM%1").arg(number));
    QFile::remove(link);
    QFile::link(QString::fromStdString(target), link);
}

// An adapter on COM1 of a fresh program folder, linked to the slave side of `pty`.
struct LinkedPort {
    explicit LinkedPort(const PtyPair& pty) : port(folder.path()) { LinkPort(folder, 1, pty.slaveName); }
    QTemporaryDir folder;
    zr::QtSerialPort port;
};

// Polls the count (never the event loop) until it reaches `expected` or two seconds pass.
inline int CountOnceArrived(zr::QtSerialPort& port, int expected) {
    QElapsedTimer waited;
    waited.start();
    while (port.inBufferCount() < expected && waited.elapsed() < 2000) QThread::msleep(5);
    return port.inBufferCount();
}

// The baud rate and stop bits a terminal's line has (a pseudo-terminal always keeps 8 data bits
// and no parity), with " flow control" when any is on.
inline QString TerminalLine(int fd) {
    termios line{};
    if (::tcgetattr(fd, &line) != 0) return "unreadable";
    const std::pair<int, speed_t> speeds[] = {{1200, B1200}, {2400, B2400},   {4800, B4800},
                                              {9600, B9600}, {19200, B19200}, {38400, B38400}};
    int baud = 0;
    for (auto [rate, speed] : speeds)
        if (cfgetospeed(&line) == speed) baud = rate;
    const bool flow = (line.c_cflag & CRTSCTS) || (line.c_iflag & (IXON | IXOFF));
    return QString("%1 %2%3").arg(baud).arg(line.c_cflag & CSTOPB ? 2 : 1).arg(flow ? " flow control" : "");
}

// The read calls this process has made so far.
inline qint64 ReadCalls() {
    QFile io("/proc/self/io");
    if (!io.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("syscr:")) return line.mid(6).trimmed().toLongLong();
    return -1;
}
