// programs.txt through the store's procedures. The input is the name the operator types, a
// line feed, and the file's text. Every listed name must be recallable, a delete must keep
// every other entry, and a program saved under an accepted name must come back unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fakes/fake_clock.h"
#include "fakes/fake_dialogs.h"
#include "fakes/fake_event_pump.h"
#include "fakes/fake_form.h"
#include "fakes/fake_serial.h"
#include "fakes/fake_timer.h"
#include "memory_files.h"
#include "require.h"
#include "store/program_file.h"

namespace {

constexpr std::size_t NamesTried = 16;
// Names longer than this are listed whole but looked up by their first 400 characters.
constexpr std::size_t SearchedNameLength = 400;

struct Store {
    zr::test::FakeClock clock;
    zr::test::FakeSerial serial{clock};
    zr::test::FakeTimer timer;
    zr::test::FakeEventPump events;
    zr::test::FakeDialogs dialogs;
    zr::test::FakeForm form;
    MemoryFiles files;
    zr::Module m{serial, timer, clock, events, dialogs, form, files};

    std::vector<std::string> names() {
        m.ProgMode = "retrieve";
        zr::LoadProgramNames(m);
        return form.at(zr::Control::cboFile1).items;
    }
    bool retrieve(const std::string& name) {
        m.ProgName = name;
        m.ErrNum = 0;
        zr::RetrieveProgram(m);
        return m.ErrNum == 0;
    }
};

std::vector<std::string> Without(std::vector<std::string> names, const std::string& name) {
    names.erase(std::remove(names.begin(), names.end(), name), names.end());
    return names;
}

bool PlainName(const std::string& name) {
    return name.size() <= SearchedNameLength && name.find_first_of(";\r\n") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\n');
    if (split == std::string::npos) return 0;
    const std::string typed = input.substr(0, split);

    Store s;
    s.m.ProgFile = "/memory/programs.txt";
    s.files.content[s.m.ProgFile] = input.substr(split + 1);

    const std::vector<std::string> listed = s.names();
    for (std::size_t i = 0; i < std::min(listed.size(), NamesTried); ++i)
        if (listed[i].size() <= SearchedNameLength)
            Require(s.retrieve(listed[i]), "every listed name can be recalled");

    if (!listed.empty()) {
        s.m.ProgName = listed.front();
        s.m.ProgMode = "delete";
        zr::StoreProgram(s.m);
        Require(Without(s.names(), listed.front()) == Without(listed, listed.front()),
                "a delete keeps every entry of another name, in order");
    }

    const std::vector<std::string> before = s.names();
    const std::string program = "A3000R";
    s.form.setText(zr::Control::text1, program);
    s.m.ProgName = typed;
    s.m.CmdString = program;
    s.m.ErrNum = 0;
    zr::CheckProgramEntry(s.m);
    if (s.m.ErrNum != 0) return 0;
    s.m.ProgMode = std::find(before.begin(), before.end(), typed) != before.end() ? "replace" : "append";
    zr::StoreProgram(s.m);
    if (PlainName(typed))
        Require(s.retrieve(typed) && s.m.CmdString == program, "a saved program comes back unchanged");
    return 0;
}
