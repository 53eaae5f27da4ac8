#pragma once

#include <string>

#include "fakes/rig.h"

// A rig whose link settings are those a first Send would take (DT, pump 1, 9600, Com1), with
// the combo boxes chosen to match, and helpers that script the pump's answers.
struct LinkRig : zr::test::Rig {
    LinkRig();

    // The pump answers every frame with `reply`, `delay` seconds after it was written.
    void answer(const std::string& reply, double delay = 0.05);
    // A DT reply carrying this status and data, as a pump sends it.
    static std::string dtReply(char status, const std::string& data);
};
