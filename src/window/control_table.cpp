#include "window/control_table.h"

#include <map>

#include "shared/list_boxes.h"

namespace zr {

namespace {

using C = Control;
using K = ControlKind;

constexpr FontInfo kFrameFont{15.75, true, false};
constexpr FontInfo kReplyFrameFont{18, true, false};
constexpr FontInfo kButtonFont{12, true, false};
constexpr FontInfo kSendStopFont{14.25, true, true};
constexpr FontInfo kSmallButtonFont{9.75, true, false};
constexpr FontInfo kCaptionFont{9.75, true, false};
constexpr FontInfo kFieldFont{12, false, false};
constexpr FontInfo kSyringeFont{8.25, false, false};

ControlInfo Top(C c, K k, const char* caption, int l, int t, int w, int h, FontInfo f) {
    return {c, k, true, c, caption, l, t, w, h, f};
}
ControlInfo In(C parent, C c, K k, const char* caption, int l, int t, int w, int h, FontInfo f) {
    return {c, k, false, parent, caption, l, t, w, h, f};
}

std::vector<ControlInfo> BuildTable() {
    return {
        Top(C::fraListCmd, K::Frame, "Commands", 3000, 960, 4680, 4815, kFrameFont),
        In(C::fraListCmd, C::lstCmd, K::ListBox, "", 120, 1080, 4455, 3570, kFieldFont),
        In(C::fraListCmd, C::cmdInsert, K::Button, "Insert", 1800, 480, 1095, 495, kButtonFont),
        In(C::fraListCmd, C::cmdExitCmdList, K::Button, "Exit", 3360, 480, 1095, 495, kButtonFont),
        In(C::fraListCmd, C::cmdAddCmd, K::Button, "Add", 240, 480, 1095, 495, kButtonFont),
        Top(C::cmdListCmd, K::Button, "List Commands", 7200, 2880, 2055, 375, kButtonFont),
        Top(C::fraSetup, K::Frame, "Setup", 960, 2760, 7575, 1215, kFrameFont),
        In(C::fraSetup, C::cboDevice, K::ComboEditable, "None", 240, 600, 2175, 390, kFieldFont),
        In(C::fraSetup, C::cmdExitSetup, K::Button, "Exit", 6600, 600, 735, 375, kButtonFont),
        In(C::fraSetup, C::cboProtocol, K::ComboEditable, "", 2640, 600, 975, 390, kFieldFont),
        In(C::fraSetup, C::cboPort, K::ComboEditable, "", 3840, 600, 1095, 390, kFieldFont),
        In(C::fraSetup, C::cboBaud, K::ComboEditable, "", 5160, 600, 1215, 390, kFieldFont),
        In(C::fraSetup, C::lblDevice, K::Label, "Device Type", 240, 360, 1575, 255, kCaptionFont),
        In(C::fraSetup, C::lblMode, K::Label, "Protocol", 2640, 360, 855, 255, kCaptionFont),
        In(C::fraSetup, C::lblPort, K::Label, "Com Port", 3840, 360, 975, 255, kCaptionFont),
        In(C::fraSetup, C::lblBaud, K::Label, "Baud Rate", 5160, 360, 1095, 255, kCaptionFont),
        Top(C::fraProgram, K::Frame, "Program", 2640, 3720, 5175, 1815, kFrameFont),
        In(C::fraProgram, C::cmdExitProgram, K::Button, "Exit", 3840, 480, 1095, 495, kButtonFont),
        In(C::fraProgram, C::cboFile0, K::ComboEditable, "", 240, 1200, 4695, 390, kFieldFont),
        In(C::fraProgram, C::cboFile1, K::ComboList, "", 240, 1080, 4695, 390, kFieldFont),
        In(C::fraProgram, C::cmdDel, K::Button, "Delete", 2640, 480, 1095, 495, kButtonFont),
        In(C::fraProgram, C::cmdRecall, K::Button, "Recall", 1440, 480, 1095, 495, kButtonFont),
        In(C::fraProgram, C::cmdSave, K::Button, "Save", 240, 480, 1095, 495, kButtonFont),
        Top(C::cmdPosition, K::Button, "Show Position", 960, 2880, 1815, 375, kButtonFont),
        Top(C::chkReport, K::CheckBox, "", 600, 2880, 255, 255, kCaptionFont),
        Top(C::fraCmd, K::Frame, "Command", 120, 120, 9135, 2655, kFrameFont),
        In(C::fraCmd, C::scrParse, K::ScrollBar, "", 120, 1320, 8895, 255, kFieldFont),
        In(C::fraCmd, C::cboAddress, K::ComboList, "", 7800, 2040, 1215, 390, kFieldFont),
        In(C::fraCmd, C::cmdSetup, K::Button, "Setup", 6360, 1800, 1095, 615, kButtonFont),
        In(C::fraCmd, C::cmdUnparse, K::Button, "unParse", 3720, 1800, 1215, 615, kButtonFont),
        In(C::fraCmd, C::cmdParse, K::Button, "Parse", 2520, 1800, 1095, 615, kButtonFont),
        In(C::fraCmd, C::cmdProgram, K::Button, "File", 5040, 1800, 1215, 615, kButtonFont),
        In(C::fraCmd, C::cmdStop, K::Button, "Stop", 1320, 1800, 1095, 615, kSendStopFont),
        In(C::fraCmd, C::cmdXmit, K::Button, "Send", 120, 1800, 1095, 615, kSendStopFont),
        In(C::fraCmd, C::text1, K::TextBox, "", 120, 360, 8895, 375, kFieldFont),
        In(C::fraCmd, C::lblParse, K::DisplayLabel, "", 120, 840, 8895, 375, kFieldFont),
        In(C::fraCmd, C::lblAddress, K::Label, "Device", 8040, 1800, 735, 255, kCaptionFont),
        Top(C::fraReply, K::Frame, "Response", 120, 3960, 9135, 1815, kReplyFrameFont),
        In(C::fraReply, C::cmdEdit, K::Button, "Edit", 8400, 360, 615, 255, kSmallButtonFont),
        In(C::fraReply, C::scrReply, K::ScrollBar, "", 2160, 360, 6135, 255, kFieldFont),
        In(C::fraReply, C::lblReply, K::DisplayLabel, "", 1200, 720, 7095, 375, kFieldFont),
        In(C::fraReply, C::lblValue, K::Label, "Value", 8400, 840, 615, 255, kCaptionFont),
        In(C::fraReply, C::lblStatus, K::DisplayLabel, "", 1200, 1200, 7095, 375, kFieldFont),
        In(C::fraReply, C::lblStat, K::Label, "Status", 8400, 1320, 615, 255, kCaptionFont),
        In(C::fraReply, C::lblStatCode, K::DisplayLabel, "", 120, 1200, 975, 375, kFieldFont),
        In(C::fraReply, C::lblCode, K::Label, "Code", 120, 480, 855, 255, kCaptionFont),
        In(C::fraReply, C::lblMeaning, K::Label, "Meaning", 1200, 480, 975, 255, kCaptionFont),
        In(C::fraReply, C::lblReplyCode, K::DisplayLabel, "", 120, 720, 975, 375, kFieldFont),
        Top(C::lblAuto, K::Label, "Auto", 240, 2880, 375, 255, kCaptionFont),
        Top(C::lblValve, K::Label, "", 3840, 2880, 975, 255, kCaptionFont),
        Top(C::lblSyringe, K::Label, "", 2400, 2880, 1335, 255, kSyringeFont),
    };
}

}  // namespace

const std::vector<ControlInfo>& ControlTable() {
    static const std::vector<ControlInfo> table = BuildTable();
    return table;
}

const ControlInfo& InfoOf(Control control) {
    for (const ControlInfo& info : ControlTable())
        if (info.control == control) return info;
    return ControlTable().front();
}

namespace {

template <typename Table>
std::vector<std::string> Items(const Table& table) {
    std::vector<std::string> items;
    items.reserve(table.size());
    for (const auto& entry : table) items.emplace_back(entry.item);
    return items;
}

}  // namespace

const std::vector<std::string>& FixedItems(Control control) {
    static const std::map<Control, std::vector<std::string>> lists = {
        {C::cboDevice, Items(DeviceTypes)},
        {C::cboProtocol, Items(ProtocolItems)},
        {C::cboPort, std::vector<std::string>(PortItems.begin(), PortItems.end())},
        {C::cboBaud, Items(BaudItems)},
        {C::cboAddress, Items(AddressItems)},
    };
    static const std::vector<std::string> none;
    const auto found = lists.find(control);
    return found == lists.end() ? none : found->second;
}

void AddFixedItems(Form& form) {
    for (const ControlInfo& info : ControlTable())
        for (const std::string& item : FixedItems(info.control)) form.addItem(info.control, item);
}

}  // namespace zr
