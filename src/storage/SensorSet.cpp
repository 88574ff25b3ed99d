#include "storage/SensorSet.h"

#include <algorithm>
#include <utility>

#include "model/SensorFiles.h"

SensorSet::SensorSet() = default;
SensorSet::~SensorSet() { Clear(); }

void SensorSet::Load(Profile& profile, const std::string& defineFile, const std::string& internFile,
                     const std::vector<std::string>& identifiers) {
    Clear();
    m_gapLine = BuildGapLine(identifiers);
    for (const std::string& identifier : identifiers) {
        Append(ReadMeasuredSensor(profile, defineFile, identifier));
    }
    LoadVirtualSensors(profile, internFile);
}

void SensorSet::LoadVirtualSensors(Profile& profile, const std::string& internFile) {
    for (const std::string& identifier : ReadVirtualSensorIdentifiers(profile, internFile)) {
        Append(ReadVirtualSensor(profile, internFile, identifier));
    }
}

CSensoren* SensorSet::FindSensor(std::string_view identifier) const {
    for (const auto& sensor : m_sensors) {
        if (sensor->m_identifier == identifier) return sensor.get();
    }
    return nullptr;
}

bool SensorSet::DeleteSensor(std::string_view identifier) {
    const auto value =
        std::find_if(m_currentValues.begin(), m_currentValues.end(),
                     [&](const auto& current) { return current->m_identifier == identifier; });
    if (value != m_currentValues.end()) m_currentValues.erase(value);
    const auto sensor = std::find_if(m_sensors.begin(), m_sensors.end(), [&](const auto& entry) {
        return entry->m_identifier == identifier;
    });
    if (sensor != m_sensors.end()) m_sensors.erase(sensor);
    return true;
}

void SensorSet::ClearHistories() {
    for (const auto& current : m_currentValues) current->ClearHistory();
}

void SensorSet::Clear() {
    // Current values point at the sensors: drop them first.
    m_currentValues.clear();
    m_sensors.clear();
    m_gapLine.clear();
}

void SensorSet::Append(std::unique_ptr<CSensoren> sensor) {
    m_currentValues.push_back(std::make_unique<CAktuell>(sensor->m_identifier, sensor.get()));
    m_sensors.push_back(std::move(sensor));
}
