#include "reply/interpret_reply.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "reply/config_reports.h"
#include "reply/query_reports.h"
#include "reply/report_pieces.h"
#include "reply/status_meanings.h"
#include "shared/numbers.h"

namespace zr {

namespace {

std::string FlagReport(const std::string& argument, int16_t replyNumber) {
    if (NumericValue(argument) == 9)
        return replyNumber == 1 ? "HOME button = inhibited" : "HOME button = enabled";
    const std::string flag = CharAt(argument, 0);
    return replyNumber == 1 ? "flag " + flag + " is set" : "flag" + flag + "is cleared";
}

std::string SupplyReport(const std::string& replyData) {
    const auto volts = static_cast<float>(std::floor(NumericValue(replyData) / 0.5) / 10);
    return "Device supply = " + SignedTextSingle(volts) + " Volts";
}

// Saving or erasing a stored program answers with the number of writes to its memory so far.
std::string ProgramMemoryReport(const char* done, const std::string& argument, const std::string& data) {
    return done + CharAt(argument, 0) + ".  Total NVM writes = " + data;
}

// The sentence for the data of a reply to `command`: its first character picks the family,
// the rest (the argument) the item. A command outside the families shows the data as they came.
std::string DataReport(const std::string& command, const std::string& data) {
    const char letter = command.empty() ? '\0' : command[0];
    const std::string argument = command.size() > 1 ? command.substr(1) : std::string();
    switch (letter) {
        case '?':
            return QueryReport(argument, data);
        case '~':
            return ConfigReport(argument, data);
        case '*':
            return SupplyReport(data);
        case '%':
            return data + " valve moves since power-up";
        case '$':
            return data + " stalls during this valve move";
        case 'f':
            return FlagReport(argument, ReplyNumber(data));
        case 'z':
            return "variable z" + CharAt(argument, 0) + " = " + data;
        case 'x':
            if (argument != "?") return "";
            return ReplyNumber(data) == 0 ? "no error" : "last error = " + data;
        case '&':
            return "Firmware Version = " + data;
        case 'E':
            return ProgramMemoryReport("Saved as program #", argument, data);
        case 'e':
            return ProgramMemoryReport("Erased program #", argument, data);
        case '!':
            return "Saved current syringe speeds as defaults.";
        default:
            return data;
    }
}

}  // namespace

void InterpretReply(Module& m) {
    m.StatusText.clear();
    m.ReplyText.clear();
    m.ErrDetail.clear();
    m.ErrNum = 0;
    m.StatusCodeText = StatusCodeText(m.StatusChar);
    m.StatusText = StatusText(m.StatusChar);
    if (m.ReplyData.empty()) {
        m.ReplyText = "n/a";
        return;
    }
    m.ReplyText = DataReport(m.CmdString, m.ReplyData);
    // An edit reply holds a command string that the Edit button can put into the command line.
    if (!m.CmdString.empty() && m.CmdString[0] == 'q') m.form.setEnabled(Control::cmdEdit, true);
}

void SetReplyScrollMaximum(Module& m) {
    constexpr std::size_t kLargest = std::numeric_limits<int16_t>::max();
    m.form.setMaximum(Control::scrReply, static_cast<int>(std::min(m.ReplyText.size(), kLargest)));
}

// The reply field is one line of fixed width; the scroll bar drops the first (value)
// characters so that the rest of a long sentence can be read.
void scrReply_Change(Module& m) {
    SetReplyScrollMaximum(m);
    const auto dropped = static_cast<std::size_t>(std::max(m.form.value(Control::scrReply), 0));
    m.form.setText(Control::lblReply, dropped < m.ReplyText.size() ? m.ReplyText.substr(dropped) : "");
}

}  // namespace zr
