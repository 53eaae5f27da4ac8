#include "link/frames.h"

namespace zr {

uint8_t XorBytes(const std::string& bytes) {
    uint8_t sum = 0;
    for (char c : bytes) sum ^= static_cast<uint8_t>(c);
    return sum;
}

std::string DTFrame(const std::string& address, const std::string& command) {
    return "/" + address + command + "\r";
}

std::string OEMFrame(const std::string& address, const std::string& command) {
    std::string frame = std::string("\xFF\x02", 2) + address + "1" + command + "\x03";
    frame += static_cast<char>(XorBytes(frame.substr(1)));
    return frame;
}

uint8_t OEMReplyChecksum(const std::string& status, const std::string& data) {
    return static_cast<uint8_t>(XorBytes(status) ^ XorBytes(data) ^ 0x31);
}

}  // namespace zr
