#include "bus.h"

#include "reply_encoder.h"

namespace pumpsim {

namespace {
constexpr char kFirstPump = '1';
constexpr char kLastPump = '?';
}  // namespace

Bus::Bus(const std::vector<PumpSettings>& pumps) {
    for (const PumpSettings& p : pumps) stations_.emplace(p.address, Station{p, Pump(p)});
}

bool Bus::Station::Hears(const Frame& frame, int baud) const {
    return (settings.baud == 0 || settings.baud == baud) &&
           settings.protocol.value_or(frame.framing) == frame.framing;
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

std::optional<std::string> Bus::Answer(const Frame& frame, double now, int baud, bool corruptChecksum) {
    if (!frame.checksumOk) return std::nullopt;
    if (auto s = stations_.find(frame.address); s != stations_.end()) {
        if (!s->second.Hears(frame, baud)) return std::nullopt;
        return EncodeReply(frame.framing, s->second.pump.Handle(frame.command, frame.framing, now),
                           corruptChecksum);
    }
    for (char member : GroupMembers(frame.address)) {
        if (auto s = stations_.find(member); s != stations_.end() && s->second.Hears(frame, baud))
            s->second.pump.Handle(frame.command, frame.framing, now);
    }
    return std::nullopt;
}

}  // namespace pumpsim
