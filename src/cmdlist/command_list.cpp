#include "cmdlist/command_list.h"

#include "cmdlist/command_list_line.h"
#include "shared/text_lines.h"

namespace zr {

namespace {

constexpr const char* BoxTitle = "Command list";

}  // namespace

bool ReadCommandListFile(Module& m, std::vector<std::string>& lines) {
    if (m.CmdListFile.empty()) {
        m.dialogs.messageBox("No command list is loaded: choose a device type in Setup first.",
                             MessageIcon::Exclamation, BoxTitle);
        return false;
    }
    std::string content;
    std::string error;
    if (!m.files.read(m.CmdListFile, content, error)) {
        m.dialogs.messageBox("Cannot read the command list \"" + m.CmdListFile + "\": " + error + ".",
                             MessageIcon::Exclamation, BoxTitle);
        return false;
    }
    lines = SplitLines(content);
    return true;
}

// A pick discards the command being edited before the file is opened, even when it then
// cannot be read; the list is emptied then too, because it no longer belongs to the file that
// CmdListFile names.
void cboDevice_Click(Module& m) {
    const int index = m.form.listIndex(Control::cboDevice);
    if (index < 0 || index >= static_cast<int>(DeviceTypes.size())) return;
    m.form.setText(Control::text1, "");
    m.CmdListFile = m.files.listPathOf(DeviceTypes[static_cast<std::size_t>(index)].file);
    std::vector<std::string> lines;
    ReadCommandListFile(m, lines);
    m.form.clearItems(Control::lstCmd);
    for (const std::string& line : lines) m.form.addItem(Control::lstCmd, ReadCommandListLine(line).display);
}

}  // namespace zr
