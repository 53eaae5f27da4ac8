#pragma once

#include <QObject>

namespace zr::cli {

// Turns the first interrupt (Ctrl-C, SIGINT) into the `interrupted` signal, delivered by the
// event loop; a second interrupt ends the program at once, as usual.
class Interrupt : public QObject {
    Q_OBJECT
public:
    Interrupt();
    ~Interrupt() override;

signals:
    void interrupted();
};

}  // namespace zr::cli
