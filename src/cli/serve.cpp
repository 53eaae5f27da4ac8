#include <QCoreApplication>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "cli/hangup.h"
#include "cli/interrupt.h"
#include "cli/link_options.h"
#include "cli/output.h"
#include "cli/scan_targets.h"
#include "cli/subcommands.h"
#include "platform/files/data_folders.h"
#include "shared/list_boxes.h"
#include "sila/pump_finder.h"
#include "sila/pump_servers.h"

namespace zr::cli {

namespace {

struct ServeChoices {
    sila::ServeOptions serve;
    ScanTargets targets;
    std::vector<int> pumps;  // address indices, single pumps only; none: every pump found
    int replyMarginMs = DefaultReplyMarginMs;
    std::string listen = "127.0.0.1:50052";
    bool noAnnounce = false;
};

// Serves the pumps named on the one port named, at the rate and protocol named.
bool ServeNamed(const ServeChoices& c, sila::PumpServers& servers, std::string& error) {
    const std::vector<std::string> named =
        c.targets.ports.empty() ? std::vector<std::string>{"Com1"} : c.targets.ports;
    const QtSerialPort mapping(
        QString::fromStdString(FindDataFolders(QCoreApplication::applicationDirPath().toStdString()).data));
    const ScanPort port = GivenScanPorts(named, mapping).front();
    LinkOptions link = LinkOf(port);
    if (!c.targets.bauds.empty()) link.baudIndex = *ChoiceIndex(Control::cboBaud, c.targets.bauds.front());
    if (!c.targets.protocols.empty())
        link.protocolIndex = *ChoiceIndex(Control::cboProtocol, c.targets.protocols.front());
    link.replyMarginMs = c.replyMarginMs;
    for (int address : c.pumps) {
        link.addressIndex = address;
        if (!servers.serve(port.name, link, address, error)) return false;
    }
    return true;
}

int Serve(ServeChoices& c) {
    if (c.serve.dataFolder.empty())
        c.serve.dataFolder = FindDataFolders(QCoreApplication::applicationDirPath().toStdString()).data;
    if (c.serve.insecure)
        Tell(
            "Serving plain gRPC without TLS (--insecure): anyone who reaches the port can read and drive the "
            "pumps; give --cert and --key, or neither, to serve over TLS.");
    Interrupt interrupt;
    const auto stop = [&interrupt] { return interrupt.requested(); };
    std::string error;
    {
        sila::PumpServers servers(c.serve);
        sila::PumpFinder finder(c.targets, c.replyMarginMs, servers, stop);
        Hangup hangup;
        if (!c.pumps.empty()) {
            if (!ServeNamed(c, servers, error)) {
                Tell("Cannot serve: " + error);
                return kUsageError;
            }
        } else {
            finder.find();
            QObject::connect(&hangup, &Hangup::hungUp, &hangup, [&] { finder.find(); });
        }
        QObject::connect(&interrupt, &Interrupt::interrupted, QCoreApplication::instance(),
                         &QCoreApplication::quit);
        if (!interrupt.requested()) QCoreApplication::exec();
    }
    return kDone;
}

}  // namespace

void AddServe(CLI::App& program, Action& action) {
    const auto c = std::make_shared<ServeChoices>();
    CLI::App* serve = program.add_subcommand("serve", "serve each pump as a SiLA 2 server over gRPC");
    serve->footer(
        "\nServes each pump as a SiLA 2 server of its own: the SiLA Service and\n"
        "org.zadurovu/pumps/SyringePumpController/v1. With --address, the pumps named on the one\n"
        "--port (default Com1) at its --baud and --protocol (default 9600, DT); without, every pump\n"
        "a scan finds on the ports named (default: Com1..Com4 as the window maps them and every\n"
        "serial adapter present) at the rates and protocols named (default: all), the pumps of a\n"
        "port at the setting the first of them answers at. SIGHUP looks again and serves the pumps\n"
        "found since; a pump that goes away stays served and tells NoReply or PortUnavailable.\n"
        "The first pump listens on --listen, each further one on the next port number (port 0: any\n"
        "free port each). One line a pump on stdout tells its UUID and where it listens. Every\n"
        "request goes through one queue for the port, one exchange at a time; Stop goes ahead. A port\n"
        "missing at start is served anyway: calls tell PortUnavailable until it is there. Each pump\n"
        "is announced by DNS-SD (_sila._tcp, through avahi-daemon) under its UUID, with its name,\n"
        "version, description, the pump and the port it serves (TXT zadurovu_pump, zadurovu_port)\n"
        "and the self-signed CA; without avahi-daemon it is served all the same. Runs until SIGINT\n"
        "or SIGTERM, then withdraws the announcements and closes the lines.");
    const ScanTargetOptions targets = AddScanTargets(
        *serve, c->targets,
        "a port, Com1..Com4 or a device's path, or a network port such as rfc2217://HOST:PORT; "
        "again for more, without --address (default: Com1 with --address, else every port)");
    serve
        ->add_option_function<std::vector<std::string>>(
            "--address",
            [c](const std::vector<std::string>& values) {
                c->pumps.clear();
                for (const std::string& value : values) {
                    const std::optional<int> index = ChoiceIndex(Control::cboAddress, value);
                    if (!index || *index >= FirstGroupAddressIndex)
                        throw CLI::ValidationError("--address",
                                                   "\"" + value + "\" is not a single pump: 1..9 or A..F");
                    if (std::find(c->pumps.begin(), c->pumps.end(), *index) != c->pumps.end())
                        throw CLI::ValidationError("--address", "pump " + value + " is given twice");
                    c->pumps.push_back(*index);
                }
            },
            "a pump to serve, repeated for each (default: every pump a scan finds)")
        ->type_name("PUMP")
        ->take_all()
        ->expected(1, -1);
    AddReplyMargin(*serve, c->replyMarginMs);
    serve->add_option("--listen", c->listen, "HOST:PORT the first pump listens on (default 127.0.0.1:50052)")
        ->type_name("HOST:PORT");
    CLI::Option* cert =
        serve->add_option("--cert", c->serve.certificateFile, "the server's certificate (PEM), the lab's own")
            ->type_name("FILE");
    CLI::Option* key = serve->add_option("--key", c->serve.keyFile, "the certificate's private key (PEM)")
                           ->type_name("FILE");
    cert->needs(key);
    key->needs(cert);
    serve->add_flag("--insecure", c->serve.insecure, "serve plain gRPC, without TLS")
        ->excludes(cert)
        ->excludes(key);
    serve
        ->add_option("--run-timeout", c->serve.runSeconds,
                     "seconds RunCommandString waits for the pump to read ready (default 60)")
        ->type_name("SECONDS")
        ->check(CLI::PositiveNumber);
    serve
        ->add_option("--data", c->serve.dataFolder,
                     "the folder keeping each pump's UUID and name, and the self-signed certificates "
                     "(default: the data folder)")
        ->type_name("FOLDER");
    serve->add_flag("--no-announce", c->noAnnounce,
                    "announce nothing by DNS-SD (a bench that wants no pump found on the network)");
    serve->callback([c, targets, &action] {
        const std::size_t colon = c->listen.rfind(':');
        int port = -1;
        try {
            if (colon != std::string::npos) port = std::stoi(c->listen.substr(colon + 1));
        } catch (const std::exception&) {
        }
        if (colon == 0 || port < 0 || port > 65535)
            throw CLI::ValidationError("--listen", "needs HOST:PORT, such as 127.0.0.1:50052");
        if (!c->pumps.empty())
            for (const CLI::Option* o : {targets.port, targets.baud, targets.protocol})
                if (o->count() > 1)
                    throw CLI::ValidationError(
                        o->get_name(),
                        "is given once with --address, which serves the pumps of one port "
                        "at one setting; leave --address out to serve every pump found");
        c->serve.host = c->listen.substr(0, colon);
        c->serve.firstPort = port;
        c->serve.announce = !c->noAnnounce;
        action = [c] { return Serve(*c); };
    });
}

}  // namespace zr::cli
