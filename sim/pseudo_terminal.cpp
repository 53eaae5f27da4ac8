#include "pseudo_terminal.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace pumpsim {

namespace {
std::string Reason(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}
}  // namespace

std::optional<PseudoTerminal> PseudoTerminal::Open(std::string& error) {
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0) {
        error = Reason("posix_openpt");
        return std::nullopt;
    }
    auto fail = [&](const char* what, int slave) -> std::optional<PseudoTerminal> {
        error = Reason(what);
        if (slave >= 0) close(slave);
        close(master);
        return std::nullopt;
    };
    if (grantpt(master) != 0) return fail("grantpt", -1);
    if (unlockpt(master) != 0) return fail("unlockpt", -1);
    const char* name = ptsname(master);
    if (name == nullptr) return fail("ptsname", -1);
    std::string slaveName = name;
    const int slave = open(slaveName.c_str(), O_RDWR | O_NOCTTY);
    if (slave < 0) return fail("open slave", -1);
    termios raw{};
    if (tcgetattr(slave, &raw) != 0) return fail("tcgetattr", slave);
    cfmakeraw(&raw);
    if (tcsetattr(slave, TCSANOW, &raw) != 0) return fail("tcsetattr", slave);
    const int flags = fcntl(master, F_GETFL);
    if (flags < 0 || fcntl(master, F_SETFL, flags | O_NONBLOCK) != 0) return fail("fcntl", slave);
    return PseudoTerminal(master, slave, std::move(slaveName));
}

PseudoTerminal::PseudoTerminal(int master, int slave, std::string name)
    : master_(master), slave_(slave), slaveName_(std::move(name)) {}

PseudoTerminal::PseudoTerminal(PseudoTerminal&& other) noexcept
    : master_(std::exchange(other.master_, -1)),
      slave_(std::exchange(other.slave_, -1)),
      slaveName_(std::move(other.slaveName_)) {}

PseudoTerminal::~PseudoTerminal() {
    if (slave_ >= 0) close(slave_);
    if (master_ >= 0) close(master_);
}

std::optional<SymbolicLink> SymbolicLink::Create(const std::string& path, const std::string& target,
                                                 std::string& error) {
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            error = path + " exists and is not a symbolic link";
            return std::nullopt;
        }
        if (unlink(path.c_str()) != 0) {
            error = Reason(("remove " + path).c_str());
            return std::nullopt;
        }
    }
    if (symlink(target.c_str(), path.c_str()) != 0) {
        error = Reason(("link " + path).c_str());
        return std::nullopt;
    }
    return SymbolicLink(path, target);
}

SymbolicLink::SymbolicLink(std::string path, std::string target)
    : path_(std::move(path)), target_(std::move(target)) {}

SymbolicLink::SymbolicLink(SymbolicLink&& other) noexcept
    : path_(std::exchange(other.path_, std::string())), target_(std::move(other.target_)) {}

// Removes the link only when it still points where this run put it.
SymbolicLink::~SymbolicLink() {
    if (path_.empty()) return;
    char buffer[4096];
    const ssize_t n = readlink(path_.c_str(), buffer, sizeof buffer);
    if (n >= 0 && std::string(buffer, static_cast<std::size_t>(n)) == target_) unlink(path_.c_str());
}

}  // namespace pumpsim
