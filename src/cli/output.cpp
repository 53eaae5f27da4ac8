#include "cli/output.h"

#include <QJsonDocument>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace zr::cli {

namespace {

// The error of the first write that failed on stdout and on stderr; 0 while none has. Atomic:
// a scan's ports write from threads of their own, and any of them may ask.
std::atomic<int> gStdoutError = 0;
std::atomic<int> gStderrError = 0;

// Remembers the stream's first failure, with errno's reason (EIO when the library left none).
void Failed(std::FILE* stream) {
    std::atomic<int>& error = stream == stdout ? gStdoutError : gStderrError;
    int none = 0;
    error.compare_exchange_strong(none, errno != 0 ? errno : EIO);
}

// Writes the bytes and flushes them, so that a failure is seen at this write.
void Write(std::FILE* stream, const std::string& bytes) {
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stream) != bytes.size() || std::fflush(stream) != 0)
        Failed(stream);
}

QString Hex(const std::string& bytes) {
    return QString::fromLatin1(QByteArray(bytes.data(), qsizetype(bytes.size())).toHex());
}

const char* OutcomeName(const Answer& a) {
    switch (a.exitStatus) {
        case kNoReply:
            return "no reply";
        case kChecksumError:
            return "checksum error";
        case kPumpError:
            return "pump error";
        case kTooShort:
            return "too short to decode";
        case kPortFailed:
            return "port not opened";
        default:
            return a.group ? "no reply expected" : "answered";
    }
}

}  // namespace

void Print(const std::string& text) {
    Write(stdout, text);
}

void PrintLine(const std::string& line) {
    Write(stdout, line + '\n');
}

void Tell(const std::string& line) {
    Write(stderr, line + '\n');
}

void TellInPlace(const std::string& text) {
    Write(stderr, "\r" + text + "\x1b[K");
}

bool OutputLost() {
    return gStdoutError != 0 || gStderrError != 0;
}

int FinishOutput(int status, const std::string& program) {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) Failed(stdout);
    if (std::ferror(stderr)) Failed(stderr);
    if (gStdoutError != 0) Tell(program + ": cannot write to stdout: " + std::strerror(gStdoutError));
    return OutputLost() ? kOutputFailed : status;
}

QString Latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string JsonLine(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

double Milliseconds(double seconds) {
    return std::round(seconds * 10000.0) / 10.0;
}

void PrintAnswer(const Answer& a, bool json, const QJsonObject& more) {
    if (!json) {
        for (const std::string* line : {&a.statusCode, &a.status, &a.reply, &a.data}) PrintLine(*line);
        return;
    }
    const Module::ExchangeRecord& x = a.exchange;
    const auto since = [&x](double at) {
        return at < 0 ? QJsonValue() : QJsonValue(Milliseconds(at - x.sentAt));
    };
    QJsonObject object{
        {"command", Latin1(a.command)},
        {"statusCode", Latin1(a.statusCode)},
        {"status", Latin1(a.status)},
        {"reply", Latin1(a.reply)},
        {"data", Latin1(a.data)},
        {"request", Hex(x.request)},
        {"rawReply", Hex(x.reply)},
        {"ms", since(x.readAt)},
        {"firstByteMs", since(x.firstByteAt)},
        {"outcome", OutcomeName(a)},
        {"exitStatus", a.exitStatus},
    };
    for (auto field = more.begin(); field != more.end(); ++field) object.insert(field.key(), field.value());
    PrintLine(JsonLine(object));
}

}  // namespace zr::cli
