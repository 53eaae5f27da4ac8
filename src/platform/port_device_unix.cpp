#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>

#include "platform/port_device.h"

namespace zr {

// COMn in the program's folder, when there is one (a link to the real device, or the link a
// simulator made), names the port; otherwise the n-th built-in serial line does. A link is
// followed to the device itself, so that the lock taken on opening is the device's and a
// second opener is refused whichever name it uses.
PortDevice ComPortDevice(int number, const QString& programDir) {
    const QString link = QDir(programDir).filePath(QStringLiteral("COM%1").arg(number));
    const QFileInfo info(link);
    if (info.isSymLink()) {
        const QString target = info.symLinkTarget();
        const QString device = info.canonicalFilePath();
        return {device.isEmpty() ? target : device, (link + QStringLiteral(" -> ") + target).toStdString()};
    }
    if (info.exists()) return {link, link.toStdString()};
    const QString builtIn = QStringLiteral("/dev/ttyS%1").arg(number - 1);
    return {builtIn, builtIn.toStdString()};
}

std::string DeviceProblem(const PortDevice& device) {
    const QByteArray path = device.path.toLocal8Bit();
    struct stat st {};
    if (::stat(path.constData(), &st) != 0) return errno == EACCES ? "permission denied" : "no such device";
    if (::faccessat(AT_FDCWD, path.constData(), R_OK | W_OK, AT_EACCESS) != 0) return "permission denied";
    if (!S_ISCHR(st.st_mode)) return "not a serial device";
    return {};
}

bool DeviceHungUp(qintptr handle) {
    pollfd query{static_cast<int>(handle), 0, 0};
    return ::poll(&query, 1, 0) == 1 && (query.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace zr
