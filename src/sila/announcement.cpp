#include "sila/announcement.h"

#include "cli/output.h"

namespace zr::sila {

namespace {

// The record of one served pump under the name `serverName`: the standard's entries, ours,
// then the CA's pieces.
dnssd::Record AnnouncedRecord(const Announced& a, const std::string& serverName) {
    dnssd::Record record{a.facts.uuid,
                         a.port,
                         {{"version", a.facts.version},
                          {"server_name", serverName},
                          {"description", a.facts.description},
                          {dnssd::PumpTxtKey, a.pumpName},
                          {dnssd::PortTxtKey, a.portName}},
                         a.listenAddress};
    const dnssd::TxtEntries ca = dnssd::CaEntries(a.caPem);
    record.txt.insert(record.txt.end(), ca.begin(), ca.end());
    return record;
}

}  // namespace

Announcer::Announcer(ServerRecords& records)
    : records_(records),
      publisher_(
          std::make_unique<dnssd::Publisher>([](const std::string& text) { cli::Tell("serve: " + text); })) {}

void Announcer::announce(const Announced& a) {
    const std::lock_guard lock(mutex_);
    publish(announced_.insert_or_assign(a.facts.key, a).first->second);
}

void Announcer::renamed(const std::string& key) {
    const std::lock_guard lock(mutex_);
    const auto at = announced_.find(key);
    if (at != announced_.end()) publish(at->second);
}

void Announcer::withdraw() {
    const std::lock_guard lock(mutex_);
    announced_.clear();
    publisher_.reset();
}

void Announcer::publish(const Announced& a) {
    if (publisher_) publisher_->publish(AnnouncedRecord(a, records_.name(a.facts.key, a.facts.defaultName)));
}

}  // namespace zr::sila
