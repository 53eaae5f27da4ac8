#pragma once

#include <array>

#include "window/memory_form.h"

namespace zr::test {

// The in-memory form, counting how often each control's text was set.
class FakeForm : public MemoryForm {
public:
    void setText(Control c, const std::string& text) override {
        ++textSets_[static_cast<std::size_t>(c)];
        MemoryForm::setText(c, text);
    }
    int textSets(Control c) const { return textSets_[static_cast<std::size_t>(c)]; }

private:
    std::array<int, ControlCount> textSets_{};
};

}  // namespace zr::test
