#pragma once

#include <cstdint>
#include <ctime>
#include <deque>

#include "model/CDaten.h"

class CSensoren;

static_assert(sizeof(std::time_t) == 8, "statistics times are 64-bit seconds");

// The sensor settings that steer a SensorStatistics: which of sum, activity and
// tendency are computed, and how.
struct StatisticsSettings {
    enum SumMode { kSumStandard = 0, kSumAccumulating = 1, kSumSunWh = 2 };
    enum ActivityMode { kActivityThreshold = 0, kActivityDelta = 1 };
    enum TendencyMode { kTendencyPeriod = 0, kTendencyTimeBase = 1 };

    // A current value holds no tendency mode or time base: they stay 0.
    static StatisticsSettings FromSensor(const CSensoren& sensor);

    bool m_showSum = false;
    int m_sumMode = kSumStandard;
    bool m_showActivity = false;
    int m_activityMode = kActivityThreshold;
    float m_activityThreshold = 0.0f;
    bool m_showTendency = false;
    int m_tendencyMode = kTendencyPeriod;
    int m_tendencyTimeBase = 0;  // seconds
};

// Maximum, minimum, average, sum, activity time and tendency of one sensor's
// values, with the times of the extremes. A fresh record is all 0.
struct SensorStatistics {
    // Recomputes the record over a current-value history, oldest first. A
    // history without any valid value leaves every field as it was. Single pass,
    // no allocation: it runs after every received value.
    void UpdateFromHistory(const std::deque<CDaten>& history, const StatisticsSettings& settings);

    float Max = 0.0f;
    float Min = 0.0f;
    float Average = 0.0f;
    float Sum = 0.0f;
    bool WhFlag = false;  // Sum is an energy in Wh
    std::int32_t ActivitySeconds = 0;
    float Tendency = 0.0f;
    std::time_t MaxTime = 0;
    std::time_t MinTime = 0;
    std::time_t MaxFrom = 0;
    std::time_t MaxTo = 0;
    std::time_t MinFrom = 0;
    std::time_t MinTo = 0;
};
