#include "line_server.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

#include "line_speed.h"
#include "shared/hex_bytes.h"

namespace pumpsim {

namespace {

constexpr double kHangUpPause = 0.1;

double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

LineServer::LineServer(const Options& options, int master, int stop)
    : options_(options), master_(master), stop_(stop), bus_(options.pumps) {}

void LineServer::Log(const char* direction, const std::string& bytes, const std::string& note) {
    std::printf("%s %s%s\n", direction, zr::HexBytes(bytes).c_str(), note.c_str());
    std::fflush(stdout);
}

double LineServer::ByteSeconds(int baud) const {
    const double wire = options_.wireTime && baud > 0 ? 10.0 / baud : 0.0;
    return std::max(wire, options_.dribbleMs / 1000.0);
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
    const int baud = LineBaud(master_);
    const double byte = ByteSeconds(baud);
    parser_.Feed(std::string_view(buffer, static_cast<std::size_t>(n)), now);
    while (auto frame = parser_.Next()) {
        Log("rx", frame->raw, " at " + std::to_string(baud) + " baud");
        if (options_.silent) continue;
        if (auto reply = bus_.Answer(*frame, now, baud, options_.badChecksum)) {
            const double onTheWire =
                options_.wireTime ? static_cast<double>(frame->raw.size() + 1) * byte : 0.0;
            outgoing_.Schedule(Distort(std::move(*reply), frame->framing, options_.faults),
                               now + onTheWire + options_.lateMs / 1000.0, byte);
        }
    }
}

}  // namespace pumpsim
