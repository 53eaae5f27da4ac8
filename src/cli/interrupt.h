#pragma once

#include <QObject>

namespace zr::cli {

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
};

}  // namespace zr::cli
