#include "dnssd/txt_entries.h"

#include "dnssd/dnssd.h"

namespace zr::dnssd {

const char* const ServiceType = "_sila._tcp";
const char* const PumpTxtKey = "zadurovu_pump";
const char* const PortTxtKey = "zadurovu_port";

std::string TxtString(const std::string& key, const std::string& value) {
    std::string entry = key + "=" + value;
    if (entry.size() <= LongestTxtString) return entry;
    std::size_t end = LongestTxtString;
    // A continuation byte (10xxxxxx) would be cut from the character it belongs to.
    while (end > key.size() + 1 && (static_cast<unsigned char>(entry[end]) & 0xC0) == 0x80) --end;
    entry.resize(end);
    return entry;
}

TxtEntries CaEntries(const std::string& pem) {
    TxtEntries entries;
    for (std::size_t at = 0; at < pem.size();) {
        std::string key = "ca" + std::to_string(entries.size());
        const std::size_t room = LongestTxtString - key.size() - 1;
        entries.emplace_back(std::move(key), pem.substr(at, room));
        at += room;
    }
    return entries;
}

}  // namespace zr::dnssd
