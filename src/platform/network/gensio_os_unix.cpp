#include <gensio/gensio.h>
#include <signal.h>

#include <mutex>

#include "platform/network/gensio_os.h"

namespace zr {

namespace {

// gensio wakes a thread waiting in it with this signal; it must have a handler, and be
// blocked in the threads that wait, which unblock it only while they wait.
constexpr int kWakeSignal = SIGUSR1;

void Ignore(int) {}

// gensio's own log lines are dropped: each failure reaches the operator as a reason of ours.
void DropLog(gensio_os_funcs*, gensio_log_levels, const char*, va_list) {}

}  // namespace

gensio_os_funcs* GensioOs() {
    static gensio_os_funcs* os = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        // A write to a connection the server has just closed must fail, not end the program.
        ::signal(SIGPIPE, SIG_IGN);
        struct sigaction current {};
        if (::sigaction(kWakeSignal, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) {
            struct sigaction wake {};
            wake.sa_handler = Ignore;
            ::sigaction(kWakeSignal, &wake, nullptr);
        }
        // gensio blocks the signal in the thread that sets it up; this thread never waits in
        // gensio, so it keeps its own mask (and programs it starts do not inherit the block).
        sigset_t mask;
        ::pthread_sigmask(SIG_SETMASK, nullptr, &mask);
        if (gensio_default_os_hnd(kWakeSignal, &os) != 0) os = nullptr;
        ::pthread_sigmask(SIG_SETMASK, &mask, nullptr);
        if (os) gensio_os_funcs_set_vlog(os, DropLog);
    });
    return os;
}

void BecomeGensioThread() {
    sigset_t wake;
    sigemptyset(&wake);
    sigaddset(&wake, kWakeSignal);
    ::pthread_sigmask(SIG_BLOCK, &wake, nullptr);
}

}  // namespace zr
