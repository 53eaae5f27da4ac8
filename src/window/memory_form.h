#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "shared/form.h"

namespace zr {

// The window's controls as plain state, for running the module without widgets. Setting a
// text calls onTextSet with the control, so that its owner can raise text1_Change as the real
// window does; selecting a list index also sets the combo's text to the item, as a real combo
// box shows its selection.
class MemoryForm : public Form {
public:
    struct State {
        std::string text, toolTip;
        bool enabled = true, visible = true;
        int listIndex = -1;
        std::vector<std::string> items;
        int value = 0, maximum = 0, caret = 0, top = 0;
    };

    std::string text(Control c) const override { return at(c).text; }
    void setText(Control c, const std::string& text) override {
        at(c).text = text;
        if (onTextSet) onTextSet(c);
    }
    bool enabled(Control c) const override { return at(c).enabled; }
    void setEnabled(Control c, bool on) override { at(c).enabled = on; }
    bool visible(Control c) const override { return at(c).visible; }
    void setVisible(Control c, bool on) override { at(c).visible = on; }
    void setToolTip(Control c, const std::string& text) override { at(c).toolTip = text; }

    int listIndex(Control c) const override { return at(c).listIndex; }
    void setListIndex(Control c, int index) override {
        at(c).listIndex = index;
        if (index >= 0 && index < itemCount(c)) at(c).text = item(c, index);
    }
    void clearItems(Control c) override {
        at(c).items.clear();
        at(c).listIndex = -1;
    }
    void addItem(Control c, const std::string& item) override { at(c).items.push_back(item); }
    int itemCount(Control c) const override { return static_cast<int>(at(c).items.size()); }
    std::string item(Control c, int index) const override {
        return index < 0 || index >= itemCount(c) ? std::string() : at(c).items[std::size_t(index)];
    }

    int value(Control c) const override { return at(c).value; }
    void setValue(Control c, int value) override { at(c).value = value; }
    int maximum(Control c) const override { return at(c).maximum; }
    void setMaximum(Control c, int maximum) override { at(c).maximum = maximum; }

    int caretPosition(Control c) const override { return at(c).caret; }
    int top(Control c) const override { return at(c).top; }
    void setTop(Control c, int twips) override { at(c).top = twips; }

    State& at(Control c) { return states_[static_cast<std::size_t>(c)]; }
    const State& at(Control c) const { return states_[static_cast<std::size_t>(c)]; }

    std::function<void(Control)> onTextSet;

private:
    std::array<State, ControlCount> states_{};
};

}  // namespace zr
