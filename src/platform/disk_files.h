#pragma once

#include <string>

#include "shared/files.h"

namespace zr {

// The text files of a folder on disk. Paths are the system's local 8-bit file names.
class DiskFiles : public Files {
public:
    explicit DiskFiles(std::string folder);

    // The folder, as given.
    const std::string& folder() const { return folder_; }

    std::string pathOf(const std::string& name) const override;
    bool exists(const std::string& path) const override;
    bool read(const std::string& path, std::string& content, std::string& error) const override;
    bool replace(const std::string& path, const std::string& content, std::string& error) override;
    bool append(const std::string& path, const std::string& content, std::string& error) override;

private:
    std::string folder_;
};

}  // namespace zr
