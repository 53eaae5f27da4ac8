#pragma once

#include <QObject>
#include <memory>
#include <thread>

#include "platform/line/line.h"

class QEventLoop;

namespace zr {

class NetworkSession;

// A line to a serial port that a server shares over the network (ser2net, a serial device
// server), through gensio: raw TCP, or telnet with RFC 2217 com-port control, either of them
// over TLS. gensio runs on a service thread of the line's own, which waits in gensio without
// polling and takes in what arrives, so that a server that closes the connection is seen at
// once, with no event loop running; the window's thread only hands it work and reads what came.
// Opening waits for the connection while letting window events run, so that a far or dead host
// freezes nothing; it gives up after a few seconds.
class NetworkLine : public Line {
public:
    ~NetworkLine() override;

    // `target` is a network name (see network_name.h).
    std::string open(const std::string& target, const LineOptions& options) override;
    bool isOpen() const override;
    void write(const std::string& bytes) override;
    qint64 available() override;
    bool waitForInput(int milliseconds) override;
    std::string read(qint64 most) override;
    std::string goneReason() const override;
    double replyDelay() const override;

private:
    std::shared_ptr<NetworkSession> session_;
    std::thread service_;
    QObject waker_;  // takes the service thread's word that the opening has ended
    QEventLoop* opening_ = nullptr;
};

}  // namespace zr
