#pragma once

#include <string>

namespace zr {

enum class MessageIcon { None, Exclamation, Critical };

// Modal boxes. An empty title means the box has no title of its own (the program's name is
// shown). The input box starts with an empty answer; Cancel gives the empty answer.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void messageBox(const std::string& text, MessageIcon icon, const std::string& title) = 0;
    virtual std::string inputBox(const std::string& prompt, const std::string& title) = 0;
};

}  // namespace zr
