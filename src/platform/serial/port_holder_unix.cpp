#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/serial/port_device.h"

namespace zr {

namespace {

namespace fs = std::filesystem;

bool Running(long pid) {
    std::error_code error;
    return pid > 0 && fs::exists(fs::path("/proc") / std::to_string(pid), error);
}

// The program's name: its command's file name, or the kernel's name for it (cut at 15
// characters) when the command line tells none.
DeviceHolder Named(long pid, bool locked) {
    const fs::path process = fs::path("/proc") / std::to_string(pid);
    std::string command, kernelName;
    std::ifstream line(process / "cmdline");
    std::getline(line, command, '\0');
    std::ifstream comm(process / "comm");
    std::getline(comm, kernelName);
    std::string name = command.empty() ? kernelName : fs::path(command).filename().string();
    return {pid, name.empty() ? "another program" : name, locked};
}

// The process named by the device's lock file (its first number, in the UUCP way), when it
// still runs.
long LockFileProcess(const std::string& path) {
    std::string lockName = "LCK.." + (path.starts_with("/dev/") ? path.substr(5) : path);
    std::replace(lockName.begin() + 5, lockName.end(), '/', '_');  // /dev/pts/3: LCK..pts_3
    for (const char* folder : {"/run/lock", "/var/lock"}) {
        std::ifstream lock(fs::path(folder) / lockName);
        long pid = 0;
        if (lock >> pid && Running(pid)) return pid;
    }
    return 0;
}

// Calls `found` for each entry of `folder` until it returns true; a folder that cannot be read,
// or that changes meanwhile (a process ending), ends the walk without an error.
template <typename Found>
bool AnyEntry(const fs::path& folder, Found found) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (found(it->path())) return true;
    return false;
}

// The first process with a descriptor open on the device, from /proc/PID/fd.
long DescriptorProcess(const std::string& path) {
    long holder = 0;
    AnyEntry("/proc", [&](const fs::path& process) {
        const std::string pid = process.filename().string();
        if (pid.find_first_not_of("0123456789") != std::string::npos) return false;
        const bool holds = AnyEntry(process / "fd", [&](const fs::path& fd) {
            std::error_code gone;
            return fs::read_symlink(fd, gone).string() == path;
        });
        if (holds) holder = std::atol(pid.c_str());
        return holds;
    });
    return holder;
}

}  // namespace

DeviceHolder HolderOf(const std::string& path) {
    if (const long pid = LockFileProcess(path)) return Named(pid, true);
    if (const long pid = DescriptorProcess(path)) return Named(pid, false);
    return {};
}

}  // namespace zr
