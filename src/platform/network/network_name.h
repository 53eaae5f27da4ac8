#pragma once

#include <string>

namespace zr {

// A pump reached over the network, as a port name gives it:
//   rfc2217://HOST:PORT      telnet with RFC 2217 com-port control: the line settings are set
//                            on the remote serial port when the port is opened
//   socket://HOST:PORT       raw TCP: the server's own line settings apply
//   rfc2217+tls://HOST:PORT?ca=FILE, socket+tls://HOST:PORT?ca=FILE
//                            the same over TLS, the server's certificate checked against the
//                            CA certificates in FILE (the system's trusted ones without ca=)
//                            and against HOST
// HOST is a name, an IPv4 address or an IPv6 address in brackets ("[::1]").
struct NetworkName {
    bool rfc2217 = false;
    bool tls = false;
    std::string host;  // without brackets
    bool ipv6 = false;
    int port = 0;
    std::string ca;  // the CA certificates' file, for TLS
};

struct ParsedNetworkName {
    NetworkName name;
    std::string error;  // why the text is no network name, with the form to use; "" when it is one
};

// True when `text` is meant as a network name (it has a "scheme://").
bool IsNetworkName(const std::string& text);
ParsedNetworkName ParseNetworkName(const std::string& text);

// What gensio is given for each layer: the TCP connection, then TLS over it.
std::string GensioTcp(const NetworkName& name);
std::string GensioTls(const NetworkName& name);

}  // namespace zr
