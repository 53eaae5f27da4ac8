#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

#include "cli/signal_pipe.h"

namespace zr::cli {

SignalPipe::SignalPipe(QObject* owner, std::function<void()> woken) {
    if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0) {
        fds_[0] = fds_[1] = -1;
        return;
    }
    auto* notifier = new QSocketNotifier(fds_[0], QSocketNotifier::Read, owner);
    const int readEnd = fds_[0];
    QObject::connect(notifier, &QSocketNotifier::activated, owner, [readEnd, woken = std::move(woken)] {
        char byte = 0;
        while (::read(readEnd, &byte, 1) == 1) {
        }
        woken();
    });
}

SignalPipe::~SignalPipe() {
    for (int& fd : fds_) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

void WakeFromHandler(int fd) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
    errno = saved;
}

}  // namespace zr::cli
