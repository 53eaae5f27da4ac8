// Network port names read, and what is handed to gensio made from those that pass: a name that
// passes writes back to itself, and no part of it can add a field or an option to gensio's
// strings.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/network/network_name.h"
#include "require.h"

namespace {

std::string Written(const zr::NetworkName& n) {
    return std::string(n.rfc2217 ? "rfc2217" : "socket") + (n.tls ? "+tls" : "") + "://" +
           (n.ipv6 ? "[" + n.host + "]" : n.host) + ":" + std::to_string(n.port) +
           (n.tls ? "?ca=" + n.ca : "");
}

bool Same(const zr::NetworkName& a, const zr::NetworkName& b) {
    return a.rfc2217 == b.rfc2217 && a.tls == b.tls && a.host == b.host && a.ipv6 == b.ipv6 &&
           a.port == b.port && a.ca == b.ca;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (!zr::IsNetworkName(text)) return 0;
    const zr::ParsedNetworkName parsed = zr::ParseNetworkName(text);
    if (!parsed.error.empty()) return 0;
    const zr::NetworkName& name = parsed.name;
    Require(!name.host.empty(), "a name that passes has a host");
    Require(name.port >= 1 && name.port <= 65535, "its port is in range");
    Require(name.tls == !name.ca.empty(), "a CA file for TLS, and only for TLS");

    const zr::ParsedNetworkName again = zr::ParseNetworkName(Written(name));
    Require(again.error.empty() && Same(again.name, name), "the name written back reads the same");

    const std::string tcp = zr::GensioTcp(name);
    Require(std::count(tcp.begin(), tcp.end(), ',') == (name.ipv6 ? 3 : 2),
            "the TCP string has its fields only");
    Require(tcp.find_first_of("()", 12) == std::string::npos, "and no options but nodelay");
    if (name.tls) {
        const std::string tls = zr::GensioTls(name);
        Require(tls.find_first_of(",()", 4) == tls.size() - 1, "the TLS string has one option, CA");
    }
    return 0;
}
