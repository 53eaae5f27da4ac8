#pragma once

#include <cstddef>
#include <string>

#include "shared/module.h"

namespace zr {

// Status character and data of a DT or OEM reply, by position.
void DecodeDTReply(Module& m);
void DecodeOEMReply(Module& m);

// The fewest characters a reply can be decoded from, in either protocol: one without data.
inline constexpr std::size_t ShortestReply = 7;

// The same for a reply in hand: its status character and data, and whether it holds its
// checksum (a DT reply has none; an OEM reply too short for the layout never holds, and
// yields neither status nor data, as does one whose checksum is wrong).
struct ReplyParts {
    std::string status;
    std::string data;
    bool checksumOk = true;
};
ReplyParts DTReplyParts(const std::string& raw);
ReplyParts OEMReplyParts(const std::string& raw);

// How many characters at the start of `received` make one whole reply, 0 while it is not
// whole yet: after the status, the data run to the end of text (0x03), which three more
// characters follow in DT (carriage return, line feed, the idle byte) and two in OEM (the
// checksum and the idle byte).
std::size_t WholeReplyLength(const std::string& received, bool oem);

}  // namespace zr
