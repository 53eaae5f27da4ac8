#include "live/test_certificates.h"

#include <QFile>
#include <QProcess>

bool TestCertificates::openssl(const QStringList& arguments) {
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start("openssl", arguments);
    if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        error_ = "openssl " + arguments.join(' ') + ": " + QString::fromLocal8Bit(process.readAll());
        return false;
    }
    return true;
}

bool TestCertificates::make() {
    const QStringList newKey{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
    QFile names(path("names.cnf")), otherName(path("bench-9.cnf"));
    if (!names.open(QIODevice::WriteOnly) || !otherName.open(QIODevice::WriteOnly)) {
        error_ = "cannot write in " + folder_.path();
        return false;
    }
    names.write("subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1\n");
    otherName.write("subjectAltName=DNS:bench-9\n");
    names.close();
    otherName.close();
    const auto signedBy = [&](const QString& request, const QString& out, const QString& days,
                              const QString& extensions) {
        return openssl({"x509", "-req", "-in", path(request), "-CA", ca(), "-CAkey", path("ca.key"),
                        "-CAcreateserial", "-out", path(out), "-days", days, "-extfile", path(extensions)});
    };
    return openssl(
               QStringList{"req", "-x509"} + newKey +
               QStringList{"-keyout", path("ca.key"), "-out", ca(), "-subj", "/CN=Test CA", "-days", "2"}) &&
           openssl(QStringList{"req", "-x509"} + newKey +
                   QStringList{"-keyout", path("other-ca.key"), "-out", otherCa(), "-subj", "/CN=Other CA",
                               "-days", "2"}) &&
           openssl(QStringList{"req"} + newKey +
                   QStringList{"-keyout", key(), "-out", path("server.csr"), "-subj", "/CN=localhost"}) &&
           openssl(QStringList{"req"} + newKey +
                   QStringList{"-keyout", path("bench-9.key"), "-out", path("bench-9.csr"), "-subj",
                               "/CN=bench-9"}) &&
           signedBy("server.csr", "server.pem", "2", "names.cnf") &&
           signedBy("server.csr", "expired.pem", "-1", "names.cnf") &&
           signedBy("bench-9.csr", "bench-9.pem", "2", "bench-9.cnf");
}

QString TestCertificates::accepter(const QString& certificate) const {
    const QString keyFile = certificate == otherHost() ? path("bench-9.key") : key();
    return "ssl(key=" + keyFile + ",cert=" + certificate + ")";
}
