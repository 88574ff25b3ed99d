#include "storage/PlainRecord.h"

#include <cstddef>
#include <cstdint>

namespace PlainRecord {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool TwoDigits(std::string_view text, std::size_t at, int& value) {
    if (!IsDigit(text[at]) || !IsDigit(text[at + 1])) return false;
    value = (text[at] - '0') * 10 + (text[at + 1] - '0');
    return true;
}

}  // namespace

bool ScanTimeTokens(std::string_view line, RecordLine::TimeTokens& tokens) {
    constexpr std::string_view kLayout = "00:00:00,00.00.00,";
    if (line.size() < kLayout.size()) return false;
    for (std::size_t i = 0; i < kLayout.size(); ++i) {
        if (kLayout[i] != '0' && line[i] != kLayout[i]) return false;
    }
    RecordLine::TimeTokens t;
    if (!TwoDigits(line, 0, t.hour) || !TwoDigits(line, 3, t.minute) ||
        !TwoDigits(line, 6, t.second) || !TwoDigits(line, 9, t.day) ||
        !TwoDigits(line, 12, t.month) || !TwoDigits(line, 15, t.year))
        return false;
    t.haveTime = true;
    t.haveDate = true;
    t.afterDate = kLayout.size();
    tokens = t;
    return true;
}

bool SplitField(std::string_view field, std::string_view& identifier, std::string_view& number) {
    const auto* at = reinterpret_cast<const unsigned char*>(field.data());
    const auto* end = at + field.size();
    const auto* digits = at;
    while (digits != end && kCharClasses[*digits] == kIdentifierChar) ++digits;
    for (const auto* p = digits; p != end; ++p) {
        if (kCharClasses[*p] != kNumberChar) return false;
    }
    const auto split = static_cast<std::size_t>(digits - at);
    identifier = field.substr(0, split);
    number = field.substr(split);
    return true;
}

bool ToFloat(std::string_view number, float& value) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    constexpr std::ptrdiff_t kMaxDigits = 15;  // an integer below 2^53: exact in a double
    const char* at = number.data();
    const char* end = at + number.size();
    const bool negative = at != end && *at == '-';
    if (negative) ++at;
    // More than 19 digits wrap around; they are refused below anyway.
    std::uint64_t mantissa = 0;
    const char* whole = at;
    while (at != end && IsDigit(*at)) mantissa = mantissa * 10 + static_cast<unsigned>(*at++ - '0');
    std::ptrdiff_t digits = at - whole;
    std::ptrdiff_t decimals = 0;
    if (at != end && *at == '.') {
        const char* fraction = ++at;
        while (at != end && IsDigit(*at))
            mantissa = mantissa * 10 + static_cast<unsigned>(*at++ - '0');
        decimals = at - fraction;
        digits += decimals;
    }
    if (at != end || digits == 0 || digits > kMaxDigits) return false;
    const double magnitude = static_cast<double>(mantissa) / kPowers[decimals];
    value = static_cast<float>(negative ? -magnitude : magnitude);
    return true;
}

}  // namespace PlainRecord
