#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <csignal>

#include "cli/exit_status.h"
#include "cli/interrupt.h"

namespace zr::cli {

namespace {

// The self-pipe: the signal handler writes one byte, the event loop reads it.
int gPipe[2] = {-1, -1};
volatile std::sig_atomic_t gRequested = 0;

// The first interrupt is told to the event loop; a second one, say while Stop is being sent to
// a pump that does not answer, ends the program at once with the interrupt's status.
void OnSignal(int) {
    if (gRequested != 0) {
        static const char kTold[] = "Interrupted again: ending at once\n";
        [[maybe_unused]] const ssize_t told = ::write(STDERR_FILENO, kTold, sizeof kTold - 1);
        ::_exit(kInterrupted);
    }
    gRequested = 1;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(gPipe[1], &byte, 1);
}

}  // namespace

Interrupt::Interrupt() {
    gRequested = 0;
    if (::pipe2(gPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
    auto* notifier = new QSocketNotifier(gPipe[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier] {
        char byte = 0;
        while (::read(gPipe[0], &byte, 1) == 1) {
        }
        notifier->setEnabled(false);
        emit interrupted();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    // A write or read that the signal interrupts goes on instead of failing with EINTR: the
    // output's checks would take that for a lost line.
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

Interrupt::~Interrupt() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    for (int& fd : gPipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
}

bool Interrupt::requested() const {
    return gRequested != 0;
}

}  // namespace zr::cli
