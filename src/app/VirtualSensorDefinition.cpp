#include "app/VirtualSensorDefinition.h"

#include <tuple>

#include "app/CWetterDoc.h"
#include "app/DocumentView.h"
#include "model/CSensoren.h"
#include "storage/CAktuell.h"

namespace {

// Everything of a sensor that a diagram or a single-value window shows.
auto ShownSettings(const CSensoren& s) {
    return std::make_tuple(s.m_name, s.m_unit, s.m_formula, s.m_lowerLimitText, s.m_upperLimitText,
                    s.m_underflowText, s.m_overflowText, s.m_colour, s.m_diagramType,
                    s.m_minScale, s.m_maxScale, s.m_showMinScale, s.m_showMaxScale,
                    s.m_scalingRange, s.m_decimals, s.m_showMaximum, s.m_showMinimum,
                    s.m_showMean, s.m_showSum, s.m_sumMode, s.m_showActivity, s.m_activityMode,
                    s.m_activityThreshold, s.m_showTendency, s.m_tendencyMode,
                    s.m_tendencyTimeBase, s.m_hourlySum);
}

}  // namespace

VirtualSensorDefinition::VirtualSensorDefinition(CWetterDoc& document)
    : m_document(document),
      m_file(document.InternFile()),
      m_rules(document.Context().profile, m_file, document.SensorIdentifiers()) {}

CSensoren* VirtualSensorDefinition::Find(std::string_view identifier) const {
    for (const auto& sensor : m_document.Sensors().Sensors()) {
        if (sensor->m_virtual && sensor->m_identifier == identifier) return sensor.get();
    }
    return nullptr;
}

bool VirtualSensorDefinition::Apply(const CheckedVirtualSensor& checked, bool isNew) {
    if (!m_rules.Store(checked, isNew)) return false;

    CSensoren* sensor = isNew ? nullptr : Find(checked.input.identifier);
    bool reload = false;
    if (sensor == nullptr) {
        m_document.Sensors().AddSensor(CSensorDefine::ToSensor(checked));
    } else {
        const auto before = ShownSettings(*sensor);
        CSensorDefine::ApplyTo(checked, *sensor);
        reload = before != ShownSettings(*sensor);
        for (const auto& current : m_document.Sensors().CurrentValues()) {
            if (current->m_sensor != sensor) continue;
            current->TakeSettings(*sensor);
            current->UpdateStatistics();
        }
    }
    for (DocumentView* view : m_document.Views()) {
        view->SensorsReplaced();
        if (reload) view->ReloadData();
    }
    return true;
}

bool VirtualSensorDefinition::Delete(const std::string& identifier) {
    // A sensor still in intern.ini would come back at the next start: keep showing it.
    if (!m_rules.Delete(identifier)) return false;
    m_document.DeleteSensor(identifier);
    return true;
}
