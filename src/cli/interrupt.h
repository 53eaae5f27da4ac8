#pragma once

#include <QObject>
#include <memory>

namespace zr::cli {

class SignalPipe;

// Turns the first interrupt (Ctrl-C, SIGINT, or SIGTERM) into requested() and the
// `interrupted` signal, delivered by the event loop; a second one ends the program at once
// with kInterrupted.
class Interrupt : public QObject {
    Q_OBJECT
public:
    Interrupt();
    ~Interrupt() override;

    bool requested() const;

signals:
    void interrupted();

private:
    std::unique_ptr<SignalPipe> pipe_;
};

}  // namespace zr::cli
