#include <avahi-common/error.h>

#include "dnssd/avahi_texts.h"
#include "dnssd/txt_entries.h"

namespace zr::dnssd {

std::string NoDaemon(int avahiError) {
    return std::string("avahi-daemon cannot be reached (") + avahi_strerror(avahiError) +
           "): the pump servers cannot be discovered by DNS-SD until it runs";
}

AvahiStringList* StringList(const TxtEntries& txt) {
    AvahiStringList* list = nullptr;
    for (const auto& [key, value] : txt) list = avahi_string_list_add(list, TxtString(key, value).c_str());
    // avahi keeps its lists last entry first.
    return avahi_string_list_reverse(list);
}

}  // namespace zr::dnssd
