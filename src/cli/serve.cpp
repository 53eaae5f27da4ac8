#include <QCoreApplication>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "cli/exit_status.h"
#include "cli/interrupt.h"
#include "cli/link_options.h"
#include "cli/output.h"
#include "cli/subcommands.h"
#include "platform/files/data_folders.h"
#include "sila/pump_servers.h"

namespace zr::cli {

namespace {

struct ServeChoices {
    sila::ServeOptions serve;
    std::string listen = "127.0.0.1:50052";
    bool noAnnounce = false;
};

int Serve(ServeChoices& c) {
    if (c.serve.dataFolder.empty())
        c.serve.dataFolder = FindDataFolders(QCoreApplication::applicationDirPath().toStdString()).data;
    if (c.serve.insecure)
        Tell(
            "Serving plain gRPC without TLS (--insecure): anyone who reaches the port can read and drive the "
            "pumps; give --cert and --key, or neither, to serve over TLS.");
    Interrupt interrupt;
    std::string error;
    {
        sila::PumpServers servers;
        if (!servers.start(c.serve, error)) {
            Tell("Cannot serve: " + error);
            return kUsageError;
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
        "\nServes each --address on the port as a SiLA 2 server of its own: the SiLA Service and\n"
        "org.zadurovu/pumps/SyringePumpController/v1. The first pump listens on --listen, each\n"
        "further one on the next port number (port 0: any free port each). One line a pump on stdout\n"
        "tells its UUID and where it listens. Every request goes through one queue for the port, one\n"
        "exchange at a time; Stop goes ahead. A port missing at start is served anyway: calls tell\n"
        "PortUnavailable until it is there. Each pump is announced by DNS-SD (_sila._tcp, through\n"
        "avahi-daemon) under its UUID, with its name, version, description, the pump and the port\n"
        "it serves (TXT zadurovu_pump, zadurovu_port) and the self-signed CA; without avahi-daemon\n"
        "it is served all the same. Runs until SIGINT or SIGTERM, then withdraws the announcements\n"
        "and closes the line.");
    AddPortOptions(*serve, c->serve.link);
    serve
        ->add_option_function<std::vector<std::string>>(
            "--address",
            [c](const std::vector<std::string>& values) {
                c->serve.pumps.clear();
                for (const std::string& value : values) {
                    const std::optional<int> index = ChoiceIndex(Control::cboAddress, value);
                    if (!index || *index >= FirstGroupAddressIndex)
                        throw CLI::ValidationError("--address",
                                                   "\"" + value + "\" is not a single pump: 1..9 or A..F");
                    if (std::find(c->serve.pumps.begin(), c->serve.pumps.end(), *index) !=
                        c->serve.pumps.end())
                        throw CLI::ValidationError("--address", "pump " + value + " is given twice");
                    c->serve.pumps.push_back(*index);
                }
            },
            "a pump to serve, repeated for each (default 1)")
        ->type_name("PUMP")
        ->take_all()
        ->expected(1, -1);
    AddReplyMargin(*serve, c->serve.link.replyMarginMs);
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
    serve->callback([c, serve, &action] {
        const std::size_t colon = c->listen.rfind(':');
        int port = -1;
        try {
            if (colon != std::string::npos) port = std::stoi(c->listen.substr(colon + 1));
        } catch (const std::exception&) {
        }
        if (colon == 0 || port < 0 || port > 65535)
            throw CLI::ValidationError("--listen", "needs HOST:PORT, such as 127.0.0.1:50052");
        c->serve.host = c->listen.substr(0, colon);
        c->serve.firstPort = port;
        c->serve.announce = !c->noAnnounce;
        if (c->serve.pumps.empty()) c->serve.pumps = {FirstAddressIndex};
        const CLI::Option* given = serve->get_option("--port");
        c->serve.portName = given->count() > 0 ? given->as<std::string>() : "Com1";
        action = [c] { return Serve(*c); };
    });
}

}  // namespace zr::cli
