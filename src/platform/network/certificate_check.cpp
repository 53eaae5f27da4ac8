#include "platform/network/certificate_check.h"

#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdio>
#include <memory>

namespace zr {

namespace {

using Certificate = std::unique_ptr<X509, decltype(&X509_free)>;

Certificate Read(const std::string& pem) {
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(pem.data(), static_cast<int>(pem.size())),
                                                  BIO_free);
    return {bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr) : nullptr, X509_free};
}

std::string Text(const ASN1_STRING* text) {
    return {reinterpret_cast<const char*>(ASN1_STRING_get0_data(text)),
            static_cast<std::size_t>(ASN1_STRING_length(text))};
}

// An IPv4 address in dots, an IPv6 one in eight groups of hexadecimal digits.
std::string AddressText(const ASN1_OCTET_STRING* address) {
    const unsigned char* bytes = ASN1_STRING_get0_data(address);
    const int length = ASN1_STRING_length(address);
    std::string text;
    char part[8];
    for (int i = 0; length == 4 && i < 4; ++i) {
        std::snprintf(part, sizeof part, i == 0 ? "%u" : ".%u", bytes[i]);
        text += part;
    }
    for (int i = 0; length == 16 && i < 16; i += 2) {
        std::snprintf(part, sizeof part, i == 0 ? "%x" : ":%x", unsigned(bytes[i] << 8 | bytes[i + 1]));
        text += part;
    }
    return text;
}

// The DNS names and addresses of the certificate's subjectAltName, else its common name.
std::string NamesOf(X509* certificate) {
    std::string names;
    const auto add = [&names](const std::string& name) { names += (names.empty() ? "" : ", ") + name; };
    auto* alternatives =
        static_cast<GENERAL_NAMES*>(X509_get_ext_d2i(certificate, NID_subject_alt_name, nullptr, nullptr));
    for (int i = 0; i < sk_GENERAL_NAME_num(alternatives); ++i) {
        const GENERAL_NAME* name = sk_GENERAL_NAME_value(alternatives, i);
        if (name->type == GEN_DNS) add(Text(name->d.dNSName));
        if (name->type == GEN_IPADD) add(AddressText(name->d.iPAddress));
    }
    GENERAL_NAMES_free(alternatives);
    if (names.empty()) {
        X509_NAME* subject = X509_get_subject_name(certificate);
        const int at = X509_NAME_get_index_by_NID(subject, NID_commonName, -1);
        if (at >= 0) add(Text(X509_NAME_ENTRY_get_data(X509_NAME_get_entry(subject, at))));
    }
    return names.empty() ? "no name" : names;
}

}  // namespace

std::string CertificateNamesIfNotFor(const std::string& pem, const std::string& host, bool address) {
    const Certificate certificate = Read(pem);
    if (!certificate) return "no name";
    const int matches = address ? X509_check_ip_asc(certificate.get(), host.c_str(), 0)
                                : X509_check_host(certificate.get(), host.data(), host.size(), 0, nullptr);
    return matches == 1 ? std::string() : NamesOf(certificate.get());
}

std::string CertificateExpiry(const std::string& pem) {
    const Certificate certificate = Read(pem);
    tm end{};
    if (!certificate || ASN1_TIME_to_tm(X509_get0_notAfter(certificate.get()), &end) != 1) return {};
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d UTC", end.tm_year + 1900, end.tm_mon + 1,
                  end.tm_mday, end.tm_hour, end.tm_min);
    return text;
}

}  // namespace zr
