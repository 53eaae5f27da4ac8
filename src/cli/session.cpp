#include "cli/session.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "cli/output.h"
#include "cmdlang/parse_display.h"
#include "link/position_display.h"
#include "link/reply_decoders.h"
#include "link/send_stop.h"
#include "reply/status_meanings.h"
#include "shared/error_messages.h"
#include "shared/hex_bytes.h"
#include "window/control_table.h"
#include "window/start_up.h"

namespace zr::cli {

namespace {

// The exit status of the exchange just made, by the table's order of causes.
int ExitStatusOf(const Module& m) {
    if (m.PortFailed) return kPortFailed;
    if (m.AddrMode == "m") return kDone;
    if (m.ErrNum == ErrTooFewBytes) return kNoReply;
    if (m.ErrNum == ErrOemChecksum) return kChecksumError;
    // An OEM reply of fewer than seven bytes is read but not decoded: its status is unknown.
    if (m.Protocol != "DT" && m.LastExchange.reply.size() < ShortestReply) return kTooShort;
    if (!StatusIsOk(m.StatusChar)) return kPumpError;
    return kDone;
}

}  // namespace

Session::Session(const LinkOptions& link, bool forScripts)
    : link_(link),
      folders_(FindDataFolders(QCoreApplication::applicationDirPath().toStdString())),
      port_(QString::fromStdString(folders_.data)),
      timer_([this] {
          ++timeOuts_;
          Timer2_Timer(m_);
      }),
      files_(folders_.data, folders_.lists),
      programFile_(files_, dialogs_, files_.pathOf(ProgramsFile), folders_.earlierPrograms),
      m_(port_, timer_, clock_, events_, dialogs_, form_, programFile_) {
    form_.onTextSet = [this](Control c) {
        if (c == Control::text1) text1_Change(m_);
        if (!printPosition_ || (c != Control::lblSyringe && c != Control::lblValve)) return;
        PrintLine(form_.text(c));
        if (OutputLost()) form_.setValue(Control::chkReport, 0);  // a watch ends where nobody reads it
    };
    AddFixedItems(form_);
    StartUpState(m_);
    m_.ReadEndsAtWholeReply = forScripts;
    m_.KeepPortOpen = forScripts;
    m_.ReplyMargin = link.replyMarginMs / 1000.0;
    form_.setListIndex(Control::cboPort, link.portIndex);
    form_.setListIndex(Control::cboBaud, link.baudIndex);
    form_.setListIndex(Control::cboProtocol, link.protocolIndex);
    form_.setListIndex(Control::cboAddress, link.addressIndex);
    if (!link.device.empty()) port_.setDevice(1, link.device);
}

Session::~Session() {
    port_.setPortOpen(false);
}

void Session::serveClients(std::function<bool()> ending) {
    dialogs_.setQuiet(true);
    ending_ = std::move(ending);
}

void Session::catchInterrupts() {
    if (!interrupt_) interrupt_.emplace();
}

void Session::pause(double seconds) {
    if (interrupted() || seconds <= 0) return;
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    if (interrupt_) QObject::connect(&*interrupt_, &Interrupt::interrupted, &loop, &QEventLoop::quit);
    loop.exec();
}

void Session::awaitTimeOut(bool interruptible) {
    while (timer_.enabled() && !(interruptible && interrupted()))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

Answer Session::answer(const std::string& command) const {
    return Answer{command,
                  form_.text(Control::lblStatCode),
                  form_.text(Control::lblStatus),
                  form_.text(Control::lblReply),
                  form_.text(Control::lblReplyCode),
                  m_.ErrNum == 0 ? m_.StatusChar : std::string(),
                  m_.AddrMode == "m",
                  m_.LastExchange,
                  ExitStatusOf(m_)};
}

// The window shows a checksum error, a pump's error letter and an OEM reply too short to
// decode only in its reply fields; a script is told on stderr as well.
void Session::tellFailure(const Answer& a, int address) {
    if (a.exitStatus == kChecksumError)
        dialogs_.messageBox(m_.ErrDetail, MessageIcon::Critical, CommErrorTitle);
    if (a.exitStatus == kPumpError)
        dialogs_.messageBox(a.status, MessageIcon::Critical,
                            std::string("Pump ") + AddressItems[address].item);
    if (a.exitStatus == kTooShort)
        dialogs_.messageBox("OEM reply too short to decode: " + HexBytes(a.exchange.reply) + " (" +
                                std::to_string(a.exchange.reply.size()) + " bytes)",
                            MessageIcon::Critical, CommErrorTitle);
}

Answer Session::send(const std::string& command, int address) {
    dialogs_.forget();
    form_.setListIndex(Control::cboAddress, address);
    form_.setText(Control::text1, command);
    cmdXmit_Click(m_);
    awaitTimeOut(true);
    Answer a = answer(command);
    tellFailure(a, address);
    return a;
}

Answer Session::stop(int address) {
    dialogs_.forget();
    form_.setListIndex(Control::cboAddress, address);
    cmdStop_Click(m_);
    awaitTimeOut(false);
    return answer("T\r");
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
    if (watch) {
        form_.setValue(Control::chkReport, 1);
        catchInterrupts();
        QObject::connect(&*interrupt_, &Interrupt::interrupted,
                         [this] { form_.setValue(Control::chkReport, 0); });
    }
    const int before = timeOuts_;
    cmdPosition_Click(m_);
    if (m_.PortFailed) return kPortFailed;
    awaitTimeOut(false);
    return timeOuts_ > before ? kNoReply : kDone;
}

}  // namespace zr::cli
