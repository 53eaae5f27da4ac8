#pragma once

#include <QString>
#include <QTemporaryDir>

// Certificates made with openssl for a TLS server on loopback: a CA, a server certificate for
// localhost, 127.0.0.1 and ::1 signed by it, the same expired, one for another host (bench-9),
// and a second CA that signed none of them. Each is a PEM file in a folder of its own.
class TestCertificates {
public:
    // Makes them; false with error() telling why otherwise.
    bool make();
    QString error() const { return error_; }

    QString ca() const { return path("ca.pem"); }
    QString otherCa() const { return path("other-ca.pem"); }
    QString key() const { return path("server.key"); }
    QString server() const { return path("server.pem"); }
    QString expired() const { return path("expired.pem"); }
    QString otherHost() const { return path("bench-9.pem"); }

    // The ser2net ssl accepter's options for one of the server certificates.
    QString accepter(const QString& certificate) const;

private:
    QString path(const QString& name) const { return folder_.filePath(name); }

    QTemporaryDir folder_;
    QString error_;
};
