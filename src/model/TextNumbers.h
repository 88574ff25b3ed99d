#pragma once

#include <string>
#include <string_view>

// Number and word conversions of settings values, with the standard library's
// rules (atoi/atof) but independent of the process locale: settings files
// always use "." as the decimal point, whatever language the desktop has.
namespace TextNumbers {

// Leading white space skipped, optional sign, decimal digits up to the first
// other character; no number gives 0; values beyond int are clamped.
int Atoi(std::string_view text);
// Leading white space skipped, a decimal number with optional exponent up to
// the first character that does not fit; no number gives 0.
double Atof(std::string_view text);
// Atof as a 32-bit float; values beyond float's range become infinities
// instead of an undefined conversion.
float AtofFloat(std::string_view text);
// printf's "%.*f" without the process locale (which may write a decimal comma).
std::string FormatFixed(double value, int decimals = 6);
// Case-insensitive comparison of two byte strings (ASCII letters only).
bool EqualsNoCase(std::string_view a, std::string_view b);
// The sensor files' yes: the whole value is "ja" in any case.
bool IsJa(std::string_view value);
// ASCII upper case.
std::string ToUpper(std::string_view text);

}  // namespace TextNumbers
