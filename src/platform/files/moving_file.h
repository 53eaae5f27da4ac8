#pragma once

#include <string>

#include "shared/dialogs.h"
#include "shared/files.h"

namespace zr {

// The program's files, where the file at `path` is read from its earlier place `earlier`
// until it exists itself. The first change creates it with the earlier content and the
// change, leaves the earlier file as it was, and tells the operator where the file is now.
// Every other path, and every path once the file exists, goes to `files` unchanged.
class MovingFile : public Files {
public:
    MovingFile(Files& files, Dialogs& dialogs, std::string path, std::string earlier);

    std::string pathOf(const std::string& name) const override { return files_.pathOf(name); }
    std::string listPathOf(const std::string& name) const override { return files_.listPathOf(name); }
    bool exists(const std::string& path) const override;
    bool read(const std::string& path, std::string& content, std::string& error) const override;
    bool replace(const std::string& path, const std::string& content, std::string& error) override;
    bool create(const std::string& path, const std::string& content, std::string& error) override;
    bool append(const std::string& path, const std::string& content, std::string& error) override;

private:
    // True while `path` is the moving file and only its earlier one is there.
    bool readsEarlier(const std::string& path) const;
    void tellMoved();

    Files& files_;
    Dialogs& dialogs_;
    std::string path_;
    std::string earlier_;
};

}  // namespace zr
