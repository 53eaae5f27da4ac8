#include "fakes/rig.h"

#include "link/send_stop.h"

namespace zr::test {

Rig::Rig(const std::string& folder)
    : files(folder), m(serial, timer, clock, events, dialogs, form, files) {
    form.onText1Change = [this] { text1_Change(m); };
}

}  // namespace zr::test
