#include "platform/network/network_name.h"

#include <charconv>

namespace zr {

namespace {

constexpr const char* kForms =
    "rfc2217://HOST:PORT or socket://HOST:PORT (rfc2217+tls:// or socket+tls:// for TLS)";
constexpr const char* kSystemCertificates = "/etc/ssl/certs/ca-certificates.crt";

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

// Splits "HOST:PORT" (HOST possibly "[v6]") into the name's host and port.
std::string ReadHostAndPort(const std::string& text, NetworkName& name) {
    std::string port;
    if (text.starts_with('[')) {
        const std::size_t close = text.find(']');
        if (close == std::string::npos) return "the IPv6 address has no closing \"]\"";
        name.host = text.substr(1, close - 1);
        name.ipv6 = true;
        if (name.host.empty() || name.host.find_first_not_of("0123456789abcdefABCDEF:.") != std::string::npos)
            return "\"" + name.host + "\" is no IPv6 address";
        if (close + 1 >= text.size() || text[close + 1] != ':') return "no port: write [ADDRESS]:PORT";
        port = text.substr(close + 2);
    } else {
        const std::size_t colon = text.rfind(':');
        if (colon == std::string::npos) return "no port: write HOST:PORT, e.g. bench-3:4001";
        name.host = text.substr(0, colon);
        port = text.substr(colon + 1);
        if (name.host.find(':') != std::string::npos)
            return "an IPv6 address goes in brackets, e.g. [" + name.host + "]:" + port;
        if (name.host.empty()) return "no host: write HOST:PORT, e.g. bench-3:4001";
        for (char c : name.host)
            if (!IsNameCharacter(c)) return "\"" + name.host + "\" is no host name or address";
    }
    const char* end = port.data() + port.size();
    const auto [stop, error] = std::from_chars(port.data(), end, name.port);
    if (port.empty() || error != std::errc() || stop != end) return "\"" + port + "\" is no port number";
    if (name.port < 1 || name.port > 65535) return "port " + port + " is out of range (1 to 65535)";
    return {};
}

// The "?ca=FILE" part of a TLS name.
std::string ReadOptions(const std::string& options, NetworkName& name) {
    if (options.empty()) {
        if (name.tls) name.ca = kSystemCertificates;
        return {};
    }
    if (!options.starts_with("ca=")) return "unknown option \"" + options + "\": the only one is ca=FILE";
    if (!name.tls) return "ca=FILE is for the TLS forms, rfc2217+tls:// and socket+tls://";
    name.ca = options.substr(3);
    if (name.ca.empty()) return "ca= names no file";
    // gensio reads its options up to the next comma or parenthesis.
    if (name.ca.find_first_of(",()") != std::string::npos)
        return "the CA file's path must hold no comma or parenthesis";
    return {};
}

}  // namespace

bool IsNetworkName(const std::string& text) {
    return text.find("://") != std::string::npos;
}

ParsedNetworkName ParseNetworkName(const std::string& text) {
    ParsedNetworkName parsed;
    NetworkName& name = parsed.name;
    const std::size_t scheme = text.find("://");
    const std::string kind = text.substr(0, scheme);
    name.rfc2217 = kind == "rfc2217" || kind == "rfc2217+tls";
    name.tls = kind.ends_with("+tls");
    if (!name.rfc2217 && kind != "socket" && kind != "socket+tls") {
        parsed.error = "\"" + kind + "://\" is not a kind of port: write " + kForms;
        return parsed;
    }
    const std::string rest = text.substr(scheme + 3);
    const std::size_t question = rest.find('?');
    parsed.error = ReadHostAndPort(rest.substr(0, question), name);
    if (parsed.error.empty())
        parsed.error = ReadOptions(question == std::string::npos ? "" : rest.substr(question + 1), name);
    return parsed;
}

std::string GensioTcp(const NetworkName& name) {
    // Frames are small and each waits for its answer: no delaying them to fill a packet.
    return std::string("tcp(nodelay),") + (name.ipv6 ? "ipv6," : "") + name.host + "," +
           std::to_string(name.port);
}

std::string GensioTls(const NetworkName& name) {
    return "ssl(CA=" + name.ca + ")";
}

}  // namespace zr
