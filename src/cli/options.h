#pragma once

#include <string>
#include <vector>

namespace zr::cli {

// What the command line asks for. The link choices are indices into the window's lists, so
// that they reach the module exactly as the operator's choices in the window do.
struct Options {
    enum class Action { Send, Check, Position, Help, Version };
    Action action = Action::Help;
    int portIndex = 0;      // Com1
    int baudIndex = 2;      // 9600
    int protocolIndex = 0;  // DT
    int addressIndex = 0;   // "1"
    std::string device;     // a device given by path, standing for Com1; "" when none
    bool json = false;
    bool watch = false;
    std::vector<std::string> commands;
};

// The result of reading the command line: the options, or what is wrong with it.
struct Parsed {
    Options options;
    std::string error;  // "" when the command line is good
};

Parsed ParseArguments(const std::vector<std::string>& arguments);

// The usage text, naming the program as it was called.
std::string Usage(const std::string& program);

}  // namespace zr::cli
