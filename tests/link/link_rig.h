#pragma once

#include <algorithm>
#include <string>

#include "fakes/rig.h"

// A rig whose link settings are those a first Send takes (DT, pump 1, 9600, Com1), with the
// combo boxes chosen to match, and scripted pumps.
struct LinkRig : zr::test::Rig {
    LinkRig() {
        m.Protocol = "DT";
        m.AddrChar = "1";
        m.AddrMode = "s";
        m.BaudRate = "9600";
        m.PortNum = 1;
        form.setListIndex(zr::Control::cboAddress, 0);
        form.setListIndex(zr::Control::cboProtocol, 0);
        form.setListIndex(zr::Control::cboBaud, 2);
        form.setListIndex(zr::Control::cboPort, 0);
    }

    // A DT reply carrying this status and data, as a pump sends it.
    static std::string dtReply(char status, const std::string& data) {
        return std::string("/0") + status + data + "\x03\r\n\xff";
    }

    // The pump answers every frame with `reply`, `delay` seconds after it was written.
    void answer(const std::string& reply, double delay = 0.05) {
        serial.onOutput = [this, reply, delay](const std::string&) { serial.arrive(reply, delay); };
    }

    // A pump at position 0 with its valve at port 1 that answers any other command "done". Its
    // status in the k-th position cycle (which ends with the valve query) is statuses[k]; the
    // last one repeats.
    void pump(const std::string& statuses = "`") {
        serial.onOutput = [this, statuses, cycle = std::size_t(0)](const std::string& frame) mutable {
            const std::string command = frame.substr(2, frame.size() - 3);
            const char status = statuses[std::min(cycle, statuses.size() - 1)];
            if (command == "?8") ++cycle;
            serial.arrive(dtReply(status, command == "?" ? "0" : command == "?8" ? "1" : "done"), 0.05);
        };
    }
};
