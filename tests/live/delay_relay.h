#pragma once

#include "live/service_thread.h"

// A TCP relay on a loopback port in front of another loopback port, holding each chunk it
// relays for a while in each direction: a far server, with a round trip of twice the delay.
// A connection's end crosses after the same delay.
class DelayRelay {
public:
    DelayRelay(int targetPort, int delayMs);
    ~DelayRelay();
    DelayRelay(const DelayRelay&) = delete;
    DelayRelay& operator=(const DelayRelay&) = delete;

    int port() const { return port_; }

private:
    void run(int stop);

    const int targetPort_;
    const int delayMs_;
    int listener_ = -1;
    int port_ = 0;
    ServiceThread thread_;
};
