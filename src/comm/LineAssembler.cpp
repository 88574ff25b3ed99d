#include "comm/LineAssembler.h"

#include "comm/ReceiveFilter.h"

bool LineAssembler::Add(char byte) {
    if (!PassesReceiveFilter(byte)) return false;
    if (byte == '\a' && !m_bellEndsLine) return false;
    const bool ends = byte == '\n' || byte == '\a';
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
