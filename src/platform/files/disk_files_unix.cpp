#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "platform/files/disk_files.h"

// The files are read and written with POSIX calls, each checked, so that every failure keeps
// its own reason: a write that ran out of room halfway, a sync the disk refused. A replace
// writes a temporary file beside the old one and renames it over the old one only once the
// whole text is on the disk; until then the old file is untouched. Writers lock the file (flock)
// while they change it, and a temporary file while it lives, so that two programs writing at
// once never undo each other's work and a write can tell what a killed writer left. Qt only
// turns a name in the folder into a path.

namespace zr {

namespace {

// A reason in lower case, as it reads inside a sentence.
std::string Reason(int code) {
    std::string text = std::strerror(code);
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

// The longest text file read. The program's files hold short lines: command strings, command
// lists, sequences, each at most a few hundred characters a line. Every operation on
// programs.txt reads it whole, and a rewrite writes it whole again, so 16 MiB (some 100 000
// entries, far more than a list box can offer) is already more than an operator keeps; a file
// past it was not written as such a file, and reading one of several GiB would take the
// memory of the whole computer.
constexpr off_t kLongestTextFile = off_t(16) << 20;

std::string TooLong(off_t length) {
    return "it is " + std::to_string(length) +
           " bytes long, more than the 16 MiB a file of command strings may have; it has not been read "
           "and is left as it is: shorten it, or move it elsewhere";
}

QString Name(const std::string& path) {
    return QFile::decodeName(path.c_str());
}

std::string PathIn(const std::string& folder, const std::string& name) {
    return QFile::encodeName(QDir::toNativeSeparators(QDir(Name(folder)).filePath(Name(name)))).toStdString();
}

// The reason why something that is not a regular file cannot be used as one.
std::string NotARegularFile(const struct stat& info) {
    return S_ISDIR(info.st_mode) ? Reason(EISDIR) : "not a regular file";
}

// The folder of a path: "." for a bare name, "/" for a name at the root.
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// An open descriptor, closed when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int fd() const { return fd_; }
    // Hands the descriptor on, no longer to be closed here.
    int release() { return std::exchange(fd_, -1); }
    // Closes now. Some file systems report a failed write only here.
    bool close(std::string& error) {
        const int result = ::close(std::exchange(fd_, -1));
        if (result != 0) error = Reason(errno);
        return result == 0;
    }

private:
    int fd_;
};

// Opens an existing regular file. O_NONBLOCK keeps a named pipe in its place from blocking
// the program; it changes nothing for a regular file. `length` is the file's length when it
// was opened. -1 with the reason on failure.
int OpenRegular(const std::string& path, int flags, off_t& length, std::string& error) {
    Descriptor file(::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK));
    if (file.fd() < 0) {
        error = Reason(errno);
        return -1;
    }
    struct stat info {};
    if (::fstat(file.fd(), &info) != 0) {
        error = Reason(errno);
        return -1;
    }
    if (!S_ISREG(info.st_mode)) {
        error = NotARegularFile(info);
        return -1;
    }
    length = info.st_size;
    return file.release();
}

// How long a write waits for another writer to finish with the file. Each holds it for a
// moment only (one write and a sync), even on a slow memory stick.
constexpr int kLockWaitMs = 3000;
// Looked at so often that a writer gets its turn between two of another that keeps writing.
constexpr int kLockPollMs = 1;

// A file system that keeps no locks (some network shares) is written without them, as before
// locks were taken.
bool LocksUnkept(int code) {
    return code == ENOLCK || code == EOPNOTSUPP || code == ENOSYS;
}

// Opens an existing regular file as OpenRegular does and locks it for writing: every writer
// here holds that lock while it changes the file or puts another in its place, so that one
// never cuts back or replaces what another has just written. A file that another writer has put
// in place while this one waited is opened afresh. `length` is the file's length once locked.
int OpenLocked(const std::string& path, int flags, off_t& length, std::string& error) {
    for (int waited = 0;;) {
        Descriptor file(OpenRegular(path, flags, length, error));
        if (file.fd() < 0) return -1;
        for (; ::flock(file.fd(), LOCK_EX | LOCK_NB) != 0 && !LocksUnkept(errno); waited += kLockPollMs) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                error = Reason(errno);
                return -1;
            }
            if (waited >= kLockWaitMs) {
                error = "another program has been writing it for over 3 s; try again once it has finished";
                return -1;
            }
            ::usleep(kLockPollMs * 1000);
        }
        struct stat held {
        }, named{};
        if (::fstat(file.fd(), &held) != 0) {
            error = Reason(errno);
            return -1;
        }
        if (::stat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
            length = held.st_size;
            return file.release();
        }
    }
}

// Writes the whole of `content`, going on after a short write until the disk refuses.
bool WriteAll(int fd, std::string_view content, std::string& error) {
    while (!content.empty()) {
        const ssize_t written = ::write(fd, content.data(), content.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            error = Reason(written < 0 ? errno : ENOSPC);
            return false;
        }
        content.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Flushes the file to the disk and checks that all of its `size` bytes are there.
bool SyncWhole(int fd, std::size_t size, std::string& error) {
    struct stat info {};
    if (::fsync(fd) != 0 || ::fstat(fd, &info) != 0) {
        error = Reason(errno);
        return false;
    }
    if (static_cast<std::size_t>(info.st_size) == size) return true;
    error =
        "only " + std::to_string(info.st_size) + " of " + std::to_string(size) + " bytes reached the disk";
    return false;
}

// The file that `path` names once its links are followed: a link's target, taken from the
// link's own folder when it is relative, followed again; the path itself when it is no link or
// names nothing yet.
bool FollowLinks(std::string path, std::string& file, std::string& error) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info {};
        if (::lstat(path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
            file = std::move(path);
            return true;
        }
        char target[PATH_MAX];
        const ssize_t length = ::readlink(path.c_str(), target, sizeof target);
        if (length < 0 || length == static_cast<ssize_t>(sizeof target)) {
            error = Reason(length < 0 ? errno : ENAMETOOLONG);
            return false;
        }
        const std::string_view next(target, static_cast<std::size_t>(length));
        path = next.starts_with('/') ? std::string(next) : FolderOf(path) + "/" + std::string(next);
    }
    error = Reason(ELOOP);
    return false;
}

// What a temporary file's name has between the name of the file it is to replace and the
// process number and attempt of its writer: "programs.txt.new-1234-0".
constexpr const char* kTemporaryMark = ".new-";

// The process number in the name of a temporary file made beside `target`; 0 for any other
// name.
pid_t TemporaryWriter(std::string_view name, const std::string& target) {
    const std::string start = target + kTemporaryMark;
    if (!name.starts_with(start)) return 0;
    const std::string_view rest = name.substr(start.size());
    const std::size_t dash = rest.find('-');
    const auto digits = [](std::string_view part) {
        return !part.empty() && part.size() < 10 &&
               part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (dash == std::string_view::npos || !digits(rest.substr(0, dash)) || !digits(rest.substr(dash + 1)))
        return 0;
    return static_cast<pid_t>(std::stoi(std::string(rest.substr(0, dash))));
}

// Removes the temporary files that writers killed before they finished left beside `target`.
// Only a regular file of that name that no writer holds locked goes: a writer locks its file
// from right after making it, and in that moment it is its process, still running, that tells
// the file is in use.
void RemoveLeftTemporaries(const std::string& target) {
    const std::string folder = FolderOf(target);
    const std::string name = target.substr(target.rfind('/') + 1);
    DIR* listing = ::opendir(folder.c_str());
    if (listing == nullptr) return;
    while (const dirent* entry = ::readdir(listing)) {
        const pid_t writer = TemporaryWriter(entry->d_name, name);
        if (writer <= 0) continue;
        const std::string path = folder + "/" + entry->d_name;
        Descriptor file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
        struct stat held {
        }, named{};
        if (file.fd() < 0 || ::fstat(file.fd(), &held) != 0 || !S_ISREG(held.st_mode)) continue;
        if (::flock(file.fd(), LOCK_EX | LOCK_NB) != 0) continue;
        if (::kill(writer, 0) == 0 || errno == EPERM) continue;
        // Still the file that was found free, not a new one of the same name.
        if (::lstat(path.c_str(), &named) == 0 && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            ::unlink(path.c_str());
    }
    ::closedir(listing);
}

// A new file beside another, removed again unless it has been renamed into place.
class TemporaryFile {
public:
    // Makes a name of its own next to `beside`, with at most `mode`'s permissions; fd() is -1,
    // with the reason in `error`, when there is no room for it.
    TemporaryFile(const std::string& beside, mode_t mode, std::string& error)
        : file_(Create(beside, mode, path_, error)) {}
    ~TemporaryFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int fd() const { return file_.fd(); }
    // Closes the file and renames it to `target`, which it replaces in one step.
    bool moveTo(const std::string& target, std::string& error) {
        if (!file_.close(error)) return false;
        if (::rename(path_.c_str(), target.c_str()) != 0) {
            error = Reason(errno);
            return false;
        }
        path_.clear();
        return true;
    }

private:
    // The file is locked from right after it is made until it is gone, which tells a writer
    // that cleans up (RemoveLeftTemporaries) that this one is still at work.
    static int Create(const std::string& beside, mode_t mode, std::string& path, std::string& error) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            path = beside + kTemporaryMark + std::to_string(::getpid()) + "-" + std::to_string(attempt);
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
            if (fd >= 0) {
                ::flock(fd, LOCK_EX);
                return fd;
            }
            if (errno != EEXIST) break;
        }
        error = Reason(errno);
        path.clear();
        return -1;
    }

    std::string path_;  // made before the file, which names it
    Descriptor file_;
};

// Adds `content` to the end of the locked file `fd`, which was `oldLength` long, and flushes it
// to the disk; on failure cuts it back to that length.
bool AppendWhole(int fd, off_t oldLength, std::string_view content, std::string& error) {
    if (WriteAll(fd, content, error)) {
        if (::fsync(fd) == 0) return true;
        error = Reason(errno);
    }
    if (::ftruncate(fd, oldLength) == 0) ::fsync(fd);
    return false;
}

// Makes a finished rename survive a power loss. The new content is already in place, so a
// failure here is not a failure of the replace.
void SyncFolder(const std::string& folder) {
    Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd() >= 0) ::fsync(dir.fd());
}

}  // namespace

DiskFiles::DiskFiles(std::string folder) : folder_(folder), listFolder_(std::move(folder)) {}
DiskFiles::DiskFiles(std::string folder, std::string listFolder)
    : folder_(std::move(folder)), listFolder_(std::move(listFolder)) {}

std::string DiskFiles::pathOf(const std::string& name) const {
    return PathIn(folder_, name);
}

std::string DiskFiles::listPathOf(const std::string& name) const {
    return PathIn(listFolder_, name);
}

bool DiskFiles::exists(const std::string& path) const {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return true;
    return errno != ENOENT && errno != ENOTDIR;
}

bool DiskFiles::read(const std::string& path, std::string& content, std::string& error) const {
    off_t length = 0;
    Descriptor file(OpenRegular(path, O_RDONLY, length, error));
    if (file.fd() < 0) return false;
    if (length > kLongestTextFile) {
        error = TooLong(length);
        return false;
    }
    // Reserved for the length at opening, so that the text is allocated once; a file that
    // grows meanwhile is read to its end, or to the limit.
    std::string text;
    text.reserve(static_cast<std::size_t>(length));
    char buffer[65536];
    for (;;) {
        if (text.size() > static_cast<std::size_t>(kLongestTextFile)) {
            error = TooLong(static_cast<off_t>(text.size()));
            return false;
        }
        const ssize_t got = ::read(file.fd(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = Reason(errno);
            return false;
        }
        if (got == 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    content = std::move(text);
    return true;
}

bool DiskFiles::replace(const std::string& path, const std::string& content, std::string& error) {
    std::string target;
    if (!FollowLinks(path, target, error)) return false;
    RemoveLeftTemporaries(target);
    struct stat old {};
    const bool hadOld = ::stat(target.c_str(), &old) == 0;
    if (hadOld && !S_ISREG(old.st_mode)) {
        error = NotARegularFile(old);
        return false;
    }
    // A file the user may not write stays as it is, though the folder would let a new one
    // take its place.
    if (hadOld && ::access(target.c_str(), W_OK) != 0) {
        error = Reason(errno);
        return false;
    }
    TemporaryFile file(target, hadOld ? old.st_mode & 0777 : 0666, error);
    if (file.fd() < 0) return false;
    if (hadOld) {
        // Only root, or the owner for a group of its own, may keep the owner; otherwise the
        // file belongs to whoever saves it, as with any editor. The mode is set after the
        // owner, which may clear its set-id bits.
        if (::fchown(file.fd(), old.st_uid, old.st_gid) != 0) {
            // Not allowed: the file stays the current user's, with the old permissions.
        }
        if (::fchmod(file.fd(), old.st_mode & 07777) != 0) {
            error = Reason(errno);
            return false;
        }
    }
    if (!WriteAll(file.fd(), content, error) || !SyncWhole(file.fd(), content.size(), error)) return false;
    // The old file is held while the new one takes its place, so that an append going on
    // meanwhile ends in the old file first, and one that starts afterwards finds the new one.
    off_t oldLength = 0;
    const Descriptor held(hadOld ? OpenLocked(target, O_WRONLY, oldLength, error) : -1);
    if ((hadOld && held.fd() < 0) || !file.moveTo(target, error)) return false;
    SyncFolder(FolderOf(target));
    return true;
}

bool DiskFiles::create(const std::string& path, const std::string& content, std::string& error) {
    std::string target;
    if (!FollowLinks(path, target, error)) return false;
    // O_EXCL: the file is made here, or it was there; another's is never written over. It is
    // locked at once, so that a writer that finds it meanwhile waits until it is whole.
    Descriptor file(::open(target.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.fd() < 0 && errno == EEXIST) return true;
    if (file.fd() < 0) {
        error = Reason(errno);
        return false;
    }
    struct stat made {};
    if ((::flock(file.fd(), LOCK_EX) != 0 && !LocksUnkept(errno)) || ::fstat(file.fd(), &made) != 0) {
        error = Reason(errno);
        ::unlink(target.c_str());
        return false;
    }
    RemoveLeftTemporaries(target);
    if (AppendWhole(file.fd(), made.st_size, content, error)) {
        SyncFolder(FolderOf(target));
        return true;
    }
    // Nothing half made is left, unless another writer got in first and added to it.
    if (made.st_size == 0) ::unlink(target.c_str());
    return false;
}

bool DiskFiles::append(const std::string& path, const std::string& content, std::string& error) {
    if (std::string target; FollowLinks(path, target, error)) RemoveLeftTemporaries(target);
    off_t oldLength = 0;
    Descriptor file(OpenLocked(path, O_WRONLY | O_APPEND, oldLength, error));
    return file.fd() >= 0 && AppendWhole(file.fd(), oldLength, content, error);
}

}  // namespace zr
