#pragma once

#include <string>

#include "fakes/fake_clock.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_event_pump.h"
#include "fakes/fake_form.h"
#include "fakes/fake_serial.h"
#include "fakes/fake_timer.h"
#include "link/send_stop.h"
#include "platform/files/disk_files.h"
#include "shared/module.h"
#include "window/control_table.h"

namespace zr::test {

// A module on fakes: the procedures and handlers run as in the program, with no widgets,
// no port and a program folder of the test's choosing (a temporary directory). The combo
// boxes hold their fixed items, and setting the command line raises text1_Change.
struct Rig {
    explicit Rig(const std::string& folder = "/nonexistent-zadu-rovu-folder")
        : files(folder), m(serial, timer, clock, events, dialogs, form, files) {
        form.onTextSet = [this](Control c) {
            if (c == Control::text1) text1_Change(m);
        };
        AddFixedItems(form);
    }

    FakeClock clock;
    FakeSerial serial{clock};
    FakeTimer timer;
    FakeEventPump events;
    FakeDialogs dialogs;
    FakeForm form;
    DiskFiles files;
    Module m;
};

}  // namespace zr::test
