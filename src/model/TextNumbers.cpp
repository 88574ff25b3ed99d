#include "model/TextNumbers.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

namespace TextNumbers {
namespace {
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string_view SkipSpace(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsSpace(text[i])) ++i;
    return text.substr(i);
}
}  // namespace

int Atoi(std::string_view text) {
    text = SkipSpace(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    for (const char c : text) {
        if (!IsDigit(c)) break;
        value = value * 10 + (c - '0');
        if (value > static_cast<std::int64_t>(INT_MAX) + 1) break;
    }
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int>(value);
}

double Atof(std::string_view text) {
    text = SkipSpace(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    // from_chars takes no sign of its own here and never reads hex or the locale's comma.
    if (text.empty() || !(IsDigit(text[0]) || text[0] == '.')) return 0.0;
    double value = 0.0;
    const auto [end, error] =
        std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::general);
    if (error == std::errc::result_out_of_range) {
        // Too large or too small for a double: what strtod gives, without its locale.
        const std::string_view number = text.substr(0, static_cast<std::size_t>(end - text.data()));
        const std::size_t e = number.find_first_of("eE");
        const bool tiny =
            e != std::string_view::npos && e + 1 < number.size() && number[e + 1] == '-';
        value = tiny ? 0.0 : HUGE_VAL;
    } else if (error != std::errc()) {
        return 0.0;
    }
    return negative ? -value : value;
}

float AtofFloat(std::string_view text) {
    const double value = Atof(text);
    if (value > FLT_MAX) return HUGE_VALF;
    if (value < -FLT_MAX) return -HUGE_VALF;
    return static_cast<float>(value);
}

std::string FormatFixed(double value, int decimals) {
    if (decimals < 0) decimals = 6;  // printf treats a negative precision as none given
    char buffer[400];                // the largest double has 309 integer digits
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    if (error != std::errc()) return std::string();
    return std::string(buffer, end);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Upper(a[i]) != Upper(b[i])) return false;
    return true;
}

bool IsJa(std::string_view value) { return EqualsNoCase(value, "ja"); }

std::string ToUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = Upper(c);
    return out;
}

}  // namespace TextNumbers
