#pragma once

#include <memory>
#include <string>

// The files of a folder that keeps private keys: the folder made readable by its user alone,
// files written whole or not at all, keys never readable by anyone else, not even for a moment.
// Every failure returns false with the reason in `error`, in lower case as it reads inside a
// sentence.

namespace zr::tls {

// Makes `folder` and any missing folder above it, each with mode 0700. An existing folder is
// left as it is.
bool MakePrivateFolder(const std::string& folder, std::string& error);

// Whether the user may make and replace files in `folder`; false with the reason otherwise.
bool FolderWritable(const std::string& folder, std::string& error);

// Holds the folder's lock file until destroyed, so that two servers starting at once make one
// CA between them. Null with the reason when the lock cannot be taken.
class FolderLock {
public:
    explicit FolderLock(int descriptor) : descriptor_(descriptor) {}  // -1: no lock
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int descriptor_;
};
std::unique_ptr<FolderLock> LockFolder(const std::string& folder, std::string& error);

enum class ReadResult { Read, Missing, Exposed, Failed };

// Reads a regular file. With `privateOnly`, a file that its group or others may read or write
// is not read: Exposed, with `error` saying what they may do and its mode.
ReadResult ReadFile(const std::string& path, bool privateOnly, std::string& content, std::string& error);

// Replaces `path` with `content` in one step: a new file beside it, made with `mode` (at most;
// the umask may take bits away) and never more, flushed to the disk, then renamed over the old
// one. A crash leaves the old file or the new one, never a part of either.
bool ReplaceFile(const std::string& path, const std::string& content, unsigned mode, std::string& error);

// The absolute form of `path`.
std::string AbsolutePath(const std::string& path);

}  // namespace zr::tls
