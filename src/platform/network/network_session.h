#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "platform/line/line.h"
#include "platform/network/network_name.h"
#include "platform/network/network_reasons.h"

struct gensio;
struct gensio_os_funcs;
struct gensio_timer;
struct gensio_waiter;
struct sergensio;
using gensiods = unsigned long;

namespace zr {

// One network connection as gensio keeps it, on the service thread that run() is: the opening
// in its steps (connect, TLS, telnet, line settings), each with a time limit, then the bytes
// both ways. Other threads hand it work with post() and read its state and the bytes received
// under its lock; it never calls gensio while holding that lock, since gensio calls back.
// gensio may call a connection's callbacks from any thread that waits in the process-wide os
// handler: a session whose close has not ended keeps itself alive until gensio says closed.
// Made with std::make_shared (the lookup and the close hold it).
class NetworkSession : public std::enable_shared_from_this<NetworkSession> {
public:
    enum class State { Opening, Open, Failed, Gone };

    // `ended` is called on the service thread once the opening has succeeded or failed.
    NetworkSession(NetworkName name, LineOptions options, gensio_os_funcs* os, std::function<void()> ended);
    ~NetworkSession();
    NetworkSession(const NetworkSession&) = delete;
    NetworkSession& operator=(const NetworkSession&) = delete;

    // The service thread: runs posted work, and gensio while there is none, until stop() has
    // been posted and the connection is closed. Sleeps while nothing happens.
    void run();
    void post(std::function<void()> work);

    // Work to post.
    void start();
    void send(const std::string& bytes);
    void resumeReading();
    void fail(const std::string& reason);  // ends an opening that is still going on
    void stop();

    // For any thread.
    State state() const;
    std::string reason() const;  // why the opening failed, or why the connection went away
    std::size_t waiting() const;
    bool waitForInput(int milliseconds);
    std::string take(std::size_t most);
    double roundTrip() const;  // the longest round trip seen while opening, in seconds
    // The opening failed, or the line went, because the server closed the connection.
    bool closedByServer() const;

private:
    using Clock = std::chrono::steady_clock;

    static int Event(gensio* io, void* self, int event, int err, unsigned char* buffer, gensiods* length,
                     const char* const* auxiliary);
    static void Opened(gensio* io, int err, void* self);
    static void Closed(gensio* io, void* self);
    static void TimeIsUp(gensio_timer* timer, void* self);
    template <int Setting>
    static void SettingDone(sergensio* sio, int err, unsigned int value, void* self);

    void begin(OpeningStep step, double seconds);
    void startTimer(double seconds);
    void stopTimer();
    void timeIsUp(unsigned round);
    void lookedUp(gensio* io, int err);
    void opened(int err);
    void awaitServed();
    void fault(int err);
    void stack(OpeningStep step, const std::string& layer);
    void applySettings();
    void askSetting(int setting);
    unsigned int asked(int setting) const;
    void settingDone(int setting, int err, unsigned int value);
    void ready();
    int checkCertificate(gensio* tls, int err, const char* problem);
    void received(int err, const unsigned char* bytes, gensiods* length);
    void flush();
    void lost(int err);
    void close();
    void end(State state, const std::string& reason);
    double negotiationSeconds() const;
    std::string failureOf(int err) const;

    // Set at construction.
    const NetworkName name_;
    const LineOptions options_;
    gensio_os_funcs* const os_;
    const std::function<void()> ended_;
    gensio_waiter* waiter_ = nullptr;
    gensio_timer* timer_ = nullptr;

    // The service thread's own.
    gensio* io_ = nullptr;  // the topmost layer
    OpeningStep step_ = OpeningStep::Lookup;
    Clock::time_point stepStart_;
    std::string certificateProblem_;
    int settingsLeft_ = 0;   // line settings not yet confirmed
    bool together_ = false;  // all asked at once
    std::string outgoing_;

    // Shared, under mutex_.
    mutable std::mutex mutex_;
    std::condition_variable arrived_;
    std::deque<std::function<void()>> work_;
    bool stopping_ = false;
    State state_ = State::Opening;
    std::string reason_;
    std::string received_;
    bool readingPaused_ = false;
    double roundTrip_ = 0;
    bool serverClosed_ = false;
    gensio* closingIo_ = nullptr;                // the connection being closed
    bool closeCut_ = false;                      // its close waited too long: the service thread may end
    std::shared_ptr<NetworkSession> keepAlive_;  // while closingIo_ may still call back

    // Counts the timer's starts and stops: a time-out posted before the latest is stale.
    std::atomic<unsigned> timerRound_{0};
};

}  // namespace zr
