#pragma once

#include <QComboBox>
#include <functional>
#include <string>

namespace zr {

// Gives each item of the port box ("Com1".."Com4", item i standing for port i + 1) a tooltip and
// an accessible description telling what that port stands for and in what state, from
// `describe`; told once just after the window is first drawn and again each time the list is
// opened, so that an adapter plugged in meanwhile shows up. Shown as plain text.
void KeepPortTipsFresh(QComboBox* box, std::function<std::string(int number)> describe);

}  // namespace zr
