#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "shared/dialogs.h"

namespace zr::test {

// Records every box; input boxes take their answers from a script, in order.
class FakeDialogs : public Dialogs {
public:
    struct Message {
        std::string text;
        MessageIcon icon;
        std::string title;
    };
    struct Prompt {
        std::string prompt;
        std::string title;
    };

    void messageBox(const std::string& text, MessageIcon icon, const std::string& title) override {
        messages.push_back({text, icon, title});
    }
    // Throws std::logic_error when the script has run out, so that a prompt asked more often
    // than a test expects fails the test instead of looping.
    std::string inputBox(const std::string& prompt, const std::string& title) override {
        prompts.push_back({prompt, title});
        if (answers.empty()) throw std::logic_error("input box asked with no scripted answer left: " + title);
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // Each message box shown, in order: " box: " and its text for the kind a test expects
    // (this icon and title), " other box: " and its text for any other.
    std::string told(MessageIcon icon, const std::string& title) const {
        std::string text;
        for (const Message& box : messages)
            text += (box.icon == icon && box.title == title ? " box: " : " other box: ") + box.text;
        return text;
    }

    std::vector<Message> messages;
    std::vector<Prompt> prompts;
    std::deque<std::string> answers;
};

}  // namespace zr::test
