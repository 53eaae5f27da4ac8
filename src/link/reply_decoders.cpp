#include "link/reply_decoders.h"

#include "link/frames.h"
#include "shared/error_messages.h"

namespace zr {

void DecodeDTReply(Module& m) {
    const std::string raw = m.ReplyData;
    // Head "/" and the master's address, then the status; four tail characters end the reply.
    m.StatusChar = raw.size() >= 3 ? raw.substr(2, 1) : std::string();
    m.ReplyData = raw.size() > 7 ? raw.substr(3, raw.size() - 7) : std::string();
}

void DecodeOEMReply(Module& m) {
    m.ErrNum = 0;
    m.ErrDetail.clear();
    const std::string raw = m.ReplyData;
    if (raw.size() < 7) {
        // Too short to hold the layout: nothing of it can be trusted.
        m.ErrNum = ErrOemChecksum;
        ErrorMessage(m);
        m.ReplyData.clear();
        m.StatusChar.clear();
        return;
    }
    m.StatusChar = raw.substr(3, 1);
    const uint8_t received = static_cast<uint8_t>(raw[raw.size() - 2]);
    m.ReplyData = raw.substr(4, raw.size() - 7);
    const uint8_t expected = OEMReplyChecksum(m.StatusChar, m.ReplyData);
    if (received != expected) {
        m.ErrNum = ErrOemChecksum;
        ErrorMessage(m);
    }
    if (m.ErrNum != 0) {
        m.ReplyData.clear();
        m.StatusChar.clear();
    }
}

}  // namespace zr
