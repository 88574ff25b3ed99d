#pragma once

#include <memory>
#include <utility>
#include <string>
#include <string_view>
#include <vector>

#include "model/CSensoren.h"
#include "storage/CAktuell.h"

class Profile;

// The sensors of one station: their definitions and, in the same order, their
// current values, measured sensors first (in the station's order), then the
// virtual ones. Also keeps the gap line that stands in for a missing record.
class SensorSet {
public:
    SensorSet();
    ~SensorSet();
    SensorSet(const SensorSet&) = delete;
    SensorSet& operator=(const SensorSet&) = delete;

    // Replaces everything: the measured sensors `identifiers` from `defineFile`,
    // then the virtual sensors of `internFile`.
    void Load(Profile& profile, const std::string& defineFile, const std::string& internFile,
              const std::vector<std::string>& identifiers);
    // Appends the virtual sensors of `internFile`.
    void LoadVirtualSensors(Profile& profile, const std::string& internFile);

    // Appends a sensor defined while the program runs, with its current value.
    void AddSensor(std::unique_ptr<CSensoren> sensor) { Append(std::move(sensor)); }

    // The first sensor whose identifier equals `identifier` exactly, or nullptr.
    CSensoren* FindSensor(std::string_view identifier) const;
    // Removes the first current value and the first sensor with `identifier`.
    bool DeleteSensor(std::string_view identifier);
    void ClearHistories();
    void Clear();

    // The lists may not be resized from outside, but their records may be edited.
    const std::vector<std::unique_ptr<CSensoren>>& Sensors() const { return m_sensors; }
    const std::vector<std::unique_ptr<CAktuell>>& CurrentValues() const { return m_currentValues; }
    const std::string& GapLine() const { return m_gapLine; }

private:
    void Append(std::unique_ptr<CSensoren> sensor);

    std::vector<std::unique_ptr<CSensoren>> m_sensors;
    std::vector<std::unique_ptr<CAktuell>> m_currentValues;
    std::string m_gapLine;
};
