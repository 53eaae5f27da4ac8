#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <utility>

#include "platform/disk_files.h"

// Qt does the reading, the writing and the replace (QSaveFile: a temporary file in the same
// folder with the old file's permissions, synced to the disk, renamed over the old one, a link
// followed to its file). POSIX calls remain for what Qt does not give: opening without
// blocking on a named pipe and refusing anything but a regular file, telling "nothing there"
// from "there but not to be looked at", keeping a replaced file's owner, and syncing an
// appended file and the folder of a rename to the disk.

namespace zr {

namespace {

// A reason in lower case, as it reads inside a sentence.
std::string Lowered(std::string text) {
    if (!text.empty() && text[0] >= 'A' && text[0] <= 'Z') text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

std::string Reason(int code) {
    return Lowered(std::strerror(code));
}
std::string Reason(const QFileDevice& file) {
    return Lowered(file.errorString().toStdString());
}

QString Name(const std::string& path) {
    return QFile::decodeName(path.c_str());
}

// The reason why something that is not a regular file cannot be used as one.
std::string NotARegularFile(const struct stat& info) {
    return S_ISDIR(info.st_mode) ? Reason(EISDIR) : "not a regular file";
}

// Opens an existing regular file into `file`. O_NONBLOCK keeps a named pipe in its place from
// blocking the program (QFile's own open would wait for a writer); it changes nothing for a
// regular file. `length` is the file's length when it was opened.
bool OpenRegular(const std::string& path, int flags, QIODevice::OpenMode mode, QFile& file, off_t& length,
                 std::string& error) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = Reason(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = Reason(errno);
        ::close(fd);
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = NotARegularFile(info);
        ::close(fd);
        return false;
    }
    length = info.st_size;
    if (!file.open(fd, mode | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        error = Reason(file);
        ::close(fd);
        return false;
    }
    return true;
}

// Makes a finished rename survive a power loss. The new content is already in place, so a
// failure here is not a failure of the replace.
void SyncFolder(const QString& folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

DiskFiles::DiskFiles(std::string folder) : folder_(std::move(folder)) {}

std::string DiskFiles::pathOf(const std::string& name) const {
    return QFile::encodeName(QDir::toNativeSeparators(QDir(Name(folder_)).filePath(Name(name))))
        .toStdString();
}

bool DiskFiles::exists(const std::string& path) const {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) return true;
    return errno != ENOENT && errno != ENOTDIR;
}

bool DiskFiles::read(const std::string& path, std::string& content, std::string& error) const {
    QFile file;
    off_t length = 0;
    if (!OpenRegular(path, O_RDONLY, QIODevice::ReadOnly, file, length, error)) return false;
    // Reserved for the length at opening, so that the text is allocated once; a file that
    // grows meanwhile is read to its end.
    std::string text;
    text.reserve(static_cast<std::size_t>(length));
    char buffer[65536];
    for (;;) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0) {
            error = Reason(file);
            return false;
        }
        if (got == 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
    }
    content = std::move(text);
    return true;
}

bool DiskFiles::replace(const std::string& path, const std::string& content, std::string& error) {
    struct stat old {};
    const bool hadOld = ::stat(path.c_str(), &old) == 0;  // through a link, as QSaveFile goes
    if (hadOld && !S_ISREG(old.st_mode)) {
        error = NotARegularFile(old);
        return false;
    }
    QSaveFile file(Name(path));
    if (!file.open(QIODevice::WriteOnly)) {
        error = Reason(file);
        return false;
    }
    // Only root, or the owner for a group of its own, may keep the owner; otherwise the file
    // belongs to whoever saves it, as with any editor.
    if (hadOld && ::fchown(file.handle(), old.st_uid, old.st_gid) != 0) {
        // Not allowed: the file stays the current user's, with the old permissions.
    }
    if (!writeAll(file, content, error)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        error = Reason(file);
        return false;
    }
    SyncFolder(QFileInfo(QFileInfo(Name(path)).canonicalFilePath()).absolutePath());
    return true;
}

bool DiskFiles::append(const std::string& path, const std::string& content, std::string& error) {
    QFile file;
    off_t oldLength = 0;
    if (!OpenRegular(path, O_WRONLY | O_APPEND, QIODevice::WriteOnly | QIODevice::Append, file, oldLength,
                     error))
        return false;
    if (writeAll(file, content, error)) {
        if (::fsync(file.handle()) == 0) return true;
        error = Reason(errno);
    }
    if (file.resize(oldLength)) ::fsync(file.handle());
    return false;
}

bool DiskFiles::writeAll(QFileDevice& file, std::string_view content, std::string& error) {
    const auto size = static_cast<qint64>(content.size());
    if (file.write(content.data(), size) == size) return true;
    error = Reason(file);
    return false;
}

}  // namespace zr
