#include "storage/RecordLine.h"

#include "model/TextNumbers.h"
#include "platform/Clock.h"

namespace RecordLine {
namespace {
// "a:b:c" or "a.b.c" split at `separator`, each part converted with atoi.
void SplitThree(std::string_view token, char separator, int& a, int& b, int& c) {
    int* parts[3] = {&a, &b, &c};
    std::size_t begin = 0;
    for (int i = 0; i < 3; ++i) {
        const std::size_t end = token.find(separator, begin);
        *parts[i] = TextNumbers::Atoi(
            token.substr(begin, end == std::string_view::npos ? token.npos : end - begin));
        if (end == std::string_view::npos) break;
        begin = end + 1;
    }
}
}  // namespace

TimeTokens ScanTimeTokens(std::string_view line) {
    TimeTokens tokens;
    int colons = 0;
    int dots = 0;
    int taken = 0;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < line.size() && taken < 2; ++i) {
        const char c = line[i];
        if (c == ':') ++colons;
        if (c == '.') ++dots;
        if (c != ',') continue;
        const std::string_view token = line.substr(begin, i - begin);
        if (colons == 2) {
            SplitThree(token, ':', tokens.hour, tokens.minute, tokens.second);
            tokens.haveTime = true;
            colons = 0;
            ++taken;
        } else if (dots == 2) {
            SplitThree(token, '.', tokens.day, tokens.month, tokens.year);
            tokens.haveDate = true;
            tokens.afterDate = i + 1;
            dots = 0;
            ++taken;
        } else {
            colons = 0;
            dots = 0;
        }
        begin = i + 1;
    }
    return tokens;
}

int FullYear(int twoDigitYear) {
    return twoDigitYear <= 90 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
}

std::optional<std::time_t> TokensToTime(const TimeTokens& t, bool fourDigitYear) {
    if (!t.haveTime || !t.haveDate) return std::nullopt;
    // "-24" would give 1976, which the data files could only write back as 76, read as 2076.
    if (!fourDigitYear && (t.year < 0 || t.year > 99)) return std::nullopt;
    const int year = fourDigitYear ? t.year : FullYear(t.year);
    if (year < 1970 || year > 2038 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 ||
        t.hour < 0 || t.hour > 23 || t.minute < 0 || t.minute > 59 || t.second < 0 || t.second > 59)
        return std::nullopt;
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = t.month - 1;
    fields.tm_mday = t.day;
    fields.tm_hour = t.hour;
    fields.tm_min = t.minute;
    fields.tm_sec = t.second;
    fields.tm_isdst = -1;
    const std::time_t time = std::mktime(&fields);
    if (time == static_cast<std::time_t>(-1)) return std::nullopt;
    return time;
}

Field SplitField(std::string_view field) {
    Field result;
    std::string number;
    for (const char c : field) {
        if ((c >= '0' && c <= '9') || c == '.' || c == '-')
            number += c;
        else if (c != ' ' && c != '\t')
            result.identifier += c;
    }
    result.value = TextNumbers::AtofFloat(number);
    return result;
}

std::string TimePrefix(std::time_t time) { return FormatLocalTime(time, "%H:%M:%S,%d.%m.%y,"); }

bool HasStorageMarker(std::string_view line) {
    const std::size_t cr = line.find('\r');
    if (cr == std::string_view::npos) return false;
    return (cr >= 1 && line[cr - 1] == '\x1F') || (cr >= 2 && line[cr - 2] == '\x1F');
}

}  // namespace RecordLine
