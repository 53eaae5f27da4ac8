#include "shared/disk_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace zr {

namespace {

// The system's reason for a failure, in lower case as it reads inside a sentence.
std::string Reason(int code) {
    std::string text = std::strerror(code);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

// The reason why something that is not a regular file cannot be used as one.
std::string NotARegularFile(const struct stat& info) {
    return S_ISDIR(info.st_mode) ? Reason(EISDIR) : "not a regular file";
}

// Opens an existing regular file. O_NONBLOCK keeps a named pipe in its place from blocking
// the program; it changes nothing for a regular file.
int OpenRegular(const std::string& path, int flags, struct stat& info, std::string& error) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = Reason(errno);
        return -1;
    }
    if (::fstat(fd, &info) != 0) {
        error = Reason(errno);
        ::close(fd);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        error = NotARegularFile(info);
        ::close(fd);
        return -1;
    }
    return fd;
}

// The file that a replace must write: the target of a link, so that the link survives.
std::string FileBehind(const std::string& path) {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return path;
    return resolved;
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Permissions for a new file, as open() with 0666 would give under the process's umask.
// umask() can only be read by setting it; the program has one thread.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Gives a new file the owner of the file it replaces. Only root, or the owner for a group of
// its own, may do so; otherwise the file belongs to whoever saves it, as with any editor.
void KeepOwner(int fd, const struct stat& old) {
    if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
        // Not allowed: the file stays the current user's, with the old permissions.
    }
}

// Makes a finished rename survive a power loss. The new content is already in place, so a
// failure here is not a failure of the replace.
void SyncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::string PathInFolder(const std::string& folder, const std::string& name) {
    return folder + "/" + name;
}

DiskFiles::DiskFiles(std::string folder) : folder_(std::move(folder)) {}

std::string DiskFiles::folder() const {
    return folder_;
}

bool DiskFiles::exists(const std::string& path) const {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return true;
    return errno != ENOENT && errno != ENOTDIR;
}

bool DiskFiles::read(const std::string& path, std::string& content, std::string& error) const {
    struct stat info {};
    const int fd = OpenRegular(path, O_RDONLY, info, error);
    if (fd < 0) return false;
    std::string text;
    text.reserve(static_cast<std::size_t>(info.st_size));
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
        text.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    content = std::move(text);
    return true;
}

bool DiskFiles::replace(const std::string& path, const std::string& content, std::string& error) {
    const std::string target = FileBehind(path);
    struct stat old {};
    const bool hadOld = ::stat(target.c_str(), &old) == 0;
    if (hadOld && !S_ISREG(old.st_mode)) {
        error = NotARegularFile(old);
        return false;
    }
    std::string temporary = target + ".new-XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        error = Reason(errno);
        return false;
    }
    if (hadOld) KeepOwner(fd, old);
    bool done = ::fchmod(fd, hadOld ? old.st_mode & 07777 : NewFileMode()) == 0 && writeAll(fd, content) &&
                ::fsync(fd) == 0;
    int failure = errno;
    if (::close(fd) != 0 && done) {
        done = false;
        failure = errno;
    }
    if (done && ::rename(temporary.c_str(), target.c_str()) != 0) {
        done = false;
        failure = errno;
    }
    if (!done) {
        ::unlink(temporary.c_str());
        error = Reason(failure);
        return false;
    }
    SyncFolder(FolderOf(target));
    return true;
}

bool DiskFiles::append(const std::string& path, const std::string& content, std::string& error) {
    struct stat info {};
    const int fd = OpenRegular(path, O_WRONLY | O_APPEND, info, error);
    if (fd < 0) return false;
    const off_t oldLength = info.st_size;
    if (!writeAll(fd, content) || ::fsync(fd) != 0) {
        error = Reason(errno);
        if (::ftruncate(fd, oldLength) == 0) ::fsync(fd);
        ::close(fd);
        return false;
    }
    ::close(fd);  // the content is on the disk once fsync has returned
    return true;
}

ssize_t DiskFiles::writeSome(int fd, const char* data, std::size_t size) {
    return ::write(fd, data, size);
}

bool DiskFiles::writeAll(int fd, const std::string& content) {
    const char* data = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t written = writeSome(fd, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (written == 0) {
            errno = ENOSPC;
            return false;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace zr
