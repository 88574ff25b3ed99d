#pragma once

#include <cstdlib>
#include <ctime>

// Tests that compare formatted record times run with the local zone set to UTC.
inline void UseUtcZone() {
    setenv("TZ", "UTC", 1);
    tzset();
}

// The moment of a UTC date and time.
inline std::time_t Utc(int year, int month, int day, int hour, int minute, int second = 0) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return timegm(&fields);
}
