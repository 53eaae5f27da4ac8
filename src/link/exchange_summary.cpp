#include "link/exchange_summary.h"

#include <cmath>
#include <vector>

#include "link/frames.h"
#include "link/reply_decoders.h"
#include "link/transaction.h"
#include "shared/hex_bytes.h"

namespace zr {

namespace {

const char* const kSeparator = " \xB7 ";  // a middle dot between blanks
constexpr std::size_t kShownBytes = 32;   // a longer run is cut, with its length told

std::string Shown(const std::string& bytes) {
    if (bytes.size() <= kShownBytes) return HexBytes(bytes);
    return HexBytes(bytes.substr(0, kShownBytes)) + " ... (" + std::to_string(bytes.size()) + " bytes)";
}

struct Part {
    std::string name;
    std::string bytes;
    std::string note = {};  // said after the bytes
};
using Parts = std::vector<Part>;

std::string Named(const Parts& parts) {
    std::string text;
    for (const Part& part : parts) {
        if (!text.empty()) text += kSeparator;
        text +=
            part.name + " " + (part.bytes.empty() ? std::string("(none)") : Shown(part.bytes)) + part.note;
    }
    return text;
}

bool IsOEM(const std::string& request) {
    return !request.empty() && request[0] == '\xFF';
}

// Cuts `bytes` into the named parts of `sizes`; the part of size -1 takes what the others
// leave (nothing when they leave nothing).
Parts Cut(const std::string& bytes, const std::vector<std::pair<std::string, int>>& sizes) {
    int fixed = 0;
    for (const auto& part : sizes) fixed += part.second < 0 ? 0 : part.second;
    const int rest = std::max(0, static_cast<int>(bytes.size()) - fixed);
    Parts parts;
    std::size_t at = 0;
    for (const auto& [name, size] : sizes) {
        const std::size_t length = static_cast<std::size_t>(size < 0 ? rest : size);
        parts.push_back({name, at < bytes.size() ? bytes.substr(at, length) : std::string()});
        at += length;
    }
    return parts;
}

Parts RequestParts(const std::string& frame) {
    if (IsOEM(frame))
        return Cut(frame, {{"lead byte", 1},
                           {"STX", 1},
                           {"address", 1},
                           {"sequence", 1},
                           {"command", -1},
                           {"ETX", 1},
                           {"checksum", 1}});
    return Cut(frame, {{"/", 1}, {"address", 1}, {"command", -1}, {"CR", 1}});
}

std::string HexByte(uint8_t byte) {
    return HexBytes(std::string(1, static_cast<char>(byte)));
}

// The reply's parts where the decoders find them; a reply too short for its layout is shown
// whole.
std::string ReplyPartsText(const std::string& reply, bool oem) {
    if (!oem) {
        if (reply.size() < ShortestReply) return Named({{"reply", reply}});
        return Named(Cut(reply, {{"head", 2}, {"status", 1}, {"data", -1}, {"tail", 4}}));
    }
    if (reply.size() < ShortestReply) return Named({{"reply", reply}}) + " (too short to decode)";
    Parts parts =
        Cut(reply, {{"head", 3}, {"status", 1}, {"data", -1}, {"ETX", 1}, {"checksum", 1}, {"end", 1}});
    const uint8_t expected = OEMReplyChecksum(parts[1].bytes, parts[2].bytes);
    parts[4].name = "checksum received";
    parts[4].note = ", expected " + HexByte(expected);
    return Named(parts);
}

std::string Milliseconds(double seconds) {
    return std::to_string(std::lround(seconds * 1000)) + " ms";
}

}  // namespace

std::string ExchangeSummary(const Module::ExchangeRecord& e) {
    if (e.request.empty()) return "Nothing sent yet";
    std::string text = "Sent " + Shown(e.request) + "\n  " + Named(RequestParts(e.request)) + "\n";
    if (e.readAt < 0) {
        text += "No reply read";
    } else {
        text += "Reply " + Shown(e.reply) + "\n  " + ReplyPartsText(e.reply, IsOEM(e.request));
    }
    text += "\n";
    text += e.firstByteAt < 0 ? "No byte within the first " + Milliseconds(ReplyWait)
                              : "First byte after " + Milliseconds(e.firstByteAt - e.sentAt);
    if (e.readAt >= 0)
        text += kSeparator + std::string("reply read after ") + Milliseconds(e.readAt - e.sentAt);
    return text;
}

void ShowExchangeSummary(Module& m) {
    // A line lost after the frame went keeps the exchange as far as it went.
    const std::string summary = m.PortFailed && m.LastExchange.request.empty()
                                    ? "Nothing sent: the port could not be opened"
                                    : ExchangeSummary(m.LastExchange);
    for (Control c : {Control::lblReplyCode, Control::lblReply, Control::lblStatCode, Control::lblStatus})
        m.form.setToolTip(c, summary);
}

}  // namespace zr
