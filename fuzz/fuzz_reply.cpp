// Raw replies through both decoders and the interpretation of what they leave. The input is
// the command the reply answers, a line feed, and the reply's bytes as they came off the line.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fakes/rig.h"
#include "link/reply_decoders.h"
#include "reply/interpret_reply.h"

namespace {

void DecodeAndInterpret(const std::string& command, const std::string& raw, bool dt) {
    zr::test::Rig rig;
    zr::Module& m = rig.m;
    m.CmdString = command;
    m.ReplyData = raw;
    if (dt) {
        zr::DecodeDTReply(m);
    } else {
        zr::DecodeOEMReply(m);
        if (m.ErrNum != 0) return;
    }
    zr::InterpretReply(m);
    rig.form.setValue(zr::Control::scrReply, static_cast<int>(raw.size() % 64));
    zr::scrReply_Change(m);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\n');
    const std::string command = split == std::string::npos ? std::string() : input.substr(0, split);
    const std::string raw = split == std::string::npos ? input : input.substr(split + 1);
    DecodeAndInterpret(command, raw, true);
    DecodeAndInterpret(command, raw, false);
    return 0;
}
