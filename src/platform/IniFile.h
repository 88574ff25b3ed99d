#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The bytes of one INI file, split into lines with the Windows profile rules, and
// edited in place so that every byte of an untouched line stays as it was.
// Any bytes are accepted; a pure value type, no file access.
class IniFile {
public:
    explicit IniFile(std::string bytes);

    const std::string& Bytes() const { return m_bytes; }

    // Section and key names below compare case-insensitively; spaces around
    // them are ignored.

    // The value of the first `key` in the first section named `section`: trimmed,
    // one pair of outer quotes removed. Nullopt when there is no such key line.
    std::optional<std::string_view> Value(std::string_view section, std::string_view key) const;
    // Section names in file order, each once in its first spelling; "" is left out.
    std::vector<std::string_view> SectionNames() const;
    // The key names of the first section named `section`, the same way;
    // nullopt when the section is missing.
    std::optional<std::vector<std::string_view>> KeyNames(std::string_view section) const;

    // The editing calls return true when the bytes changed.
    // Replaces the key's value in its line, or adds the key (and the section).
    bool SetValue(std::string_view section, std::string_view key, std::string_view value);
    bool DeleteKey(std::string_view section, std::string_view key);
    // Removes the header and its key lines; comments and other lines stay.
    bool DeleteSection(std::string_view section);

private:
    enum class Kind { Blank, Comment, Header, Key, Text };
    struct Line {
        std::size_t begin = 0;  // first byte of the line
        std::size_t end = 0;    // end of its text, before the line end
        std::size_t next = 0;   // first byte after the line end (== end on an unended last line)
        Kind kind = Kind::Blank;
        std::size_t nameBegin = 0;  // header or key name, trimmed
        std::size_t nameEnd = 0;
        std::size_t valueBegin = 0;  // key value, trimmed, quotes kept
        std::size_t valueEnd = 0;
    };

    void Parse();
    void Classify(Line& line) const;
    std::string_view Name(const Line& line) const;
    std::string_view RawValue(const Line& line) const;
    std::optional<std::size_t> FindSection(std::string_view section) const;
    std::size_t SectionEnd(std::size_t header) const;
    std::optional<std::size_t> FindKey(std::size_t header, std::string_view key) const;
    std::vector<std::string_view> UniqueNames(std::size_t first, std::size_t last, Kind kind) const;
    void Splice(std::size_t pos, std::size_t count, std::string_view text);

    std::string m_bytes;
    std::vector<Line> m_lines;
};
