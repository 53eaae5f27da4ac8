#pragma once

#include <QString>

#include "platform/files/data_folders.h"
#include "platform/files/disk_files.h"
#include "platform/files/moving_file.h"
#include "platform/qt/qt_event_pump.h"
#include "platform/qt/qt_timer.h"
#include "platform/qt/steady_clock.h"
#include "platform/serial/qt_serial_port.h"
#include "shared/module.h"
#include "ui/form1.h"
#include "ui/qt_dialogs.h"

namespace zr {

// The whole program on one folder: the window, the adapters and the module, wired and loaded.
// The folder is the program's own; programs.txt, the COMn links and the command lists are
// where FindDataFolders puts them, which is that folder when the program may write there.
// Fonts the window names that this system may lack get a stand-in with the same metrics.
void SubstituteMissingFonts();

class Program {
public:
    explicit Program(const QString& folder);

    Form1& window() { return window_; }
    Module& module() { return module_; }

private:
    DataFolders folders_;
    Form1 window_;
    QtSerialPort port_;
    QtTimer timer_;
    SteadyClock clock_;
    QtEventPump events_;
    QtDialogs dialogs_;
    DiskFiles files_;
    MovingFile programFile_;
    Module module_;
};

}  // namespace zr
