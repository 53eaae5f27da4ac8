#pragma once

#include <string>

namespace zr {

// What a server's certificate (PEM) says about being the server at `host` (a name, or an IP
// address when `address`): "" when it is for that host, else the names it is for
// ("bench-9, bench-9.lab"), or "no name" when it holds none.
std::string CertificateNamesIfNotFor(const std::string& pem, const std::string& host, bool address);

// When the certificate stops being valid, as "2026-12-06 23:39 UTC"; "" when unreadable.
std::string CertificateExpiry(const std::string& pem);

}  // namespace zr
