#include "calc/SensorStatistics.h"

#include "calc/AccumulatingSum.h"
#include "model/CSensoren.h"
#include "model/MissingValue.h"

StatisticsSettings StatisticsSettings::FromSensor(const CSensoren& sensor) {
    StatisticsSettings settings;
    settings.m_showSum = sensor.m_showSum;
    settings.m_sumMode = sensor.m_sumMode;
    settings.m_showActivity = sensor.m_showActivity;
    settings.m_activityMode = sensor.m_activityMode;
    settings.m_activityThreshold = sensor.m_activityThreshold;
    settings.m_showTendency = sensor.m_showTendency;
    settings.m_tendencyMode = sensor.m_tendencyMode;
    settings.m_tendencyTimeBase = sensor.m_tendencyTimeBase;
    return settings;
}

void SensorStatistics::UpdateFromHistory(const std::deque<CDaten>& history,
                                         const StatisticsSettings& settings) {
    auto it = history.begin();
    const auto end = history.end();
    while (it != end && !IsValidValue(it->m_value)) ++it;
    if (it == end) return;

    // Unknown modes (a hand-edited sensor file) compute nothing rather than guess.
    const bool doSum = settings.m_showSum &&
                       settings.m_sumMode >= StatisticsSettings::kSumStandard &&
                       settings.m_sumMode <= StatisticsSettings::kSumSunWh;
    const bool accumulating = settings.m_sumMode == StatisticsSettings::kSumAccumulating;
    const bool doThreshold = settings.m_showActivity &&
                             settings.m_activityMode == StatisticsSettings::kActivityThreshold;
    const bool doDelta =
        settings.m_showActivity && settings.m_activityMode == StatisticsSettings::kActivityDelta;
    const float threshold = settings.m_activityThreshold;

    const CDaten& first = *it;
    float max = first.m_value;
    float min = first.m_value;
    const CDaten* maxEntry = &first;
    const CDaten* minEntry = &first;
    double total = 0.0;
    long count = 0;
    std::time_t activity = 0;
    float previous = first.m_value;
    std::time_t previousTime = first.m_time;
    AccumulatingSum counter;
    counter.Start(first.m_value);

    for (; it != end; ++it) {
        const float v = it->m_value;
        if (!IsValidValue(v)) continue;
        if (v > max) {
            max = v;
            maxEntry = &*it;
        }
        if (v < min) {
            min = v;
            minEntry = &*it;
        }
        total += v;
        ++count;
        if (accumulating) counter.Take(v);
        if (doThreshold) {
            if (v >= threshold) activity += it->m_time - previousTime;
        } else if (doDelta) {
            const float d = v < previous ? v : v - previous;
            if (d >= threshold) activity += it->m_time - previousTime;
        }
        previous = v;
        previousTime = it->m_time;
    }

    Max = max;
    MaxTime = maxEntry->m_time;
    MaxFrom = maxEntry->m_start;
    MaxTo = maxEntry->m_end;
    Min = min;
    MinTime = minEntry->m_time;
    MinFrom = minEntry->m_start;
    MinTo = minEntry->m_end;
    Average = static_cast<float>(total / static_cast<double>(count));
    // The first valid value contributed nothing, so this is 0 when activity is off.
    ActivitySeconds = static_cast<std::int32_t>(activity);

    if (doSum) {
        WhFlag = settings.m_sumMode == StatisticsSettings::kSumSunWh;
        if (accumulating) {
            Sum = static_cast<float>(counter.Total());
        } else if (WhFlag) {
            const auto seconds = history.back().m_time - history.front().m_time;
            Sum = static_cast<float>(static_cast<double>(Average) * static_cast<double>(seconds) /
                                     3600.0);
        } else {
            Sum = static_cast<float>(total);
        }
    }

    if (settings.m_showTendency) {
        const float oldest = history.front().m_value;
        const float newest = history.back().m_value;
        Tendency = IsValidValue(oldest) && IsValidValue(newest) ? newest - oldest : 0.0f;
    }
}
