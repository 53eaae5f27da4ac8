#include "sila/pump_servers.h"

#include <grpcpp/security/server_credentials.h>
#include <grpcpp/server_builder.h>

#include <QFile>
#include <QString>
#include <QSysInfo>
#include <algorithm>
#include <chrono>

#include "cli/output.h"
#include "cli/pumps.h"
#include "cli/version.h"
#include "sila/self_signed_identity.h"

namespace zr::sila {

namespace {

// A request longer than this is refused before it reaches the pump feature: the longest command
// string the checker takes fits many times over.
constexpr int kLongestRequest = 256 * 1024;
constexpr const char* kVendorUrl = "https://zadurovu.org";

std::optional<std::string> Read(const std::string& path, std::string& error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = "cannot read " + path + ": " + file.errorString().toStdString();
        return std::nullopt;
    }
    return file.readAll().toStdString();
}

// The credentials the pump `uuid` serves with, and the CA's path when they are self-signed.
std::shared_ptr<grpc::ServerCredentials> Credentials(const ServeOptions& o, const std::string& uuid,
                                                     std::string& caPath, std::string& error) {
    if (o.insecure) return grpc::InsecureServerCredentials();
    Identity identity;
    if (!o.certificateFile.empty()) {
        const auto certificate = Read(o.certificateFile, error);
        const auto key = certificate ? Read(o.keyFile, error) : std::nullopt;
        if (!key) return nullptr;
        identity = {*certificate, *key, ""};
    } else {
        std::vector<std::string> hosts{"localhost", QSysInfo::machineHostName().toStdString()};
        std::vector<std::string> addresses{"127.0.0.1"};
        // Listening on every interface names none of them; another host goes with the names
        // or the addresses, as it is written.
        const bool every = o.host == "0.0.0.0" || o.host == "[::]";
        const bool named =
            o.host == "127.0.0.1" || std::find(hosts.begin(), hosts.end(), o.host) != hosts.end();
        const bool address =
            o.host.starts_with('[') || o.host.find_first_not_of("0123456789.") == std::string::npos;
        if (!every && !named) (address ? addresses : hosts).push_back(o.host);
        const auto made =
            SelfSignedIdentity(o.dataFolder + "/sila-certificates", uuid, hosts, addresses, error);
        if (!made) return nullptr;
        identity = *made;
        caPath = identity.caPath;
    }
    grpc::SslServerCredentialsOptions ssl;
    ssl.pem_key_cert_pairs.push_back({identity.privateKeyPem, identity.certificatePem});
    return grpc::SslServerCredentials(ssl);
}

}  // namespace

PumpServers::PumpServers(const ServeOptions& o)
    : options_(o), nextPort_(o.firstPort), records_(o.dataFolder + "/sila-servers.ini") {
    if (!o.announce) return;
    if (o.host == "localhost" || o.host.rfind("127.", 0) == 0 || o.host == "::1")
        cli::Tell("serve: listening on " + o.host +
                  ", so announced on this computer's loopback alone (other computers could not reach it): "
                  "give --listen 0.0.0.0:PORT or an address of the lab network to be found there");
    announcer_ = std::make_unique<Announcer>(records_);
}

PumpServers::~PumpServers() {
    // Withdrawn first, while the servers still answer; a rename meanwhile announces nothing.
    if (announcer_) announcer_->withdraw();
    for (Port& p : ports_) p.queue->end();
    for (Served& s : served_) s.pump->end();
    const auto deadline = std::chrono::system_clock::now() + std::chrono::milliseconds(300);
    for (Served& s : served_) s.server->Shutdown(deadline);
    for (Served& s : served_) s.server->Wait();
    // The lines' threads end before the features go: a poll may still be due on them.
    ports_.clear();
    served_.clear();
}

PortQueue* PumpServers::queueOf(const std::string& portName) {
    const auto p =
        std::find_if(ports_.begin(), ports_.end(), [&](const Port& p) { return p.name == portName; });
    return p == ports_.end() ? nullptr : p->queue.get();
}

bool PumpServers::serves(const std::string& portName, int address) const {
    return std::any_of(served_.begin(), served_.end(),
                       [&](const Served& s) { return s.portName == portName && s.address == address; });
}

bool PumpServers::serve(const std::string& portName, const cli::LinkOptions& link, int address,
                        std::string& error) {
    const ServeOptions& o = options_;
    const std::string pumpName = cli::AddressName(address);
    const std::string key = portName + " " + pumpName;
    ServerFacts facts{
        key,
        records_.uuid(key, error),
        "Pump " + pumpName + " on " + portName,
        "SyringePump",
        "Syringe pump " + pumpName + " on " + portName + ", served by zadu-rovu-cli " + ZR_VERSION,
        ZR_VERSION,
        kVendorUrl};
    if (facts.uuid.empty()) return false;
    std::string caPath;
    const auto credentials = Credentials(o, facts.uuid, caPath, error);
    if (!credentials) return false;
    // The self-signed CA travels in the announcement, for clients to trust the server by.
    const std::optional<std::string> caPem = caPath.empty() ? std::string() : Read(caPath, error);
    if (!caPem) return false;
    PortQueue* queue = queueOf(portName);
    if (!queue) queue = ports_.emplace_back(Port{portName, std::make_unique<PortQueue>(link)}).queue.get();
    Served s{portName, address, nullptr, nullptr, nullptr};
    Announcer* announcer = announcer_.get();
    s.service = std::make_unique<ServiceFeature>(facts, records_, [announcer, key = facts.key] {
        if (announcer) announcer->renamed(key);
    });
    s.pump = std::make_unique<PumpFeature>(*queue, address, o.runSeconds);
    grpc::ServerBuilder builder;
    int bound = 0;
    const std::string listen = o.host + ":" + std::to_string(nextPort_);
    builder.AddListeningPort(listen, credentials, &bound);
    builder.RegisterService(s.service.get());
    builder.RegisterService(s.pump.get());
    builder.SetMaxReceiveMessageSize(kLongestRequest);
    s.server = builder.BuildAndStart();
    if (!s.server || bound == 0) {
        error = "cannot listen on " + listen + ": give --listen a free port on an address of this computer";
        return false;
    }
    cli::PrintLine("pump " + pumpName + " on " + portName + ": UUID " + facts.uuid + ", serving on " +
                   o.host + ":" + std::to_string(bound) + (caPath.empty() ? "" : ", CA " + caPath));
    if (announcer_)
        announcer_->announce({facts, uint16_t(bound), *caPem, pumpName, portName,
                              o.host == "localhost" ? "127.0.0.1" : o.host});
    served_.push_back(std::move(s));
    if (nextPort_ != 0) ++nextPort_;
    return true;
}

}  // namespace zr::sila
