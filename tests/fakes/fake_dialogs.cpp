#include "fakes/fake_dialogs.h"

#include <stdexcept>

namespace zr::test {

void FakeDialogs::messageBox(const std::string& text, MessageIcon icon, const std::string& title) {
    messages.push_back({text, icon, title});
}

std::string FakeDialogs::inputBox(const std::string& prompt, const std::string& title) {
    prompts.push_back({prompt, title});
    if (answers.empty()) throw std::logic_error("input box asked with no scripted answer left: " + title);
    std::string answer = answers.front();
    answers.pop_front();
    return answer;
}

}  // namespace zr::test
