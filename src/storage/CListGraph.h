#pragma once

// CListGraph is one diagram series read from the data files.

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "calc/SensorStatistics.h"
#include "calc/SeriesStatistics.h"
#include "model/CDaten.h"
#include "model/CSensoren.h"
#include "model/MissingValue.h"

// One sensor's series read back from the data files: the points the diagram
// draws, the zoom points the view fills, and per-series statistics.
//
// Two sides that never share a member: the displayed side (points, zoom
// points, shown statistics and last value) belongs to the user-interface
// thread; the working side (interval value, new points, running statistics)
// belongs to the reader's worker while a read runs. MergeNewPoints hands the
// working results over, on the user-interface thread, after the worker is done.
class CListGraph {
public:
    enum DataMode { kMean = 0, kMaximum = 1, kMinimum = 2, kLastValue = 3 };

    // Copies what the reader needs of the definition, so that a read never
    // touches the document's sensors.
    explicit CListGraph(const CSensoren& sensor);
    CListGraph(const CListGraph&) = delete;
    CListGraph& operator=(const CListGraph&) = delete;

    const std::string& Identifier() const { return m_sensor.m_identifier; }
    bool IsVirtual() const { return m_sensor.m_virtual; }
    // The copied definition: conversion, limits, formula and statistics settings.
    const CSensoren& Definition() const { return m_sensor; }

    // Displayed side, user-interface thread only.
    const std::vector<CDaten>& Points() const { return m_points; }
    std::vector<CDaten>& ZoomPoints() { return m_zoomPoints; }
    const SensorStatistics& Statistics() const { return m_shownStatistics; }
    float LastValue() const { return m_shownLastValue; }
    std::time_t LastTime() const { return m_shownLastTime; }

    // Working side, before a read starts (user-interface thread) or on the worker.
    // Empties the working side; the displayed side stays.
    void ResetForRead();
    // The unit's value of a raw stored value; limits are not applied (the
    // stored values were not checked either) and a stored -99999 stays.
    float Convert(float raw) const;
    // One line's value of this series, valid or not, into the open interval.
    // Inline: a read passes millions of values.
    void TakeValue(float value, std::time_t time, int dataMode);
    // Ends the open interval [start, end] with a new point.
    void CloseInterval(std::time_t start, std::time_t end);
    // Final sums and tendency over the new points; once per read.
    void FinishRead();
    const std::vector<CDaten>& NewPoints() const { return m_newPoints; }

    // Displayed side, user-interface thread, never while the worker reads.
    // Position by position: a displayed point takes the new point's times and
    // value, new points beyond the displayed ones are appended, displayed
    // points beyond the new ones stay. Then the statistics are shown.
    void MergeNewPoints();
    // The read produced nothing: no points, fresh statistics.
    void ClearPoints();

private:
    CSensoren m_sensor;

    std::vector<CDaten> m_points;
    std::vector<CDaten> m_zoomPoints;
    SensorStatistics m_shownStatistics;
    float m_shownLastValue = 0.0f;
    std::time_t m_shownLastTime = 0;

    SeriesStatistics m_statistics;
    bool m_finished = false;
    float m_intervalValue = kMissingValue;
    std::time_t m_intervalTime = 0;
    bool m_intervalTaken = false;
    int m_valueCount = 1;
    float m_lastValue = 0.0f;
    std::time_t m_lastTime = 0;
    std::vector<CDaten> m_newPoints;
};

inline void CListGraph::TakeValue(float value, std::time_t time, int dataMode) {
    switch (dataMode) {
        case kMean:
            if (!IsValidValue(m_intervalValue)) {
                m_intervalValue = value;
            } else if (IsValidValue(value)) {
                // A count of this series' values only: a count shared by all
                // series would weigh each later series' first value too much.
                ++m_valueCount;
                m_intervalValue -= (m_intervalValue - value) / static_cast<float>(m_valueCount);
            }
            m_intervalTime = time;
            break;
        case kMaximum:
            if (!m_intervalTaken || value > m_intervalValue) {
                m_intervalValue = value;
                m_intervalTime = time;
            }
            break;
        case kMinimum:
            // A missing value is the smallest number: an interval holding one
            // shows no value, whatever follows it.
            if (!m_intervalTaken || value < m_intervalValue) {
                m_intervalValue = value;
                m_intervalTime = time;
            }
            break;
        default:
            m_intervalValue = value;
            m_intervalTime = time;
            break;
    }
    m_intervalTaken = true;
    m_lastValue = value;
    m_lastTime = time;
    m_statistics.AddValue(value, time);
}
