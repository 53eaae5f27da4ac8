#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "command_scanner.h"
#include "frame.h"
#include "motion.h"
#include "reply_encoder.h"

namespace pumpsim {

// How one pump is set up: its address on the line, its valve, the text it reports as its
// firmware, and the one baud rate and protocol it is jumpered for.
struct PumpSettings {
    char address = '1';  // "1".."9" and ":".."?" for pumps A..F
    int ports = 6;       // 3, 4, 5, 6, 8 or 12
    std::string firmware = "pumpsim 1.0";
    int baud = 0;                     // the only baud rate it hears; 0: every rate
    std::optional<Framing> protocol;  // the only framing it speaks; none: both
};

// One simulated pump: syringe, valve, speeds, flags, variables and stored programs.
//
// A command string is taken whole: when any command in it is wrong nothing of it happens.
// Queries and other immediate commands act at once; run-mode commands are kept until an "R"
// at the end of a string runs them (an "R" alone runs the commands kept last). A plunger move
// takes |steps| / top speed seconds, a valve move kValveSeconds, an initialisation
// kHomingSeconds plus the way home; while any of them lasts the pump is busy.
//
// Status: the grave accent when ready, "@" while busy; an error letter in lower case when
// ready and upper case while busy: "a" move before initialisation, "b" no such command,
// "c" bad operand, "g" valve move before initialisation, "h" run while busy, "l" relative
// move past 0..kMaxPosition, "p" bypass on a valve that is not 3-way, "w" no such program.
class Pump {
public:
    static constexpr int32_t kMaxPosition = 48000;
    static constexpr double kValveSeconds = 0.3;
    static constexpr double kHomingSeconds = 1.0;

    explicit Pump(const PumpSettings& settings);

    Reply Handle(std::string_view text, Framing framing, double now);

private:
    struct Program {
        std::string text;
        std::vector<Command> commands;
    };

    static bool Immediate(const Command& c);
    char Status(char error, double now) const;
    char Immediately(const Command& c, Framing framing, double now, std::string& data);
    char Run(const std::vector<Command>& program, double now);
    char Step(const Command& c, double now);
    std::optional<int32_t> Operand(const Command& c) const;
    char Move(const Command& c, int32_t value, double now);
    void Set(const Command& c, int32_t value);
    char MoveTo(int64_t target, double now);
    char MoveValve(int port, double now);
    void Initialise(int port, double now);
    std::string Query(int number, double now) const;
    std::string Configuration(char letter, Framing framing) const;
    std::string Nvm();

    int ports_;
    std::string firmware_;
    int baud_;
    bool initialised_ = false;
    Motion motion_{0, 1};
    int32_t topSpeed_ = 1400;
    int32_t startSpeed_ = 900;
    int32_t stopSpeed_ = 900;
    int32_t acceleration_ = 14;
    int32_t deceleration_ = 14;
    std::array<bool, 10> flags_{};
    std::array<int32_t, 11> variables_{};
    std::vector<Command> kept_;
    Program last_;
    std::map<int32_t, Program> programs_;
    int nvmWrites_ = 0;
    int valveMoves_ = 0;
    int lastError_ = 0;
};

}  // namespace pumpsim
