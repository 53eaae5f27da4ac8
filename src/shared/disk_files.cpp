#include "shared/disk_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace zr {

namespace {

// The system's reason for the last failure, in lower case as it reads inside a sentence.
std::string Reason(int code) {
    std::string text = std::strerror(code);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

bool WriteAll(int fd, const std::string& content) {
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

std::string PathInFolder(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

DiskFiles::DiskFiles(std::string folder) : folder_(std::move(folder)) {}

std::string DiskFiles::folder() const { return folder_; }

bool DiskFiles::exists(const std::string& path) const {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

bool DiskFiles::read(const std::string& path, std::string& content, std::string& error) const {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = Reason(errno);
        return false;
    }
    content.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR) continue;
            error = Reason(errno);
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        content.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return true;
}

bool DiskFiles::replace(const std::string& path, const std::string& content, std::string& error) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = Reason(errno);
        return false;
    }
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);
    else ::fchmod(fd, 0644);
    const bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
    const int writeError = errno;
    if (::close(fd) != 0 || !written) {
        error = Reason(written ? errno : writeError);
        ::unlink(temporary.c_str());
        return false;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        error = Reason(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

bool DiskFiles::append(const std::string& path, const std::string& content, std::string& error) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
        error = Reason(errno);
        return false;
    }
    const off_t oldLength = ::lseek(fd, 0, SEEK_END);
    if (!WriteAll(fd, content) || ::fsync(fd) != 0) {
        error = Reason(errno);
        if (oldLength >= 0) (void)::ftruncate(fd, oldLength);
        ::close(fd);
        return false;
    }
    if (::close(fd) != 0) {
        error = Reason(errno);
        return false;
    }
    return true;
}

}  // namespace zr
