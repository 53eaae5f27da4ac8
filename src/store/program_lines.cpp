#include "store/program_lines.h"

namespace zr {

namespace {

constexpr std::size_t NameWindow = 400;

bool HoldsNoEntry(std::string_view line) {
    return line.empty() || line.front() == '"';
}

}  // namespace

std::string_view ProgramNameOf(std::string_view line) {
    if (HoldsNoEntry(line)) return {};
    return line.substr(0, line.find(';'));
}

std::optional<std::string> FindProgram(const std::vector<std::string>& lines, const std::string& name) {
    for (const std::string& line : lines) {
        if (HoldsNoEntry(line)) continue;
        const std::string_view text(line);
        const std::string_view window = text.substr(0, NameWindow);
        const auto semicolon = window.find(';');
        const bool separated = semicolon != std::string_view::npos;
        if (window.substr(0, separated ? semicolon : window.size()) != name) continue;
        const std::size_t start = separated ? semicolon + 1 : NameWindow + 1;
        std::string found = start < text.size() ? line.substr(start) : std::string();
        return found.empty() ? std::string(".") : found;
    }
    return std::nullopt;
}

std::string RewriteProgramText(const std::vector<std::string>& lines, const std::string& name,
                               std::optional<std::string_view> newEntry) {
    std::size_t size = 8 + (newEntry ? newEntry->size() : 0);
    for (const std::string& line : lines) size += line.size() + ProgramLineEnd.size();
    std::string text;
    text.reserve(size);
    text.append("\"\"").append(ProgramLineEnd);

    std::size_t next = 0;
    while (next < lines.size()) {
        const std::string& line = lines[next++];
        const std::string_view lineName = ProgramNameOf(line);
        if (!lineName.empty() && lineName != name) text.append(line).append(ProgramLineEnd);
        if (line == name) break;
    }
    if (newEntry) text.append(*newEntry).append(ProgramLineEnd);
    for (; next < lines.size(); ++next) {
        if (!HoldsNoEntry(lines[next])) text.append(lines[next]).append(ProgramLineEnd);
    }
    text.append(ProgramLineEnd);
    return text;
}

}  // namespace zr
