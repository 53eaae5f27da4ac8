#include "link/reply_decoders.h"

#include "link/frames.h"
#include "shared/error_messages.h"

namespace zr {

namespace {

constexpr char kEndOfText = '\x03';

}  // namespace

ReplyParts DTReplyParts(const std::string& raw) {
    // Head "/" and the master's address, then the status; four tail characters end the reply.
    return {raw.size() >= 3 ? raw.substr(2, 1) : std::string(),
            raw.size() > 7 ? raw.substr(3, raw.size() - 7) : std::string(), true};
}

ReplyParts OEMReplyParts(const std::string& raw) {
    // Too short to hold the layout: nothing of it can be trusted.
    if (raw.size() < ShortestReply) return {"", "", false};
    ReplyParts parts{raw.substr(3, 1), raw.substr(4, raw.size() - 7), true};
    const auto received = static_cast<uint8_t>(raw[raw.size() - 2]);
    if (received == OEMReplyChecksum(parts.status, parts.data)) return parts;
    return {"", "", false};
}

std::size_t WholeReplyLength(const std::string& received, bool oem) {
    const std::size_t status = oem ? 3 : 2;
    const std::size_t tail = oem ? 2 : 3;
    const std::size_t end = received.find(kEndOfText, status + 1);
    if (end == std::string::npos || received.size() < end + 1 + tail) return 0;
    return end + 1 + tail;
}

void DecodeDTReply(Module& m) {
    const ReplyParts parts = DTReplyParts(m.ReplyData);
    m.StatusChar = parts.status;
    m.ReplyData = parts.data;
}

void DecodeOEMReply(Module& m) {
    m.ErrNum = 0;
    m.ErrDetail.clear();
    const ReplyParts parts = OEMReplyParts(m.ReplyData);
    m.StatusChar = parts.status;
    m.ReplyData = parts.data;
    if (!parts.checksumOk) {
        m.ErrNum = ErrOemChecksum;
        ErrorMessage(m);
    }
}

}  // namespace zr
