#include "command_scanner.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace pumpsim {

std::optional<Range> NumberRange(char letter) {
    switch (letter) {
        case 'A':
        case 'a':
        case 'D':
        case 'd':
        case 'P':
        case 'p':
            return Range{0, 48000};
        case 'c':
        case 'V':
            return Range{40, 10000};
        case 'v':
            return Range{40, 1000};
        case 'G':
            return Range{0, 30000};
        case 'h':
            return Range{1, 3};
        case 'q':
        case 'r':
        case 'E':
        case 'e':
        case 'j':
            return Range{1, 99};
        case 'K':
            return Range{0, 1000};
        case 'L':
        case 'l':
        case 'S':
            return Range{1, 20};
        case 'M':
            return Range{1, 60000};
        case 'm':
            return Range{0, 3};
        case 'o':
            return Range{1, 12};
        case 'f':
            return Range{1, 9};
        case 'z':
            return Range{1, 8};
        case 't':
            return Range{1, 4};
        case 'W':
        case 'Y':
        case 'Z':
            return Range{4, 5};
        default:
            return std::nullopt;
    }
}

namespace {

bool IsLetter(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0;
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Reads one command after another; the first failure sets the error letter and stops.
class Scanner {
public:
    explicit Scanner(std::string_view text) : text_(text) {}

    Scan Run() {
        while (pos_ < text_.size() && result_.error == 0) One();
        if (result_.error != 0) result_.commands.clear();
        return result_;
    }

private:
    bool More() const { return pos_ < text_.size(); }
    char Peek() const { return More() ? text_[pos_] : '\0'; }
    bool Take(char c) {
        if (!More() || text_[pos_] != c) return false;
        ++pos_;
        return true;
    }
    void Fail(char letter) {
        if (result_.error == 0) result_.error = letter;
    }

    std::optional<int32_t> Number(int32_t lo, int32_t hi) {
        if (!IsDigit(Peek())) {
            Fail('c');
            return std::nullopt;
        }
        int64_t value = 0;
        while (IsDigit(Peek())) {
            value = std::min<int64_t>(value * 10 + (text_[pos_] - '0'), INT32_MAX);
            ++pos_;
        }
        if (value < lo || value > hi) {
            Fail('c');
            return std::nullopt;
        }
        return static_cast<int32_t>(value);
    }

    std::optional<int32_t> Number(Range range) { return Number(range.lo, range.hi); }

    char Label() {
        if (!IsLetter(Peek())) {
            Fail('c');
            return 0;
        }
        return text_[pos_++];
    }

    // 1, 2, 3, 11..18 or 21..28.
    std::optional<int32_t> Selector() {
        auto n = Number(1, 28);
        if (n && ((*n >= 4 && *n <= 10) || *n == 19 || *n == 20)) {
            Fail('c');
            return std::nullopt;
        }
        return n;
    }

    void One() {
        Command c;
        c.letter = text_[pos_++];
        if (IsLetter(c.letter) && Peek() == '@') {
            ++pos_;
            if (auto n = Number(1, 10)) c.variable = static_cast<int>(*n);
        } else {
            Arguments(c);
        }
        result_.commands.push_back(c);
    }

    void Arguments(Command& c) {
        switch (c.letter) {
            case 'F':
            case 'Q':
            case 'T':
            case 'X':
            case '$':
            case '%':
            case '&':
            case '*':
            case '!':
            case 'B':
            case 'g':
            case 'H':
            case 'I':
            case 'O':
            case 'R':
                return;
            case '?':
                if (IsDigit(Peek())) c.value = Number(0, 30);
                return;
            case '~':
                if (More() &&
                    std::string_view("AaBbHhIiLlPpSsVvYyZz").find(Peek()) != std::string_view::npos) {
                    c.mark = text_[pos_++];
                } else {
                    Fail('c');
                }
                return;
            case 'o':
                if (Take('-')) c.mark = '-';
                c.value = Number(*NumberRange('o'));
                return;
            case 'f':
                c.value = Number(*NumberRange('f'));
                if (More()) c.mark = text_[pos_++];
                return;
            case 'z':
                c.value = Number(*NumberRange('z'));
                if (Take('=')) {
                    c.mark = '=';
                    c.second = Number(0, 65535);
                }
                return;
            case 'x':
                if (Take('?')) {
                    c.mark = '?';
                    return;
                }
                c.value = Number(1, 26);
                c.label = Label();
                return;
            case 'i':
                if (Take('<') || Take('>')) {
                    c.mark = text_[pos_ - 1];
                    c.value = Number(0, 255);
                } else {
                    c.value = Selector();
                }
                c.label = Label();
                return;
            case 'J':
            case ':':
                c.label = Label();
                return;
            case 'k':
                KArguments(c);
                return;
            case 's':
                if (Take('<') || Take('>')) {
                    c.mark = text_[pos_ - 1];
                    c.value = Number(0, 255);
                    c.label = Label();
                    return;
                }
                if (Take('#')) c.mark = '#';
                c.value = Number(0, 255);
                if (Take(',')) c.second = Number(0, 255);
                return;
            case 'U':
            case 'u':
                if (Take('#')) c.mark = '#';
                c.value = Selector();
                return;
            case 'y':
                if (Take('=') || Take('<') || Take('>')) {
                    c.mark = text_[pos_ - 1];
                    c.value = Number(0, 48000);
                    c.label = Label();
                } else {
                    Fail('c');
                }
                return;
            default:
                if (auto range = NumberRange(c.letter)) {
                    c.value = Number(*range);
                } else {
                    Fail('b');
                }
        }
    }

    void KArguments(Command& c) {
        if (IsDigit(Peek())) {
            c.value = Number(0, 65535);
        } else if (Take('+') || Take('-')) {
            c.mark = text_[pos_ - 1];
            c.value = Number(0, 65535);
        } else if (Take('<') || Take('=') || Take('>')) {
            c.mark = text_[pos_ - 1];
            c.value = Number(0, 65535);
            c.label = Label();
        } else if (Take('^')) {
            c.mark = '^';
            c.value = Number(1, 8);
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    Scan result_;
};

}  // namespace

Scan ScanCommands(std::string_view text) {
    return Scanner(text).Run();
}

}  // namespace pumpsim
