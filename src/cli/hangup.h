#pragma once

#include <QObject>
#include <memory>

namespace zr::cli {

class SignalPipe;

// Turns each SIGHUP (a service manager's reload) into the `hungUp` signal, delivered by the
// event loop, for as long as it lives.
class Hangup : public QObject {
    Q_OBJECT
public:
    Hangup();
    ~Hangup() override;

signals:
    void hungUp();

private:
    std::unique_ptr<SignalPipe> pipe_;
};

}  // namespace zr::cli
