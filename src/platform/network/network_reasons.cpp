#include "platform/network/network_reasons.h"

#include <gensio/gensio_err.h>

#include <cstdio>

#include "platform/network/certificate_check.h"

namespace zr {

namespace {

std::string SecondsText(double seconds) {
    char text[16];
    std::snprintf(text, sizeof text, "%g s", seconds);
    return text;
}

std::string ConnectFailure(int err, const NetworkName& name, const std::string& limit) {
    const std::string& host = name.host;
    const std::string port = std::to_string(name.port);
    switch (err) {
        case GE_NOTFOUND:
        case GE_UNKNOWN_NAME_ERROR:
        case GE_NAME_ERROR:
        case GE_NAME_INVALID:
            return "host " + host + " not found: check its name, or give its address";
        case GE_NAME_SERVER_FAILURE:
        case GE_NAME_NET_NOT_UP:
            return "the name " + host + " could not be looked up (" + gensio_err_to_str(err) +
                   "): check the network, or give the host's address";
        case GE_CONNREFUSE:
            return host + " refused the connection on port " + port +
                   ": check that ser2net runs there and serves port " + port;
        case GE_TIMEDOUT:
            return "no answer from " + host + " on port " + port + " within " + limit + ": check that " +
                   host + " is on and reachable from here, and that no firewall holds port " + port + " back";
        default:
            return "cannot connect to " + host + " on port " + port + " (" + gensio_err_to_str(err) +
                   "): check the network and that " + host + " is on";
    }
}

}  // namespace

std::string HostAndPort(const NetworkName& name) {
    return (name.ipv6 ? "[" + name.host + "]" : name.host) + ":" + std::to_string(name.port);
}

std::string OpeningFailure(OpeningStep step, int err, const NetworkName& name, double limitSeconds) {
    const std::string where = HostAndPort(name), limit = SecondsText(limitSeconds);
    const std::string detail = gensio_err_to_str(err);
    if (step == OpeningStep::Lookup && err == GE_TIMEDOUT)
        return "the name " + name.host + " could not be looked up within " + limit +
               ": check the network and its name server, or give the host's address";
    if (step == OpeningStep::Lookup || step == OpeningStep::Connect) return ConnectFailure(err, name, limit);
    if (err == GE_REMCLOSE || step == OpeningStep::Served) return ConnectionEnd(err, name);
    const std::string noTls = ": is it a TLS port? Without TLS, write rfc2217:// or socket://";
    switch (step) {
        case OpeningStep::Tls:
            if (err == GE_TIMEDOUT)
                return where + " did not answer the TLS handshake within " + limit + noTls;
            return "no TLS connection with " + where + " (" + detail + ")" + noTls;
        case OpeningStep::Telnet:
            if (err == GE_TIMEDOUT)
                return where + " did not answer the telnet negotiation within " + limit +
                       ": if it is a raw TCP port, write socket://" + where;
            return "the telnet negotiation with " + where + " failed (" + detail + ")";
        default:
            if (err == GE_NOTSUP)
                return where +
                       " does not offer RFC 2217 com-port control, so the baud rate cannot be set there: "
                       "give its "
                       "ser2net accepter telnet(rfc2217), or write socket://" +
                       where + " to keep the server's own line settings";
            if (err == GE_TIMEDOUT)
                return where + " did not confirm the line settings within " + limit +
                       ": check that its serial port takes them";
            return "setting the line at " + where + " failed (" + detail + ")";
    }
}

std::string ConnectionEnd(int err, const NetworkName& name) {
    if (err != GE_REMCLOSE)
        return "the connection to " + HostAndPort(name) + " failed (" + gensio_err_to_str(err) +
               "): check the network; the next Send connects again";
    return HostAndPort(name) + " closed the connection: check that ser2net runs on " + name.host +
           " and that no other client has the port (ser2net serves one at a time); the next Send connects "
           "again";
}

std::string CertificateRefusal(int err, const char* problem, const std::string& pem,
                               const NetworkName& name) {
    if (err == GE_CERTEXPIRED) {
        const std::string expiry = CertificateExpiry(pem);
        return "the server's certificate expired" + (expiry.empty() ? "" : " on " + expiry) +
               ": renew it on the server (or check this computer's clock)";
    }
    if (err == GE_CERTNOTFOUND)
        return "the server's certificate is not signed by a CA in " + name.ca +
               ": give ca= the file of the CA that signed it";
    if (err != 0)
        return std::string("the server's certificate was refused (") +
               (problem ? problem : gensio_err_to_str(err)) + "): check ca= and the server's certificate";
    const bool address = name.ipv6 || name.host.find_first_not_of("0123456789.") == std::string::npos;
    const std::string names = CertificateNamesIfNotFor(pem, name.host, address);
    if (names.empty()) return {};
    return "the server's certificate is for " + names + ", not " + name.host +
           ": connect by a name it holds, or give the server a certificate for " + name.host;
}

}  // namespace zr
