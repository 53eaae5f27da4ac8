#pragma once

#include <grpcpp/server.h>

#include <memory>
#include <string>
#include <vector>

#include "cli/link_options.h"
#include "sila/announcement.h"
#include "sila/port_queue.h"
#include "sila/pump_feature.h"
#include "sila/server_records.h"
#include "sila/service_feature.h"

namespace zr::sila {

struct ServeOptions {
    std::string host;       // what to listen on
    int firstPort = 50052;  // the first pump's port, the next pump's one more; 0: any free one each
    std::string certificateFile, keyFile;  // the lab's; none: a self-signed one
    bool insecure = false;                 // plain gRPC
    double runSeconds = 60;
    std::string dataFolder;  // where the records and the self-signed certificates are kept
    bool announce = true;    // each pump published by DNS-SD through avahi-daemon
};

// The pumps served, each a SiLA 2 server of its own; the pumps of one port share the port's
// queue, made when the first of them is served.
class PumpServers {
public:
    // Tells on stderr when announcements cannot leave this computer.
    explicit PumpServers(const ServeOptions& options);
    // Withdraws the announcements, stops serving, then closes the lines.
    ~PumpServers();
    PumpServers(const PumpServers&) = delete;
    PumpServers& operator=(const PumpServers&) = delete;

    // Serves pump `address` (an address index, a single pump) of the port `portName`, as the
    // command line or a scan names it, over `link`, on the next port number, and prints a line
    // for it on stdout; false with `error` (what to do) when it cannot be served.
    bool serve(const std::string& portName, const cli::LinkOptions& link, int address, std::string& error);
    // The port's queue once one of its pumps is served; nullptr before.
    PortQueue* queueOf(const std::string& portName);
    bool serves(const std::string& portName, int address) const;
    bool empty() const { return served_.empty(); }

private:
    struct Port {
        std::string name;
        std::unique_ptr<PortQueue> queue;
    };
    struct Served {
        std::string portName;
        int address;
        std::unique_ptr<ServiceFeature> service;
        std::unique_ptr<PumpFeature> pump;
        std::unique_ptr<grpc::Server> server;
    };

    const ServeOptions options_;
    int nextPort_;
    ServerRecords records_;
    std::unique_ptr<Announcer> announcer_;
    std::vector<Port> ports_;
    std::vector<Served> served_;
};

}  // namespace zr::sila
