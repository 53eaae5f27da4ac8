#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

// Keys and certificates of a self-signed identity, made and inspected with OpenSSL.

namespace zr::tls {

struct OpenSslFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    void operator()(X509* certificate) const { X509_free(certificate); }
};
using Key = std::unique_ptr<EVP_PKEY, OpenSslFree>;
using Certificate = std::unique_ptr<X509, OpenSslFree>;

// The names a server certificate is for: DNS names in lower case, IP addresses as their 4 or
// 16 bytes.
struct SubjectNames {
    std::set<std::string> dns;
    std::set<std::string> ips;
};

// localhost and 127.0.0.1, the host names and the addresses; an address that is no IP address
// counts as a host name; the wildcards 0.0.0.0 and :: name no host and are left out. False
// with the name that is neither in `error`.
bool NamesFor(const std::vector<std::string>& hostNames, const std::vector<std::string>& addresses,
              SubjectNames& names, std::string& error);

// A new EC P-256 key; null with OpenSSL's reason in `error`.
Key NewKey(std::string& error);

// A CA for 10 years, for `key`.
Certificate MakeCa(EVP_PKEY* key, std::string& error);

// A server certificate for 2 years (never past the CA's end), common name SiLA2, for `names`,
// the server's UUID in the extension 1.3.6.1.4.1.58583, signed by the CA.
Certificate MakeServerCertificate(EVP_PKEY* key, X509* ca, EVP_PKEY* caKey, const std::string& uuid,
                                  const SubjectNames& names, std::string& error);

// The first certificate or private key of a PEM text; null when it holds none.
Certificate ReadCertificate(const std::string& pem);
Key ReadKey(const std::string& pem);
std::string CertificatePem(X509* certificate);
std::string KeyPem(EVP_PKEY* key);

// Whether the certificate is valid now and still `seconds` from now.
bool ValidFor(X509* certificate, long seconds);
// Its end, as "2036-12-09 03:10:00 UTC".
std::string EndOf(X509* certificate);
bool KeyMatches(X509* certificate, EVP_PKEY* key);
bool SignedBy(X509* certificate, X509* ca);
// The text of the UUID extension; empty when there is none.
std::string UuidOf(X509* certificate);
// Whether its subject alternative names include all of `names`.
bool Covers(X509* certificate, const SubjectNames& names);

}  // namespace zr::tls
