#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// DNS-SD announcements of SiLA servers (service type _sila._tcp) through the system's
// multicast DNS responder, avahi-daemon, reached over the system D-Bus.
namespace zr::dnssd {

using TxtEntries = std::vector<std::pair<std::string, std::string>>;

// The service type every record is published and browsed as.
extern const char* const ServiceType;

// The TXT entries our pump servers add to the standard's: the pump's address and its port as
// serve's command line named it, so that a browser tells them and what each serves.
extern const char* const PumpTxtKey;
extern const char* const PortTxtKey;

// One server's announcement: its instance name (the server's UUID), its port and its TXT
// entries in order. An entry "key=value" longer than a TXT string holds (255 bytes) is cut
// there, at a character boundary, when published.
struct Record {
    std::string instanceName;
    uint16_t port = 0;
    TxtEntries txt;
    // The address the server listens on alone, where it is one: the record is then published
    // only on the interface that holds it (127.0.0.1: on loopback, never to the lab network,
    // whose computers could not reach it). "", a wildcard address or a name: every interface.
    std::string listenAddress;
};

// Publishes records through avahi-daemon on a thread of its own (avahi's threaded poll). It
// goes on when the daemon is absent, goes away or restarts, and publishes every record again
// when the daemon is back; it tells each problem once through `tell` (once more only after it
// was over): no daemon (the servers cannot be discovered, and why), a name collision (another
// server is announced under the record's name; this one is then not published, rather than
// renamed, since clients take the name for the server's UUID: a later update, or the daemon
// coming back, tries again). `tell` is called on the publisher's thread or the caller's, with
// the publisher's lock held: it must not call the Publisher. The destructor withdraws every
// record.
class Publisher {
public:
    explicit Publisher(std::function<void(const std::string&)> tell);
    ~Publisher();
    Publisher(const Publisher&) = delete;
    Publisher& operator=(const Publisher&) = delete;

    // Publishes the record, or replaces the one of the same instance name: its TXT in place
    // when the port is unchanged, otherwise the whole service.
    void publish(const Record& record);
    void update(const Record& record);
    void withdraw(const std::string& instanceName);

    struct State;

private:
    std::unique_ptr<State> state_;
};

// The CA's PEM cut into consecutive TXT entries ca0, ca1, ..., each whole entry ("caN=" and
// its piece) at most 255 bytes; none for an empty PEM.
TxtEntries CaEntries(const std::string& pem);

// One announced service as resolved: where it is and its TXT entries.
struct Found {
    std::string instanceName;
    std::string hostName;
    std::string address;
    uint16_t port = 0;
    TxtEntries txt;
};

// Browses _sila._tcp and resolves each service found, for at most `seconds` (less once the
// daemon says that nothing more is expected soon and every resolution has ended). Each
// service once for each address it has. An empty list with `error` set when avahi-daemon
// cannot be asked.
std::vector<Found> Browse(double seconds, std::string& error);

}  // namespace zr::dnssd
