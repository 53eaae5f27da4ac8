#pragma once

#include <string>

#include "fakes/fake_clock.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_event_pump.h"
#include "fakes/fake_form.h"
#include "fakes/fake_serial.h"
#include "fakes/fake_timer.h"
#include "shared/disk_files.h"
#include "shared/module.h"

namespace zr::test {

// A module on fakes: the procedures and handlers run as in the program, with no widgets,
// no port and a program folder of the test's choosing (a temporary directory).
struct Rig {
    explicit Rig(const std::string& folder = "/nonexistent-zadu-rovu-folder");

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
