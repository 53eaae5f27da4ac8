#include "tls/self_signed.h"

#include "tls/certificates.h"
#include "tls/private_files.h"

namespace zr::tls {

namespace {

constexpr long kRenewalSeconds = 30L * 24 * 3600;
constexpr unsigned kKeyMode = 0600;
constexpr unsigned kCertificateMode = 0644;

bool LowerCaseUuid(const std::string& text) {
    if (text.size() != 36) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? c != '-' : !((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    }
    return true;
}

// The steps of one call: the folder, the texts that tell what went wrong.
class Identity {
public:
    Identity(std::string folder, std::string& error) : folder_(std::move(folder)), error_(error) {}

    std::string path(const std::string& name) const { return folder_ + "/" + name; }

    bool fail(const std::string& text) {
        error_ = text;
        return false;
    }

    // A file's text: `missing` tells that it is not there; other failures are the error.
    bool read(const std::string& name, bool key, std::string& content, bool& missing) {
        std::string why;
        const ReadResult result = ReadFile(path(name), key, content, why);
        missing = result == ReadResult::Missing;
        if (result == ReadResult::Read || result == ReadResult::Missing) return true;
        if (result == ReadResult::Failed)
            return fail("Cannot read " + path(name) + ": " + why + ". Give this user access to it.");
        const std::string refused =
            path(name) + ": " + why +
            "; the key may have been copied, so it is not used. If no one else can have "
            "read it, make it private (chmod 600 " +
            path(name) + ")";
        if (name == "ca.key") return fail(refused + ". Otherwise " + newCa());
        return fail(refused +
                    "; otherwise delete it and the .pem file beside it to have them remade, and to be sure "
                    "no copy can pose as this server, " +
                    newCa());
    }

    // What to do when the CA cannot be used: the one step that breaks the clients' trust.
    std::string newCa() const {
        return "delete ca.pem and ca.key in " + folder_ +
               " to have a new CA made, and give every client the new ca.pem to trust.";
    }

    bool write(const std::string& name, const std::string& content, unsigned mode) {
        std::string why;
        if (ReplaceFile(path(name), content, mode, why)) return true;
        return fail("Cannot write " + path(name) + ": " + why +
                    ". The server keeps its certificates there: free some room or make the folder writable "
                    "by this user, or choose another data folder.");
    }

    // Before anything is made: a folder this user cannot write is said as such, not as the
    // failure of one file in it.
    bool writable() {
        std::string why;
        if (FolderWritable(folder_, why)) return true;
        return fail("Cannot make the server's certificates in " + folder_ + ": " + why +
                    ". Make the folder writable by this user, or choose another data folder.");
    }

    bool damaged(const std::string& name, const std::string& what) {
        return fail(path(name) + " " + what +
                    ". Restore it from a backup; otherwise delete ca.pem and ca.key in " + folder_ +
                    " to have a new CA made, and give every client the new ca.pem to trust.");
    }

private:
    std::string folder_;
    std::string& error_;
};

struct Pair {
    Certificate certificate;
    Key key;
    std::string certificatePem, keyPem;
};

// The folder's CA, made when there is none. A ca.key without ca.pem is what a first start that
// stopped halfway leaves (the key is written first): no client can trust a CA never written,
// so a new one replaces it.
bool LoadOrMakeCa(Identity& identity, Pair& ca) {
    bool missing = false;
    if (!identity.read("ca.pem", false, ca.certificatePem, missing)) return false;
    if (missing) {
        std::string why;
        if (!identity.writable()) return false;
        ca.key = NewKey(why);
        if (ca.key) ca.certificate = MakeCa(ca.key.get(), why);
        if (!ca.certificate) return identity.fail("Cannot make a CA: " + why);
        ca.certificatePem = CertificatePem(ca.certificate.get());
        ca.keyPem = KeyPem(ca.key.get());
        return identity.write("ca.key", ca.keyPem, kKeyMode) &&
               identity.write("ca.pem", ca.certificatePem, kCertificateMode);
    }
    ca.certificate = ReadCertificate(ca.certificatePem);
    if (!ca.certificate) return identity.damaged("ca.pem", "holds no certificate: it is damaged");
    if (!identity.read("ca.key", true, ca.keyPem, missing)) return false;
    if (missing)
        return identity.damaged("ca.key",
                                "is missing, so the CA in ca.pem cannot sign this server's certificate");
    ca.key = ReadKey(ca.keyPem);
    if (!ca.key) return identity.damaged("ca.key", "holds no private key: it is damaged");
    if (!KeyMatches(ca.certificate.get(), ca.key.get()))
        return identity.damaged("ca.key", "is not the key of the CA in ca.pem");
    if (!ValidFor(ca.certificate.get(), 0))
        return identity.fail("The CA in " + identity.path("ca.pem") + " is not valid now (it ends " +
                             EndOf(ca.certificate.get()) + "; check the computer's clock). If the clock is " +
                             "right, " + identity.newCa());
    return true;
}

// Whether the kept server certificate may go on being used.
bool Fits(const Pair& server, const Pair& ca, const std::string& uuid, const SubjectNames& names) {
    return server.certificate && server.key && KeyMatches(server.certificate.get(), server.key.get()) &&
           SignedBy(server.certificate.get(), ca.certificate.get()) &&
           ValidFor(server.certificate.get(), kRenewalSeconds) && UuidOf(server.certificate.get()) == uuid &&
           Covers(server.certificate.get(), names);
}

}  // namespace

std::optional<ServerIdentity> LoadOrMakeSelfSigned(const std::string& folder, const std::string& serverUuid,
                                                   const std::vector<std::string>& hostNames,
                                                   const std::vector<std::string>& addresses,
                                                   std::string& error) {
    error.clear();
    if (!LowerCaseUuid(serverUuid)) {
        error = "The server UUID \"" + serverUuid +
                "\" is not a UUID in lower case (8-4-4-4-12 hexadecimal digits), so no certificate is made "
                "for it.";
        return std::nullopt;
    }
    SubjectNames names;
    std::string why;
    if (!NamesFor(hostNames, addresses, names, why)) {
        error = "\"" + why +
                "\" is neither a host name nor an IP address, so the server's certificate cannot name "
                "it. Give the host's name or address as it is reached on the network.";
        return std::nullopt;
    }
    if (!MakePrivateFolder(folder, why)) {
        error = "Cannot make the folder " + folder + " for the server's certificates: " + why +
                ". Make it, writable by this user, or choose another data folder.";
        return std::nullopt;
    }
    const std::unique_ptr<FolderLock> lock = LockFolder(folder, why);
    if (!lock) {
        error = "Cannot lock " + folder + "/.lock: " + why + ". Give this user access to the folder.";
        return std::nullopt;
    }
    Identity identity(AbsolutePath(folder), error);
    Pair ca, server;
    if (!LoadOrMakeCa(identity, ca)) return std::nullopt;

    bool certificateMissing = false, keyMissing = false;
    if (!identity.read(serverUuid + ".pem", false, server.certificatePem, certificateMissing) ||
        !identity.read(serverUuid + ".key", true, server.keyPem, keyMissing))
        return std::nullopt;
    server.certificate = ReadCertificate(server.certificatePem);
    server.key = ReadKey(server.keyPem);
    if (!Fits(server, ca, serverUuid, names)) {
        // The key first: a crash before the certificate is written leaves a key that does not
        // match the old certificate, which the next start remakes.
        if (!identity.writable()) return std::nullopt;
        server.key = NewKey(why);
        if (server.key)
            server.certificate = MakeServerCertificate(server.key.get(), ca.certificate.get(), ca.key.get(),
                                                       serverUuid, names, why);
        if (!server.certificate) {
            error = "Cannot make the server's certificate: " + why;
            return std::nullopt;
        }
        server.certificatePem = CertificatePem(server.certificate.get());
        server.keyPem = KeyPem(server.key.get());
        if (!identity.write(serverUuid + ".key", server.keyPem, kKeyMode) ||
            !identity.write(serverUuid + ".pem", server.certificatePem, kCertificateMode))
            return std::nullopt;
    }
    return ServerIdentity{server.certificatePem, server.keyPem, ca.certificatePem, identity.path("ca.pem")};
}

}  // namespace zr::tls
