#pragma once

#include <QObject>
#include <functional>

namespace zr::cli {

// A self-pipe for a signal: the handler writes a byte to the pipe (signalled(), safe in a
// handler), and the event loop of the owner's thread calls `woken` once for the bytes waiting.
class SignalPipe {
public:
    SignalPipe(QObject* owner, std::function<void()> woken);
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    // The end a handler writes to; -1 when no pipe could be made.
    int writeEnd() const { return fds_[1]; }

private:
    int fds_[2] = {-1, -1};
};

// Writes one byte to `fd` from a signal handler, keeping errno as it was.
void WakeFromHandler(int fd);

}  // namespace zr::cli
