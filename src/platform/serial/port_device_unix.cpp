#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include "platform/serial/port_device.h"

namespace zr {

namespace {

// The first line of a small text file, without its line end and surrounding blanks.
std::string FirstLine(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    char text[1024];
    const ssize_t length = ::read(fd, text, sizeof text);
    ::close(fd);
    if (length <= 0) return {};
    std::string line(text, static_cast<std::size_t>(length));
    line = line.substr(0, line.find_first_of("\r\n"));
    const std::size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t") - first + 1);
}

}  // namespace

ComLink ReadComLink(int number, const std::string& folder) {
    ComLink link;
    link.path = folder + "/COM" + std::to_string(number);
    struct stat st {};
    if (::lstat(link.path.c_str(), &st) != 0) return link;
    link.present = true;
    link.symLink = S_ISLNK(st.st_mode);
    if (S_ISREG(st.st_mode)) link.firstLine = FirstLine(link.path);
    if (!link.symLink) return link;
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.path.c_str(), target, sizeof target);
    if (length > 0) link.target.assign(target, static_cast<std::size_t>(length));
    // The device itself, so that the lock taken on opening is the device's and a second opener
    // is refused whichever name it uses.
    if (char* end = ::realpath(link.path.c_str(), nullptr)) {
        link.resolved = end;
        std::free(end);
    } else if (!link.target.empty() && !link.target.starts_with('/')) {
        // A link that leads nowhere (yet) is still taken from its own folder, as the system
        // takes it: its bare target would be looked up in the working folder, or under /dev.
        link.resolved = folder + "/" + link.target;
    }
    return link;
}

std::string DeviceProblem(const std::string& path) {
    const char* const denied =
        "permission denied: add your user to the dialout group (sudo adduser $USER dialout), then log in "
        "again";
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == EACCES ? denied : kNoSuchDevice;
    if (S_ISDIR(st.st_mode)) return "not a serial device but a folder";
    if (S_ISREG(st.st_mode))
        return "not a serial device but a plain file (for a pump on another computer, it holds the network "
               "port's name, e.g. rfc2217://bench-3:4001)";
    if (!S_ISCHR(st.st_mode)) return "not a serial device";
    if (::faccessat(AT_FDCWD, path.c_str(), R_OK | W_OK, AT_EACCESS) != 0) return denied;
    return {};
}

// The device nodes change /dev; the stable names, made a moment later, change their own folder.
std::optional<std::int64_t> DevicesStamp() {
    std::int64_t stamp = 0;
    for (const char* folder : {"/dev", "/dev/serial/by-id"}) {
        struct stat st {};
        if (::stat(folder, &st) == 0)
            stamp += std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        else if (errno != ENOENT)
            return std::nullopt;
    }
    return stamp;
}

bool DeviceHungUp(qintptr handle) {
    pollfd query{static_cast<int>(handle), 0, 0};
    return ::poll(&query, 1, 0) == 1 && (query.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace zr
