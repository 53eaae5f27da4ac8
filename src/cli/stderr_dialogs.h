#pragma once

#include <string>

#include "shared/dialogs.h"

namespace zr::cli {

// Message boxes as lines on stderr, "title: text" (the program's name for a box without a
// title of its own), each line break of the text a line of its own. Nobody answers an input
// box: it gives the empty answer, as Cancel does.
class StderrDialogs : public Dialogs {
public:
    void messageBox(const std::string& text, MessageIcon icon, const std::string& title) override;
    std::string inputBox(const std::string& prompt, const std::string& title) override;

    // The last box's text as told, line breaks and all; "" once forgotten.
    const std::string& lastText() const { return last_; }
    void forget() { last_.clear(); }
    // Quiet, the boxes are kept for lastText() but not written.
    void setQuiet(bool quiet) { quiet_ = quiet; }

private:
    std::string last_;
    bool quiet_ = false;
};

}  // namespace zr::cli
