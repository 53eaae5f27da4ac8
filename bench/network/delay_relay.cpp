#include "delay_relay.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <deque>
#include <string>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    return address;
}

}  // namespace

DelayRelay::DelayRelay(int serverPort, double delay) : serverPort_(serverPort), delay_(delay) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::listen(listener_, 4);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

DelayRelay::~DelayRelay() {
    stop_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
}

void DelayRelay::run() {
    while (!stop_) {
        const int client = ::accept(listener_, nullptr, nullptr);
        if (client < 0) return;
        relay(client);
        ::close(client);
    }
}

// Until either side closes: the client's bytes go on as they come, the server's wait in a queue
// until they are due.
void DelayRelay::relay(int client) {
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    const sockaddr_in address = Loopback(serverPort_);
    const int on = 1;
    ::setsockopt(server, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    if (::connect(server, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        ::close(server);
        return;
    }
    std::deque<std::pair<Clock::time_point, std::string>> held;
    const auto delay = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(delay_));
    bool serverOpen = true;
    while (!stop_ && (serverOpen || !held.empty())) {
        int wait = 100;
        if (!held.empty())
            wait = std::max<int>(
                0,
                int(std::chrono::duration_cast<std::chrono::milliseconds>(held.front().first - Clock::now())
                        .count()));
        pollfd ends[] = {{client, POLLIN, 0}, {server, short(serverOpen ? POLLIN : 0), 0}};
        ::poll(ends, 2, wait);
        char bytes[4096];
        if (ends[0].revents) {
            const ssize_t n = ::read(client, bytes, sizeof bytes);
            if (n <= 0) break;
            ::write(server, bytes, size_t(n));
        }
        if (ends[1].revents) {
            const ssize_t n = ::read(server, bytes, sizeof bytes);
            if (n <= 0)
                serverOpen = false;
            else
                held.emplace_back(Clock::now() + delay, std::string(bytes, size_t(n)));
        }
        while (!held.empty() && held.front().first <= Clock::now()) {
            ::write(client, held.front().second.data(), held.front().second.size());
            held.pop_front();
        }
    }
    ::close(server);
}
