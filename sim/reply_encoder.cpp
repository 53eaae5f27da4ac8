#include "reply_encoder.h"

#include "frame_parser.h"

namespace pumpsim {

namespace {
constexpr char kIdle = '\xFF';
}

std::string EncodeReply(Framing framing, const Reply& reply, bool corruptChecksum) {
    std::string out;
    if (framing == Framing::DT) {
        out = "/0";
        out += reply.status;
        out += reply.data;
        out += "\x03\r\n";
        out += kIdle;
        return out;
    }
    out = "\xFF\x02";
    out += '0';
    out += reply.status;
    out += reply.data;
    out += '\x03';
    unsigned char sum = XorOf(std::string_view(out).substr(1));
    if (corruptChecksum) sum ^= 0xFF;
    out += static_cast<char>(sum);
    out += kIdle;
    return out;
}

}  // namespace pumpsim
