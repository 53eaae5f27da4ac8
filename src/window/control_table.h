#pragma once

#include <string>
#include <vector>

#include "shared/form.h"

namespace zr {

enum class ControlKind {
    Frame,
    Button,
    Label,         // a fixed caption
    DisplayLabel,  // an output field with a single-line border
    TextBox,
    ListBox,
    ComboEditable,
    ComboList,
    ScrollBar,
    CheckBox,
};

struct FontInfo {
    double points;
    bool bold;
    bool italic;
};

// One row of the window's control table. Geometry is in twips, relative to the container.
struct ControlInfo {
    Control control;
    ControlKind kind;
    bool inWindow;  // true: the window holds it; false: `container` does
    Control container;
    const char* caption;
    int left, top, width, height;
    FontInfo font;
};

// Every control, in the window's creation order (a frame's children follow it).
const std::vector<ControlInfo>& ControlTable();
const ControlInfo& InfoOf(Control control);

// The fixed items of a combo box's list (empty for controls without fixed items).
const std::vector<std::string>& FixedItems(Control control);
// Fills every combo box of `form` with its fixed items, as the window holds them.
void AddFixedItems(Form& form);

// The window's client area, in twips.
constexpr int kClientWidthTwips = 9405;
constexpr int kClientHeightTwips = 5910;

}  // namespace zr
