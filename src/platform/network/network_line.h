#pragma once

#include <QObject>
#include <memory>
#include <thread>

#include "platform/line/line.h"

class QEventLoop;
struct gensio_os_funcs;

namespace zr {

class NetworkSession;
struct NetworkName;

// A line to a serial port that a server shares over the network (ser2net, a serial device
// server), through gensio: raw TCP, or telnet with RFC 2217 com-port control, either of them
// over TLS. gensio runs on a service thread of the line's own, which waits in gensio without
// polling and takes in what arrives, so that a server that closes the connection is seen at
// once, with no event loop running; the window's thread only hands it work and reads what came.
// Opening waits for the connection while letting window events run, so that a far or dead host
// freezes nothing; it gives up after a few seconds. A fresh connection that the server closes at
// once (one still busy with its last client) is tried once more.
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
    bool attemptOpening(const NetworkName& name, const LineOptions& options, gensio_os_funcs* os);
    void end();  // stops the service thread and lets the session go

    std::shared_ptr<NetworkSession> session_;
    std::thread service_;
    QObject waker_;  // takes the service thread's word that the opening has ended
    QEventLoop* opening_ = nullptr;
};

}  // namespace zr
