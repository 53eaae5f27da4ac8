#include "sila/self_signed_identity.h"

#include "tls/self_signed.h"

namespace zr::sila {

std::optional<Identity> SelfSignedIdentity(const std::string& folder, const std::string& uuid,
                                           const std::vector<std::string>& hostNames,
                                           const std::vector<std::string>& addresses, std::string& error) {
    const std::optional<tls::ServerIdentity> made =
        tls::LoadOrMakeSelfSigned(folder, uuid, hostNames, addresses, error);
    if (!made) return std::nullopt;
    return Identity{made->certificatePem, made->privateKeyPem, made->caPath};
}

}  // namespace zr::sila
