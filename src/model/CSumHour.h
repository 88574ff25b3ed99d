#pragma once

// CSumHour is a virtual sensor's sum over the last hour.

#include <ctime>
#include <deque>

// The hourly sum of a virtual sensor: the values stored during the last hour and
// their total. Created empty with its sensor; not stored.
class CSumHour {
public:
    struct Value {
        float m_value = 0.0f;
        std::time_t m_time = 0;
    };

    // Seconds that the window reaches back from the value being added.
    static constexpr std::time_t kWindowSeconds = 3600;

    CSumHour() = default;
    virtual ~CSumHour();

    // Adds a stored value. Record times arrive in increasing order (a record is
    // stored only when it is later than the last one).
    void Add(float value, int storageIntervalSeconds, std::time_t recordTime);

    std::deque<Value> Values;  // oldest first
    float Total = 0.0f;
};
