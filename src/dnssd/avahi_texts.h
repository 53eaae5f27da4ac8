#pragma once

#include <avahi-common/strlst.h>

#include <string>

#include "dnssd/dnssd.h"

namespace zr::dnssd {

// What is told when avahi-daemon cannot be asked, with avahi's reason.
std::string NoDaemon(int avahiError);

// The TXT entries as avahi's string list, each cut as TxtString cuts it; the caller frees it.
AvahiStringList* StringList(const TxtEntries& txt);

}  // namespace zr::dnssd
