// Any bytes as define.ini and intern.ini (split at a line "%%intern"; without
// one the bytes stand for both): every sensor must load, show in both sensor
// dialogs and in its single-value window, convert values and keep statistics,
// and a definition the dialog accepts must store and load back as it was.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzFiles.h"
#include "calc/CEinheitBerechnung.h"
#include "calc/CSensorDefine.h"
#include "calc/SensorStatistics.h"
#include "calc/StationSensorDefine.h"
#include "display/SensorWindowModel.h"
#include "model/CSensoren.h"
#include "model/SensorFiles.h"
#include "platform/IniProfile.h"

namespace {

constexpr const char* kName = "SensorDefineFuzz";
constexpr std::string_view kSplit = "\n%%intern\n";
// A station reports a few dozen sensors; more sections only repeat the work.
constexpr std::size_t kMaxSensors = 12;

std::vector<std::string> SectionNames(Profile& profile, const std::string& file) {
    std::vector<char> buffer(4096);
    const std::size_t length =
        profile.GetString(file, std::nullopt, std::nullopt, "", buffer.data(), buffer.size());
    std::vector<std::string> names;
    for (std::size_t pos = 0; pos < length && names.size() < kMaxSensors;) {
        names.emplace_back(buffer.data() + pos);
        pos += names.back().size() + 1;
    }
    return names;
}

// What the program does with a loaded sensor between two dialogs: converts
// raw values, keeps statistics over them and shows them in its window.
void Use(const CSensoren& sensor) {
    const CEinheitBerechnung units;
    std::deque<CDaten> history;
    std::time_t time = 1709474709;
    for (float raw : {0.0f, 12.5f, -40.0f, 1e30f, -99999.0f}) {
        history.emplace_back(time,
                             units.ConvertValue(raw, sensor, CEinheitBerechnung::Limits::Check));
        time += 60;
    }
    SensorStatistics statistics;
    statistics.UpdateFromHistory(history, StatisticsSettings::FromSensor(sensor));

    SensorWindowModel window(1, &sensor);
    SensorWindowSource source;
    source.statistics = &statistics;
    source.currentValue = history.back().m_value;
    source.showsCurrentValue = true;
    window.UpdateDisplay(source);
    window.SetYScale(sensor.m_maxScale);
    window.SetGraphOffset(sensor.m_minScale);
    for (SensorRow row : window.VisibleRows())
        if (window.RowText(row).size() > 4096) FuzzFail(kName, "statistics text without end");
    if (window.ValueText().size() > 4096) FuzzFail(kName, "value text without end");
}

void Measured(Profile& profile, const std::string& defineFile, const std::string& identifier) {
    const std::unique_ptr<CSensoren> sensor = ReadMeasuredSensor(profile, defineFile, identifier);
    if (sensor->m_decimals < 0 || sensor->m_decimals > StationSensorDefine::kMaxDecimals)
        FuzzFail(kName, "decimals out of the dialog's range");
    Use(*sensor);

    StationSensorDefine dialog(profile, defineFile);
    const StationSensorInput input = dialog.InputFrom(*sensor);
    if (StationSensorDefine::Validate(input)) return;
    if (!dialog.Store(input)) FuzzFail(kName, "define.ini store failed");
    const std::unique_ptr<CSensoren> loaded = ReadMeasuredSensor(profile, defineFile, identifier);
    if (dialog.InputFrom(*loaded) != input) FuzzFail(kName, "stored sensor loads back changed");
}

void Virtual(Profile& profile, const std::string& internFile, const std::string& identifier,
             const std::vector<std::string>& stationIdentifiers) {
    const std::unique_ptr<CSensoren> sensor = ReadVirtualSensor(profile, internFile, identifier);
    Use(*sensor);

    CSensorDefine dialog(profile, internFile, stationIdentifiers);
    const VirtualSensorInput input = CSensorDefine::InputFrom(*sensor);
    dialog.CheckFormula(input.formula);
    const CSensorDefine::Validation validation = dialog.Validate(input, false);
    if (!validation.sensor) return;
    const CheckedVirtualSensor& checked = *validation.sensor;
    Use(*CSensorDefine::ToSensor(checked));
    if (!dialog.Store(checked, false)) FuzzFail(kName, "intern.ini store failed");
    const VirtualSensorInput loaded =
        CSensorDefine::InputFrom(*ReadVirtualSensor(profile, internFile, identifier));
    const VirtualSensorInput& want = checked.input;
    if (loaded.name != want.name || loaded.unit != want.unit || loaded.formula != want.formula ||
        loaded.lowerLimit != want.lowerLimit || loaded.upperLimit != want.upperLimit ||
        loaded.underflowValue != want.underflowValue ||
        loaded.overflowValue != want.overflowValue || loaded.decimals != want.decimals ||
        loaded.hourlySum != want.hourlySum ||
        static_cast<const SensorDisplayInput&>(loaded) !=
            static_cast<const SensorDisplayInput&>(want))
        FuzzFail(kName, "stored virtual sensor loads back changed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static FuzzFolder folder;
    IniProfile profile;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t split = bytes.find(kSplit);
    const std::string defineFile = folder.Write(
        "define.ini", split == std::string_view::npos ? bytes : bytes.substr(0, split));
    const std::string internFile =
        folder.Write("intern.ini",
                     split == std::string_view::npos ? bytes : bytes.substr(split + kSplit.size()));

    const std::vector<std::string> stations = SectionNames(profile, defineFile);
    for (const std::string& identifier : stations) Measured(profile, defineFile, identifier);

    std::vector<std::string> virtuals = ReadVirtualSensorIdentifiers(profile, internFile);
    if (virtuals.size() > kMaxSensors) virtuals.resize(kMaxSensors);
    for (const std::string& identifier : virtuals)
        Virtual(profile, internFile, identifier, stations);
    return 0;
}
