#include "pty_pair.h"

#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>

PtyPair::PtyPair() {
    char name[256] = {};
    if (::openpty(&master_, &slave_, name, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
    slaveName_ = name;
}

PtyPair::~PtyPair() {
    hangUp();
    if (slave_ >= 0) ::close(slave_);
}

void PtyPair::send(const std::string& bytes) {
    if (::write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw std::runtime_error("write to the pseudo-terminal failed");
}

std::string PtyPair::receive(size_t expected, double seconds) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
    std::string got;
    while (got.size() < expected && Clock::now() < deadline) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd query{master_, POLLIN, 0};
        if (::poll(&query, 1, static_cast<int>(left.count()) + 1) != 1) continue;
        char buffer[512];
        const ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n <= 0) break;
        got.append(buffer, static_cast<size_t>(n));
    }
    return got;
}

void PtyPair::hangUp() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
}

void LinkPort(const std::string& folder, int number, const std::string& target) {
    const std::filesystem::path link = std::filesystem::path(folder) / ("COM" + std::to_string(number));
    std::filesystem::remove(link);
    std::filesystem::create_symlink(target, link);
}
