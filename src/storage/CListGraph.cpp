#include "storage/CListGraph.h"

#include <algorithm>

#include "calc/CEinheitBerechnung.h"

namespace {

// The plain fields of a definition; the windows and accumulators a sensor
// owns are the document's and stay there.
void CopyDefinition(const CSensoren& from, CSensoren& to) {
    to.m_identifier = from.m_identifier;
    to.m_name = from.m_name;
    to.m_unit = from.m_unit;
    to.m_factor = from.m_factor;
    to.m_offset = from.m_offset;
    to.m_colour = from.m_colour;
    to.m_lowerLimit = from.m_lowerLimit;
    to.m_lowerLimitText = from.m_lowerLimitText;
    to.m_lowerLimitFormat = from.m_lowerLimitFormat;
    to.m_underflowText = from.m_underflowText;
    to.m_underflowFormat = from.m_underflowFormat;
    to.m_upperLimit = from.m_upperLimit;
    to.m_upperLimitText = from.m_upperLimitText;
    to.m_upperLimitFormat = from.m_upperLimitFormat;
    to.m_overflowText = from.m_overflowText;
    to.m_overflowFormat = from.m_overflowFormat;
    to.m_showTendency = from.m_showTendency;
    to.m_tendencyTimeBase = from.m_tendencyTimeBase;
    to.m_tendencyMode = from.m_tendencyMode;
    to.m_showSum = from.m_showSum;
    to.m_sumMode = from.m_sumMode;
    to.m_showActivity = from.m_showActivity;
    to.m_activityMode = from.m_activityMode;
    to.m_activityThreshold = from.m_activityThreshold;
    to.m_beaufort = from.m_beaufort;
    to.m_virtual = from.m_virtual;
    to.m_formula = from.m_formula;
    to.m_decimals = from.m_decimals;
}

}  // namespace

CListGraph::CListGraph(const CSensoren& sensor)
    : m_statistics(StatisticsSettings::FromSensor(sensor)) {
    CopyDefinition(sensor, m_sensor);
}

void CListGraph::ResetForRead() {
    m_statistics.Reset();
    m_finished = false;
    m_intervalValue = kMissingValue;
    m_intervalTime = 0;
    m_intervalTaken = false;
    m_valueCount = 1;
    m_lastValue = 0.0f;
    m_lastTime = 0;
    m_newPoints.clear();
}

float CListGraph::Convert(float raw) const {
    return CEinheitBerechnung().ConvertValue(raw, m_sensor,
                                             CEinheitBerechnung::Limits::KeepStoredInvalid);
}

void CListGraph::CloseInterval(std::time_t start, std::time_t end) {
    CDaten point;
    point.m_start = start;
    point.m_end = end;
    point.m_time = m_intervalTaken ? m_intervalTime : end;
    point.m_value = m_intervalTaken ? m_intervalValue : kMissingValue;
    m_statistics.AddPoint(point);
    m_newPoints.push_back(point);
    m_intervalValue = kMissingValue;
    m_intervalTaken = false;
    m_valueCount = 1;
}

void CListGraph::FinishRead() {
    if (m_finished) return;
    m_finished = true;
    m_statistics.Complete(m_newPoints);
}

void CListGraph::MergeNewPoints() {
    const std::size_t common = std::min(m_points.size(), m_newPoints.size());
    std::copy_n(m_newPoints.begin(), common, m_points.begin());
    m_points.insert(m_points.end(), m_newPoints.begin() + static_cast<std::ptrdiff_t>(common),
                    m_newPoints.end());
    m_newPoints.clear();
    m_shownStatistics = m_statistics.Statistics();
    m_shownLastValue = m_lastValue;
    m_shownLastTime = m_lastTime;
}

void CListGraph::ClearPoints() {
    m_points.clear();
    m_shownStatistics = SensorStatistics{};
    m_shownLastValue = 0.0f;
    m_shownLastTime = 0;
}
