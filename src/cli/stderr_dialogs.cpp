#include "cli/stderr_dialogs.h"

#include "cli/output.h"

namespace zr::cli {

void StderrDialogs::messageBox(const std::string& text, MessageIcon, const std::string& title) {
    std::string lines = (title.empty() ? std::string("Zadu Rovu") : title) + ": ";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\r\n") == 0) {
            lines += '\n';
            ++i;
        } else {
            lines += text[i];
        }
    }
    if (!quiet_) Tell(lines);
    last_ = lines;
}

std::string StderrDialogs::inputBox(const std::string&, const std::string&) {
    return {};
}

}  // namespace zr::cli
