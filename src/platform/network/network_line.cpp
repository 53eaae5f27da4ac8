#include "platform/network/network_line.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>

#include "platform/network/gensio_os.h"
#include "platform/network/network_name.h"
#include "platform/network/network_session.h"

namespace zr {

namespace {

// A reply waits for the network's round trip besides the pump's own time, with half as much
// again for its jitter; a network slower than a second is past helping.
constexpr double kJitterShare = 1.5;
constexpr double kLongestReplyDelay = 1.0;
// How often an opening is tried when the server closes it at once, and how long apart.
constexpr int kAttempts = 2;
constexpr int kAgainAfterMs = 50;

std::string CaProblem(const std::string& path) {
    const QFileInfo file(QString::fromStdString(path));
    if (!file.exists())
        return "the CA file " + path + " does not exist: give ca= the CA's certificate file (PEM)";
    if (!file.isFile() || !file.isReadable())
        return "the CA file " + path + " cannot be read: give ca= a readable certificate file (PEM)";
    return {};
}

}  // namespace

NetworkLine::~NetworkLine() {
    end();
}

void NetworkLine::end() {
    if (!session_) return;
    session_->post([session = session_.get()] { session->stop(); });
    service_.join();
    session_.reset();
}

// A server that closes a fresh connection at once is most likely still letting its last client
// go (ser2net takes the next some 10 ms after): that opening is tried once more, a moment later.
std::string NetworkLine::open(const std::string& target, const LineOptions& options) {
    const ParsedNetworkName parsed = ParseNetworkName(target);
    if (!parsed.error.empty()) return parsed.error;
    if (parsed.name.tls)
        if (std::string problem = CaProblem(parsed.name.ca); !problem.empty()) return problem;
    gensio_os_funcs* os = GensioOs();
    if (!os) return "the network library could not be started";
    for (int attempt = 1;; ++attempt) {
        if (!attemptOpening(parsed.name, options, os)) return "the program is closing";
        if (isOpen() || attempt == kAttempts || !session_->closedByServer()) break;
        end();
        QEventLoop pause;
        QTimer::singleShot(kAgainAfterMs, &pause, &QEventLoop::quit);
        pause.exec();
    }
    return isOpen() ? std::string() : session_->reason();
}

// False when the program began to close before the opening ended.
bool NetworkLine::attemptOpening(const NetworkName& name, const LineOptions& options, gensio_os_funcs* os) {
    session_ = std::make_shared<NetworkSession>(name, options, os, [this] {
        QMetaObject::invokeMethod(
            &waker_,
            [this] {
                if (opening_) opening_->quit();
            },
            Qt::QueuedConnection);
    });
    service_ = std::thread([session = session_] { session->run(); });
    session_->post([session = session_.get()] { session->start(); });
    // Window events run meanwhile: a Stop waits until the opening has ended, the window repaints.
    QEventLoop loop;
    opening_ = &loop;
    if (session_->state() == NetworkSession::State::Opening) loop.exec();
    opening_ = nullptr;
    if (session_->state() != NetworkSession::State::Opening) return true;
    // Every event loop was told to end: the program is closing.
    session_->post([session = session_.get()] { session->fail("the program is closing"); });
    return false;
}

bool NetworkLine::isOpen() const {
    return session_ && session_->state() == NetworkSession::State::Open;
}

void NetworkLine::write(const std::string& bytes) {
    if (isOpen()) session_->post([session = session_.get(), bytes] { session->send(bytes); });
}

qint64 NetworkLine::available() {
    return session_ ? static_cast<qint64>(session_->waiting()) : 0;
}

bool NetworkLine::waitForInput(int milliseconds) {
    return session_ && session_->waitForInput(milliseconds);
}

std::string NetworkLine::read(qint64 most) {
    return session_ ? session_->take(static_cast<std::size_t>(std::max<qint64>(most, 0))) : std::string();
}

std::string NetworkLine::goneReason() const {
    return session_ && session_->state() == NetworkSession::State::Gone ? session_->reason() : std::string();
}

double NetworkLine::replyDelay() const {
    return isOpen() ? std::min(kLongestReplyDelay, kJitterShare * session_->roundTrip()) : 0;
}

}  // namespace zr
