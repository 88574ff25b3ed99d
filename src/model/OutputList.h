#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

// One line of the output window: a text and its colour (Windows colour value).
struct tagOutpElm {
    std::string text;
    std::uint32_t colour = 0;
    bool operator==(const tagOutpElm&) const = default;
};

// The process-wide list behind the output window. Any thread may append; the
// window takes a snapshot on the user-interface thread. The list is bounded so
// that a program running for months does not grow without end: the oldest
// lines go first.
class OutputList {
public:
    static constexpr std::size_t kMaxLines = 100000;

    // Appends `text` without the line end it may end with; a text that is only
    // a line end leaves no entry.
    void Write(std::string_view text, std::uint32_t colour);
    std::vector<tagOutpElm> Snapshot() const;
    std::size_t Count() const;
    // The texts of all lines, each followed by CR LF ("Copy to clipboard").
    std::string ClipboardText() const;
    void Clear();

    // The list of this process.
    static OutputList& Process();

private:
    mutable std::mutex m_mutex;
    std::deque<tagOutpElm> m_lines;
};

// Appends a line to the process's output list (the window is not refreshed by this).
void OutputWrite(std::string_view text, std::uint32_t colour);
