#include "fakes/rig.h"

#include "link/send_stop.h"
#include "window/control_table.h"

namespace zr::test {

Rig::Rig(const std::string& folder) : files(folder), m(serial, timer, clock, events, dialogs, form, files) {
    form.onText1Change = [this] { text1_Change(m); };
    for (const ControlInfo& info : ControlTable())
        for (const std::string& item : FixedItems(info.control)) form.addItem(info.control, item);
}

}  // namespace zr::test
