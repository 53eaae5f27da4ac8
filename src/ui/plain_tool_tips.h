#pragma once

#include <QWidget>

namespace zr {

// Makes `widget` show its tooltip, or for an item view's viewport the tooltip of the item under
// the pointer, as the plain text it is: a text that looks like markup (a typed port name, a
// link's target, what a USB adapter reports of itself) is drawn character by character, with
// its line breaks and spaces, never as bold type or an image. The tooltip texts themselves stay
// as they were set.
void ShowToolTipsAsPlainText(QWidget* widget);

}  // namespace zr
