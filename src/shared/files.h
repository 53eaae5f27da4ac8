#pragma once

#include <string>

namespace zr {

// The program's folder and the text files in it. Every operation reports failure by its
// result, with a reason a person can read in `error` (e.g. "permission denied").
class Files {
public:
    virtual ~Files() = default;

    // The folder that holds the running program, without a trailing separator.
    virtual std::string folder() const = 0;
    virtual bool exists(const std::string& path) const = 0;
    // The whole content of the file, bytes unchanged.
    virtual bool read(const std::string& path, std::string& content, std::string& error) const = 0;
    // Replaces the file's content in one step: the new text goes to a temporary file in the
    // same folder, which is then renamed over the old one. On failure the old file is unchanged.
    virtual bool replace(const std::string& path, const std::string& content, std::string& error) = 0;
    // Adds to the end of an existing file; on failure the file keeps its old length.
    virtual bool append(const std::string& path, const std::string& content, std::string& error) = 0;
};

// `folder` joined with a file name by the platform's separator.
std::string PathInFolder(const std::string& folder, const std::string& name);

}  // namespace zr
