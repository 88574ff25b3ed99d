#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "storage/RecordLine.h"

// Fast paths for the form in which records are stored: "hh:mm:ss,dd.mm.yy,"
// at the start of the line, then fields of identifier characters followed by
// a decimal number ("TE12.34,"). A data-file reader parses hundreds of
// thousands of such lines. Each function gives exactly what RecordLine gives
// for the same bytes, or declines (returns false) so that the caller uses
// RecordLine; the reader's fuzz target holds them to that.
namespace PlainRecord {

// The tokens of a line that starts with "hh:mm:ss,dd.mm.yy," (two digits each).
bool ScanTimeTokens(std::string_view line, RecordLine::TimeTokens& tokens);

// A field made of identifier characters followed by number characters
// (digits, '.', '-'): both parts as views, as SplitField would collect them.
bool SplitField(std::string_view field, std::string_view& identifier, std::string_view& number);

// SplitField's value of a number text of the form [-]digits[.digits] with at
// most 15 digits: an exact integer divided by an exact power of ten, which
// rounds once, as the decimal conversion does.
bool ToFloat(std::string_view number, float& value);

// SplitField's classes of characters, and the comma that ends a field.
enum CharClass : unsigned char { kIdentifierChar, kNumberChar, kBlankChar, kCommaChar };
inline constexpr std::array<unsigned char, 256> kCharClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (int c = '0'; c <= '9'; ++c) classes[c] = kNumberChar;
    classes['.'] = classes['-'] = kNumberChar;
    classes[' '] = classes['\t'] = kBlankChar;
    classes[','] = kCommaChar;
    return classes;
}();

// One field of RecordLine::ForEachField; in the stored form also its parts,
// as SplitField would collect them. Without `plain` the caller takes the
// field apart with RecordLine::SplitField.
struct FieldParts {
    std::string_view field;
    std::string_view identifier;
    std::string_view number;
    bool plain = false;
};

// RecordLine::ForEachField and SplitField in one pass over the line.
template <typename OnField>
void ForEachField(std::string_view line, std::size_t start, OnField&& onField) {
    if (start >= line.size()) return;
    const char* at = line.data() + start;
    const char* end = line.data() + line.size();
    auto classOf = [](const char* c) { return kCharClasses[static_cast<unsigned char>(*c)]; };
    while (at < end) {
        const char* first = at;
        while (at != end && classOf(at) == kIdentifierChar) ++at;
        const char* digits = at;
        while (at != end && classOf(at) == kNumberChar) ++at;
        FieldParts parts;
        if (at != end && *at == ',') {
            parts.plain = true;
            parts.identifier = std::string_view(first, static_cast<std::size_t>(digits - first));
            parts.number = std::string_view(digits, static_cast<std::size_t>(at - digits));
        } else {
            at = static_cast<const char*>(std::memchr(at, ',', static_cast<std::size_t>(end - at)));
            if (at == nullptr) return;
        }
        parts.field = std::string_view(first, static_cast<std::size_t>(at - first));
        if (!parts.field.empty()) onField(static_cast<const FieldParts&>(parts));
        ++at;
    }
}

}  // namespace PlainRecord
