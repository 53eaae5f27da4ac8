#pragma once

#include <map>
#include <string>

#include "shared/files.h"

// Files held in memory, so that a fuzz target can read and rewrite a file on every input
// without touching the disk.
class MemoryFiles : public zr::Files {
public:
    std::map<std::string, std::string> content;

    std::string pathOf(const std::string& name) const override { return "/memory/" + name; }
    std::string listPathOf(const std::string& name) const override { return "/memory/" + name; }
    bool exists(const std::string& path) const override { return content.count(path) != 0; }
    bool read(const std::string& path, std::string& text, std::string& error) const override {
        const auto it = content.find(path);
        if (it == content.end()) {
            error = "no such file";
            return false;
        }
        text = it->second;
        return true;
    }
    bool replace(const std::string& path, const std::string& text, std::string&) override {
        content[path] = text;
        return true;
    }
    bool create(const std::string& path, const std::string& text, std::string&) override {
        content.try_emplace(path, text);
        return true;
    }
    bool append(const std::string& path, const std::string& text, std::string& error) override {
        const auto it = content.find(path);
        if (it == content.end()) {
            error = "no such file";
            return false;
        }
        it->second += text;
        return true;
    }
};
