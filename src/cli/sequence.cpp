#include "cli/sequence.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "cli/link_options.h"

namespace zr::cli {

namespace {

constexpr const char* kBlanks = " \t";

std::string Trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The step of one line, without its address; "" when it is one, else what is wrong with it.
std::string ReadStep(const std::string& rest, Step& step) {
    if (!rest.starts_with("wait") || (rest.size() > 4 && rest[4] != ' ' && rest[4] != '\t')) {
        step.command = rest;
        return "";
    }
    const std::string what = Trimmed(rest.substr(4));
    if (what == "ready") {
        step.kind = Step::Kind::WaitReady;
        return "";
    }
    const std::optional<double> seconds = ReadDuration(what, true);
    if (!seconds) return "wait takes \"ready\" or a time such as 500ms or 2s, not \"" + what + "\"";
    if (*seconds > LongestPause) return "a pause is at most a day (86400s), not \"" + what + "\"";
    if (step.address) return "a pause is no pump's: write it without an address";
    step.kind = Step::Kind::Pause;
    step.seconds = *seconds;
    return "";
}

// The lines of a text, each ended by a line feed, a carriage return or both.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
        lines.push_back(text.substr(start, end - start));
        start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

}  // namespace

Step CommandStep(const std::string& command, int line) {
    Step step;
    step.line = line;
    step.text = command;
    step.command = command;
    return step;
}

std::optional<double> ReadDuration(const std::string& text, bool unitRequired) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [unit, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
    // from_chars also reads "inf" and "nan", which are no time.
    if (error != std::errc() || !std::isfinite(value) || value < 0) return std::nullopt;
    const std::string_view rest(unit, static_cast<std::size_t>(end - unit));
    if (rest == "ms") return value / 1000;
    if (rest == "s" || (rest.empty() && !unitRequired)) return value;
    return std::nullopt;
}

Sequence ReadSequence(const std::string& text) {
    Sequence sequence;
    int number = 0;
    for (const std::string& raw : Lines(text)) {
        ++number;
        const std::string line = Trimmed(raw);
        if (line.empty() || line.starts_with('#')) continue;
        Step step;
        step.line = number;
        step.text = line;
        std::string rest = line;
        const std::size_t blank = line.find_first_of(kBlanks);
        if (blank != std::string::npos && line.substr(0, blank) != "wait") {
            const std::string first = line.substr(0, blank);
            step.address = ChoiceIndex(Control::cboAddress, first);
            if (!step.address) {
                sequence.problems.push_back(
                    {number, "\"" + first + "\" is not an address, one of: " + Choices(Control::cboAddress)});
                continue;
            }
            rest = Trimmed(line.substr(blank));
        }
        if (const std::string problem = ReadStep(rest, step); !problem.empty()) {
            sequence.problems.push_back({number, problem});
            continue;
        }
        sequence.steps.push_back(step);
    }
    return sequence;
}

}  // namespace zr::cli
