#pragma once

#include <optional>
#include <string>

namespace pumpsim {

// A pseudo-terminal whose slave side is the simulated serial port.
//
// The slave is put in raw mode (no echo, no line editing, 8 bits) and kept open here as
// well, so that a client may close and reopen it without the master seeing a hang-up.
// The master is non-blocking.
class PseudoTerminal {
public:
    // nullopt and a reason when no pseudo-terminal could be had.
    static std::optional<PseudoTerminal> Open(std::string& error);

    PseudoTerminal(PseudoTerminal&& other) noexcept;
    PseudoTerminal& operator=(PseudoTerminal&&) = delete;
    ~PseudoTerminal();

    int master() const { return master_; }
    const std::string& slaveName() const { return slaveName_; }

private:
    PseudoTerminal(int master, int slave, std::string name);
    int master_;
    int slave_;
    std::string slaveName_;
};

// A symbolic link that exists while this object does. An existing symbolic link at the path
// (left by an earlier run) is replaced; any other file there is an error.
class SymbolicLink {
public:
    static std::optional<SymbolicLink> Create(const std::string& path, const std::string& target,
                                              std::string& error);

    SymbolicLink(SymbolicLink&& other) noexcept;
    SymbolicLink& operator=(SymbolicLink&&) = delete;
    ~SymbolicLink();

private:
    SymbolicLink(std::string path, std::string target);
    std::string path_;
    std::string target_;
};

}  // namespace pumpsim
