#pragma once

#include <mutex>
#include <string>

namespace zr::sila {

// Each served pump's UUID and name, kept in a file of the data folder under a key naming the
// pump (its port as named and its address), so that both stay the same across restarts.
class ServerRecords {
public:
    explicit ServerRecords(std::string file) : file_(std::move(file)) {}

    // The pump's UUID, made and kept on first use; "" with `error` set when it cannot be kept.
    std::string uuid(const std::string& key, std::string& error);
    // The name SetServerName left, or `fallback` when none did.
    std::string name(const std::string& key, const std::string& fallback);
    // Keeps `name`; false with `error` set when the file cannot be written.
    bool setName(const std::string& key, const std::string& name, std::string& error);

private:
    std::mutex mutex_;
    const std::string file_;
};

}  // namespace zr::sila
