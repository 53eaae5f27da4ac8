#pragma once

#include <sys/types.h>

#include <cstddef>

#include "shared/files.h"

namespace zr {

// Files in a folder on disk, through POSIX calls.
class DiskFiles : public Files {
public:
    explicit DiskFiles(std::string folder);

    std::string folder() const override;
    bool exists(const std::string& path) const override;
    bool read(const std::string& path, std::string& content, std::string& error) const override;
    bool replace(const std::string& path, const std::string& content, std::string& error) override;
    bool append(const std::string& path, const std::string& content, std::string& error) override;

protected:
    // Writes up to `size` bytes to `fd` and returns what ::write returns (errno set on
    // failure). All file content is written through here, so a test can make the disk run
    // full part-way through a file.
    virtual ssize_t writeSome(int fd, const char* data, std::size_t size);

private:
    // False with errno set when not all of `content` could be written.
    bool writeAll(int fd, const std::string& content);

    std::string folder_;
};

}  // namespace zr
