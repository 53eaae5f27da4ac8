#include <arpa/inet.h>
#include <avahi-client/client.h>
#include <avahi-client/publish.h>
#include <avahi-common/error.h>
#include <avahi-common/thread-watch.h>
#include <avahi-common/timeval.h>
#include <ifaddrs.h>
#include <net/if.h>

#include <cstring>
#include <map>

#include "dnssd/avahi_texts.h"
#include "dnssd/dnssd.h"

namespace zr::dnssd {

namespace {

// The interface that holds `address` (numeric IPv4 or IPv6), or every interface when it is no
// single address of this computer ("", 0.0.0.0, ::, a name).
AvahiIfIndex InterfaceOf(const std::string& address) {
    unsigned char wanted[sizeof(in6_addr)];
    const int family = inet_pton(AF_INET, address.c_str(), wanted) == 1    ? AF_INET
                       : inet_pton(AF_INET6, address.c_str(), wanted) == 1 ? AF_INET6
                                                                           : AF_UNSPEC;
    // All of 127/8 is loopback's, which lists 127.0.0.1 alone.
    if (family == AF_INET && wanted[0] == 127) inet_pton(AF_INET, "127.0.0.1", wanted);
    ifaddrs* all = nullptr;
    if (family == AF_UNSPEC || getifaddrs(&all) != 0) return AVAHI_IF_UNSPEC;
    AvahiIfIndex found = AVAHI_IF_UNSPEC;
    for (const ifaddrs* i = all; i && found == AVAHI_IF_UNSPEC; i = i->ifa_next) {
        if (!i->ifa_addr || i->ifa_addr->sa_family != family) continue;
        const void* held =
            family == AF_INET
                ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in*>(i->ifa_addr)->sin_addr)
                : &reinterpret_cast<const sockaddr_in6*>(i->ifa_addr)->sin6_addr;
        if (std::memcmp(held, wanted, family == AF_INET ? sizeof(in_addr) : sizeof(in6_addr)) == 0)
            found = AvahiIfIndex(if_nametoindex(i->ifa_name));
    }
    freeifaddrs(all);
    return found == 0 ? AVAHI_IF_UNSPEC : found;
}

// A client that cannot even be made (no system D-Bus) is tried again this often.
constexpr unsigned kRetrySeconds = 5;

// One record as published: its entry group while the daemon has it.
struct Entry {
    Record record;
    AvahiEntryGroup* group = nullptr;
    bool problemTold = false;  // a collision or a failure, told once until it is established
};

}  // namespace

// Everything below runs on the poll's thread or under its lock.
struct Publisher::State {
    std::function<void(const std::string&)> tell;
    AvahiThreadedPoll* poll = nullptr;
    AvahiClient* client = nullptr;
    AvahiTimeout* retry = nullptr;
    std::map<std::string, Entry> entries;
    bool daemonTold = false;

    void tellNoDaemon(int error) {
        if (daemonTold) return;
        daemonTold = true;
        tell(NoDaemon(error));
    }

    void tellProblem(Entry& e, const std::string& text) {
        if (e.problemTold) return;
        e.problemTold = true;
        tell(text);
    }

    void tellCollision(Entry& e) {
        tellProblem(e, "another server is announced by DNS-SD as " + e.record.instanceName +
                           ": this one is not published under that name");
    }

    void tellFailure(Entry& e, int error) {
        tellProblem(e, "DNS-SD cannot publish " + e.record.instanceName + ": " + avahi_strerror(error));
    }

    bool running() const { return client && avahi_client_get_state(client) == AVAHI_CLIENT_S_RUNNING; }

    // The groups go with the daemon (or the host name it had); they are made again once it runs.
    void forgetGroups(bool free) {
        for (auto& [name, e] : entries) {
            if (free && e.group) avahi_entry_group_free(e.group);
            e.group = nullptr;
        }
    }

    void add(Entry& e) {
        if (!running()) return;
        if (!e.group) e.group = avahi_entry_group_new(client, OnGroup, this);
        if (!e.group) return tellFailure(e, avahi_client_errno(client));
        AvahiStringList* txt = StringList(e.record.txt);
        int result = avahi_entry_group_add_service_strlst(
            e.group, InterfaceOf(e.record.listenAddress), AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
            e.record.instanceName.c_str(), ServiceType, nullptr, nullptr, e.record.port, txt);
        avahi_string_list_free(txt);
        if (result == AVAHI_OK) result = avahi_entry_group_commit(e.group);
        if (result == AVAHI_ERR_COLLISION) tellCollision(e);
        if (result != AVAHI_OK) {
            if (result != AVAHI_ERR_COLLISION) tellFailure(e, result);
            avahi_entry_group_reset(e.group);
        }
    }

    // The TXT in place when the service is published on the same port and address, else all of
    // it again.
    void replace(Entry& e, const Record& record) {
        const bool samePlace = e.record.port == record.port && e.record.listenAddress == record.listenAddress;
        e.record = record;
        if (!running()) return;
        if (samePlace && e.group && !avahi_entry_group_is_empty(e.group)) {
            AvahiStringList* txt = StringList(record.txt);
            const int result = avahi_entry_group_update_service_txt_strlst(
                e.group, InterfaceOf(record.listenAddress), AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                record.instanceName.c_str(), ServiceType, nullptr, txt);
            avahi_string_list_free(txt);
            if (result == AVAHI_OK) return;
        }
        if (e.group) avahi_entry_group_reset(e.group);
        add(e);
    }

    void connect() {
        int error = 0;
        // Without the daemon the client waits for it (NO_FAIL); it fails only without a bus.
        avahi_client_new(avahi_threaded_poll_get(poll), AVAHI_CLIENT_NO_FAIL, OnClient, this, &error);
        if (client) return;
        tellNoDaemon(error);
        scheduleRetry(kRetrySeconds);
    }

    void scheduleRetry(unsigned seconds) {
        timeval when{};
        avahi_elapse_time(&when, seconds * 1000, 0);
        const AvahiPoll* api = avahi_threaded_poll_get(poll);
        if (retry)
            api->timeout_update(retry, &when);
        else
            retry = api->timeout_new(api, &when, OnRetry, this);
    }

    static void OnRetry(AvahiTimeout* timeout, void* userdata) {
        auto& s = *static_cast<State*>(userdata);
        avahi_threaded_poll_get(s.poll)->timeout_update(timeout, nullptr);
        if (s.client) {
            avahi_client_free(s.client);
            s.client = nullptr;
        }
        s.connect();
    }

    // Called during avahi_client_new too, before it has returned the client.
    static void OnClient(AvahiClient* c, AvahiClientState state, void* userdata) {
        auto& s = *static_cast<State*>(userdata);
        s.client = c;
        switch (state) {
            case AVAHI_CLIENT_S_RUNNING:
                s.daemonTold = false;
                for (auto& [name, e] : s.entries) s.add(e);
                break;
            case AVAHI_CLIENT_S_COLLISION:
            case AVAHI_CLIENT_S_REGISTERING:
                s.forgetGroups(true);
                break;
            case AVAHI_CLIENT_CONNECTING:
                s.forgetGroups(true);
                s.tellNoDaemon(AVAHI_ERR_NO_DAEMON);
                break;
            case AVAHI_CLIENT_FAILURE:
                // The bus went away: the client is of no more use; a new one is made outside
                // this callback, which must not free it.
                s.forgetGroups(false);
                s.tellNoDaemon(avahi_client_errno(c));
                s.scheduleRetry(0);
                break;
        }
    }

    static void OnGroup(AvahiEntryGroup* group, AvahiEntryGroupState state, void* userdata) {
        auto& s = *static_cast<State*>(userdata);
        for (auto& [name, e] : s.entries) {
            if (e.group != group) continue;
            if (state == AVAHI_ENTRY_GROUP_ESTABLISHED) e.problemTold = false;
            if (state == AVAHI_ENTRY_GROUP_COLLISION) {
                s.tellCollision(e);
                avahi_entry_group_reset(group);
            }
            if (state == AVAHI_ENTRY_GROUP_FAILURE) s.tellFailure(e, avahi_client_errno(s.client));
        }
    }
};

namespace {

// The poll's lock for the scope.
class Locked {
public:
    explicit Locked(AvahiThreadedPoll* poll) : poll_(poll) { avahi_threaded_poll_lock(poll_); }
    ~Locked() { avahi_threaded_poll_unlock(poll_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    AvahiThreadedPoll* poll_;
};

}  // namespace

Publisher::Publisher(std::function<void(const std::string&)> tell) : state_(std::make_unique<State>()) {
    state_->tell = std::move(tell);
    state_->poll = avahi_threaded_poll_new();
    if (!state_->poll) {
        state_->tell("DNS-SD cannot start: " + std::string(avahi_strerror(AVAHI_ERR_NO_MEMORY)));
        return;
    }
    state_->connect();
    avahi_threaded_poll_start(state_->poll);
}

Publisher::~Publisher() {
    if (!state_->poll) return;
    avahi_threaded_poll_stop(state_->poll);
    // Freeing the client frees its groups: the daemon withdraws them, saying goodbye.
    if (state_->client) avahi_client_free(state_->client);
    if (state_->retry) avahi_threaded_poll_get(state_->poll)->timeout_free(state_->retry);
    avahi_threaded_poll_free(state_->poll);
}

void Publisher::publish(const Record& record) {
    if (!state_->poll) return;
    Locked locked(state_->poll);
    const auto [at, added] = state_->entries.try_emplace(record.instanceName, Entry{record});
    if (added)
        state_->add(at->second);
    else
        state_->replace(at->second, record);
}

void Publisher::update(const Record& record) {
    publish(record);
}

void Publisher::withdraw(const std::string& instanceName) {
    if (!state_->poll) return;
    Locked locked(state_->poll);
    const auto at = state_->entries.find(instanceName);
    if (at == state_->entries.end()) return;
    if (at->second.group) avahi_entry_group_free(at->second.group);
    state_->entries.erase(at);
}

}  // namespace zr::dnssd
