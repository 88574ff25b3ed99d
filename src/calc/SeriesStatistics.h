#pragma once

#include <cstdint>
#include <ctime>
#include <span>

#include "calc/AccumulatingSum.h"
#include "calc/SensorStatistics.h"
#include "model/CDaten.h"
#include "model/MissingValue.h"

// The statistics of one diagram series, kept incrementally while the data-file
// reader fills it: sum and activity per value read, maximum, minimum and average
// per closed interval, final sum and tendency when the read completes.
// Not thread-safe; the reader's worker thread owns it during a read.
class SeriesStatistics {
public:
    explicit SeriesStatistics(const StatisticsSettings& settings = {});

    // Starts a new read: the statistics and all working state become 0.
    void Reset();

    // Every line's converted value for this series, valid or not, in file
    // order. Inline: a read passes millions of values.
    void AddValue(float value, std::time_t time);

    // A closed interval; a point without a valid value is ignored.
    void AddPoint(const CDaten& point);

    // Finishes the sum and computes the tendency over the points of the read
    // (oldest first, invalid ones included). Calling it again changes nothing.
    void Complete(std::span<const CDaten> points);

    const SensorStatistics& Statistics() const { return m_statistics; }
    const StatisticsSettings& Settings() const { return m_settings; }

private:
    void AddToSum(float value);
    void AddToActivity(float value, std::time_t time);
    void ComputeTendency(std::span<const CDaten> points);

    StatisticsSettings m_settings;
    SensorStatistics m_statistics;

    double m_pointTotal = 0.0;
    std::int64_t m_pointCount = 0;

    bool m_anyValue = false;
    std::time_t m_firstTime = 0;
    std::time_t m_lastTime = 0;
    double m_valueTotal = 0.0;
    std::int64_t m_validCount = 0;
    AccumulatingSum m_counter;

    bool m_hasPreviousValid = false;
    float m_previousValid = 0.0f;
    std::time_t m_previousTime = 0;
    std::int64_t m_activity = 0;
};

inline void SeriesStatistics::AddValue(float value, std::time_t time) {
    const bool first = !m_anyValue;
    if (first) {
        m_anyValue = true;
        m_firstTime = time;
        // An invalid first value stands for a counter at 0.
        m_counter.Start(IsValidValue(value) ? value : 0.0f);
    }
    m_lastTime = time;
    if (m_settings.m_showSum) AddToSum(value);
    if (m_settings.m_showActivity) {
        if (!first) AddToActivity(value, time);
        if (IsValidValue(value)) {
            m_hasPreviousValid = true;
            m_previousValid = value;
        }
        m_previousTime = time;
    }
}
