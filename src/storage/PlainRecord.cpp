#include "storage/PlainRecord.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace PlainRecord {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr std::uint64_t kEachByte = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t kPairBytes = 0xFFFF00FFFF00FFFFull;       // bytes 0, 1, 3, 4, 6, 7
constexpr std::uint64_t kSeparatorBytes = 0x0000FF0000FF0000ull;  // bytes 2 and 5

// "ab?cd?ef" with `separator` for each '?': the numbers ab, cd and ef in
// bytes 0, 3 and 6 of `pairs`.
bool TwoDigitTriple(std::uint64_t word, char separator, std::uint64_t& pairs) {
    const std::uint64_t values = word ^ (kEachByte * '0');
    // The high bit of each byte that is no digit; no carry crosses a byte.
    const std::uint64_t nonDigits =
        (((values & ~kHighBits) + kEachByte * 0x76) | values) & kHighBits & kPairBytes;
    const std::uint64_t separators =
        (word ^ (kEachByte * static_cast<unsigned char>(separator))) & kSeparatorBytes;
    if ((nonDigits | separators) != 0) return false;
    const std::uint64_t digits = values & kPairBytes;
    pairs = digits * 10 + (digits >> 8);  // at most 99 a byte: no carry either
    return true;
}

}  // namespace

bool ScanTimeTokens(std::string_view line, RecordLine::TimeTokens& tokens) {
    static_assert(std::endian::native == std::endian::little, "words are read low byte first");
    constexpr std::size_t kLength = 18;  // "00:00:00,00.00.00,"
    if (line.size() < kLength || line[8] != ',' || line[17] != ',') return false;
    // "hh:mm:ss" and "dd.mm.yy" as words: every byte checked at once.
    std::uint64_t time;
    std::uint64_t date;
    std::memcpy(&time, line.data(), sizeof time);
    std::memcpy(&date, line.data() + 9, sizeof date);
    std::uint64_t timePairs = 0;
    std::uint64_t datePairs = 0;
    if (!TwoDigitTriple(time, ':', timePairs) || !TwoDigitTriple(date, '.', datePairs))
        return false;
    RecordLine::TimeTokens t;
    t.hour = static_cast<int>(timePairs & 0xFF);
    t.minute = static_cast<int>((timePairs >> 24) & 0xFF);
    t.second = static_cast<int>((timePairs >> 48) & 0xFF);
    t.day = static_cast<int>(datePairs & 0xFF);
    t.month = static_cast<int>((datePairs >> 24) & 0xFF);
    t.year = static_cast<int>((datePairs >> 48) & 0xFF);
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
