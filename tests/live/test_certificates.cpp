#include "live/test_certificates.h"

#include <QProcess>

bool TestCertificates::make() {
    // Traced (-x), so that a failure tells which command failed.
    const char script[] = R"(set -ex
k="-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes"
openssl req -x509 $k -keyout ca.key -out ca.pem -subj "/CN=Test CA" -days 2
openssl req -x509 $k -keyout other-ca.key -out other-ca.pem -subj "/CN=Other CA" -days 2
openssl req $k -keyout server.key -out server.csr -subj /CN=localhost
openssl req $k -keyout bench-9.key -out bench-9.csr -subj /CN=bench-9
echo subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1 >names.cnf
echo subjectAltName=DNS:bench-9 >bench-9.cnf
signed="x509 -req -CA ca.pem -CAkey ca.key -CAcreateserial"
openssl $signed -in server.csr -out server.pem -days 2 -extfile names.cnf
openssl $signed -in server.csr -out expired.pem -days -1 -extfile names.cnf
openssl $signed -in bench-9.csr -out bench-9.pem -days 2 -extfile bench-9.cnf
)";
    QProcess sh;
    sh.setProcessChannelMode(QProcess::MergedChannels);
    sh.setWorkingDirectory(folder_.path());
    sh.start("sh", {"-c", script});
    if (sh.waitForFinished(30000) && sh.exitStatus() == QProcess::NormalExit && sh.exitCode() == 0)
        return true;
    error_ =
        "cannot make the certificates in " + folder_.path() + ": " + QString::fromLocal8Bit(sh.readAll());
    return false;
}

QString TestCertificates::accepter(const QString& certificate) const {
    const QString keyFile = certificate == otherHost() ? path("bench-9.key") : key();
    return "ssl(key=" + keyFile + ",cert=" + certificate + ")";
}
