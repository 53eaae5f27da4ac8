#include "fakes/fake_form.h"

namespace zr::test {

void FakeForm::setText(Control c, const std::string& text) {
    State& state = at(c);
    state.text = text;
    ++state.textSets;
    if (c == Control::text1 && onText1Change) onText1Change();
}

void FakeForm::setListIndex(Control c, int index) {
    State& state = at(c);
    state.listIndex = index;
    if (index >= 0 && index < static_cast<int>(state.items.size()))
        state.text = state.items[static_cast<std::size_t>(index)];
}

std::string FakeForm::item(Control c, int index) const {
    const State& state = at(c);
    if (index < 0 || index >= static_cast<int>(state.items.size())) return {};
    return state.items[static_cast<std::size_t>(index)];
}

}  // namespace zr::test
