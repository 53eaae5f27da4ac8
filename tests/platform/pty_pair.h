#pragma once

#include <string>

// A pseudo-terminal pair for tests: the adapter opens the slave side (through a COMn link),
// the test plays the far end on the master side.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const std::string& slaveName() const { return slaveName_; }
    int slave() const { return slave_; }

    void send(const std::string& bytes);
    // Everything that arrives within `seconds`, waiting no longer than needed for `expected` bytes.
    std::string receive(size_t expected, double seconds = 2.0);
    // The far end goes away: the slave side hangs up.
    void hangUp();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slaveName_;
};

// Makes `folder`/COM`number` a symbolic link to `target`.
void LinkPort(const std::string& folder, int number, const std::string& target);
