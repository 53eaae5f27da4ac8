#include "link/transaction.h"

#include <algorithm>

#include "link/exchange_summary.h"
#include "link/frames.h"
#include "link/link_settings.h"
#include "link/link_summary.h"
#include "link/reply_decoders.h"
#include "reply/interpret_reply.h"
#include "shared/error_messages.h"
#include "shared/numbers.h"

namespace zr {

namespace {

constexpr int kTimeoutMilliseconds = 2000;
constexpr double kSettleInterval = 0.1;
constexpr int kShortestReply = 5;

// The port's opening error, with text typed into the port box (no list choice, port number 0)
// named as the operator typed it rather than as the number it gave.
std::string OpenError(Module& m) {
    std::string error = m.MSComm1.openError();
    const std::string number = "Com" + std::to_string(m.PortNum);
    if (m.form.listIndex(Control::cboPort) < 0 && error.starts_with(number + " "))
        error.replace(0, number.size(), "\"" + m.form.text(Control::cboPort) + "\"");
    return error;
}

// Opens the port with the current port number and baud rate unless it is open already.
bool OpenPort(Module& m) {
    if (m.MSComm1.portOpen()) return true;
    m.MSComm1.setCommPort(m.PortNum);
    m.MSComm1.setSettings(m.BaudRate + ",n,8,1");
    m.MSComm1.setPortOpen(true);
    return m.MSComm1.portOpen();
}

// The reply is complete when the count of waiting bytes has not grown over a settle interval.
void Settle(Module& m) {
    int remembered = 0;
    while (m.MSComm1.inBufferCount() > remembered) {
        remembered = m.MSComm1.inBufferCount();
        WaitWithoutEvents(m, kSettleInterval);
        m.events.processEvents();
    }
}

// How long one character takes on the line at the exchange's baud rate.
double ByteSeconds(const Module& m) {
    return 10 / std::max(1.0, NumericValue(m.LastExchange.settings));
}

// How long the reply wait waits for a first byte after sending `frameLength` characters: the
// window's fixed wait; for a read that ends at a whole reply, at least the request's and the
// first byte's time on the line, the reply margin and the byte's delivery. A network line adds
// its round trip.
double FirstByteWait(const Module& m, std::size_t frameLength) {
    const double line = m.ReadEndsAtWholeReply ? static_cast<double>(frameLength + 1) * ByteSeconds(m) +
                                                     m.ReplyMargin + ByteDeliverySeconds
                                               : 0;
    return std::max(ReplyWait, line) + m.MSComm1.replyDelay();
}

// The reply wait of a read that ends at a whole reply: it ends as soon as the shortest reply
// is waiting, or when the wait is over; a first byte in time stretches it to the time the rest
// of the shortest reply takes on the line, and the margin. While some bytes are in, it sleeps
// for the time the missing ones take on the line, so it neither spins nor runs much past their
// arrival.
void AwaitShortestReply(Module& m, double end) {
    const double byteSeconds = ByteSeconds(m);
    if (m.LastExchange.firstByteAt >= 0)
        end = std::max(end, m.LastExchange.firstByteAt + (kShortestReply - 1) * byteSeconds + m.ReplyMargin +
                                ByteDeliverySeconds);
    for (int16_t count = m.MSComm1.inBufferCount(); count < kShortestReply;
         count = m.MSComm1.inBufferCount()) {
        const double left = end - m.clock.now();
        if (left <= 0) return;
        if (count == 0 && !m.MSComm1.waitForInput(left)) return;
        if (count > 0) m.clock.sleep(std::min(left, byteSeconds * (kShortestReply - count)));
    }
}

// The settle loop of a read that ends at a whole reply: takes in the bytes as they come and
// ends once they make a whole reply, or, for a reply that never becomes whole, once no byte
// has come over a settle interval, as the window's settle loop would.
std::string TakeWholeReply(Module& m) {
    const bool oem = m.Protocol != "DT";
    std::string reply = m.MSComm1.input();
    while (WholeReplyLength(reply, oem) == 0 && m.MSComm1.waitForInput(kSettleInterval)) {
        reply += m.MSComm1.input();
        m.events.processEvents();
    }
    return reply;
}

// The line went away under the transaction and tells why (a network connection the server
// closed): that is told as a port that failed, and no time-out follows. A line that cannot tell
// is waited for as a silent pump.
bool LineLost(Module& m) {
    if (!m.MSComm1.lineLost()) return false;
    const std::string why = m.MSComm1.openError();
    if (why.empty()) return false;
    m.PortFailed = true;
    m.Timer2.setEnabled(false);
    m.dialogs.messageBox(why, MessageIcon::Critical, CommErrorTitle);
    return true;
}

void ShowReplyFields(Module& m) {
    m.form.setText(Control::lblStatCode, m.StatusCodeText);
    m.form.setText(Control::lblStatus, m.StatusText);
    m.form.setText(Control::lblReply, m.ReplyText);
    m.form.setText(Control::lblReplyCode, m.ReplyData.empty() ? std::string("none") : m.ReplyData);
    SetReplyScrollMaximum(m);  // a bar moved before this reply can still page through it
    ShowExchangeSummary(m);
}

void Exchange(Module& m) {
    m.ReplyData.clear();
    m.ReplyText.clear();
    m.StatusCodeText.clear();
    m.StatusText.clear();
    m.ErrDetail.clear();
    m.ErrNum = 0;
    m.PortFailed = false;

    m.Timer2.setInterval(kTimeoutMilliseconds);
    // A port left open keeps the line settings it was opened with.
    const std::string settings = m.MSComm1.portOpen() ? m.LastExchange.settings : m.BaudRate + ",n,8,1";
    if (!OpenPort(m)) {
        // Nothing was sent: no time-out is due (the timer is off before the box lets events
        // run), and no earlier reply stands beside the failure box.
        m.PortFailed = true;
        m.LastExchange = {};
        m.Timer2.setEnabled(false);
        if (m.SilentReply == 0) ShowReplyFields(m);
        m.dialogs.messageBox(OpenError(m), MessageIcon::Critical, CommErrorTitle);
        return;
    }

    const bool dt = m.Protocol == "DT";
    const std::string frame = dt ? DTFrame(m.AddrChar, m.CmdString) : OEMFrame(m.AddrChar, m.CmdString);
    m.MSComm1.output(frame);
    const double sentAt = m.clock.now();
    m.LastExchange = {frame, "", sentAt, -1, -1, settings};
    m.Timer2.setEnabled(true);
    // The reply wait notes when the first byte came, then sleeps out the rest of its time.
    const double wait = FirstByteWait(m, frame.size());
    if (m.MSComm1.waitForInput(wait)) m.LastExchange.firstByteAt = m.clock.now();
    if (m.ReadEndsAtWholeReply)
        AwaitShortestReply(m, sentAt + wait);
    else
        WaitWithoutEvents(m, sentAt + wait - m.clock.now());
    ReadReply(m);

    if (dt) {
        if (!m.ReplyData.empty()) {
            DecodeDTReply(m);
            if (m.SilentReply == 0) InterpretReply(m);
        }
    } else if (m.ReplyData.size() > 6) {
        DecodeOEMReply(m);
        if (m.ErrNum == 0 && m.SilentReply == 0) InterpretReply(m);
    }

    if (m.SilentReply == 0) ShowReplyFields(m);
    m.events.processEvents();
}

}  // namespace

void WaitWithoutEvents(Module& m, double seconds) {
    const double end = m.clock.now() + seconds;
    for (double left = seconds; left > 1e-6; left = end - m.clock.now()) m.clock.sleep(left);
}

void ReadReply(Module& m) {
    if (m.AddrMode == "m") {
        m.ReplyText = "Multiple address mode - No replies";
        m.StatusCodeText.clear();
        m.StatusText.clear();
        m.ReplyData.clear();
        m.Timer2.setEnabled(false);
        return;
    }
    if (m.MSComm1.inBufferCount() < kShortestReply) {
        m.ErrNum = ErrTooFewBytes;
        ErrorMessage(m);
        LineLost(m);
        return;
    }
    m.Timer2.setEnabled(false);
    std::string taken;
    if (m.ReadEndsAtWholeReply)
        taken = TakeWholeReply(m);
    else
        Settle(m);
    // A line that went away while the reply came in (the pump lost power, the adapter was
    // pulled) leaves a cut-off reply: it is told as no response, as from a silent pump. A reply
    // that came whole from the device is read, whatever its port number stands for now.
    if (m.MSComm1.lineLost()) {
        m.ErrNum = ErrTooFewBytes;
        ErrorMessage(m);
        m.Timer2.setEnabled(!LineLost(m));
        return;
    }
    m.ReplyData = taken + m.MSComm1.input();
    m.LastExchange.reply = m.ReplyData;
    m.LastExchange.readAt = m.clock.now();
    if (!m.KeepPortOpen) m.MSComm1.setPortOpen(false);
}

void XmitCommand(Module& m) {
    if (m.Protocol.empty()) ReadLinkSettings(m);  // Show Position before the first Send
    m.InTransaction = true;
    Exchange(m);
    ShowLinkSummary(m);  // the port may have been opened or closed
    m.InTransaction = false;
}

}  // namespace zr
