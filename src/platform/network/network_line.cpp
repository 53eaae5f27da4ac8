#include "platform/network/network_line.h"

#include <QEventLoop>
#include <QFileInfo>
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
    if (!session_) return;
    session_->post([session = session_.get()] { session->stop(); });
    service_.join();
}

std::string NetworkLine::open(const std::string& target, const LineOptions& options) {
    const ParsedNetworkName parsed = ParseNetworkName(target);
    if (!parsed.error.empty()) return parsed.error;
    if (parsed.name.tls)
        if (std::string problem = CaProblem(parsed.name.ca); !problem.empty()) return problem;
    gensio_os_funcs* os = GensioOs();
    if (!os) return "the network library could not be started";
    session_ = std::make_shared<NetworkSession>(parsed.name, options, os, [this] {
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
    if (session_->state() == NetworkSession::State::Opening) {
        // Every event loop was told to end: the program is closing.
        session_->post([session = session_.get()] { session->fail("the program is closing"); });
        return "the program is closing";
    }
    return isOpen() ? std::string() : session_->reason();
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
