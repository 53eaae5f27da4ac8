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
    cli::LinkOptions link;   // the port; its address is each pump's own
    std::string portName;    // the port as the command line named it
    std::vector<int> pumps;  // address indices, single pumps only
    std::string host;        // what to listen on
    int firstPort = 50052;   // the first pump's port, the next pump's one more; 0: any free one each
    std::string certificateFile, keyFile;  // the lab's; none: a self-signed one
    bool insecure = false;                 // plain gRPC
    double runSeconds = 60;
    std::string dataFolder;  // where the records and the self-signed certificates are kept
    bool announce = true;    // each pump published by DNS-SD through avahi-daemon
};

// Each pump of one port as a SiLA 2 server of its own, all of them sharing the port's queue.
class PumpServers {
public:
    PumpServers() = default;
    // Withdraws the announcements, stops serving, then closes the line.
    ~PumpServers();
    PumpServers(const PumpServers&) = delete;
    PumpServers& operator=(const PumpServers&) = delete;

    // Serves every pump, printing a line for each on stdout; false with `error` (what to do)
    // when one cannot be served.
    bool start(const ServeOptions& options, std::string& error);

private:
    struct Served {
        std::unique_ptr<ServiceFeature> service;
        std::unique_ptr<PumpFeature> pump;
        std::unique_ptr<grpc::Server> server;
    };

    std::unique_ptr<ServerRecords> records_;
    std::unique_ptr<Announcer> announcer_;
    std::unique_ptr<PortQueue> queue_;
    std::vector<Served> served_;
};

}  // namespace zr::sila
