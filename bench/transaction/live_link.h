#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <string>

#include "fakes/fake_dialogs.h"
#include "fakes/fake_event_pump.h"
#include "fakes/fake_form.h"
#include "fakes/fake_timer.h"
#include "live/pumpsim_process.h"
#include "platform/files/disk_files.h"
#include "platform/qt/steady_clock.h"
#include "platform/serial/qt_serial_port.h"
#include "shared/module.h"

// A module whose serial port is the real adapter on COM1 of a fresh program folder, linked by
// a running pumpsim, with the real monotonic clock; the window side is faked.
struct LiveLink {
    LiveLink();

    // Starts pumpsim with these options; false (see sim.error()) when it could not.
    bool start(const QStringList& options = {});
    // Link settings as Send leaves them, for pump address `address` ("1", "A", ...).
    void choose(const std::string& protocol, const std::string& address);

    QTemporaryDir folder;
    PumpSimProcess sim;
    zr::QtSerialPort port;
    zr::test::FakeTimer timer;
    zr::SteadyClock clock;
    zr::test::FakeEventPump events;
    zr::test::FakeDialogs dialogs;
    zr::test::FakeForm form;
    zr::DiskFiles files;
    zr::Module m;
};
