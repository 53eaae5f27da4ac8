#pragma once

#include <QString>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "cli/link_options.h"
#include "cli/stderr_dialogs.h"
#include "platform/data_folders.h"
#include "platform/disk_files.h"
#include "platform/qt_event_pump.h"
#include "platform/qt_serial_port.h"
#include "platform/qt_timer.h"
#include "platform/steady_clock.h"
#include "shared/module.h"
#include "window/memory_form.h"

namespace zr::cli {

// The module on the program's folder (its data where FindDataFolders puts them) with the window's start-up
// state, over a form without widgets, with the link chosen in the form's lists as the options say. Each
// action presses the window's own buttons and reports what the window would show.
class Session {
public:
    explicit Session(const LinkOptions& link);

    int send(const std::vector<std::string>& commands, bool json);
    int check(const std::vector<std::string>& commands);
    int position(bool watch);

private:
    // Lets the event loop run while the reply time-out is due, so that a command without
    // reply is reported after the same time as in the window. True when it fired.
    bool awaitTimeOut();
    int outcome(bool timedOut) const;
    void printReply(const std::string& command, bool json, int outcome) const;

    DataFolders folders_;
    MemoryForm form_;
    QtSerialPort port_;
    QtTimer timer_;
    SteadyClock clock_;
    QtEventPump events_;
    StderrDialogs dialogs_;
    DiskFiles files_;
    Module m_;
    int timeOuts_ = 0;            // how often the reply time-out fired
    bool printPosition_ = false;  // the position display's lines go to stdout as shown
};

}  // namespace zr::cli
