#pragma once

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

// RecordLine::ForEachField, finding the commas with memchr.
template <typename OnField>
void ForEachField(std::string_view line, std::size_t start, OnField&& onField) {
    if (start >= line.size()) return;
    const char* at = line.data() + start;
    const char* end = line.data() + line.size();
    while (at < end) {
        const auto* comma =
            static_cast<const char*>(std::memchr(at, ',', static_cast<std::size_t>(end - at)));
        if (comma == nullptr) return;
        if (comma > at) onField(std::string_view(at, static_cast<std::size_t>(comma - at)));
        at = comma + 1;
    }
}

}  // namespace PlainRecord
