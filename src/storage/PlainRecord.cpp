#include "storage/PlainRecord.h"

#include <cstddef>
#include <cstdint>

namespace PlainRecord {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool ScanTimeTokens(std::string_view line, RecordLine::TimeTokens& tokens) {
    constexpr std::size_t kLength = 18;  // "00:00:00,00.00.00,"
    if (line.size() < kLength) return false;
    const auto* c = reinterpret_cast<const unsigned char*>(line.data());
    // Every check of the fixed layout at once: no branch on the bytes.
    const auto digit = [c](std::size_t at) { return static_cast<unsigned>(c[at] - '0'); };
    const bool layout = (c[2] == ':') & (c[5] == ':') & (c[8] == ',') & (c[11] == '.') &
                        (c[14] == '.') & (c[17] == ',');
    // A byte below '0' wraps around to a large number.
    const bool digits = ((digit(0) < 10) & (digit(1) < 10) & (digit(3) < 10) & (digit(4) < 10) &
                         (digit(6) < 10) & (digit(7) < 10) & (digit(9) < 10) & (digit(10) < 10) &
                         (digit(12) < 10) & (digit(13) < 10) & (digit(15) < 10) & (digit(16) < 10));
    if (!(layout & digits)) return false;
    RecordLine::TimeTokens t;
    t.hour = static_cast<int>(digit(0) * 10 + digit(1));
    t.minute = static_cast<int>(digit(3) * 10 + digit(4));
    t.second = static_cast<int>(digit(6) * 10 + digit(7));
    t.day = static_cast<int>(digit(9) * 10 + digit(10));
    t.month = static_cast<int>(digit(12) * 10 + digit(13));
    t.year = static_cast<int>(digit(15) * 10 + digit(16));
    t.haveTime = true;
    t.haveDate = true;
    t.afterDate = kLength;
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
