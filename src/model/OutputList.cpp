#include "model/OutputList.h"

void OutputList::Write(std::string_view text, std::uint32_t colour) {
    // What goes to the station is traced with its line end; in the window and
    // its copy every entry already is a line of its own.
    const bool hadText = !text.empty();
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    // Nothing but a line end (sent to the station at a disconnect): no empty entry.
    if (hadText && text.empty()) return;
    std::lock_guard lock(m_mutex);
    if (m_lines.size() >= kMaxLines) m_lines.pop_front();
    m_lines.push_back({std::string(text), colour});
}

std::vector<tagOutpElm> OutputList::Snapshot() const {
    std::lock_guard lock(m_mutex);
    return {m_lines.begin(), m_lines.end()};
}

std::size_t OutputList::Count() const {
    std::lock_guard lock(m_mutex);
    return m_lines.size();
}

std::string OutputList::ClipboardText() const {
    std::lock_guard lock(m_mutex);
    std::string text;
    for (const auto& line : m_lines) {
        text += line.text;
        text += "\r\n";
    }
    return text;
}

void OutputList::Clear() {
    std::lock_guard lock(m_mutex);
    m_lines.clear();
}

OutputList& OutputList::Process() {
    static OutputList list;
    return list;
}

void OutputWrite(std::string_view text, std::uint32_t colour) {
    OutputList::Process().Write(text, colour);
}
