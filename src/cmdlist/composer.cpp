#include "cmdlist/composer.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "cmdlist/command_list.h"
#include "cmdlist/command_list_line.h"
#include "shared/error_messages.h"
#include "shared/numbers.h"

namespace zr {

namespace {

constexpr const char* LineEnd = "\r\n";

// Shown under the description of lines whose numeric argument may be an indirect variable,
// after an empty line of its own.
constexpr const char* IndirectHelp =
    "\r\nor the indirect variable @n\r\n"
    "n:\r\n"
    "     1 = Serial input byte 1\r\n"
    "     2 = Serial input byte 2\r\n"
    "     3 = Voltmeter input\r\n"
    "     4 = Voltmeter input, normalized BCD\r\n"
    "     5 = Software counter\r\n"
    "     6 = Valve position\r\n"
    "     7 = Syringe position\r\n"
    "     8 = Syringe position, normalized BCD\r\n"
    "     9 = Serial output, last byte 2 sent\r\n"
    "   10 = Serial output, last byte 1 sent";

// Template characters that stand for themselves.
constexpr std::string_view CopiedMarks = ",+-<>=^";
// Capital letters that are configuration items after "~" and nothing after any other command.
constexpr std::string_view ConfigurationLetters = "ABLPSVHIYZ";

bool Contains(std::string_view set, char c) {
    return set.find(c) != std::string_view::npos;
}

// Asks until the answer is a number within ArgMin..ArgMax, an indirect variable @1..@10,
// or empty; the accepted answer is returned as typed.
std::string NumericAnswer(Module& m, const std::string& prompt) {
    for (;;) {
        std::string answer = m.dialogs.inputBox(prompt, "Enter Number");
        if (!answer.empty() && answer[0] == '@') {
            const double variable = NumericValue(answer.substr(1));
            if (variable > 0 && variable < 11) return answer;
        }
        const double value = NumericValue(answer);
        if (m.ArgMin <= value && value <= m.ArgMax) return answer;
        if (answer.empty()) return answer;
    }
}

// A single letter passes, and so does a longer answer that sorts among the letters.
bool IsLabelAnswer(const std::string& s) {
    return s >= "A" && s <= "z" && (s >= "a" || s <= "Z");
}

std::string LabelAnswer(Module& m) {
    for (;;) {
        std::string answer = m.dialogs.inputBox("Enter a Label letter:  a-z, A-Z", "Enter Label");
        if (IsLabelAnswer(answer)) return answer;
    }
}

std::string DirectionAnswer(Module& m) {
    for (;;) {
        std::string answer =
            m.dialogs.inputBox("Enter direction:  CW = no entry,  CCW = minus sign", "Enter Direction");
        if (answer.empty() || answer == "-") return answer;
    }
}

// The command of one line: its template's first character, then each code in turn.
std::string Compose(Module& m, const CommandListLine& line) {
    m.ArgMin = line.minimum();
    m.ArgMax = line.maximum();
    std::string description = LineEnd + line.description;
    if (line.indirect()) description += LineEnd + std::string(IndirectHelp);
    const std::string prompt = "Enter a number from   " + DecimalText(m.ArgMin) + " to " +
                               DecimalText(m.ArgMax) + LineEnd + description;

    const std::string& t = line.templ;
    std::string composed = t.substr(0, 1);
    for (std::size_t k = 1; k < t.size(); ++k) {
        const char c = t[k];
        if (c == 'n') {
            composed += NumericAnswer(m, prompt);
        } else if (c == 'p') {
            composed += LabelAnswer(m);
        } else if (c == 's') {
            composed += DirectionAnswer(m);
        } else if ((c >= '0' && c <= '9') || Contains(CopiedMarks, c)) {
            composed += c;
        } else if (c == '?') {
            if (k > 1) composed += c;
        } else if (Contains(ConfigurationLetters, c)) {
            if (t[0] == '~') composed += c;
        } else {
            break;
        }
    }
    return composed;
}

void PutInText1(Module& m, std::size_t at) {
    if (m.WorkText.empty()) return;
    std::string text = m.form.text(Control::text1);
    text.insert(std::min(at, text.size()), m.WorkText);
    m.form.setText(Control::text1, text);
}

}  // namespace

void InsertCommand(Module& m) {
    m.WorkText.clear();
    std::vector<std::string> lines;
    if (!ReadCommandListFile(m, lines)) return;
    const int selected = m.form.listIndex(Control::lstCmd);
    if (selected < 0) return;
    if (static_cast<std::size_t>(selected) >= lines.size()) {
        m.dialogs.messageBox("The command list \"" + m.CmdListFile + "\" no longer has line " +
                                 std::to_string(selected + 1) +
                                 ": choose the device type again to reload it.",
                             MessageIcon::Exclamation, "Command list");
        return;
    }
    m.WorkText = Compose(m, ReadCommandListLine(lines[static_cast<std::size_t>(selected)]));
}

void cmdAddCmd_Click(Module& m) {
    InsertCommand(m);
    PutInText1(m, std::string::npos);
}

void cmdInsert_Click(Module& m) {
    InsertCommand(m);
    PutInText1(m, static_cast<std::size_t>(std::max(0, m.form.caretPosition(Control::text1))));
}

void cmdEdit_Click(Module& m) {
    if (m.ReplyData.empty()) {
        m.ErrNum = ErrNothingToCopy;
        ErrorMessage(m);
        return;
    }
    m.form.setText(Control::text1, m.ReplyData.substr(0, m.ReplyData.size() - 1));
}

}  // namespace zr
