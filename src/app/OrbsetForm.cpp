#include "app/OrbsetForm.h"

#include <algorithm>
#include <cerrno>

#include "app/CWetterDoc.h"
#include "app/StationCommands.h"
#include "calc/CEinheitBerechnung.h"
#include "calc/CSensorDefine.h"
#include "model/CSensoren.h"
#include "model/SensorFiles.h"
#include "model/TextNumbers.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/Ui.h"

namespace {

CAktuell* FindCurrentValue(CWetterDoc& document, std::string_view identifier) {
    for (const auto& current : document.Sensors().CurrentValues())
        if (current->m_identifier == identifier) return current.get();
    return nullptr;
}

// The current value starts again under the new definition: statistics
// settings copied, the last raw value shown in the new unit and limits.
void Restart(CAktuell& current, const CSensoren& sensor) {
    current.m_showActivity = sensor.m_showActivity;
    current.m_activityMode = sensor.m_activityMode;
    current.m_activityThreshold = sensor.m_activityThreshold;
    current.m_showSum = sensor.m_showSum;
    current.m_sumMode = sensor.m_sumMode;
    current.m_showTendency = sensor.m_showTendency;
    current.m_value = CEinheitBerechnung().ConvertValue(current.m_rawValue, sensor,
                                                        CEinheitBerechnung::Limits::Check);
    current.UpdateStatistics();
}

}  // namespace

OrbsetForm::OrbsetForm(CWetterDoc& document, Ui& ui, std::string caption)
    : m_document(document), m_ui(ui), m_caption(std::move(caption)) {}

std::string OrbsetForm::DefineFile() const { return m_document.DefineFile(); }

std::vector<OrbsetForm::Row> OrbsetForm::StationRows() {
    Profile& profile = m_document.Context().profile;
    const std::string file = m_document.DefineFile();
    std::vector<Row> rows;
    for (const std::string& identifier : m_document.SensorIdentifiers()) {
        // A name may be anything, "0" included: only a missing key counts as missing.
        constexpr std::string_view kMissing = "\x01";
        if (profile.ReadText(file, identifier, "Name", kMissing, 49) == kMissing) {
            // A unit that is there already stays: only what is missing is initialised.
            std::vector<std::pair<std::string, std::string>> keys{{"Name", ""}};
            if (profile.ReadText(file, identifier, "Unit", kMissing, 9) == kMissing)
                keys.emplace_back("Unit", "");
            profile.WriteKeys(file, identifier, keys);
        }
        rows.push_back({identifier, profile.ReadText(file, identifier, "Name", "", 49),
                        profile.ReadText(file, identifier, "Unit", "", 9)});
    }
    return rows;
}

std::vector<OrbsetForm::Row> OrbsetForm::VirtualRows() const {
    Profile& profile = m_document.Context().profile;
    const std::string file = m_document.InternFile();
    std::vector<Row> rows;
    for (const std::string& identifier : ReadVirtualSensorIdentifiers(profile, file))
        rows.push_back({identifier, profile.ReadText(file, identifier, "Name", "", 49),
                        profile.ReadText(file, identifier, "Unit", "", 9)});
    return rows;
}

void OrbsetForm::Select(List list, std::optional<std::string> identifier) {
    (list == List::kStation ? m_stationSelection : m_virtualSelection) = std::move(identifier);
    m_lastUsed = list;
}

const std::optional<std::string>& OrbsetForm::Selection(List list) const {
    return list == List::kStation ? m_stationSelection : m_virtualSelection;
}

std::optional<std::uint32_t> OrbsetForm::SelectedColour() const {
    if (!m_lastUsed) return std::nullopt;
    const std::optional<std::string>& identifier = Selection(*m_lastUsed);
    if (!identifier) return std::nullopt;
    const std::string file =
        *m_lastUsed == List::kStation ? m_document.DefineFile() : m_document.InternFile();
    return static_cast<std::uint32_t>(TextNumbers::Atoi(
        m_document.Context().profile.ReadText(file, *identifier, "Farbe", "0", 14)));
}

std::optional<StationSensorInput> OrbsetForm::EditTarget() const {
    if (!m_stationSelection) return std::nullopt;
    Profile& profile = m_document.Context().profile;
    const StationSensorDefine define(profile, m_document.DefineFile());
    if (const CSensoren* sensor = m_document.FindSensor(*m_stationSelection))
        return define.InputFrom(*sensor);
    // Not loaded (yet): the definition as the file holds it.
    const auto stored = ReadMeasuredSensor(profile, m_document.DefineFile(), *m_stationSelection);
    return define.InputFrom(*stored);
}

std::string OrbsetForm::AltitudeText() const {
    return ReadAltitude(m_document.Context().profile, m_document.StationFile()).metres;
}

bool OrbsetForm::AcceptStationSensor(const StationSensorInput& before,
                                     const StationSensorInput& after) {
    const bool affectsViews = StationSensorDefine::AffectsStatisticsOrDiagram(before, after);
    StationSensorDefine define(m_document.Context().profile, m_document.DefineFile());
    if (!define.Store(after)) return false;

    CSensoren* sensor = m_document.FindSensor(after.identifier);
    if (sensor == nullptr) return true;
    StationSensorDefine::ApplyTo(after, *sensor);
    if (affectsViews) m_document.ClearHistories();
    if (CAktuell* current = FindCurrentValue(m_document, after.identifier))
        Restart(*current, *sensor);
    m_document.RefreshSensorInViews(*sensor, affectsViews);
    return true;
}

bool OrbsetForm::DeleteVirtualSensor() {
    const std::optional<std::string> identifier = std::exchange(m_virtualSelection, std::nullopt);
    if (!identifier) return false;
    if (m_ui.MessageBox(kDeleteQuestion, m_caption, MsgButtons::YesNo, MsgIcon::Question) !=
        MsgAnswer::Yes)
        return false;
    CSensorDefine define(m_document.Context().profile, m_document.InternFile(),
                         m_document.SensorIdentifiers());
    errno = 0;
    if (!define.Delete(*identifier)) {
        const int error = errno;
        std::string text = m_document.InternFile() + " couldn't be written";
        if (error != 0) text += ": " + FileSystem::SystemErrorText(error);
        m_ui.MessageBox(text, m_caption, MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    m_document.DeleteSensor(*identifier);
    return true;
}
