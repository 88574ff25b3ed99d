#pragma once

#include <cstddef>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

// The station's data string: optional leading tokens, a time token
// ("hh:mm:ss,") and a date token ("dd.mm.yy,") in either order, then fields
// such as "TE12.5," each ending with a comma. These are pure functions over
// the bytes so that reception, the data-file reader and fuzzers share them.
namespace RecordLine {

// The numbers of the time and date tokens, as written.
struct TimeTokens {
    bool haveTime = false;
    bool haveDate = false;
    int hour = 0, minute = 0, second = 0;
    int day = 0, month = 0, year = 0;  // year as written (two digits in data strings)
    std::size_t afterDate = 0;         // index just after the date token's comma
};

// Scans the line for the first time token (exactly two ':') and the first
// date token (exactly two '.'); stops once two tokens were taken.
TimeTokens ScanTimeTokens(std::string_view line);

// A two-digit year as the data files mean it: up to 90 is 2000..2090, above is 1991..1999.
int FullYear(int twoDigitYear);

// The local date-time of the tokens, or nothing when a token is missing or a
// part is out of range (years 1970..2038, month 1..12, day 1..31, hour 0..23,
// minutes and seconds 0..59). Without `fourDigitYear` the year must have at
// most two digits (0..99, see FullYear); with it, the year is taken as written.
std::optional<std::time_t> TokensToTime(const TimeTokens& tokens, bool fourDigitYear = false);

// A field "TE12.5": the identifier is every character that is no digit, '.',
// '-' or blank; the value the digits, '.' and '-' in their order, converted
// as a decimal number (nothing gives 0).
struct Field {
    std::string identifier;
    float value = 0.0f;
};
Field SplitField(std::string_view field);

// Calls onField(field) for every non-empty comma-terminated field from `start`
// on; text after the last comma is no field.
template <typename OnField>
void ForEachField(std::string_view line, std::size_t start, OnField&& onField) {
    std::size_t begin = start;
    for (std::size_t i = start; i < line.size(); ++i) {
        if (line[i] != ',') continue;
        if (i > begin) onField(line.substr(begin, i - begin));
        begin = i + 1;
    }
}

// The record time prefix "%H:%M:%S,%d.%m.%y," of a time.
std::string TimePrefix(std::time_t time);

// True when the station marked the line as a storage record: the byte 0x1F
// just before the first CR, or one further back.
bool HasStorageMarker(std::string_view line);

}  // namespace RecordLine
