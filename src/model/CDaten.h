#pragma once

// CDaten ("data") is one value with its times.

#include <ctime>

// A value with three date-times: a history entry (its time in all three), or a
// diagram point (interval start, interval end, time of the chosen value).
struct CDaten {
    CDaten() = default;
    CDaten(std::time_t time, float value)
        : m_start(time), m_end(time), m_time(time), m_value(value) {}

    std::time_t m_start = 0;
    std::time_t m_end = 0;
    std::time_t m_time = 0;
    float m_value = 0.0f;
};
