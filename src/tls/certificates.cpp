#include "tls/certificates.h"

#include <openssl/asn1.h>
#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/objects.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <ctime>

namespace zr::tls {

namespace {

constexpr long kCaDays = 3650;
constexpr long kServerDays = 730;  // under the 825 days some clients accept for a server
// Backdated so that a client whose clock is a little behind accepts a certificate made now.
constexpr long kBackdateSeconds = 3600;
constexpr const char* kUuidExtension = "1.3.6.1.4.1.58583";

struct Freeing {
    void operator()(BIO* bio) const { BIO_free(bio); }
    void operator()(X509_NAME* name) const { X509_NAME_free(name); }
    void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
    void operator()(ASN1_OBJECT* object) const { ASN1_OBJECT_free(object); }
    void operator()(ASN1_OCTET_STRING* text) const { ASN1_OCTET_STRING_free(text); }
    void operator()(GENERAL_NAMES* names) const { GENERAL_NAMES_free(names); }
    void operator()(BIGNUM* number) const { BN_free(number); }
};
template <typename T>
using Owned = std::unique_ptr<T, Freeing>;

// OpenSSL's reason for the last failure, or `fallback` when it left none.
std::string OpenSslReason(const char* fallback) {
    const unsigned long code = ERR_get_error();
    ERR_clear_error();
    if (code == 0) return fallback;
    char text[256];
    ERR_error_string_n(code, text, sizeof text);
    return text;
}

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

// A host name of letters, digits, "-" and "_" in dot-separated labels of at most 63
// characters, 253 in all; a final dot is dropped.
bool HostName(std::string name, std::string& dns) {
    if (name.ends_with('.')) name.pop_back();
    if (name.empty() || name.size() > 253) return false;
    std::size_t label = 0;
    for (const char c : name) {
        if (c == '.') {
            if (label == 0) return false;
            label = 0;
            continue;
        }
        const bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                             c == '-' || c == '_';
        if (!allowed || ++label > 63) return false;
    }
    if (label == 0) return false;
    dns = Lower(name);
    return true;
}

// The bytes of an IP address written as text ("[::1]" as "::1"); false when it is none.
bool IpAddress(std::string text, std::string& bytes) {
    if (text.size() > 2 && text.front() == '[' && text.back() == ']') text = text.substr(1, text.size() - 2);
    Owned<ASN1_OCTET_STRING> address(a2i_IPADDRESS(text.c_str()));
    ERR_clear_error();
    if (!address) return false;
    bytes.assign(reinterpret_cast<const char*>(ASN1_STRING_get0_data(address.get())),
                 static_cast<std::size_t>(ASN1_STRING_length(address.get())));
    return true;
}

bool AddName(SubjectNames& names, const std::string& name, std::string& error) {
    std::string value;
    if (IpAddress(name, value)) {
        if (value.find_first_not_of('\0') != std::string::npos) names.ips.insert(value);
        return true;
    }
    if (HostName(name, value)) {
        names.dns.insert(value);
        return true;
    }
    error = name;
    return false;
}

// A new certificate for `key` with a random serial number, valid from a little before now for
// `days`, with `subject`; not yet signed.
Certificate NewCertificate(EVP_PKEY* key, const std::string& commonName, long days, std::string& error) {
    Certificate certificate(X509_new());
    unsigned char serial[16];
    Owned<X509_NAME> subject(X509_NAME_new());
    if (!certificate || !subject || RAND_bytes(serial, sizeof serial) != 1) {
        error = OpenSslReason("out of memory");
        return nullptr;
    }
    serial[0] &= 0x7f;  // positive
    serial[0] |= 0x40;  // and 16 bytes long
    Owned<BIGNUM> number(BN_bin2bn(serial, sizeof serial, nullptr));
    const auto* name = reinterpret_cast<const unsigned char*>(commonName.c_str());
    if (!number || X509_set_version(certificate.get(), X509_VERSION_3) != 1 ||
        !BN_to_ASN1_INTEGER(number.get(), X509_get_serialNumber(certificate.get())) ||
        !X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -kBackdateSeconds) ||
        !X509_time_adj_ex(X509_getm_notAfter(certificate.get()), static_cast<int>(days), 0, nullptr) ||
        X509_set_pubkey(certificate.get(), key) != 1 ||
        X509_NAME_add_entry_by_NID(subject.get(), NID_commonName, MBSTRING_UTF8, name, -1, -1, 0) != 1 ||
        X509_set_subject_name(certificate.get(), subject.get()) != 1) {
        error = OpenSslReason("cannot fill in the certificate");
        return nullptr;
    }
    return certificate;
}

// Adds the extensions written in OpenSSL's configuration syntax, with `issuer` for the
// authority's key identifier.
bool AddExtensions(X509* certificate, X509* issuer, std::initializer_list<std::pair<int, const char*>> values,
                   std::string& error) {
    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer, certificate, nullptr, nullptr, 0);
    for (const auto& [nid, value] : values) {
        Owned<X509_EXTENSION> extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value));
        if (!extension || X509_add_ext(certificate, extension.get(), -1) != 1) {
            error = OpenSslReason("cannot add an extension");
            return false;
        }
    }
    return true;
}

bool AddSubjectNames(X509* certificate, const SubjectNames& names, std::string& error) {
    Owned<GENERAL_NAMES> list(sk_GENERAL_NAME_new_null());
    const auto add = [&](int type, const std::string& value) {
        GENERAL_NAME* name = GENERAL_NAME_new();
        ASN1_STRING* text = ASN1_STRING_type_new(type == GEN_DNS ? V_ASN1_IA5STRING : V_ASN1_OCTET_STRING);
        if (name == nullptr || text == nullptr ||
            ASN1_STRING_set(text, value.data(), static_cast<int>(value.size())) != 1) {
            GENERAL_NAME_free(name);
            ASN1_STRING_free(text);
            return false;
        }
        GENERAL_NAME_set0_value(name, type, text);
        if (sk_GENERAL_NAME_push(list.get(), name) > 0) return true;
        GENERAL_NAME_free(name);
        return false;
    };
    bool added = list != nullptr;
    for (const std::string& dns : names.dns) added = added && add(GEN_DNS, dns);
    for (const std::string& ip : names.ips) added = added && add(GEN_IPADD, ip);
    if (added && X509_add1_ext_i2d(certificate, NID_subject_alt_name, list.get(), 0, X509V3_ADD_DEFAULT) == 1)
        return true;
    error = OpenSslReason("cannot add the subject alternative names");
    return false;
}

// The UUID as the extension's value: its 36 characters as they are.
bool AddUuid(X509* certificate, const std::string& uuid, std::string& error) {
    Owned<ASN1_OBJECT> object(OBJ_txt2obj(kUuidExtension, 1));
    Owned<ASN1_OCTET_STRING> value(ASN1_OCTET_STRING_new());
    if (object && value &&
        ASN1_OCTET_STRING_set(value.get(), reinterpret_cast<const unsigned char*>(uuid.data()),
                              static_cast<int>(uuid.size())) == 1) {
        Owned<X509_EXTENSION> extension(X509_EXTENSION_create_by_OBJ(nullptr, object.get(), 0, value.get()));
        if (extension && X509_add_ext(certificate, extension.get(), -1) == 1) return true;
    }
    error = OpenSslReason("cannot add the UUID extension");
    return false;
}

bool Sign(X509* certificate, EVP_PKEY* key, std::string& error) {
    if (X509_sign(certificate, key, EVP_sha256()) > 0) return true;
    error = OpenSslReason("cannot sign the certificate");
    return false;
}

}  // namespace

bool NamesFor(const std::vector<std::string>& hostNames, const std::vector<std::string>& addresses,
              SubjectNames& names, std::string& error) {
    names = {{"localhost"}, {std::string("\x7f\0\0\x01", 4)}};
    for (const auto* list : {&hostNames, &addresses})
        for (const std::string& name : *list)
            if (!AddName(names, name, error)) return false;
    return true;
}

Key NewKey(std::string& error) {
    Key key(EVP_EC_gen("P-256"));
    if (!key) error = OpenSslReason("cannot make a key");
    return key;
}

Certificate MakeCa(EVP_PKEY* key, std::string& error) {
    // A tag of its own in the name, so that a client trusting the CAs of several computers tells
    // them apart by name.
    unsigned char tag[4];
    if (RAND_bytes(tag, sizeof tag) != 1) {
        error = OpenSslReason("no random numbers");
        return nullptr;
    }
    char hex[9];
    std::snprintf(hex, sizeof hex, "%02x%02x%02x%02x", tag[0], tag[1], tag[2], tag[3]);
    Certificate ca = NewCertificate(key, std::string("SiLA2 CA ") + hex, kCaDays, error);
    if (!ca || X509_set_issuer_name(ca.get(), X509_get_subject_name(ca.get())) != 1 ||
        !AddExtensions(ca.get(), ca.get(),
                       {{NID_basic_constraints, "critical,CA:TRUE,pathlen:0"},
                        {NID_key_usage, "critical,keyCertSign,cRLSign"},
                        {NID_subject_key_identifier, "hash"}},
                       error) ||
        !Sign(ca.get(), key, error))
        return nullptr;
    return ca;
}

Certificate MakeServerCertificate(EVP_PKEY* key, X509* ca, EVP_PKEY* caKey, const std::string& uuid,
                                  const SubjectNames& names, std::string& error) {
    Certificate server = NewCertificate(key, "SiLA2", kServerDays, error);
    if (!server) return nullptr;
    if (ASN1_TIME_compare(X509_get0_notAfter(server.get()), X509_get0_notAfter(ca)) > 0 &&
        X509_set1_notAfter(server.get(), X509_get0_notAfter(ca)) != 1) {
        error = OpenSslReason("cannot set the certificate's end");
        return nullptr;
    }
    if (X509_set_issuer_name(server.get(), X509_get_subject_name(ca)) != 1 ||
        !AddExtensions(server.get(), ca,
                       {{NID_basic_constraints, "critical,CA:FALSE"},
                        {NID_key_usage, "critical,digitalSignature"},
                        {NID_ext_key_usage, "serverAuth"},
                        {NID_subject_key_identifier, "hash"},
                        {NID_authority_key_identifier, "keyid:always"}},
                       error) ||
        !AddSubjectNames(server.get(), names, error) || !AddUuid(server.get(), uuid, error) ||
        !Sign(server.get(), caKey, error))
        return nullptr;
    return server;
}

Certificate ReadCertificate(const std::string& pem) {
    Owned<BIO> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    Certificate certificate(bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr) : nullptr);
    ERR_clear_error();
    return certificate;
}

Key ReadKey(const std::string& pem) {
    Owned<BIO> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())));
    // No passphrase callback: a key that asks for one counts as none.
    Key key(bio ? PEM_read_bio_PrivateKey(
                      bio.get(), nullptr, [](char*, int, int, void*) { return 0; }, nullptr)
                : nullptr);
    ERR_clear_error();
    return key;
}

namespace {

template <typename Write>
std::string ToText(Write write) {
    Owned<BIO> bio(BIO_new(BIO_s_mem()));
    if (!bio || write(bio.get()) != 1) return {};
    char* data = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &data);
    return std::string(data, static_cast<std::size_t>(length));
}

}  // namespace

std::string CertificatePem(X509* certificate) {
    return ToText([&](BIO* bio) { return PEM_write_bio_X509(bio, certificate); });
}

std::string KeyPem(EVP_PKEY* key) {
    return ToText(
        [&](BIO* bio) { return PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr); });
}

bool ValidFor(X509* certificate, long seconds) {
    std::time_t then = std::time(nullptr) + seconds;
    return X509_cmp_current_time(X509_get0_notBefore(certificate)) < 0 &&
           X509_cmp_time(X509_get0_notAfter(certificate), &then) > 0;
}

std::string EndOf(X509* certificate) {
    std::tm end{};
    if (ASN1_TIME_to_tm(X509_get0_notAfter(certificate), &end) != 1) return "an unreadable date";
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S UTC", &end);
    return text;
}

bool KeyMatches(X509* certificate, EVP_PKEY* key) {
    const bool matches = X509_check_private_key(certificate, key) == 1;
    ERR_clear_error();
    return matches;
}

bool SignedBy(X509* certificate, X509* ca) {
    const bool issued = X509_check_issued(ca, certificate) == X509_V_OK &&
                        X509_verify(certificate, X509_get0_pubkey(ca)) == 1;
    ERR_clear_error();
    return issued;
}

std::string UuidOf(X509* certificate) {
    Owned<ASN1_OBJECT> object(OBJ_txt2obj(kUuidExtension, 1));
    const int index = object ? X509_get_ext_by_OBJ(certificate, object.get(), -1) : -1;
    if (index < 0) return {};
    const ASN1_OCTET_STRING* value = X509_EXTENSION_get_data(X509_get_ext(certificate, index));
    return std::string(reinterpret_cast<const char*>(ASN1_STRING_get0_data(value)),
                       static_cast<std::size_t>(ASN1_STRING_length(value)));
}

bool Covers(X509* certificate, const SubjectNames& names) {
    Owned<GENERAL_NAMES> list(
        static_cast<GENERAL_NAMES*>(X509_get_ext_d2i(certificate, NID_subject_alt_name, nullptr, nullptr)));
    SubjectNames present;
    for (int i = 0; list && i < sk_GENERAL_NAME_num(list.get()); ++i) {
        int type = 0;
        const auto* value = static_cast<const ASN1_STRING*>(
            GENERAL_NAME_get0_value(sk_GENERAL_NAME_value(list.get(), i), &type));
        const std::string text(reinterpret_cast<const char*>(ASN1_STRING_get0_data(value)),
                               static_cast<std::size_t>(ASN1_STRING_length(value)));
        if (type == GEN_DNS) present.dns.insert(Lower(text));
        if (type == GEN_IPADD) present.ips.insert(text);
    }
    return std::includes(present.dns.begin(), present.dns.end(), names.dns.begin(), names.dns.end()) &&
           std::includes(present.ips.begin(), present.ips.end(), names.ips.begin(), names.ips.end());
}

}  // namespace zr::tls
