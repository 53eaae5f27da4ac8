#include "cmdlang/checker.h"

#include <string_view>

#include "cmdlang/command_table.h"
#include "shared/error_messages.h"

namespace zr {

namespace {

constexpr int None = -1;  // the "character" past either end of the string
constexpr NumberRange VariableRange{1, 10};
constexpr const char* CommandGap = "   ";

int Length(const Module& m) {
    return static_cast<int>(m.CmdString.size());
}

// The character at a 1-based position, or None outside the string.
int CharAt(const Module& m, int pos) {
    if (pos < 1 || pos > Length(m)) return None;
    return static_cast<unsigned char>(m.CmdString[static_cast<std::size_t>(pos - 1)]);
}

int Current(const Module& m) {
    return CharAt(m, m.ScanPos);
}
int Next(const Module& m) {
    return CharAt(m, m.ScanPos + 1);
}

bool IsDigit(int c) {
    return c >= '0' && c <= '9';
}
bool IsLetter(int c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
bool IsOneOf(int c, std::string_view set) {
    return c != None && set.find(static_cast<char>(c)) != std::string_view::npos;
}

// ScanPos never gets further than two past the end of a string the checker takes, so these
// steps stay inside 16 bits.
void Forward(Module& m) {
    m.ScanPos = static_cast<int16_t>(m.ScanPos + 1);
}
void Back(Module& m) {
    m.ScanPos = static_cast<int16_t>(m.ScanPos - 1);
}

void Append(Module& m, int c) {
    if (c != None) m.WorkText += static_cast<char>(c);
}

void TakeMark(Module& m) {
    Forward(m);
    Append(m, Current(m));
}

void Number(Module& m, const NumberRange& range) {
    SetRange(m, range);
    ReadNumber(m);
}

void Label(Module& m) {
    Forward(m);
    ReadLabel(m);
}

// NumText holds digits only, and never more value than one digit past ArgMax.
int64_t NumTextValue(const Module& m) {
    int64_t value = 0;
    for (char c : m.NumText) value = value * 10 + (c - '0');
    return value;
}

void ChooseMode(Module& m) {
    const int first = CharAt(m, 1);
    const int second = CharAt(m, 2);
    const bool immediate =
        IsOneOf(first, ImmediateStarters) || (first == 'k' && (second == None || IsLetter(second)));
    m.CmdMode.assign(1, immediate ? 'i' : 'p');
}

// One top-level step of a run-mode string: the last character, a letter before "@", a label
// definition, or a command of the table.
void CheckRunStep(Module& m) {
    if (m.ScanPos == Length(m)) {
        ReadLabel(m);
    } else if (Next(m) == '@') {
        ReadLabel(m);
        ReadVariable(m);
    } else if (Current(m) == ':') {
        Append(m, ':');
        Forward(m);
        ReadLabel(m);
    } else {
        CheckRunCommand(m);
    }
}

void CheckCounter(Module& m, const RunCommand& cmd) {
    const int next = Next(m);
    if (IsDigit(next)) {
        Number(m, cmd.first);
    } else if (IsOneOf(next, "<=>")) {
        TakeMark(m);
        Number(m, cmd.first);
        Label(m);
    } else if (IsOneOf(next, "+-")) {
        TakeMark(m);
        Number(m, cmd.first);
    } else if (next == '^') {
        TakeMark(m);
        Number(m, cmd.second);
    } else {
        m.ErrNum = ErrMixedModes;
    }
}

void CheckStore(Module& m, const RunCommand& cmd) {
    if (IsOneOf(Next(m), "<>")) {
        TakeMark(m);
        Number(m, cmd.first);
        Label(m);
        return;
    }
    if (Next(m) == '#') TakeMark(m);
    Number(m, cmd.first);
    if (Next(m) == ',') {
        TakeMark(m);
        ReadNumber(m);
    }
}

// A number, then one character of any kind.
void CheckNumberAnyChar(Module& m, const RunCommand& cmd) {
    Number(m, cmd.first);
    TakeMark(m);
}

// A comparison mark and a number, or a selector value, then the label to branch to.
void CheckBranch(Module& m, const RunCommand& cmd) {
    if (IsOneOf(Next(m), "<>")) {
        TakeMark(m);
        Number(m, cmd.first);
    } else {
        ReadSelectorNumber(m);
    }
    Label(m);
}

// An optional "-", then a number.
void CheckValve(Module& m, const RunCommand& cmd) {
    if (Next(m) == '-') TakeMark(m);
    Number(m, cmd.first);
}

// An optional "#", then a selector value.
void CheckSelector(Module& m) {
    if (Next(m) == '#') TakeMark(m);
    ReadSelectorNumber(m);
}

// "?", left for the next command to read, or a number and a label.
void CheckQuery(Module& m, const RunCommand& cmd) {
    if (Next(m) == '?') return;
    Number(m, cmd.first);
    Label(m);
}

// A comparison mark, a number and a label; without the mark the command is invalid.
void CheckCompare(Module& m, const RunCommand& cmd) {
    if (!IsOneOf(Next(m), "=<>")) {
        m.ErrNum = ErrInvalidCommand;
        return;
    }
    TakeMark(m);
    Number(m, cmd.first);
    Label(m);
}

// A number, then "=" and a second number when one follows.
void CheckPair(Module& m, const RunCommand& cmd) {
    Number(m, cmd.first);
    if (Next(m) == '=') {
        TakeMark(m);
        Number(m, cmd.second);
    }
}

// What follows a run-mode command's letter, as its shape in the table has it.
void CheckRunArguments(Module& m, const RunCommand& cmd) {
    switch (cmd.shape) {
        case RunShape::Nothing:
            return;
        case RunShape::Number:
            return Number(m, cmd.first);
        case RunShape::NumberAnyChar:
            return CheckNumberAnyChar(m, cmd);
        case RunShape::Label:
            return Label(m);
        case RunShape::Branch:
            return CheckBranch(m, cmd);
        case RunShape::Counter:
            return CheckCounter(m, cmd);
        case RunShape::Valve:
            return CheckValve(m, cmd);
        case RunShape::Store:
            return CheckStore(m, cmd);
        case RunShape::Selector:
            return CheckSelector(m);
        case RunShape::Query:
            return CheckQuery(m, cmd);
        case RunShape::Compare:
            return CheckCompare(m, cmd);
        case RunShape::Pair:
            return CheckPair(m, cmd);
        case RunShape::OtherMode:
            m.ErrNum = ErrMixedModes;
            return;
    }
}

}  // namespace

void ParseCommand(Module& m) {
    m.ErrNum = 0;
    m.WorkText.clear();
    if (m.CmdString.size() > LongestCommandString) {
        m.ErrNum = ErrCommandTooLong;
        m.ScanPos = static_cast<int16_t>(LongestCommandString + 1);
        return;
    }
    if (m.CmdString.empty())
        m.ErrNum = ErrInvalidCommand;
    else
        ChooseMode(m);
    const int n = Length(m);
    m.ScanPos = 1;
    while (m.ScanPos <= n) {
        m.LetterErr = ErrLabelExpected;
        if (m.CmdMode == "p")
            CheckRunStep(m);
        else
            CheckImmediateCommand(m);
        if (m.ScanPos > n + 1) {
            m.ErrNum = ErrInvalidCommand;
            return;
        }
        m.WorkText += CommandGap;
        if (m.ErrNum != 0) {
            m.WorkText += " Error";
            return;
        }
        Forward(m);
    }
}

void CheckRunCommand(Module& m) {
    m.LetterErr = ErrLabelExpected;
    const int c = Current(m);
    Append(m, c);
    const RunCommand* cmd = c == None ? nullptr : FindRunCommand(static_cast<char>(c));
    if (cmd == nullptr) {
        m.ErrNum = ErrNoSuchCommand;
        return;
    }
    CheckRunArguments(m, *cmd);
}

void CheckImmediateCommand(Module& m) {
    const int c = Current(m);
    const ImmediateCommand* cmd = c == None ? nullptr : FindImmediateCommand(static_cast<char>(c));
    if (cmd == nullptr) {
        m.ErrNum = ErrNoSuchCommand;
        return;
    }
    if (cmd->shape == ImmediateShape::OtherMode) {
        m.ErrNum = ErrMixedModes;
        return;
    }
    Append(m, c);
    switch (cmd->shape) {
        case ImmediateShape::Number:
            Number(m, cmd->range);
            break;
        case ImmediateShape::OptionalNumber:
            if (m.ScanPos < Length(m) && IsDigit(Next(m))) Number(m, cmd->range);
            break;
        case ImmediateShape::Letter:
            if (m.ScanPos >= Length(m)) break;
            if (IsOneOf(Next(m), ImmediateLetters))
                TakeMark(m);
            else
                m.ErrNum = ErrInvalidArgument;
            break;
        case ImmediateShape::Nothing:
        case ImmediateShape::OtherMode:
            break;
    }
}

void ReadNumber(Module& m) {
    m.NumText.clear();
    if (!IsDigit(Next(m))) {
        m.ErrNum = ErrInvalidCommand;
        return;
    }
    int64_t value = 0;
    for (;;) {
        Forward(m);
        const int c = Current(m);
        if (!IsDigit(c)) break;
        m.NumText += static_cast<char>(c);
        value = value * 10 + (c - '0');
        if (value > m.ArgMax) {
            m.ErrNum = ErrInvalidArgument;
            return;
        }
    }
    if (value < m.ArgMin) {
        m.ErrNum = ErrInvalidArgument;
        Back(m);
        return;
    }
    m.WorkText += m.NumText;
    if (m.ScanPos <= Length(m)) Back(m);
}

void ReadLabel(Module& m) {
    const int c = Current(m);
    if (c == None) return;
    if (IsLetter(c))
        Append(m, c);
    else
        m.ErrNum = m.LetterErr;
}

// A selector value that selects nothing takes its digits, all of them, leading zeros
// included, off the parsed form again.
void ReadSelectorNumber(Module& m) {
    Number(m, SelectorRange);
    if (!IsSelectorGap(NumTextValue(m))) return;
    m.WorkText.resize(m.WorkText.size() - m.NumText.size());
    m.ErrNum = ErrInvalidArgument;
}

void ReadVariable(Module& m) {
    TakeMark(m);
    Number(m, VariableRange);
}

}  // namespace zr
