#include "pump.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace pumpsim {

namespace {

int ValveTypeCode(int ports) {
    switch (ports) {
        case 3:
            return 1;
        case 4:
            return 4;
        case 5:
            return 6;
        case 6:
            return 8;
        case 8:
            return 10;
        case 12:
            return 11;
        default:
            return 0;
    }
}

// The "~b" code of a baud rate: 1 for 38400, halving down to 6 for 1200.
int BaudCode(int baud) {
    int code = 1;
    for (int rate = 38400; rate > baud && code < 6; rate /= 2) ++code;
    return code;
}

}  // namespace

Pump::Pump(const PumpSettings& settings)
    : ports_(settings.ports),
      firmware_(settings.firmware),
      baud_(settings.baud == 0 ? 9600 : settings.baud) {}

bool Pump::Immediate(const Command& c) {
    switch (c.letter) {
        case '?':
        case '~':
        case '*':
        case '%':
        case '$':
        case '&':
        case '!':
        case 'q':
        case 'r':
        case 'E':
        case 'e':
        case 'F':
        case 'Q':
        case 'T':
        case 'X':
            return true;
        case 'k':
            return !c.value && c.mark == 0;
        case 'x':
            return c.mark == '?';
        case 'f':
        case 'z':
            return c.mark == 0 && !c.variable;
        default:
            return false;
    }
}

char Pump::Status(char error, double now) const {
    const bool busy = motion_.Busy(now);
    if (error == 0) return busy ? '@' : '`';
    return busy ? static_cast<char>(std::toupper(static_cast<unsigned char>(error))) : error;
}

Reply Pump::Handle(std::string_view text, Framing framing, double now) {
    const Scan scan = ScanCommands(text);
    Pump next = *this;
    std::string data;
    char error = scan.error;
    std::vector<Command> program;
    bool run = false;
    for (std::size_t i = 0; i < scan.commands.size() && error == 0; ++i) {
        const Command& c = scan.commands[i];
        if (c.letter == 'R' && i + 1 == scan.commands.size()) {
            run = true;
        } else if (Immediate(c)) {
            error = next.Immediately(c, framing, now, data);
        } else {
            program.push_back(c);
        }
    }
    if (error == 0 && !program.empty()) {
        next.last_ = Program{std::string(run ? text.substr(0, text.size() - 1) : text), program};
    }
    if (error == 0 && run) {
        error = next.Run(program.empty() ? next.kept_ : program, now);
        next.kept_.clear();
    } else if (error == 0 && !program.empty()) {
        next.kept_ = program;
    }
    if (error != 0) {
        lastError_ = error - 'a' + 1;
        return Reply{Status(error, now), ""};
    }
    *this = std::move(next);
    return Reply{Status(0, now), data};
}

char Pump::Immediately(const Command& c, Framing framing, double now, std::string& data) {
    switch (c.letter) {
        case '?':
            data = Query(c.value.value_or(0), now);
            break;
        case '~':
            data = Configuration(c.mark, framing);
            break;
        case '*':
            data = "120";
            break;
        case '%':
            data = std::to_string(valveMoves_);
            break;
        case '$':
            data = "0";
            break;
        case '&':
            data = firmware_;
            break;
        case '!':
            data = Nvm();
            break;
        case 'x':
            data = std::to_string(lastError_);
            break;
        case 'f':
            data = flags_[*c.value] ? "1" : "0";
            break;
        case 'z':
            data = std::to_string(variables_[*c.value]);
            break;
        case 'T':
            motion_.Stop(now);
            break;
        case 'E':
            if (last_.commands.empty()) return 'w';
            programs_[*c.value] = last_;
            data = Nvm();
            break;
        case 'e':
            if (programs_.erase(*c.value) == 0) return 'w';
            data = Nvm();
            break;
        case 'q': {
            auto found = programs_.find(*c.value);
            if (found == programs_.end()) return 'w';
            data = found->second.text + "R";
            break;
        }
        case 'r': {
            auto found = programs_.find(*c.value);
            if (found == programs_.end()) return 'w';
            return Run(found->second.commands, now);
        }
        default:
            break;
    }
    return 0;
}

std::string Pump::Nvm() {
    return std::to_string(++nvmWrites_);
}

char Pump::Run(const std::vector<Command>& program, double now) {
    if (program.empty()) return 0;
    if (motion_.Busy(now)) return 'h';
    for (const Command& c : program) {
        if (char error = Step(c, now)) return error;
    }
    return 0;
}

// One run-mode command: a move of plunger or valve, a wait, or a setting.
char Pump::Step(const Command& c, double now) {
    const std::optional<int32_t> value = Operand(c);
    if (!value) return 'c';
    return Move(c, *value, now);
}

// The command's number; one read from a variable ("@n") must lie in the command's range.
std::optional<int32_t> Pump::Operand(const Command& c) const {
    if (!c.variable) return c.value.value_or(0);
    const int32_t value = variables_[*c.variable];
    const auto range = NumberRange(c.letter);
    if (!range || value < range->lo || value > range->hi) return std::nullopt;
    return value;
}

// Queues what keeps the pump busy; the error letter when it may not happen.
// A move of plunger or valve, or a wait; any other command is a setting.
char Pump::Move(const Command& c, int32_t value, double now) {
    switch (c.letter) {
        case 'A':
        case 'a':
            return MoveTo(value, now);
        case 'P':
        case 'p':
            return MoveTo(int64_t{motion_.FinalPosition()} + value, now);
        case 'D':
        case 'd':
            return MoveTo(int64_t{motion_.FinalPosition()} - value, now);
        case 'W':
        case 'Y':
            Initialise(1, now);
            return 0;
        case 'Z':
            Initialise(ports_, now);
            return 0;
        case 'o':
            if (value > ports_) return 'c';
            return MoveValve(value, now);
        case 'I':
            return MoveValve(1, now);
        case 'O':
            return MoveValve(2, now);
        case 'B':
            if (ports_ != 3) return 'p';
            return MoveValve(3, now);
        case 'M':  // a wait of the given milliseconds
            motion_.Append(now, value / 1000.0, motion_.FinalPosition(), motion_.FinalPort());
            return 0;
        default:
            Set(c, value);
            return 0;
    }
}

// Speeds, slopes, flags and variables: they take effect at once and never fail.
void Pump::Set(const Command& c, int32_t value) {
    switch (c.letter) {
        case 'V':
            topSpeed_ = value;
            break;
        case 'S':
            topSpeed_ = 10000 / value;
            break;
        case 'v':
            startSpeed_ = value;
            break;
        case 'c':
            stopSpeed_ = value;
            break;
        case 'L':
            acceleration_ = value;
            break;
        case 'l':
            deceleration_ = value;
            break;
        case 'f':
            flags_[value] = c.mark != '-';
            break;  // "f3-" clears flag 3, "f3s" sets it
        case 'z':
            if (c.second) variables_[value] = *c.second;
            break;
        default:
            break;
    }
}

char Pump::MoveTo(int64_t target, double now) {
    if (!initialised_) return 'a';
    if (target < 0 || target > kMaxPosition) return 'l';
    const int32_t from = motion_.FinalPosition();
    const double seconds = static_cast<double>(std::abs(target - from)) / topSpeed_;
    motion_.Append(now, seconds, static_cast<int32_t>(target), motion_.FinalPort());
    return 0;
}

char Pump::MoveValve(int port, double now) {
    if (!initialised_) return 'g';
    motion_.Append(now, kValveSeconds, motion_.FinalPosition(), port);
    ++valveMoves_;
    return 0;
}

void Pump::Initialise(int port, double now) {
    const double home = kHomingSeconds + motion_.FinalPosition() / static_cast<double>(topSpeed_);
    motion_.Append(now, home, 0, port);
    ++valveMoves_;
    initialised_ = true;
}

std::string Pump::Query(int number, double now) const {
    switch (number) {
        case 0:
            return std::to_string(motion_.PositionAt(now));
        case 1:
            return std::to_string(startSpeed_);
        case 2:
            return std::to_string(topSpeed_);
        case 3:
            return std::to_string(stopSpeed_);
        case 7:
            return "128";
        case 8:
            return std::to_string(motion_.PortAt(now));
        case 9:
            return "1536 2048";
        case 19: {
            std::string numbers;
            for (const auto& [n, program] : programs_)
                numbers += (numbers.empty() ? "" : ",") + std::to_string(n);
            return numbers.empty() ? "none" : numbers;
        }
        case 29:
            return "-1";
        case 30: {
            char text[16];
            std::snprintf(text, sizeof text, "%2d%3d", acceleration_, deceleration_);
            return text;
        }
        default:
            return "0";  // inputs and expansion bytes: all idle
    }
}

std::string Pump::Configuration(char letter, Framing framing) const {
    switch (std::tolower(static_cast<unsigned char>(letter))) {
        case 'b':
            return std::to_string(BaudCode(baud_));
        case 'p':
            return framing == Framing::DT ? "1" : "0";
        case 's':
            return "1";
        case 'v':
            return std::to_string(ValveTypeCode(ports_));
        case 'y':
            return "1";
        case 'z':
            return std::to_string(ports_);
        default:
            return "0";  // no autostart, buttons and power-up initialisation enabled
    }
}

}  // namespace pumpsim
