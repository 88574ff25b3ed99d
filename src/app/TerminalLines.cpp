#include "app/TerminalLines.h"

bool TerminalLines::Add(std::string_view line) {
    const bool full = m_lines.size() >= kMaxLines;
    if (full) m_lines.pop_front();
    m_lines.push_back(Shown(line));
    return full;
}

std::string TerminalLines::AllText() const {
    std::string text;
    for (const std::string& line : m_lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::string TerminalLines::Shown(std::string_view line) {
    std::string shown;
    shown.reserve(line.size() + 8);
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 32)
            shown += "{" + std::to_string(byte) + "}";
        else
            shown += c;
    }
    return shown;
}
