#include "bus.h"

#include "reply_encoder.h"

namespace pumpsim {

namespace {
constexpr char kFirstPump = '1';
constexpr char kLastPump = '?';
}  // namespace

Bus::Bus(const std::vector<char>& addresses, int ports) {
    for (char a : addresses) pumps_.emplace(a, Pump(ports));
}

std::vector<char> Bus::GroupMembers(char address) {
    std::vector<char> members;
    auto range = [&](char first, int count) {
        for (int i = 0; i < count && first + i <= kLastPump; ++i)
            members.push_back(static_cast<char>(first + i));
    };
    if (address >= 'A' && address <= 'M' && (address - 'A') % 2 == 0) {
        range(static_cast<char>(kFirstPump + (address - 'A')), 2);
    } else if (address >= 'Q' && address <= ']' && (address - 'Q') % 4 == 0) {
        range(static_cast<char>(kFirstPump + (address - 'Q')), 4);
    } else if (address == '_') {
        range(kFirstPump, kLastPump - kFirstPump + 1);
    }
    return members;
}

std::optional<std::string> Bus::Answer(const Frame& frame, double now, bool corruptChecksum) {
    if (!frame.checksumOk) return std::nullopt;
    if (auto pump = pumps_.find(frame.address); pump != pumps_.end()) {
        return EncodeReply(frame.framing, pump->second.Handle(frame.command, frame.framing, now),
                           corruptChecksum);
    }
    for (char member : GroupMembers(frame.address)) {
        if (auto pump = pumps_.find(member); pump != pumps_.end())
            pump->second.Handle(frame.command, frame.framing, now);
    }
    return std::nullopt;
}

}  // namespace pumpsim
