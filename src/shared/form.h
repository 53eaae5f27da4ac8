#pragma once

#include <string>

namespace zr {

// The window's controls, in the window's creation order (a frame's children follow it).
// The timer and the serial control are seams of their own (Timer, SerialPort).
// One line a frame and the controls it holds.
// clang-format off
#define ZR_CONTROLS(X)                                                                       \
    X(fraListCmd) X(lstCmd) X(cmdInsert) X(cmdExitCmdList) X(cmdAddCmd) X(cmdListCmd)       \
    X(fraSetup) X(cboDevice) X(cmdExitSetup) X(cboProtocol) X(cboPort) X(cboBaud)           \
    X(lblDevice) X(lblMode) X(lblPort) X(lblBaud)                                           \
    X(fraProgram) X(cmdExitProgram) X(cboFile0) X(cboFile1) X(cmdDel) X(cmdRecall) X(cmdSave) \
    X(cmdPosition) X(chkReport)                                                             \
    X(fraCmd) X(scrParse) X(cboAddress) X(cmdSetup) X(cmdUnparse) X(cmdParse) X(cmdProgram) \
    X(cmdStop) X(cmdXmit) X(text1) X(lblParse) X(lblAddress)                                \
    X(fraReply) X(cmdEdit) X(scrReply) X(lblReply) X(lblValue) X(lblStatus) X(lblStat)      \
    X(lblStatCode) X(lblCode) X(lblMeaning) X(lblReplyCode)                                 \
    X(lblAuto) X(lblValve) X(lblSyringe)
// clang-format on

enum class Control {
#define ZR_CONTROL_ENUM(name) name,
    ZR_CONTROLS(ZR_CONTROL_ENUM)
#undef ZR_CONTROL_ENUM
};

constexpr int ControlCount = 0
#define ZR_CONTROL_COUNT(name) +1  // NOLINT(bugprone-macro-parentheses): adds one per control
    ZR_CONTROLS(ZR_CONTROL_COUNT)
#undef ZR_CONTROL_COUNT
    ;

// The control's name, as the window's objectName.
const char* ControlName(Control control);

// The controls the module's procedures touch. Setting the text of `text1` raises its change
// handler (text1_Change), as an edit by the operator does; no other setter raises a handler.
class Form {
public:
    virtual ~Form() = default;

    // Caption of a frame, button or label; text of a text box or combo box.
    virtual std::string text(Control control) const = 0;
    virtual void setText(Control control, const std::string& text) = 0;
    virtual bool enabled(Control control) const = 0;
    virtual void setEnabled(Control control, bool on) = 0;
    virtual bool visible(Control control) const = 0;
    virtual void setVisible(Control control, bool on) = 0;
    // A short help text shown when the pointer rests on the control, which is also its
    // description for screen readers.
    virtual void setToolTip(Control control, const std::string& text) = 0;

    // Combo boxes and the list box: the selected index (-1 when none) and the items.
    virtual int listIndex(Control control) const = 0;
    virtual void setListIndex(Control control, int index) = 0;
    virtual void clearItems(Control control) = 0;
    virtual void addItem(Control control, const std::string& item) = 0;
    virtual int itemCount(Control control) const = 0;
    virtual std::string item(Control control, int index) const = 0;

    // Check box value (0 unchecked, 1 checked, 2 greyed); scroll bar value and maximum.
    virtual int value(Control control) const = 0;
    virtual void setValue(Control control, int value) = 0;
    virtual int maximum(Control control) const = 0;
    virtual void setMaximum(Control control, int maximum) = 0;

    // Text box: the number of characters before the caret.
    virtual int caretPosition(Control control) const = 0;

    // Position inside the container, in twips.
    virtual int top(Control control) const = 0;
    virtual void setTop(Control control, int twips) = 0;
};

}  // namespace zr
