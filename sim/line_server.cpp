#include "line_server.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>

#include "hex.h"

namespace pumpsim {

namespace {

constexpr double kHangUpPause = 0.1;

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

LineServer::LineServer(const Options& options, int master, int stop)
    : options_(options),
      master_(master),
      stop_(stop),
      bus_(options.addresses, options.ports),
      outgoing_(options.dribbleMs / 1000.0) {}

void LineServer::Log(const char* direction, const std::string& bytes) {
    std::printf("%s %s\n", direction, HexBytes(bytes).c_str());
    std::fflush(stdout);
}

void LineServer::Run() {
    const Outgoing::Writer write = [this](const char* bytes, std::size_t count) -> long {
        return ::write(master_, bytes, count);
    };
    for (;;) {
        const double now = Now();
        const bool quiet = now < quietUntil_;
        int timeout = outgoing_.WaitMs(now);
        if (quiet) {
            const int pause = static_cast<int>((quietUntil_ - now) * 1000.0) + 1;
            timeout = timeout < 0 ? pause : std::min(timeout, pause);
        }
        pollfd fds[2] = {{stop_, POLLIN, 0}, {master_, static_cast<short>(quiet ? 0 : POLLIN), 0}};
        const int ready = poll(fds, quiet ? 1 : 2, timeout);
        if (ready < 0 && errno != EINTR) return;
        if (fds[0].revents != 0) return;
        if (!quiet && fds[1].revents != 0) Receive(Now());
        for (const std::string& reply : outgoing_.WriteDue(Now(), write)) Log("tx", reply);
    }
}

void LineServer::Receive(double now) {
    char buffer[4096];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) {
        // No client on the slave side: wait for one without spinning.
        if (n == 0 || (errno != EAGAIN && errno != EINTR)) quietUntil_ = now + kHangUpPause;
        return;
    }
    parser_.Feed(std::string_view(buffer, static_cast<std::size_t>(n)), now);
    while (auto frame = parser_.Next()) {
        Log("rx", frame->raw);
        if (options_.silent) continue;
        if (auto reply = bus_.Answer(*frame, now, options_.badChecksum)) {
            outgoing_.Schedule(Distort(std::move(*reply), frame->framing, options_.faults),
                               now + options_.lateMs / 1000.0);
        }
    }
}

}  // namespace pumpsim
