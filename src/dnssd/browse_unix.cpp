#include <avahi-client/client.h>
#include <avahi-client/lookup.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/simple-watch.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "dnssd/avahi_texts.h"
#include "dnssd/dnssd.h"

namespace zr::dnssd {

namespace {

struct Browsing {
    std::vector<Found> found;
    int pending = 0;  // resolutions under way
    bool allForNow = false;
    int error = AVAHI_OK;
};

TxtEntries Entries(AvahiStringList* txt) {
    TxtEntries entries;
    for (AvahiStringList* at = txt; at; at = avahi_string_list_get_next(at)) {
        char* key = nullptr;
        char* value = nullptr;
        if (avahi_string_list_get_pair(at, &key, &value, nullptr) != 0) continue;
        entries.emplace_back(key, value ? value : "");
        avahi_free(key);
        avahi_free(value);
    }
    // avahi keeps its lists last entry first.
    std::reverse(entries.begin(), entries.end());
    return entries;
}

void OnResolved(AvahiServiceResolver* resolver, AvahiIfIndex, AvahiProtocol, AvahiResolverEvent event,
                const char* name, const char*, const char*, const char* host, const AvahiAddress* address,
                uint16_t port, AvahiStringList* txt, AvahiLookupResultFlags, void* userdata) {
    auto& b = *static_cast<Browsing*>(userdata);
    if (event == AVAHI_RESOLVER_FOUND) {
        char text[AVAHI_ADDRESS_STR_MAX] = {};
        avahi_address_snprint(text, sizeof text, address);
        Found f{name, host, text, port, Entries(txt)};
        const bool known = std::any_of(b.found.begin(), b.found.end(), [&](const Found& o) {
            return o.instanceName == f.instanceName && o.address == f.address && o.port == f.port;
        });
        if (!known) b.found.push_back(std::move(f));
    }
    --b.pending;
    avahi_service_resolver_free(resolver);
}

void OnBrowsed(AvahiServiceBrowser* browser, AvahiIfIndex interface, AvahiProtocol protocol,
               AvahiBrowserEvent event, const char* name, const char* type, const char* domain,
               AvahiLookupResultFlags, void* userdata) {
    auto& b = *static_cast<Browsing*>(userdata);
    AvahiClient* client = avahi_service_browser_get_client(browser);
    switch (event) {
        case AVAHI_BROWSER_NEW:
            if (avahi_service_resolver_new(client, interface, protocol, name, type, domain,
                                           AVAHI_PROTO_UNSPEC, AvahiLookupFlags(0), OnResolved, &b))
                ++b.pending;
            break;
        case AVAHI_BROWSER_ALL_FOR_NOW:
            b.allForNow = true;
            break;
        case AVAHI_BROWSER_FAILURE:
            b.error = avahi_client_errno(client);
            break;
        case AVAHI_BROWSER_REMOVE:
        case AVAHI_BROWSER_CACHE_EXHAUSTED:
            break;
    }
}

void OnClient(AvahiClient* client, AvahiClientState state, void* userdata) {
    if (state == AVAHI_CLIENT_FAILURE) static_cast<Browsing*>(userdata)->error = avahi_client_errno(client);
}

}  // namespace

std::vector<Found> Browse(double seconds, std::string& error) {
    error.clear();
    const std::unique_ptr<AvahiSimplePoll, void (*)(AvahiSimplePoll*)> poll(avahi_simple_poll_new(),
                                                                            avahi_simple_poll_free);
    if (!poll) {
        error = avahi_strerror(AVAHI_ERR_NO_MEMORY);
        return {};
    }
    Browsing b;
    int failure = 0;
    const std::unique_ptr<AvahiClient, void (*)(AvahiClient*)> client(
        avahi_client_new(avahi_simple_poll_get(poll.get()), AvahiClientFlags(0), OnClient, &b, &failure),
        avahi_client_free);
    if (!client) {
        error = NoDaemon(failure);
        return {};
    }
    // Freed with the client, and the resolvers still under way with it.
    if (!avahi_service_browser_new(client.get(), AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, ServiceType, nullptr,
                                   AvahiLookupFlags(0), OnBrowsed, &b)) {
        error = NoDaemon(avahi_client_errno(client.get()));
        return {};
    }
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    while (b.error == AVAHI_OK && !(b.allForNow && b.pending == 0)) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) break;
        if (avahi_simple_poll_iterate(poll.get(), int(left)) != 0) break;
    }
    if (b.error != AVAHI_OK) error = NoDaemon(b.error);
    return b.found;
}

}  // namespace zr::dnssd
