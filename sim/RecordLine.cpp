#include "sim/RecordLine.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace orbsim {

void PinLocalZone() {
    if (std::getenv("TZ") != nullptr) return;
    setenv("TZ", ":/etc/localtime", 0);
    tzset();
}

namespace {

std::tm Local(std::time_t time) {
    std::tm fields{};
    localtime_r(&time, &fields);
    return fields;
}

std::string Strftime(std::time_t time, const char* format) {
    const std::tm fields = Local(time);
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, format, &fields);
    return std::string(text, length);
}

bool AllDigits(std::string_view text) {
    if (text.empty()) return false;
    for (const char c : text) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

int TwoDigits(std::string_view text, std::size_t at) {
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

std::optional<std::time_t> MakeLocal(int year, int month, int day, int hour, int minute,
                                     int second) {
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59) {
        return std::nullopt;
    }
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    const std::time_t time = std::mktime(&fields);
    if (time == static_cast<std::time_t>(-1)) return std::nullopt;
    return time;
}

}  // namespace

std::vector<SensorSpec> DefaultSensors() {
    return {{"TE", 1}, {"FE", 1}, {"DR", 1}, {"RE", 1}, {"WG", 1}, {"WR", 1}, {"WS", 1}, {"SO", 1}};
}

std::optional<std::vector<SensorSpec>> ParseSensorList(std::string_view text) {
    std::vector<SensorSpec> sensors;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        std::string_view item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        SensorSpec sensor;
        const std::size_t colon = item.find(':');
        if (colon != std::string_view::npos) {
            const std::string_view digits = item.substr(colon + 1);
            if (!AllDigits(digits) || digits.size() > 1) return std::nullopt;
            sensor.decimals = digits[0] - '0';
            item = item.substr(0, colon);
        }
        // An identifier the program could read back: no digits, '.', '-', ',' or blanks.
        if (item.empty()) return std::nullopt;
        for (const char c : item) {
            if ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == ' ' || c == ',') {
                return std::nullopt;
            }
        }
        sensor.id = std::string(item);
        sensors.push_back(sensor);
    }
    if (sensors.empty()) return std::nullopt;
    return sensors;
}

std::string FormatTimeStamp(std::time_t time) { return Strftime(time, "%H:%M:%S,%d.%m.%y,"); }

std::string FormatValue(double value, int decimals) {
    // Rounds like printf's "%.*f" (the exact binary value, ties to even).
    char text[400];
    const auto result =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    std::string formatted(text, result.ptr);
    if (formatted.starts_with('-') && formatted.find_first_not_of("0.", 1) == std::string::npos) {
        formatted.erase(0, 1);  // -0.04 shows as 0.0
    }
    return formatted;
}

std::string FormatRecordLine(std::time_t time, const std::vector<Reading>& readings,
                             bool storageMarker, bool trailingComma) {
    std::string line = FormatTimeStamp(time);
    for (const Reading& reading : readings) {
        line += reading.id;
        line += FormatValue(reading.value, reading.decimals);
        line += ',';
    }
    if (!trailingComma) line.pop_back();
    if (storageMarker) line += kStorageMarker;
    line += "\r\n";
    return line;
}

std::string FormatCommandTime(std::time_t time) { return Strftime(time, "%H%M%S%d%m%y"); }

std::optional<std::time_t> ParseCommandTime(std::string_view digits) {
    if (digits.size() != 12 || !AllDigits(digits)) return std::nullopt;
    const int twoDigitYear = TwoDigits(digits, 10);
    const int year = twoDigitYear <= 90 ? 2000 + twoDigitYear : 1900 + twoDigitYear;
    return MakeLocal(year, TwoDigits(digits, 8), TwoDigits(digits, 6), TwoDigits(digits, 0),
                     TwoDigits(digits, 2), TwoDigits(digits, 4));
}

int TimeOfDay(std::time_t time) {
    const std::tm fields = Local(time);
    return fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec;
}

std::time_t LastBoundaryAtOrBefore(std::time_t time, int interval) {
    return time - TimeOfDay(time) % interval;
}

std::optional<std::time_t> ParseLocalDateTime(std::string_view text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    char tail = 0;
    const std::string copy(text);
    if (std::sscanf(copy.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%c", &year, &month, &day, &hour, &minute,
                    &second, &tail) != 6) {
        return std::nullopt;
    }
    return MakeLocal(year, month, day, hour, minute, second);
}

}  // namespace orbsim
