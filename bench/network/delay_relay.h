#pragma once

#include <atomic>
#include <thread>

// A TCP relay on loopback that holds what the server sends back for a while, as a far network
// would: one connection at a time, the client's bytes passed on at once, the server's `delay`
// seconds later.
class DelayRelay {
public:
    DelayRelay(int serverPort, double delay);
    ~DelayRelay();
    int port() const { return port_; }

private:
    void run();
    void relay(int client);

    int listener_ = -1;
    int port_ = 0;
    int serverPort_;
    double delay_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
