#pragma once

// CAktuell ("current") is a sensor's current value with its history.

#include <cstddef>
#include <ctime>
#include <deque>
#include <string>

#include "calc/SensorStatistics.h"
#include "model/CDaten.h"
#include "model/MissingValue.h"

class CSensoren;

// The current value of one sensor, with the history of values received since
// start. Keeps copies of the sensor settings that the statistics need.
class CAktuell {
public:
    static constexpr std::size_t kMaxHistory = 367;

    // `sensor` is not owned and must outlive this record.
    CAktuell(std::string identifier, CSensoren* sensor);

    void ClearHistory() { m_history.clear(); }
    // Copies the settings of `sensor` that this record keeps (at construction,
    // and again after the sensor was edited).
    void TakeSettings(const CSensoren& sensor);

    // A live value: raw value and time are kept, the converted value (limits
    // checked; virtual sensors unconverted) enters the history and the
    // statistics are recomputed.
    void SetValue(float value, std::time_t t);
    // A measured value read from the station's logger: only the raw value and its time change.
    void SetRawValue(float value, std::time_t t);

    // Appends a history entry with `t` in all three times, dropping the oldest
    // first when the history is full.
    void AppendToHistory(float value, std::time_t t);
    // Recomputes m_statistics over the whole history with this record's settings.
    void UpdateStatistics();

    std::string m_identifier;
    SensorStatistics m_statistics;
    std::deque<CDaten> m_history;      // oldest first, at most kMaxHistory
    float m_value = kMissingValue;     // converted, as shown
    float m_rawValue = kMissingValue;  // as received, as stored
    std::time_t m_time = 0;
    CSensoren* m_sensor = nullptr;

    bool m_virtual = false;
    std::string m_formula;
    bool m_showActivity = false;
    int m_activityMode = 0;
    float m_activityThreshold = 0.0f;
    bool m_showSum = false;
    int m_sumMode = 0;
    bool m_showTendency = false;

private:
    // The statistics settings copied into this record (its tendency uses the defaults).
    StatisticsSettings CopiedStatisticsSettings() const;
};
