#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "tls/private_files.h"

// POSIX calls, each checked so that every failure keeps its own reason.

namespace zr::tls {

namespace {

std::string Reason(int code) {
    std::string text = std::strerror(code);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

std::string Octal(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

// Closes a descriptor when it goes out of scope.
struct Closing {
    int fd;
    ~Closing() {
        if (fd >= 0) ::close(fd);
    }
};

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool MakePrivateFolder(const std::string& folder, std::string& error) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) return true;
        error = "it exists and is not a folder";
        return false;
    }
    const std::string above = FolderOf(folder);
    if (above != folder && above != "." && above != "/" && !MakePrivateFolder(above, error)) return false;
    if (::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) return true;
    error = Reason(errno);
    return false;
}

bool FolderWritable(const std::string& folder, std::string& error) {
    if (::access(folder.c_str(), W_OK | X_OK) == 0) return true;
    error = Reason(errno);
    return false;
}

FolderLock::~FolderLock() {
    if (descriptor_ >= 0) ::close(descriptor_);  // releases the lock
}

std::unique_ptr<FolderLock> LockFolder(const std::string& folder, std::string& error) {
    const std::string path = folder + "/.lock";
    int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // In a folder this user may not write, the lock is taken on the lock file another user
    // left, or not at all: nothing can be written there, so no two writers can meet.
    if (fd < 0 && (errno == EACCES || errno == EROFS)) {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd < 0) return std::make_unique<FolderLock>(-1);
    }
    if (fd < 0) {
        error = Reason(errno);
        return nullptr;
    }
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        error = Reason(errno);
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<FolderLock>(fd);
}

ReadResult ReadFile(const std::string& path, bool privateOnly, std::string& content, std::string& error) {
    // O_NONBLOCK keeps a named pipe in the file's place from blocking; it changes nothing for a
    // regular file.
    Closing file{::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)};
    if (file.fd < 0) {
        if (errno == ENOENT) return ReadResult::Missing;
        error = Reason(errno);
        return ReadResult::Failed;
    }
    struct stat info {};
    if (::fstat(file.fd, &info) != 0) {
        error = Reason(errno);
        return ReadResult::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "not a regular file";
        return ReadResult::Failed;
    }
    if (privateOnly && (info.st_mode & 077) != 0) {
        error = "other users may " + std::string((info.st_mode & 044) != 0 ? "read" : "change") +
                " it (mode " + Octal(info.st_mode) + ")";
        return ReadResult::Exposed;
    }
    content.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(file.fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = Reason(errno);
            return ReadResult::Failed;
        }
        if (got == 0) return ReadResult::Read;
        content.append(buffer, static_cast<std::size_t>(got));
    }
}

bool ReplaceFile(const std::string& path, const std::string& content, unsigned mode, std::string& error) {
    // One fixed name beside the file: the folder's lock keeps other writers out, and what a crash
    // left there is removed first.
    const std::string temporary = path + ".new";
    ::unlink(temporary.c_str());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                          static_cast<mode_t>(mode));
    std::FILE* stream = fd < 0 ? nullptr : ::fdopen(fd, "w");
    if (stream == nullptr) {
        error = Reason(errno);
        if (fd >= 0) ::close(fd);
        ::unlink(temporary.c_str());
        return false;
    }
    // stdio goes on after a short write; the file reaches the disk before it takes the old one's
    // place.
    bool done = std::fwrite(content.data(), 1, content.size(), stream) == content.size() &&
                std::fflush(stream) == 0 && ::fsync(::fileno(stream)) == 0;
    if (!done) error = Reason(errno);
    if (std::fclose(stream) != 0 && done) {
        error = Reason(errno);  // some file systems report a failed write only here
        done = false;
    }
    if (done && ::rename(temporary.c_str(), path.c_str()) != 0) {
        error = Reason(errno);
        done = false;
    }
    if (!done) {
        ::unlink(temporary.c_str());
        return false;
    }
    // The rename itself reaches the disk with the folder.
    Closing folder{::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (folder.fd >= 0) ::fsync(folder.fd);
    return true;
}

std::string AbsolutePath(const std::string& path) {
    if (path.starts_with('/')) return path;
    char here[PATH_MAX];
    if (::getcwd(here, sizeof here) == nullptr) return path;
    return std::string(here) + "/" + path;
}

}  // namespace zr::tls
