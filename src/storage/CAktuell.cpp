#include "storage/CAktuell.h"

#include <utility>

#include "calc/CEinheitBerechnung.h"
#include "model/CSensoren.h"

CAktuell::CAktuell(std::string identifier, CSensoren* sensor)
    : m_identifier(std::move(identifier)), m_sensor(sensor) {
    if (sensor != nullptr) TakeSettings(*sensor);
}

void CAktuell::TakeSettings(const CSensoren& sensor) {
    m_virtual = sensor.m_virtual;
    m_formula = sensor.m_formula;
    m_showActivity = sensor.m_showActivity;
    m_activityMode = sensor.m_activityMode;
    m_activityThreshold = sensor.m_activityThreshold;
    m_showSum = sensor.m_showSum;
    m_sumMode = sensor.m_sumMode;
    m_showTendency = sensor.m_showTendency;
}

void CAktuell::SetValue(float value, std::time_t t) {
    SetRawValue(value, t);
    if (m_sensor != nullptr)
        m_value =
            CEinheitBerechnung().ConvertValue(value, *m_sensor, CEinheitBerechnung::Limits::Check);
    else
        m_value = value;
    AppendToHistory(m_value, t);
    UpdateStatistics();
}

void CAktuell::SetRawValue(float value, std::time_t t) {
    m_rawValue = value;
    m_time = t;
}

void CAktuell::AppendToHistory(float value, std::time_t t) {
    while (m_history.size() >= kMaxHistory) m_history.pop_front();
    m_history.emplace_back(t, value);
}

void CAktuell::UpdateStatistics() {
    m_statistics.UpdateFromHistory(m_history, CopiedStatisticsSettings());
}

StatisticsSettings CAktuell::CopiedStatisticsSettings() const {
    StatisticsSettings settings;
    settings.m_showSum = m_showSum;
    settings.m_sumMode = m_sumMode;
    settings.m_showActivity = m_showActivity;
    settings.m_activityMode = m_activityMode;
    settings.m_activityThreshold = m_activityThreshold;
    settings.m_showTendency = m_showTendency;
    return settings;
}
