#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "shared/clock.h"
#include "shared/dialogs.h"
#include "shared/event_pump.h"
#include "shared/files.h"
#include "shared/form.h"
#include "shared/serial_port.h"
#include "shared/timer.h"

namespace zr {

// The variables through which one transaction talks with its caller: the command it sends,
// whether the reply is shown, the reply's data and status, and whether the port failed.
// Clicks run inside a running transaction save and restore them as a whole, so that the
// interrupted caller reads back its own command and reply; a variable of that kind belongs
// here, where it is saved with the others.
struct TransactionState {
    std::string CmdString;
    int16_t SilentReply = 0;
    std::string ReplyData;
    std::string StatusChar;
    bool PortFailed = false;
};

// The module: every variable that the procedures share, under its own name, and the seams
// through which the procedures reach the world. One instance lives for the whole run and is
// passed to every procedure and handler; nothing reaches for it globally.
struct Module : TransactionState {
    Module(SerialPort& port, Timer& timer, Clock& clock, EventPump& events, Dialogs& dialogs, Form& form,
           Files& files)
        : MSComm1(port),
          Timer2(timer),
          clock(clock),
          events(events),
          dialogs(dialogs),
          form(form),
          files(files) {}
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    SerialPort& MSComm1;
    Timer& Timer2;
    Clock& clock;
    EventPump& events;
    Dialogs& dialogs;
    Form& form;
    Files& files;

    // Errors (CmdString, SilentReply, ReplyData, StatusChar and PortFailed are the
    // TransactionState's).
    int16_t ErrNum = 0;
    std::string ErrDetail;

    // Link settings.
    std::string AddrChar;
    std::string AddrMode;
    std::string Protocol;
    std::string BaudRate;
    int16_t PortNum = 0;

    // Reply.
    std::string StatusCodeText;
    std::string StatusText;
    std::string ReplyText;

    // The last exchange on the line, for the operator who wants to see the bytes: the frame
    // written, the reply as read whole (before decoding; "" when none was read), the line
    // settings of the port it went over ("9600,n,8,1"; a port left open keeps those it was
    // opened with), and when each happened on the module's clock: the frame written, the first
    // reply byte seen during the reply wait (firstByteAt < 0 when none came in it), the reply
    // read (readAt < 0 when none was read).
    struct ExchangeRecord {
        std::string request;
        std::string reply;
        double sentAt = 0;
        double readAt = -1;
        double firstByteAt = -1;
        std::string settings;
    };
    ExchangeRecord LastExchange;

    // How a reply is read. The window leaves both off: the read ends once the count of waiting
    // bytes has not grown over a settle interval, and the port closes after each reply, as the
    // operator's manual has it. A program that runs many exchanges for a script turns them on:
    // the read ends as soon as the reply frame is whole, and the port stays open until the
    // program closes it.
    bool ReadEndsAtWholeReply = false;
    bool KeepPortOpen = false;
    // How late, in seconds, a reply's first byte may come past the time that the request and
    // that byte take on the line, for a read that ends at a whole reply: it waits so long (but
    // never less than the window's wait) for a first byte, and once one has come, so long
    // again past the time the rest of the shortest reply takes.
    double ReplyMargin = 0.05;

    // Checker.
    int32_t MaxPosition = 0;
    int16_t MaxValvePort = 0;
    std::string WorkText;
    int16_t ArgMin = 0;
    int32_t ArgMax = 0;
    int16_t ScanPos = 0;
    std::string CmdMode;
    std::string NumText;
    int16_t LetterErr = 0;
    std::string ParseText;

    // Program store and command lists.
    std::string ProgFile;
    std::string ProgName;
    std::string ProgMode;
    std::string CmdListFile;

    // Re-entry: pending window events run inside a transaction. A Send or Stop click that
    // arrives while one runs waits in PendingClicks and runs, in order, as soon as the
    // transaction has ended (RunningClicks keeps that from nesting); a Show Position click is
    // refused then. PositionShowing is set while ShowPosition runs, so that a Send in between
    // leaves the display to it; meanwhile HeldCmdString keeps the operator's command string
    // (edits of text1 included) while CmdString carries the display's queries.
    enum class LinkClick { Send, Stop };
    bool InTransaction = false;
    bool RunningClicks = false;
    bool PositionShowing = false;
    std::string HeldCmdString;
    std::vector<LinkClick> PendingClicks;
};

}  // namespace zr
