#include "live/delay_relay.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

// One side of a relayed connection: its socket and what waits to be written to it, each chunk
// with its time (an empty chunk: the other side ended).
struct Side {
    int fd = -1;
    std::deque<std::pair<Clock::time_point, std::string>> due;
    bool ended = false;
};

struct Connection {
    Side sides[2];  // the client, the server
};

}  // namespace

DelayRelay::DelayRelay(int targetPort, int delayMs) : targetPort_(targetPort), delayMs_(delayMs) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
        !thread_.start([this](int stop) { run(stop); }))
        return;
    port_ = ntohs(address.sin_port);
}

DelayRelay::~DelayRelay() {
    thread_.stop();
    if (listener_ >= 0) ::close(listener_);
}

void DelayRelay::run(int stop) {
    std::vector<Connection> connections;
    for (;;) {
        // Due chunks go out; a connection with either side's end crossed is closed.
        const Clock::time_point now = Clock::now();
        int waitMs = -1;
        for (auto it = connections.begin(); it != connections.end();) {
            bool closing = false;
            for (Side& side : it->sides) {
                while (!side.due.empty() && side.due.front().first <= now) {
                    const std::string& bytes = side.due.front().second;
                    closing = closing || bytes.empty();
                    if (!bytes.empty() && ::send(side.fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0)
                        closing = true;
                    side.due.pop_front();
                }
                if (!side.due.empty()) {
                    const auto left =
                        std::chrono::ceil<std::chrono::milliseconds>(side.due.front().first - now);
                    waitMs = waitMs < 0 ? int(left.count()) : std::min(waitMs, int(left.count()));
                }
            }
            if (closing) {
                for (Side& side : it->sides) ::close(side.fd);
                it = connections.erase(it);
            } else {
                ++it;
            }
        }
        std::vector<pollfd> polled{{stop, POLLIN, 0}, {listener_, POLLIN, 0}};
        for (Connection& connection : connections)
            for (Side& side : connection.sides)
                polled.push_back({side.fd, short(side.ended ? 0 : POLLIN), 0});
        if (::poll(polled.data(), polled.size(), waitMs) < 0) continue;
        if (polled[0].revents) break;
        if (polled[1].revents & POLLIN) {
            Connection connection;
            connection.sides[0].fd = ::accept(listener_, nullptr, nullptr);
            connection.sides[1].fd = ::socket(AF_INET, SOCK_STREAM, 0);
            const sockaddr_in target = Loopback(targetPort_);
            const int on = 1;
            for (Side& side : connection.sides)
                ::setsockopt(side.fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            if (::connect(connection.sides[1].fd, reinterpret_cast<const sockaddr*>(&target),
                          sizeof target) == 0) {
                connections.push_back(std::move(connection));
            } else {
                for (Side& side : connection.sides) ::close(side.fd);
            }
            continue;
        }
        std::size_t index = 2;
        for (Connection& connection : connections)
            for (int from = 0; from < 2; ++from, ++index) {
                if (!(polled[index].revents & (POLLIN | POLLHUP | POLLERR))) continue;
                char buffer[4096];
                const ssize_t count = ::recv(connection.sides[from].fd, buffer, sizeof buffer, 0);
                const Clock::time_point due = Clock::now() + std::chrono::milliseconds(delayMs_);
                connection.sides[1 - from].due.emplace_back(
                    due, std::string(buffer, count > 0 ? std::size_t(count) : 0));
                connection.sides[from].ended = count <= 0;
            }
    }
    for (Connection& connection : connections)
        for (Side& side : connection.sides) ::close(side.fd);
}
