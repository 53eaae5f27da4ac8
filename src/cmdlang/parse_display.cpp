#include "cmdlang/parse_display.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "cmdlang/checker.h"
#include "shared/error_messages.h"

namespace zr {

namespace {

int ParseScrollMaximum(const Module& m) {
    return static_cast<int>(std::min<std::size_t>(m.ParseText.size(), ParseScrollMax));
}

// A new form is shown whole; the bar's range follows it at once (quietly, so that the form
// stays whole until the operator moves the bar), so that a bar moved before any form was
// shown can still page through it.
void ShowParseText(Module& m) {
    m.ParseText = m.WorkText;
    m.form.setText(Control::lblParse, m.ParseText);
    m.form.setMaximum(Control::scrParse, ParseScrollMaximum(m));
}

}  // namespace

void UnparseCommand(Module& m) {
    m.WorkText.clear();
    for (char c : m.CmdString)
        if (c != ' ') m.WorkText += c;
    std::string compact;
    compact.reserve(m.WorkText.size());
    const std::string_view text = m.WorkText;
    for (std::size_t i = 0; i < text.size();) {
        if (text.substr(i, 5) == "Error") {
            i += 5;
        } else {
            compact += text[i];
            ++i;
        }
    }
    m.WorkText = std::move(compact);
}

void cmdParse_Click(Module& m) {
    m.CmdString = m.form.text(Control::text1);
    m.ErrNum = 0;
    ParseCommand(m);
    ShowParseText(m);
    if (m.ErrNum != 0) {
        ErrorMessage(m);
        m.dialogs.messageBox(
            "Command syntax error at character #" + std::to_string(m.ScanPos) + "\r\n" + m.ErrDetail,
            MessageIcon::Critical, "Error");
    }
    m.events.processEvents();
}

void cmdUnparse_Click(Module& m) {
    std::string commandLine = std::move(m.CmdString);
    m.CmdString = m.form.text(Control::lblParse);
    m.ErrNum = 0;
    UnparseCommand(m);
    m.CmdString = std::move(commandLine);
    ShowParseText(m);
    m.events.processEvents();
}

void scrParse_Change(Module& m) {
    const std::size_t length = m.ParseText.size();
    const int max = ParseScrollMaximum(m);
    m.form.setMaximum(Control::scrParse, max);
    const int v = std::clamp(m.form.value(Control::scrParse), 0, max);
    const std::size_t from = length <= static_cast<std::size_t>(ParseScrollMax)
                                 ? static_cast<std::size_t>(v)
                                 : static_cast<std::size_t>(v) * length / ParseScrollMax;
    m.form.setText(Control::lblParse, m.ParseText.substr(from));
}

}  // namespace zr
