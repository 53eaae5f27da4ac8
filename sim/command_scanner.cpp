#include "command_scanner.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace pumpsim {

namespace {

// The plain number each letter takes, when it takes one.
struct LetterRange {
    std::string_view letters;
    Range range;
};
constexpr LetterRange kNumberRanges[] = {
    {"AaDdPp", {0, 48000}}, {"cV", {40, 10000}}, {"v", {40, 1000}}, {"G", {0, 30000}}, {"h", {1, 3}},
    {"qrEej", {1, 99}},     {"K", {0, 1000}},    {"LlS", {1, 20}},  {"M", {1, 60000}}, {"m", {0, 3}},
    {"o", {1, 12}},         {"f", {1, 9}},       {"z", {1, 8}},     {"t", {1, 4}},     {"WYZ", {4, 5}},
};

// What follows a command letter, as steps read one after the other.
enum class Op {
    None,
    LetterNumber,   // the number in the letter's own range
    Number,         // a number in lo..hi
    NumberIfDigit,  // a number in lo..hi when a digit follows, else nothing
    Selector,       // 1, 2, 3, 11..18 or 21..28
    Label,          // a label letter
    AnyMark,        // any one character, when there is one, as the mark
    Second,         // when `after` follows: it, then the second number in lo..hi
    MarkedSecond,   // the same, keeping `after` as the mark
    Refuse,         // an operand error
};
struct Step {
    Op op = Op::None;
    int32_t lo = 0;
    int32_t hi = 0;
    char after = 0;
};

// One form of a command's arguments. A form with `leads` applies when one of those characters
// follows the letter (it is taken as the mark); a form without applies otherwise. A letter's
// forms are tried in the order of the table.
struct Form {
    std::string_view letters;
    std::string_view leads;
    std::array<Step, 2> steps;
};
constexpr Step kLabel{Op::Label};
constexpr Form kForms[] = {
    {"FQTX$%&*!BgHIOR", "", {}},
    {"?", "", {{{Op::NumberIfDigit, 0, 30}}}},
    {"~", "AaBbHhIiLlPpSsVvYyZz", {}},
    {"~", "", {{{Op::Refuse}}}},
    {"o", "-", {{{Op::LetterNumber}}}},
    {"o", "", {{{Op::LetterNumber}}}},
    {"f", "", {{{Op::LetterNumber}, {Op::AnyMark}}}},
    {"z", "", {{{Op::LetterNumber}, {Op::MarkedSecond, 0, 65535, '='}}}},
    {"x", "?", {}},
    {"x", "", {{{Op::Number, 1, 26}, kLabel}}},
    {"i", "<>", {{{Op::Number, 0, 255}, kLabel}}},
    {"i", "", {{{Op::Selector}, kLabel}}},
    {"J:", "", {{kLabel}}},
    {"k", "+-", {{{Op::Number, 0, 65535}}}},
    {"k", "^", {{{Op::Number, 1, 8}}}},
    {"k", "<=>", {{{Op::Number, 0, 65535}, kLabel}}},
    {"k", "", {{{Op::NumberIfDigit, 0, 65535}}}},
    {"s", "<>", {{{Op::Number, 0, 255}, kLabel}}},
    {"s", "#", {{{Op::Number, 0, 255}, {Op::Second, 0, 255, ','}}}},
    {"s", "", {{{Op::Number, 0, 255}, {Op::Second, 0, 255, ','}}}},
    {"Uu", "#", {{{Op::Selector}}}},
    {"Uu", "", {{{Op::Selector}}}},
    {"y", "=<>", {{{Op::Number, 0, 48000}, kLabel}}},
    {"y", "", {{{Op::Refuse}}}},
};

}  // namespace

std::optional<Range> NumberRange(char letter) {
    for (const LetterRange& entry : kNumberRanges)
        if (entry.letters.find(letter) != std::string_view::npos) return entry.range;
    return std::nullopt;
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

    // Reads the arguments of `c` by the first of its letter's forms that applies; a letter
    // without forms takes the number of its range, and one without a range is no command.
    void Arguments(Command& c) {
        bool known = false;
        for (const Form& form : kForms) {
            if (form.letters.find(c.letter) == std::string_view::npos) continue;
            known = true;
            if (!form.leads.empty()) {
                if (!More() || form.leads.find(Peek()) == std::string_view::npos) continue;
                c.mark = text_[pos_++];
            }
            for (const Step& step : form.steps) Read(c, step);
            return;
        }
        if (known) return;
        if (auto range = NumberRange(c.letter)) {
            c.value = Number(*range);
        } else {
            Fail('b');
        }
    }

    void Read(Command& c, const Step& step) {
        switch (step.op) {
            case Op::None:
                break;
            case Op::LetterNumber:
                c.value = Number(*NumberRange(c.letter));
                break;
            case Op::Number:
                c.value = Number(step.lo, step.hi);
                break;
            case Op::NumberIfDigit:
                if (IsDigit(Peek())) c.value = Number(step.lo, step.hi);
                break;
            case Op::Selector:
                c.value = Selector();
                break;
            case Op::Label:
                c.label = Label();
                break;
            case Op::AnyMark:
                if (More()) c.mark = text_[pos_++];
                break;
            case Op::Second:
            case Op::MarkedSecond:
                if (!Take(step.after)) break;
                if (step.op == Op::MarkedSecond) c.mark = step.after;
                c.second = Number(step.lo, step.hi);
                break;
            case Op::Refuse:
                Fail('c');
                break;
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
