#include <unistd.h>

#include <csignal>
#include <memory>

#include "cli/exit_status.h"
#include "cli/hangup.h"
#include "cli/interrupt.h"
#include "cli/signal_pipe.h"

namespace zr::cli {

namespace {

volatile std::sig_atomic_t gRequested = 0;
volatile std::sig_atomic_t gInterruptPipe = -1;
volatile std::sig_atomic_t gHangupPipe = -1;

// The first interrupt is told to the event loop; a second one, say while Stop is being sent to
// a pump that does not answer, ends the program at once with the interrupt's status.
void OnInterrupt(int) {
    if (gRequested != 0) {
        static const char kTold[] = "Interrupted again: ending at once\n";
        [[maybe_unused]] const ssize_t told = ::write(STDERR_FILENO, kTold, sizeof kTold - 1);
        ::_exit(kInterrupted);
    }
    gRequested = 1;
    WakeFromHandler(gInterruptPipe);
}

void OnHangup(int) {
    WakeFromHandler(gHangupPipe);
}

// A write or read that the signal interrupts goes on instead of failing with EINTR: the
// output's checks would take that for a lost line.
void Catch(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
}

}  // namespace

Interrupt::Interrupt() : pipe_(std::make_unique<SignalPipe>(this, [this] { emit interrupted(); })) {
    gRequested = 0;
    gInterruptPipe = pipe_->writeEnd();
    Catch(SIGINT, OnInterrupt);
    Catch(SIGTERM, OnInterrupt);
}

Interrupt::~Interrupt() {
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    gInterruptPipe = -1;
}

bool Interrupt::requested() const {
    return gRequested != 0;
}

Hangup::Hangup() : pipe_(std::make_unique<SignalPipe>(this, [this] { emit hungUp(); })) {
    gHangupPipe = pipe_->writeEnd();
    Catch(SIGHUP, OnHangup);
}

Hangup::~Hangup() {
    std::signal(SIGHUP, SIG_DFL);
    gHangupPipe = -1;
}

}  // namespace zr::cli
