#include "calc/SeriesStatistics.h"

#include "model/MissingValue.h"

namespace {

// Stored values are rounded to the sensor's decimals, so a counter read back
// from the data files may wobble by a unit of the last decimal without restarting.
constexpr float kSeriesRestartTolerance = 0.002f;

}  // namespace

SeriesStatistics::SeriesStatistics(const StatisticsSettings& settings)
    : m_settings(settings), m_counter(kSeriesRestartTolerance) {}

void SeriesStatistics::Reset() { *this = SeriesStatistics(m_settings); }

void SeriesStatistics::AddToSum(float value) {
    if (!IsValidValue(value)) return;
    m_valueTotal += value;
    ++m_validCount;
    switch (m_settings.m_sumMode) {
        case StatisticsSettings::kSumStandard:
            m_statistics.Sum = static_cast<float>(m_valueTotal);
            break;
        case StatisticsSettings::kSumAccumulating:
            m_counter.Take(value);
            break;
        default:
            break;
    }
}

void SeriesStatistics::AddToActivity(float value, std::time_t time) {
    // Missing values are no measurement, whatever the threshold.
    if (!IsValidValue(value)) return;
    const float threshold = m_settings.m_activityThreshold;
    switch (m_settings.m_activityMode) {
        case StatisticsSettings::kActivityThreshold:
            if (value < threshold) return;
            break;
        case StatisticsSettings::kActivityDelta: {
            // Without an earlier valid value there is no difference to take.
            if (!m_hasPreviousValid) return;
            const float d = value < m_previousValid ? value : value - m_previousValid;
            if (d < threshold) return;
            break;
        }
        default:
            return;
    }
    m_activity += time - m_previousTime;
    m_statistics.ActivitySeconds = static_cast<std::int32_t>(m_activity);
}

void SeriesStatistics::AddPoint(const CDaten& point) {
    const float v = point.m_value;
    if (!IsValidValue(v)) return;
    SensorStatistics& s = m_statistics;
    if (m_pointCount == 0 || v > s.Max) {
        s.Max = v;
        s.MaxTime = point.m_time;
        s.MaxFrom = point.m_start;
        s.MaxTo = point.m_end;
    }
    if (m_pointCount == 0 || v < s.Min) {
        s.Min = v;
        s.MinTime = point.m_time;
        s.MinFrom = point.m_start;
        s.MinTo = point.m_end;
    }
    m_pointTotal += v;
    ++m_pointCount;
    s.Average = static_cast<float>(m_pointTotal / static_cast<double>(m_pointCount));
}

void SeriesStatistics::Complete(std::span<const CDaten> points) {
    if (m_settings.m_showSum && m_validCount > 0) {
        switch (m_settings.m_sumMode) {
            case StatisticsSettings::kSumAccumulating:
                m_statistics.Sum = static_cast<float>(m_counter.Total());
                break;
            case StatisticsSettings::kSumSunWh: {
                const double mean = m_valueTotal / static_cast<double>(m_validCount);
                const auto seconds = static_cast<double>(m_lastTime - m_firstTime);
                m_statistics.Sum = static_cast<float>(mean * seconds / 3600.0);
                m_statistics.WhFlag = true;
                break;
            }
            default:
                break;
        }
    }
    if (m_settings.m_showTendency) ComputeTendency(points);
}

void SeriesStatistics::ComputeTendency(std::span<const CDaten> points) {
    if (points.empty()) return;
    const CDaten& last = points.back();
    const CDaten* reference = nullptr;
    switch (m_settings.m_tendencyMode) {
        case StatisticsSettings::kTendencyPeriod:
            reference = &points.front();
            break;
        case StatisticsSettings::kTendencyTimeBase: {
            const std::time_t from =
                last.m_time - (static_cast<std::time_t>(m_settings.m_tendencyTimeBase) + 1);
            for (const CDaten& point : points) {
                if (point.m_time >= from) {
                    reference = &point;
                    break;
                }
            }
            break;
        }
        default:
            return;
    }
    const bool valid =
        reference != nullptr && IsValidValue(reference->m_value) && IsValidValue(last.m_value);
    m_statistics.Tendency = valid ? last.m_value - reference->m_value : 0.0f;
}
