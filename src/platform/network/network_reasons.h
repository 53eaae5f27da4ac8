#pragma once

#include <string>

#include "platform/network/network_name.h"

namespace zr {

// The steps of opening a network port, in their order: the host's lookup, the TCP connection,
// TLS, telnet, the line settings; a raw connection instead waits a moment to see that the
// server keeps it (a busy one closes it at once).
enum class OpeningStep { Lookup, Connect, Tls, Telnet, Settings, Served };

// "HOST:PORT", an IPv6 address in brackets.
std::string HostAndPort(const NetworkName& name);

// Why the opening failed at `step` with gensio's error `err`, and what to do; `limit` is the
// step's time limit in seconds, for one that ran out of time.
std::string OpeningFailure(OpeningStep step, int err, const NetworkName& name, double limit);

// Why an open connection ended with gensio's error `err`, and what to do.
std::string ConnectionEnd(int err, const NetworkName& name);

// Why the server's certificate (PEM) is refused: gensio's check against the CA gave `err` (with
// `problem`, OpenSSL's words, when it failed), then the host it is for; "" when it is taken.
std::string CertificateRefusal(int err, const char* problem, const std::string& pem, const NetworkName& name);

}  // namespace zr
