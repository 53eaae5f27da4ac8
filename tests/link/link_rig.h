#pragma once

#include <string>

#include "fakes/rig.h"

// A rig whose link settings are those a first Send takes (DT, pump 1, 9600, Com1), with the
// combo boxes chosen to match.
struct LinkRig : zr::test::Rig {
    LinkRig() {
        m.Protocol = "DT";
        m.AddrChar = "1";
        m.AddrMode = "s";
        m.BaudRate = "9600";
        m.PortNum = 1;
        for (auto [combo, index] : {std::pair{zr::Control::cboAddress, 0},
                                    {zr::Control::cboProtocol, 0},
                                    {zr::Control::cboBaud, 2},
                                    {zr::Control::cboPort, 0}})
            form.setListIndex(combo, index);
    }

    // A DT reply carrying this status and data, as a pump sends it.
    static std::string dtReply(char status, const std::string& data) {
        return std::string("/0") + status + data + "\x03\r\n\xff";
    }
};
