#pragma once

#include "shared/files.h"

namespace zr {

// Files in a folder on disk, through the standard library and POSIX calls.
class DiskFiles : public Files {
public:
    explicit DiskFiles(std::string folder);

    std::string folder() const override;
    bool exists(const std::string& path) const override;
    bool read(const std::string& path, std::string& content, std::string& error) const override;
    bool replace(const std::string& path, const std::string& content, std::string& error) override;
    bool append(const std::string& path, const std::string& content, std::string& error) override;

private:
    std::string folder_;
};

}  // namespace zr
