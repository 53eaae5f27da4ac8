#pragma once

#include <QFileDevice>
#include <string>
#include <string_view>

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

protected:
    // Writes all of `content` to `file`, or returns false with the reason. All file content is
    // written through here, so that a test can make the disk run full part-way through a file.
    virtual bool writeAll(QFileDevice& file, std::string_view content, std::string& error);

private:
    std::string folder_;
};

}  // namespace zr
