#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zr::sila {

// A server's own certificate and key, and the CA's path that clients need to trust it.
struct Identity {
    std::string certificatePem, privateKeyPem, caPath;
};

// The self-signed identity of the server `uuid`, kept in `folder` (made there on first start)
// for the host names and addresses it serves on.
std::optional<Identity> SelfSignedIdentity(const std::string& folder, const std::string& uuid,
                                           const std::vector<std::string>& hostNames,
                                           const std::vector<std::string>& addresses, std::string& error);

}  // namespace zr::sila
