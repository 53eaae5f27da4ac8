#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "cli/interrupt.h"
#include "cli/link_options.h"
#include "cli/stderr_dialogs.h"
#include "platform/files/data_folders.h"
#include "platform/files/disk_files.h"
#include "platform/files/moving_file.h"
#include "platform/qt/qt_event_pump.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/steady_clock.h"
#include "platform/serial/qt_serial_port.h"
#include "shared/module.h"
#include "window/memory_form.h"

namespace zr::cli {

// What one Send gave, as a script reads it: the four reply fields as the window shows them,
// the status character decoded ("" when none was), the exchange on the line, and the exit
// status this exchange alone gives.
struct Answer {
    std::string command;
    std::string statusCode, status, reply, data;
    std::string statusChar;
    bool group = false;  // several pumps addressed: no reply was expected
    Module::ExchangeRecord exchange;
    int exitStatus = kDone;
};

// The module on the program's folder (its data where FindDataFolders puts them) with the
// window's start-up state, over a form without widgets, with the link chosen in the form's
// lists as the options say. Each action presses
// the window's own buttons and reports what the window would show.
class Session {
public:
    // `forScripts`: replies are read up to their last byte and the port stays open between
    // exchanges, instead of the window's settle steps and a port closed after each reply.
    Session(const LinkOptions& link, bool forScripts);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // One Send of `command` to the pump(s) at `address` (an index of the address list). A
    // failure is told on stderr: the window's boxes, a pump's error, a reply too short.
    Answer send(const std::string& command, int address);
    // Stop, as the window's button does it, to `address`; the acknowledgement is read.
    Answer stop(int address);
    int check(const std::vector<std::string>& commands);
    int position(bool watch);

    // Ctrl-C and SIGTERM from now on set interrupted() instead of ending the program.
    void catchInterrupts();
    bool interrupted() const { return (interrupt_ && interrupt_->requested()) || (ending_ && ending_()); }
    // Lets the event loop run for `seconds`, or until an interrupt.
    void pause(double seconds);
    double now() const { return clock_.now(); }

    // What the last failure told ("title: text"), "" when the last exchange told nothing.
    const std::string& told() const { return dialogs_.lastText(); }
    // For a server, whose clients are told instead: failures are not written on stderr, and
    // a wait for a reply ends early once `ending` says the program is ending.
    void serveClients(std::function<bool()> ending);

    Module& module() { return m_; }
    // The session's own port, for a scan of the line between exchanges; the next exchange
    // opens it again as the link says.
    QtSerialPort& port() { return port_; }
    const LinkOptions& link() const { return link_; }

private:
    // Lets the event loop run while the reply time-out is due, so that a command without
    // reply is reported after the same time as in the window; an interrupt cuts it short when
    // `interruptible`.
    void awaitTimeOut(bool interruptible);
    Answer answer(const std::string& command) const;
    void tellFailure(const Answer& a, int address);

    LinkOptions link_;
    DataFolders folders_;
    MemoryForm form_;
    QtSerialPort port_;
    QtTimer timer_;
    SteadyClock clock_;
    QtEventPump events_;
    StderrDialogs dialogs_;
    DiskFiles files_;
    MovingFile programFile_;  // read where the window reads it
    Module m_;
    std::optional<Interrupt> interrupt_;
    std::function<bool()> ending_;
    int timeOuts_ = 0;            // how often the reply time-out fired
    bool printPosition_ = false;  // the position display's lines go to stdout as shown
};

}  // namespace zr::cli
