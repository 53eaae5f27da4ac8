#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zr::tls {

// A server's TLS identity: its certificate and private key (PEM), and the CA that signed the
// certificate, as PEM and as the path of its file, which clients are given to trust.
struct ServerIdentity {
    std::string certificatePem, privateKeyPem, caCertificatePem, caPath;
};

// Reads the CA and this server's certificate kept in `folder`, or makes them on first start:
// one CA per folder (ca.pem, ca.key), a server certificate per UUID (<uuid>.pem, <uuid>.key),
// keys readable by the user alone; a server certificate remade when its names no longer fit.
//
// The CA is kept for good: a client that trusted it once goes on trusting this server. The
// server certificate (common name SiLA2, the UUID in the extension 1.3.6.1.4.1.58583, the
// subject alternative names localhost, 127.0.0.1, `hostNames` and `addresses`) is remade,
// signed by the same CA, when it ends within 30 days, when its names do not cover those asked,
// when its UUID differs, when it or its key is damaged or missing, or when the CA did not sign
// it. Anything that cannot be put right without breaking the clients' trust or exposing a key
// (a damaged or missing CA file, a key file others may read, a folder this user cannot write
// when something must be made) gives nullopt, with `error` saying what happened and what to do.
std::optional<ServerIdentity> LoadOrMakeSelfSigned(const std::string& folder, const std::string& serverUuid,
                                                   const std::vector<std::string>& hostNames,
                                                   const std::vector<std::string>& addresses,
                                                   std::string& error);

}  // namespace zr::tls
