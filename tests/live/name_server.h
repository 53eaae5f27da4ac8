#pragma once

#include <QString>
#include <QTemporaryFile>
#include <atomic>

#include "live/service_thread.h"

// A name server of the tests' own on 127.83.0.1, port 53, made the only one this process and the
// processes it starts ask, so that a lookup goes through the real resolver and never leaves this
// machine: /etc/resolv.conf names it alone, and /etc/nsswitch.conf asks the hosts file, then it.
// Both are bind-mounted over the system's, which needs a mount namespace of the process's own
// (ctest gives one to the tests marked MOUNTS, through tests/in_mount_namespace) and root, for the
// port. It takes every question and, as its mode says, answers each that no such name exists
// (NXDOMAIN, the question's ID and question echoed) or answers none (a name server that does not).
enum class NameServerMode { NoSuchName, Silent };

class TestNameServer {
public:
    TestNameServer();
    ~TestNameServer();
    TestNameServer(const TestNameServer&) = delete;
    TestNameServer& operator=(const TestNameServer&) = delete;

    // Empty when lookups go to this server; otherwise why they cannot here (then nothing changed,
    // and a test that looks a name up skips, saying so).
    QString error() const { return error_; }
    void setMode(NameServerMode mode) { mode_ = mode; }

private:
    QString serveLookups();
    void run(int stop);

    std::atomic<NameServerMode> mode_{NameServerMode::NoSuchName};
    int socket_ = -1;
    QTemporaryFile resolver_, nsswitch_;
    QString error_;
    ServiceThread thread_;
};
