#include "cli/session.h"

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <cstdio>
#include <optional>

#include "cli/interrupt.h"
#include "cmdlang/parse_display.h"
#include "link/position_display.h"
#include "link/send_stop.h"
#include "shared/error_messages.h"
#include "window/control_table.h"
#include "window/start_up.h"

namespace zr::cli {

namespace {

QString Latin1(const std::string& bytes) {
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

QString Hex(const std::string& bytes) {
    return QString::fromLatin1(QByteArray(bytes.data(), qsizetype(bytes.size())).toHex());
}

const char* OutcomeName(int outcome, bool group) {
    switch (outcome) {
        case kNoReply:
            return "no reply";
        case kChecksumError:
            return "checksum error";
        default:
            return group ? "no reply expected" : "answered";
    }
}

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

Session::Session(const LinkOptions& link)
    : folders_(FindDataFolders(QCoreApplication::applicationDirPath().toStdString())),
      port_(QString::fromStdString(folders_.data)),
      timer_([this] {
          ++timeOuts_;
          Timer2_Timer(m_);
      }),
      files_(folders_.data, folders_.lists),
      m_(port_, timer_, clock_, events_, dialogs_, form_, files_) {
    form_.onTextSet = [this](Control c) {
        if (c == Control::text1) text1_Change(m_);
        if (printPosition_ && (c == Control::lblSyringe || c == Control::lblValve)) PrintLine(form_.text(c));
    };
    AddFixedItems(form_);
    StartUpState(m_);
    form_.setListIndex(Control::cboPort, link.portIndex);
    form_.setListIndex(Control::cboBaud, link.baudIndex);
    form_.setListIndex(Control::cboProtocol, link.protocolIndex);
    form_.setListIndex(Control::cboAddress, link.addressIndex);
    if (!link.device.empty()) port_.setDevice(1, link.device);
}

bool Session::awaitTimeOut() {
    const int before = timeOuts_;
    while (timer_.enabled()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return timeOuts_ > before;
}

int Session::outcome(bool timedOut) const {
    if (timedOut) return kNoReply;
    if (m_.ErrNum == ErrOemChecksum) return kChecksumError;
    return kDone;
}

void Session::printReply(const std::string& command, bool json, int outcome) const {
    const std::string statusCode = form_.text(Control::lblStatCode), status = form_.text(Control::lblStatus),
                      reply = form_.text(Control::lblReply), data = form_.text(Control::lblReplyCode);
    if (!json) {
        for (const std::string* line : {&statusCode, &status, &reply, &data}) PrintLine(*line);
        return;
    }
    const Module::ExchangeRecord& x = m_.LastExchange;
    // Milliseconds since the frame was written, to a tenth; null for what did not happen.
    const auto since = [&x](double at) {
        return at < 0 ? QJsonValue() : QJsonValue(std::round((at - x.sentAt) * 10000.0) / 10.0);
    };
    QJsonObject object{
        {"command", Latin1(command)},
        {"statusCode", Latin1(statusCode)},
        {"status", Latin1(status)},
        {"reply", Latin1(reply)},
        {"data", Latin1(data)},
        {"request", Hex(x.request)},
        {"rawReply", Hex(x.reply)},
        {"ms", since(x.readAt)},
        {"firstByteMs", since(x.firstByteAt)},
        {"outcome", OutcomeName(outcome, m_.AddrMode == "m")},
    };
    PrintLine(QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString());
}

int Session::send(const std::vector<std::string>& commands, bool json) {
    int status = kDone;
    for (const std::string& command : commands) {
        form_.setText(Control::text1, command);
        cmdXmit_Click(m_);
        if (m_.PortFailed) return kPortFailed;
        // The checksum error has no box in the window; here it is told beside the fields.
        if (m_.ErrNum == ErrOemChecksum)
            dialogs_.messageBox(m_.ErrDetail, MessageIcon::Critical, CommErrorTitle);
        const int result = outcome(awaitTimeOut());
        printReply(command, json, result);
        if (status == kDone) status = result;
    }
    return status;
}

int Session::check(const std::vector<std::string>& commands) {
    int status = kDone;
    for (const std::string& command : commands) {
        form_.setText(Control::text1, command);
        cmdParse_Click(m_);
        PrintLine(m_.ParseText);
        if (m_.ErrNum != 0) status = kSyntaxError;
    }
    return status;
}

int Session::position(bool watch) {
    printPosition_ = true;
    // Watching, the display repeats as with Auto checked until Ctrl-C unchecks it.
    std::optional<Interrupt> interrupt;
    if (watch) {
        form_.setValue(Control::chkReport, 1);
        interrupt.emplace();
        QObject::connect(&*interrupt, &Interrupt::interrupted,
                         [this] { form_.setValue(Control::chkReport, 0); });
    }
    const int before = timeOuts_;
    cmdPosition_Click(m_);
    if (m_.PortFailed) return kPortFailed;
    awaitTimeOut();
    port_.setPortOpen(false);
    return timeOuts_ > before ? kNoReply : kDone;
}

}  // namespace zr::cli
