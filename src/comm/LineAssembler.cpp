#include "comm/LineAssembler.h"

#include "comm/ReceiveFilter.h"

bool LineAssembler::Add(char byte) {
    if (!PassesReceiveFilter(byte)) return false;
    if (byte == '\a' && !m_bellEndsLine) return false;
    const bool ends = byte == '\n' || byte == '\a';
    // Only a line feed ends a line for both readers; the acquisition reader reads across a bell.
    if (ends) m_lineStartKnown = byte == '\n';
    if (m_skipping) {
        if (ends) m_skipping = false;
        return false;
    }
    if (m_line.size() >= kMaxLineLength) {
        m_line.clear();
        ++m_overlong;
        m_skipping = !ends;
        return false;
    }
    m_line += byte;
    return ends;
}

std::optional<std::string> LineAssembler::UnfinishedLine() const {
    if (!m_lineStartKnown || m_skipping) return std::nullopt;
    // A completed line not yet cleared has nothing unfinished after it.
    if (!m_line.empty() && m_line.back() == '\n') return std::string();
    return m_line;
}
