#include "platform/network/network_session.h"

#include <gensio/gensio.h>
#include <gensio/sergensio.h>

#include <algorithm>
#include <thread>
#include <utility>

#include "platform/network/gensio_os.h"
#include "platform/network/network_reasons.h"

namespace zr {

namespace {

// How long the lookup and connecting may take together, and each later step at least (TLS
// handshake, telnet negotiation, line settings: a few round trips each).
constexpr double kConnectSeconds = 3.0;
constexpr double kLeastStepSeconds = 1.0;
constexpr double kRoundTripsPerStep = 5.0;
// How long a close may wait for the server.
constexpr double kCloseSeconds = 1.0;
// Reading pauses while this much waits unread (a server that never stops sending).
constexpr std::size_t kMostWaiting = std::size_t(1) << 20;
// Baud rate, data bits, parity, stop bits.
constexpr int kSettings = 4;
// A server whose connection took this long (seconds) is asked for all of them at once.
constexpr double kFarRoundTrip = 0.01;
// How long a raw connection waits to see that the server keeps it, besides two round trips.
constexpr double kServedSeconds = 0.05;

// A gensio not yet opened, freed unless taken.
void FreeUnopened(gensio** io) {
    if (*io) gensio_free(*io);
    delete io;
}

gensio_time TimeOf(double seconds) {
    const auto whole = static_cast<std::int64_t>(seconds);
    return {whole, static_cast<std::int32_t>((seconds - double(whole)) * 1e9)};
}

unsigned int ParityCode(QSerialPort::Parity parity) {
    switch (parity) {
        case QSerialPort::OddParity:
            return SERGENSIO_PARITY_ODD;
        case QSerialPort::EvenParity:
            return SERGENSIO_PARITY_EVEN;
        case QSerialPort::MarkParity:
            return SERGENSIO_PARITY_MARK;
        case QSerialPort::SpaceParity:
            return SERGENSIO_PARITY_SPACE;
        default:
            return SERGENSIO_PARITY_NONE;
    }
}

// RFC 2217 numbers 1.5 stop bits 3.
unsigned int StopBitsCode(QSerialPort::StopBits stopBits) {
    return stopBits == QSerialPort::OneAndHalfStop ? 3 : static_cast<unsigned int>(stopBits);
}

}  // namespace

NetworkSession::NetworkSession(NetworkName name, LineOptions options, gensio_os_funcs* os,
                               std::function<void()> ended)
    : name_(std::move(name)),
      options_(std::move(options)),
      os_(os),
      ended_(std::move(ended)),
      waiter_(gensio_os_funcs_alloc_waiter(os)),
      timer_(gensio_os_funcs_alloc_timer(os, TimeIsUp, this)) {}

NetworkSession::~NetworkSession() {
    if (timer_) {
        gensio_os_funcs_stop_timer(os_, timer_);
        gensio_os_funcs_free_timer(os_, timer_);
    }
    if (waiter_) gensio_os_funcs_free_waiter(os_, waiter_);
}

void NetworkSession::run() {
    BecomeGensioThread();
    for (;;) {
        std::function<void()> work;
        {
            std::lock_guard lock(mutex_);
            if (!work_.empty()) {
                work = std::move(work_.front());
                work_.pop_front();
            } else if (stopping_ && !io_ && (!closingIo_ || closeCut_)) {
                return;
            }
        }
        if (work)
            work();
        else
            gensio_os_funcs_wait(os_, waiter_, 1, nullptr);
    }
}

void NetworkSession::post(std::function<void()> work) {
    {
        std::lock_guard lock(mutex_);
        work_.push_back(std::move(work));
    }
    gensio_os_funcs_wake(os_, waiter_);
}

// The steps of an opening. Each begins with its own time limit; Opened() ends it and begins
// the next, until the line is ready.

void NetworkSession::begin(OpeningStep step, double seconds) {
    step_ = step;
    stepStart_ = Clock::now();
    startTimer(seconds);
}

void NetworkSession::startTimer(double seconds) {
    stopTimer();
    gensio_time limit = TimeOf(seconds);
    gensio_os_funcs_start_timer(os_, timer_, &limit);
}

void NetworkSession::stopTimer() {
    gensio_os_funcs_stop_timer(os_, timer_);
    ++timerRound_;
}

// The host is looked up on a thread of its own (the resolver cannot be interrupted), within the
// connection's time limit: a name server that does not answer holds neither the opening past
// it nor this session's thread, which a closing program waits for.
void NetworkSession::start() {
    if (!waiter_ || !timer_) return end(State::Failed, "the network library has no room to work");
    begin(OpeningStep::Lookup, kConnectSeconds);
    std::thread([weak = weak_from_this(), os = os_, tcp = GensioTcp(name_), self = this] {
        gensio* io = nullptr;
        const int err = str_to_gensio(tcp.c_str(), os, Event, self, &io);
        const std::shared_ptr<gensio*> held(new gensio*(err == 0 ? io : nullptr), FreeUnopened);
        if (const auto session = weak.lock())
            session->post([self, held, err] { self->lookedUp(std::exchange(*held, nullptr), err); });
    }).detach();
}

void NetworkSession::lookedUp(gensio* io, int err) {
    if (state() != State::Opening) {
        if (io) gensio_free(io);
        return;
    }
    if (err != 0) return end(State::Failed, failureOf(err));
    io_ = io;
    // The lookup's time limit goes on; the round trip is the connection's alone.
    step_ = OpeningStep::Connect;
    stepStart_ = Clock::now();
    if (const int err = gensio_open(io_, Opened, this); err != 0) end(State::Failed, failureOf(err));
}

// gensio's callbacks only hand the step on: it goes on from the service thread's own loop,
// outside gensio's callback (where a further request of a layer still opening is not sent).
void NetworkSession::Opened(gensio*, int err, void* self) {
    auto* session = static_cast<NetworkSession*>(self);
    session->post([session, err] { session->opened(err); });
}

void NetworkSession::opened(int err) {
    if (state() != State::Opening) return;  // given up meanwhile
    if (err != 0) return fault(err);
    switch (step_) {
        case OpeningStep::Connect: {
            std::lock_guard lock(mutex_);
            roundTrip_ = std::chrono::duration<double>(Clock::now() - stepStart_).count();
        }
            if (name_.tls) return stack(OpeningStep::Tls, GensioTls(name_));
            [[fallthrough]];
        case OpeningStep::Tls:
            if (name_.rfc2217) return stack(OpeningStep::Telnet, "telnet(rfc2217)");
            return awaitServed();
        case OpeningStep::Telnet:
            // The server's confirmations come in with the data: reading goes on from here.
            gensio_set_read_callback_enable(io_, true);
            return applySettings();
        default:
            return;
    }
}

// A busy server (ser2net still closing the device for its last client) takes a raw connection
// and closes it at once; seen during the opening, that is the server's close, tried again.
void NetworkSession::awaitServed() {
    begin(OpeningStep::Served, kServedSeconds + 2 * roundTrip());
    gensio_set_read_callback_enable(io_, true);
}

void NetworkSession::stack(OpeningStep step, const std::string& layer) {
    begin(step, negotiationSeconds());
    gensio* upper = nullptr;
    if (const int err = str_to_gensio_child(io_, layer.c_str(), os_, Event, this, &upper); err != 0)
        return end(State::Failed, failureOf(err));
    io_ = upper;
    if (const int err = gensio_open_nochild(io_, Opened, this); err != 0) end(State::Failed, failureOf(err));
}

// Asks the remote port for the window's line settings and waits until each is confirmed. Only
// these: a server on a pseudo-terminal never confirms modem lines. The baud rate goes first, and
// its confirmation tells the round trip. On a near server the rest follow one after the other,
// so that each confirmation leaves it at once (a server holds small answers back while one is
// unacknowledged, which delays a burst of them by the peer's delayed acknowledgement, some
// 40 ms); on a far one they go together, in one round trip instead of three.
void NetworkSession::applySettings() {
    begin(OpeningStep::Settings, negotiationSeconds());
    settingsLeft_ = kSettings;
    askSetting(0);
}

void NetworkSession::askSetting(int setting) {
    if (!io_) return;  // an earlier request failed at once and closed the connection
    static constexpr sergensio_done kDone[] = {SettingDone<0>, SettingDone<1>, SettingDone<2>,
                                               SettingDone<3>};
    static constexpr int (*kAsk[])(sergensio*, unsigned int, sergensio_done, void*) = {
        sergensio_baud, sergensio_datasize, sergensio_parity, sergensio_stopbits};
    sergensio* sio = gensio_to_sergensio(io_);
    const int err = sio ? kAsk[setting](sio, asked(setting), kDone[setting], this) : GE_NOTSUP;
    if (err != 0 && state() == State::Opening) end(State::Failed, failureOf(err));
}

unsigned int NetworkSession::asked(int setting) const {
    const LineSettings& line = options_.line;
    const unsigned int values[] = {static_cast<unsigned int>(line.baud),
                                   static_cast<unsigned int>(line.dataBits), ParityCode(line.parity),
                                   StopBitsCode(line.stopBits)};
    return values[setting];
}

template <int Setting>
void NetworkSession::SettingDone(sergensio*, int err, unsigned int value, void* self) {
    auto* session = static_cast<NetworkSession*>(self);
    session->post([session, err, value] { session->settingDone(Setting, err, value); });
}

void NetworkSession::settingDone(int setting, int err, unsigned int value) {
    if (state() != State::Opening) return;
    if (err != 0) return end(State::Failed, failureOf(err));
    const char* what[] = {"baud rate", "data bits", "parity", "stop bits"};
    if (value != asked(setting))
        return end(State::Failed, HostAndPort(name_) + " kept its serial port at " + what[setting] + " " +
                                      std::to_string(value) + " where " + std::to_string(asked(setting)) +
                                      " was asked: that port may not take it");
    if (setting == 0) {
        // One round trip: a longer one than connecting took counts.
        double roundTrip = 0;
        {
            std::lock_guard lock(mutex_);
            roundTrip_ =
                std::max(roundTrip_, std::chrono::duration<double>(Clock::now() - stepStart_).count());
            roundTrip = roundTrip_;
        }
        together_ = roundTrip >= kFarRoundTrip;
        for (int next = 1; next < (together_ ? kSettings : 2); ++next) askSetting(next);
    } else if (!together_ && setting + 1 < kSettings) {
        askSetting(setting + 1);
    }
    if (--settingsLeft_ == 0) ready();
}

// Open from here; a server that has closed already (one busy with another client) may tell so
// as soon as reading is enabled, and the line is then gone before the opening is told ended.
void NetworkSession::ready() {
    stopTimer();
    {
        std::lock_guard lock(mutex_);
        state_ = State::Open;
    }
    gensio_set_read_callback_enable(io_, true);
    ended_();
}

void NetworkSession::TimeIsUp(gensio_timer*, void* self) {
    auto* session = static_cast<NetworkSession*>(self);
    session->post([session, round = session->timerRound_.load()] { session->timeIsUp(round); });
}

// A close that waits too long is left to end when gensio says so; the opening step that ran
// out of time fails, but for a raw connection that the server kept.
void NetworkSession::timeIsUp(unsigned round) {
    if (round != timerRound_) return;  // the step it was for has ended
    {
        std::lock_guard lock(mutex_);
        if (closingIo_) {
            closeCut_ = true;
            return;
        }
    }
    if (state() != State::Opening) return;
    if (step_ == OpeningStep::Served) return ready();
    end(State::Failed, failureOf(GE_TIMEDOUT));
}

// gensio checks the certificate against the CA; the host it is for is checked here.
int NetworkSession::checkCertificate(gensio* tls, int err, const char* problem) {
    std::string pem(8192, '\0');
    gensiods length = pem.size();
    if (gensio_control(tls, 0, GENSIO_CONTROL_GET, GENSIO_CONTROL_CERT, pem.data(), &length) != 0) length = 0;
    if (length > pem.size()) {
        pem.assign(length, '\0');
        if (gensio_control(tls, 0, GENSIO_CONTROL_GET, GENSIO_CONTROL_CERT, pem.data(), &length) != 0)
            length = 0;
    }
    pem.resize(std::min<std::size_t>(length, pem.size()));
    certificateProblem_ = CertificateRefusal(err, problem, pem, name_);
    // A refusal of gensio's own fails the step as it is; a host refused here fails it too.
    return certificateProblem_.empty() || err != 0 ? GE_NOTSUP : GE_AUTHREJECT;
}

int NetworkSession::Event(gensio* io, void* self, int event, int err, unsigned char* buffer, gensiods* length,
                          const char* const* auxiliary) {
    auto* session = static_cast<NetworkSession*>(self);
    switch (event) {
        case GENSIO_EVENT_READ:
            session->received(err, buffer, length);
            return 0;
        case GENSIO_EVENT_WRITE_READY:
            session->flush();
            return 0;
        case GENSIO_EVENT_POSTCERT_VERIFY:
            return session->checkCertificate(io, err, auxiliary ? auxiliary[0] : nullptr);
        default:
            return GE_NOTSUP;
    }
}

// The bytes that came, kept for the window's thread; a read error is the connection's end.
void NetworkSession::received(int err, const unsigned char* bytes, gensiods* length) {
    if (err != 0) return lost(err);
    bool pause = false;
    {
        std::lock_guard lock(mutex_);
        received_.append(reinterpret_cast<const char*>(bytes), *length);
        pause = received_.size() >= kMostWaiting;
        readingPaused_ = readingPaused_ || pause;
    }
    arrived_.notify_all();
    if (pause && io_) gensio_set_read_callback_enable(io_, false);
}

void NetworkSession::resumeReading() {
    if (state() != State::Open || !io_) return;
    {
        std::lock_guard lock(mutex_);
        readingPaused_ = false;
    }
    gensio_set_read_callback_enable(io_, true);
}

void NetworkSession::send(const std::string& bytes) {
    if (state() != State::Open || !io_) return;
    outgoing_ += bytes;
    flush();
}

// Writes what gensio takes now; the rest goes when it says there is room.
void NetworkSession::flush() {
    while (!outgoing_.empty() && io_) {
        gensiods count = 0;
        if (const int err = gensio_write(io_, &count, outgoing_.data(), outgoing_.size(), nullptr); err != 0)
            return lost(err);
        outgoing_.erase(0, count);
        if (count == 0) return gensio_set_write_callback_enable(io_, true);
    }
    if (io_) gensio_set_write_callback_enable(io_, false);
}

// The server closed the connection, or it failed: during the opening, that ends the opening.
// A write that finds the connection no longer open (GE_NOTREADY) has met a close by the server
// whose news has not come in yet.
void NetworkSession::lost(int err) {
    if (err == GE_NOTREADY) err = GE_REMCLOSE;
    const State now = state();
    if (now == State::Open) {
        {
            std::lock_guard lock(mutex_);
            serverClosed_ = err == GE_REMCLOSE;
        }
        end(State::Gone, ConnectionEnd(err, name_));
    }
    if (now == State::Opening) fault(err);
}

void NetworkSession::fault(int err) {
    {
        std::lock_guard lock(mutex_);
        serverClosed_ = err == GE_REMCLOSE;
    }
    end(State::Failed, err == GE_REMCLOSE ? ConnectionEnd(err, name_) : failureOf(err));
}

void NetworkSession::fail(const std::string& reason) {
    if (state() == State::Opening) end(State::Failed, reason);
}

void NetworkSession::stop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        if (state_ == State::Opening) state_ = State::Failed;  // nothing is told any more
    }
    stopTimer();
    close();
}

void NetworkSession::end(State state, const std::string& reason) {
    {
        std::lock_guard lock(mutex_);
        state_ = state;
        reason_ = reason;
    }
    arrived_.notify_all();
    stopTimer();
    close();
    if (state == State::Failed) ended_();
}

// A close ends when gensio says so. One that waits for a server that no longer answers (a TLS
// close waits for the server's own) holds the service thread up for a while only; the session
// then lives on until gensio's word comes, on whichever thread waits in gensio by then.
void NetworkSession::close() {
    if (!io_) return;
    gensio* io = std::exchange(io_, nullptr);
    {
        std::lock_guard lock(mutex_);
        closingIo_ = io;
        closeCut_ = false;
        keepAlive_ = shared_from_this();
    }
    startTimer(kCloseSeconds);
    if (gensio_close(io, Closed, this) != 0) Closed(io, this);
}

void NetworkSession::Closed(gensio* io, void* self) {
    auto* session = static_cast<NetworkSession*>(self);
    std::shared_ptr<NetworkSession> keep;  // the session may end with it, once this returns
    {
        std::lock_guard lock(session->mutex_);
        if (io != session->closingIo_) return;
        session->closingIo_ = nullptr;
        keep = std::move(session->keepAlive_);
    }
    session->stopTimer();
    gensio_free(io);
    gensio_os_funcs_wake(session->os_, session->waiter_);
}

// The later steps may take a few of the round trips that connecting took, and at least a second.
double NetworkSession::negotiationSeconds() const {
    return std::max(kLeastStepSeconds, kRoundTripsPerStep * roundTrip());
}

std::string NetworkSession::failureOf(int err) const {
    if (step_ == OpeningStep::Tls && !certificateProblem_.empty()) return certificateProblem_;
    const bool connecting = step_ == OpeningStep::Lookup || step_ == OpeningStep::Connect;
    return OpeningFailure(step_, err, name_, connecting ? kConnectSeconds : negotiationSeconds());
}

NetworkSession::State NetworkSession::state() const {
    std::lock_guard lock(mutex_);
    return state_;
}

std::string NetworkSession::reason() const {
    std::lock_guard lock(mutex_);
    return reason_;
}

std::size_t NetworkSession::waiting() const {
    std::lock_guard lock(mutex_);
    return received_.size();
}

bool NetworkSession::waitForInput(int milliseconds) {
    std::unique_lock lock(mutex_);
    arrived_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                      [this] { return !received_.empty() || state_ != State::Open; });
    return !received_.empty();
}

std::string NetworkSession::take(std::size_t most) {
    std::string bytes;
    bool resume = false;
    {
        std::lock_guard lock(mutex_);
        const std::size_t count = most == 0 ? received_.size() : std::min(most, received_.size());
        bytes = received_.substr(0, count);
        received_.erase(0, count);
        resume = readingPaused_ && received_.size() < kMostWaiting / 2;
    }
    if (resume) post([this] { resumeReading(); });
    return bytes;
}

bool NetworkSession::closedByServer() const {
    std::lock_guard lock(mutex_);
    return serverClosed_;
}

double NetworkSession::roundTrip() const {
    std::lock_guard lock(mutex_);
    return roundTrip_;
}

}  // namespace zr
