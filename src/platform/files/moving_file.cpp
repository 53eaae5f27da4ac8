#include "platform/files/moving_file.h"

#include <utility>

namespace zr {

MovingFile::MovingFile(Files& files, Dialogs& dialogs, std::string path, std::string earlier)
    : files_(files), dialogs_(dialogs), path_(std::move(path)), earlier_(std::move(earlier)) {}

bool MovingFile::readsEarlier(const std::string& path) const {
    return path == path_ && !earlier_.empty() && !files_.exists(path_) && files_.exists(earlier_);
}

bool MovingFile::exists(const std::string& path) const {
    return readsEarlier(path) || files_.exists(path);
}

bool MovingFile::read(const std::string& path, std::string& content, std::string& error) const {
    if (!readsEarlier(path)) return files_.read(path, content, error);
    if (files_.read(earlier_, content, error)) return true;
    error += " (it is read from " + earlier_ + " until the first change)";
    return false;
}

bool MovingFile::replace(const std::string& path, const std::string& content, std::string& error) {
    const bool moving = readsEarlier(path);
    if (!files_.replace(path, content, error)) return false;
    if (moving) tellMoved();
    return true;
}

// While the earlier file stands for it, the file is there.
bool MovingFile::create(const std::string& path, const std::string& content, std::string& error) {
    return readsEarlier(path) || files_.create(path, content, error);
}

bool MovingFile::append(const std::string& path, const std::string& content, std::string& error) {
    if (!readsEarlier(path)) return files_.append(path, content, error);
    std::string earlierContent;
    if (!read(path, earlierContent, error)) return false;
    // Made with the earlier content unless another instance has just made it, and added to
    // whichever is there, so that neither instance's save replaces the other's.
    if (!files_.create(path, earlierContent, error)) return false;
    tellMoved();
    return files_.append(path, content, error);
}

void MovingFile::tellMoved() {
    dialogs_.messageBox("Saved command strings are kept in " + path_ +
                            " from now on.  The program's folder cannot be written, so " + earlier_ +
                            ", which they were read from until now, stays as it was.",
                        MessageIcon::None, "");
}

}  // namespace zr
