#include "cli/output.h"

#include <QJsonDocument>
#include <cmath>
#include <cstdio>

namespace zr::cli {

namespace {

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

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

QString Latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string JsonLine(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

void Tell(const std::string& line) {
    std::fprintf(stderr, "%s\n", line.c_str());
    std::fflush(stderr);
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
