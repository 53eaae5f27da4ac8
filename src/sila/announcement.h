#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "dnssd/dnssd.h"
#include "sila/server_records.h"
#include "sila/service_feature.h"

namespace zr::sila {

// What DNS-SD announces of one served pump; the name is read from the records each time.
struct Announced {
    ServerFacts facts;
    uint16_t port = 0;
    std::string caPem;  // the self-signed CA's, "" for the lab's certificate or none
    std::string pumpName, portName;
    std::string listenAddress;  // as dnssd::Record has it
};

// Announces the served pumps through avahi-daemon, as long as it lives; what goes wrong (no
// daemon, a collision) is told on stderr once.
class Announcer {
public:
    explicit Announcer(ServerRecords& records);

    // Publishes the pump's record, its name the one the records hold.
    void announce(const Announced& a);
    // Publishes the record of the pump `key` again with the name the records hold now; nothing
    // before it is announced.
    void renamed(const std::string& key);
    // Withdraws every record; a later rename announces nothing.
    void withdraw();

private:
    void publish(const Announced& a);

    ServerRecords& records_;
    // Reading the name and publishing it are one step, so that the last rename stands.
    std::mutex mutex_;
    std::map<std::string, Announced> announced_;
    std::unique_ptr<dnssd::Publisher> publisher_;
};

}  // namespace zr::sila
