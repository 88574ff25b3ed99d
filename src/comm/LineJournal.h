#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The lines the initialisation's byte reader handed on that nobody has dealt
// with yet, as received, oldest first. The reader adds each line under its
// number; whoever deals with a line (the worker, or the initialisation taking
// it) marks it done. What is left when the initialisation is over are station
// lines that only the acquisition reader can still process. Bounded, so an
// initialisation that takes nothing does not grow it without end. Safe from any thread.
class LineJournal {
public:
    static constexpr std::size_t kMaxLines = 1000;

    void Add(std::uint64_t number, std::string line) {
        std::lock_guard lock(m_mutex);
        m_lines.emplace_back(number, std::move(line));
        if (m_lines.size() > kMaxLines) m_lines.pop_front();
    }
    void Done(std::uint64_t number) {
        std::lock_guard lock(m_mutex);
        const auto line = std::find_if(m_lines.begin(), m_lines.end(), [number](const auto& entry) {
            return entry.first == number;
        });
        if (line != m_lines.end()) m_lines.erase(line);
    }
    std::vector<std::string> Left() const {
        std::lock_guard lock(m_mutex);
        std::vector<std::string> lines;
        for (const auto& entry : m_lines) lines.push_back(entry.second);
        return lines;
    }

private:
    mutable std::mutex m_mutex;
    std::deque<std::pair<std::uint64_t, std::string>> m_lines;
};
