#include "store/program_file.h"

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "shared/error_messages.h"
#include "shared/text_lines.h"
#include "store/program_errors.h"
#include "store/program_lines.h"

namespace zr {

namespace {

// The file's text, or false after telling the operator why there is none.
bool ReadProgramText(Module& m, std::string& text) {
    if (!m.files.exists(m.ProgFile)) {
        RaiseProgramError(m, ErrProgramFileMissing);
        return false;
    }
    std::string reason;
    if (!m.files.read(m.ProgFile, text, reason)) {
        ReportUnreadableProgramFile(m, reason);
        return false;
    }
    return true;
}

void RewriteProgramFile(Module& m, const std::string& entry) {
    std::string text;
    if (!ReadProgramText(m, text)) return;
    const bool deleting = m.ProgMode == "delete";
    const std::string newText = RewriteProgramText(
        SplitLines(text), m.ProgName, deleting ? std::nullopt : std::optional<std::string_view>(entry));
    std::string reason;
    if (!m.files.replace(m.ProgFile, newText, reason)) ReportUnwritableProgramFile(m, reason);
}

// A file whose last line has no line end (edited by hand) gets one first, so that the new
// entry starts a line of its own instead of running on into the last one. A line feed alone
// does not end a line.
void AppendProgramEntry(Module& m, const std::string& entry) {
    std::string text;
    if (!ReadProgramText(m, text)) return;
    std::string addition = entry + ProgramLineEnd;
    const bool lineEnded = text.ends_with('\r') || text.ends_with(ProgramLineEnd);
    if (!text.empty() && !lineEnded) addition.insert(0, ProgramLineEnd);
    std::string reason;
    if (!m.files.append(m.ProgFile, addition, reason)) ReportUnwritableProgramFile(m, reason);
}

// A line that starts with a double quote holds no entry, so a program saved under such a
// name could never be found again.
bool OutsideNameRange(unsigned char first) {
    return first < 33 || first > 127 || first == '"';
}

}  // namespace

void ExtractProgramName(Module& m) {
    m.WorkText = std::string(ProgramNameOf(m.WorkText));
}

void LoadProgramNames(Module& m) {
    m.form.clearItems(Control::cboFile0);
    m.form.clearItems(Control::cboFile1);
    std::string text;
    if (!ReadProgramText(m, text)) return;
    const bool saving = m.ProgMode == "save";
    const bool picking = m.ProgMode == "delete" || m.ProgMode == "retrieve";
    if (!saving && !picking) return;
    const Control list = saving ? Control::cboFile0 : Control::cboFile1;
    for (std::string& line : SplitLines(text)) {
        m.WorkText = std::move(line);
        ExtractProgramName(m);
        if (!m.WorkText.empty()) m.form.addItem(list, m.WorkText);
    }
}

void RetrieveProgram(Module& m) {
    std::string text;
    if (!ReadProgramText(m, text)) return;
    std::optional<std::string> found = FindProgram(SplitLines(text), m.ProgName);
    if (!found) {
        m.ErrNum = ErrProgramNotFound;
        ErrorMessage(m);
        return;
    }
    m.CmdString = std::move(*found);
}

void StoreProgram(Module& m) {
    const std::string entry = m.ProgName + ";" + m.CmdString + ProgramLineEnd;
    if (!m.files.exists(m.ProgFile)) {
        RaiseProgramError(m, ErrProgramFileMissing);
        return;
    }
    if (m.ProgMode == "replace" || m.ProgMode == "delete") {
        RewriteProgramFile(m, entry);
        m.CmdString = m.form.text(Control::text1);
    } else if (m.ProgMode == "append") {
        AppendProgramEntry(m, entry);
    }
}

void CheckProgramEntry(Module& m) {
    if (m.ProgName.empty() || OutsideNameRange(static_cast<unsigned char>(m.ProgName.front()))) {
        m.ErrNum = ErrIllegalProgramName;
    }
    const std::string command = m.form.text(Control::text1);
    if (command.empty() || static_cast<unsigned char>(command.front()) < 33)
        m.ErrNum = ErrIllegalCommandString;
}

}  // namespace zr
