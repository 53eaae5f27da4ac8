// Bytes off the line through pumpsim's frame parser, fed whole and again one byte at a time:
// how the bytes are cut into reads must not change the frames taken out of them.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frame_parser.h"
#include "require.h"

namespace {

std::vector<pumpsim::Frame> Drain(pumpsim::FrameParser& parser) {
    std::vector<pumpsim::Frame> frames;
    while (auto frame = parser.Next()) frames.push_back(*frame);
    return frames;
}

bool Same(const pumpsim::Frame& a, const pumpsim::Frame& b) {
    return a.framing == b.framing && a.address == b.address && a.command == b.command &&
           a.checksumOk == b.checksumOk && a.raw == b.raw;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    pumpsim::FrameParser whole;
    whole.Feed(bytes);
    const std::vector<pumpsim::Frame> once = Drain(whole);

    pumpsim::FrameParser split;
    std::vector<pumpsim::Frame> byByte;
    for (char c : bytes) {
        split.Feed(std::string_view(&c, 1));
        for (pumpsim::Frame& f : Drain(split)) byByte.push_back(std::move(f));
    }
    Require(once.size() == byByte.size(), "the same number of frames however the bytes are cut");
    for (std::size_t i = 0; i < once.size(); ++i) {
        Require(Same(once[i], byByte[i]), "the same frames however the bytes are cut");
        Require(once[i].raw.size() <= pumpsim::FrameParser::kMaxFrame, "no frame longer than the limit");
    }
    return 0;
}
