#include "platform/IniFile.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v'; }

// Settings files are Windows-1252, and Windows matches names case-insensitively
// in that code page too, so "Höhe" finds "HÖHE".
unsigned char FoldCase(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
    switch (c) {
        case 0x8A:  // S with caron
        case 0x8C:  // OE
        case 0x8E:  // Z with caron
            return static_cast<unsigned char>(c + 0x10);
        case 0x9F:  // Y with diaeresis
            return 0xFF;
        default:
            return c;
    }
}

bool NamesEqual(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return FoldCase(static_cast<unsigned char>(x)) ==
                      FoldCase(static_cast<unsigned char>(y));
           });
}

std::string FoldedName(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) c = static_cast<char>(FoldCase(static_cast<unsigned char>(c)));
    return folded;
}

// Only spaces around a requested name are ignored, not tabs.
std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

std::string_view Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

IniFile::IniFile(std::string bytes) : m_bytes(std::move(bytes)) { Parse(); }

void IniFile::Parse() {
    m_lines.clear();
    const std::string_view bytes = m_bytes;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        Line line;
        line.begin = pos;
        line.end = std::min(bytes.find_first_of(kLineEnd, pos), bytes.size());
        line.next = line.end;
        if (line.next < bytes.size()) {
            const bool crlf = bytes[line.next] == '\r' && line.next + 1 < bytes.size() &&
                              bytes[line.next + 1] == '\n';
            line.next += crlf ? 2 : 1;
        }
        Classify(line);
        m_lines.push_back(line);
        pos = line.next;
    }
}

void IniFile::Classify(Line& line) const {
    auto trim = [this](std::size_t& b, std::size_t& e) {
        while (b < e && IsBlank(m_bytes[b])) ++b;
        while (e > b && IsBlank(m_bytes[e - 1])) --e;
    };
    std::size_t b = line.begin;
    std::size_t e = line.end;
    trim(b, e);
    if (b == e) {
        line.kind = Kind::Blank;
        return;
    }
    const std::string_view text(m_bytes.data() + b, e - b);
    if (text.front() == '[') {
        line.kind = Kind::Header;
        line.nameBegin = b + 1;
        line.nameEnd = b + std::min(text.find(']', 1), text.size());
        trim(line.nameBegin, line.nameEnd);
    } else if (text.front() == ';') {
        line.kind = Kind::Comment;
    } else if (const std::size_t eq = text.find('='); eq != std::string_view::npos) {
        line.kind = Kind::Key;
        line.nameBegin = b;
        line.nameEnd = b + eq;
        trim(line.nameBegin, line.nameEnd);
        line.valueBegin = b + eq + 1;
        line.valueEnd = e;
        trim(line.valueBegin, line.valueEnd);
    } else {
        line.kind = Kind::Text;
    }
}

std::string_view IniFile::Name(const Line& line) const {
    return std::string_view(m_bytes).substr(line.nameBegin, line.nameEnd - line.nameBegin);
}

std::string_view IniFile::RawValue(const Line& line) const {
    return std::string_view(m_bytes).substr(line.valueBegin, line.valueEnd - line.valueBegin);
}

std::optional<std::size_t> IniFile::FindSection(std::string_view section) const {
    section = TrimSpaces(section);
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        if (m_lines[i].kind == Kind::Header && NamesEqual(Name(m_lines[i]), section)) return i;
    }
    return std::nullopt;
}

std::size_t IniFile::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < m_lines.size() && m_lines[i].kind != Kind::Header) ++i;
    return i;
}

std::optional<std::size_t> IniFile::FindKey(std::size_t header, std::string_view key) const {
    key = TrimSpaces(key);
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        if (m_lines[i].kind == Kind::Key && NamesEqual(Name(m_lines[i]), key)) return i;
    }
    return std::nullopt;
}

std::vector<std::string_view> IniFile::UniqueNames(std::size_t first, std::size_t last,
                                                   Kind kind) const {
    // An empty name inside a NUL-separated list would read as the list's end,
    // and a repeated name would only find the first copy again.
    std::vector<std::string_view> names;
    std::unordered_set<std::string> seen;
    for (std::size_t i = first; i < last; ++i) {
        if (m_lines[i].kind != kind) continue;
        const std::string_view name = Name(m_lines[i]);
        if (!name.empty() && seen.insert(FoldedName(name)).second) names.push_back(name);
    }
    return names;
}

std::optional<std::string_view> IniFile::Value(std::string_view section,
                                               std::string_view key) const {
    const auto header = FindSection(section);
    if (!header) return std::nullopt;
    const auto line = FindKey(*header, key);
    if (!line) return std::nullopt;
    return Unquote(RawValue(m_lines[*line]));
}

std::vector<std::string_view> IniFile::SectionNames() const {
    return UniqueNames(0, m_lines.size(), Kind::Header);
}

std::optional<std::vector<std::string_view>> IniFile::KeyNames(std::string_view section) const {
    const auto header = FindSection(section);
    if (!header) return std::nullopt;
    return UniqueNames(*header + 1, SectionEnd(*header), Kind::Key);
}

void IniFile::Splice(std::size_t pos, std::size_t count, std::string_view text) {
    m_bytes.replace(pos, count, text);
    Parse();
}

bool IniFile::SetValue(std::string_view section, std::string_view key, std::string_view value) {
    section = TrimSpaces(section);
    key = TrimSpaces(key);
    const auto header = FindSection(section);
    if (!header) {
        std::string text;
        if (!m_lines.empty() && m_lines.back().next == m_lines.back().end) text = kLineEnd;
        text.append("[").append(section).append("]").append(kLineEnd);
        text.append(key).append("=").append(value).append(kLineEnd);
        Splice(m_bytes.size(), 0, text);
        return true;
    }

    if (const auto found = FindKey(*header, key)) {
        const Line line = m_lines[*found];
        std::string text(Name(line));
        text.append("=").append(value);
        // A line that already reads as this value keeps its spacing and quotes.
        const std::string_view old(m_bytes.data() + line.begin, line.end - line.begin);
        if (RawValue(line) == value || old == text) return false;
        if (line.next == line.end) text.append(kLineEnd);
        Splice(line.begin, line.end - line.begin, text);
        return true;
    }

    // New keys follow the section's last key line, ahead of comments that end the section.
    std::size_t after = *header;
    const std::size_t end = SectionEnd(*header);
    for (std::size_t i = *header + 1; i < end; ++i) {
        if (m_lines[i].kind == Kind::Key) after = i;
    }
    const Line line = m_lines[after];
    std::string text;
    if (line.next == line.end) text = kLineEnd;
    text.append(key).append("=").append(value).append(kLineEnd);
    Splice(line.next, 0, text);
    return true;
}

bool IniFile::DeleteKey(std::string_view section, std::string_view key) {
    const auto header = FindSection(section);
    if (!header) return false;
    const auto found = FindKey(*header, key);
    if (!found) return false;
    const Line line = m_lines[*found];
    Splice(line.begin, line.next - line.begin, {});
    return true;
}

bool IniFile::DeleteSection(std::string_view section) {
    const auto header = FindSection(section);
    if (!header) return false;
    const std::size_t end = SectionEnd(*header);
    std::string kept;
    kept.reserve(m_bytes.size());
    kept.append(m_bytes, 0, m_lines[*header].begin);
    for (std::size_t i = *header + 1; i < end; ++i) {
        const Line& line = m_lines[i];
        if (line.kind != Kind::Key) kept.append(m_bytes, line.begin, line.next - line.begin);
    }
    if (end < m_lines.size()) kept.append(m_bytes, m_lines[end].begin, std::string::npos);
    m_bytes = std::move(kept);
    Parse();
    return true;
}
