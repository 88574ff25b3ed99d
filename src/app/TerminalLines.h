#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

// The terminal's line list: the station's lines as they are shown, at most
// 500 of them (the oldest goes when a line is added to a full list). A byte
// below a space is shown as "{%d}" with its code, so a line's carriage return
// and line feed stay visible as {13}{10}.
class TerminalLines {
public:
    static constexpr std::size_t kMaxLines = 500;

    // Adds `line` as shown; true when the oldest line had to go for it.
    bool Add(std::string_view line);
    void Clear() { m_lines.clear(); }

    const std::deque<std::string>& Lines() const { return m_lines; }
    std::size_t Count() const { return m_lines.size(); }

    // "Copy all": every shown line followed by CR LF.
    std::string AllText() const;

    // A received line as the list shows it.
    static std::string Shown(std::string_view line);

private:
    std::deque<std::string> m_lines;
};
