#pragma once

#include <string>

#include "shared/files.h"

namespace zr {

// The text files of a folder on disk, or of two: the program's files in one and the command
// lists in the other. Paths are the system's local 8-bit file names.
class DiskFiles : public Files {
public:
    explicit DiskFiles(std::string folder);
    DiskFiles(std::string folder, std::string listFolder);

    // The folder of the program's files, as given.
    const std::string& folder() const { return folder_; }

    std::string pathOf(const std::string& name) const override;
    std::string listPathOf(const std::string& name) const override;
    bool exists(const std::string& path) const override;
    bool read(const std::string& path, std::string& content, std::string& error) const override;
    bool replace(const std::string& path, const std::string& content, std::string& error) override;
    bool create(const std::string& path, const std::string& content, std::string& error) override;
    bool append(const std::string& path, const std::string& content, std::string& error) override;

private:
    std::string folder_;
    std::string listFolder_;
};

}  // namespace zr
