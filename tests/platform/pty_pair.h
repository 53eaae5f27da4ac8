#pragma once

#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <stdexcept>
#include <string>

#include "platform/qt_serial_port.h"

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
