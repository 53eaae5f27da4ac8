#pragma once

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// zadu-rovu-cli serve as a child process, listening on loopback at ports of its choosing.
struct Server {
    QProcess process;
    int port = 0;      // the first pump's
    QList<int> ports;  // each pump's, in the order served
    QByteArray out;
    bool announce = false;  // by DNS-SD: only where tests/in_network_namespace made loopback alone
    QString program;        // the zadu-rovu-cli that serves: "" for the one built beside the tests

    // Starts serve with `arguments` and waits (10 s at most) until `pumps` pumps are served.
    bool start(const QStringList& arguments, int pumps = 1);
    // Waits until `pumps` pumps are served in all, `ports` then telling each one's port.
    bool waitForPumps(int pumps, int ms = 10000);
    // Each pump's UUID as serve printed it, in the order served.
    QStringList uuids() const;
    // SIGTERM; the exit status, -1 when it did not end within `ms`.
    int end(int ms = 5000);
    ~Server();
};

// serve's options for pump 1 on the COM1 that pumpsim links in `dir`, keeping its records and
// self-signed certificates in dir/data; and the CA such a server makes there.
QStringList PumpOneIn(const QTemporaryDir& dir);
QString SelfSignedCaIn(const QTemporaryDir& dir);

// Why the SiLA client cannot run here (Debian's python3 lacks grpcio or protobuf); "" when it can.
QString SilaClientMissing();

// The lines the SiLA client (tests/sila/sila_client.py) prints for `calls`, one a line,
// calling the server on 127.0.0.1:`port` over TLS with the CA `ca`.
QStringList Client(int port, const QString& ca, const QStringList& calls);
