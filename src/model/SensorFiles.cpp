#include "model/SensorFiles.h"

#include <algorithm>
#include <cmath>

#include "model/CSumHour.h"
#include "model/TextNumbers.h"
#include "platform/Profile.h"

using TextNumbers::Atoi;
using TextNumbers::IsJa;

namespace {

constexpr std::string_view kInternSection = "Interne Sensoren";
// define.ini keeps limits short; intern.ini limits may name a sensor.
constexpr std::size_t kMeasuredLimitLength = 9;
constexpr std::size_t kVirtualLimitLength = 49;
// The sensor dialog offers 0 to 10 decimals; a value beyond that could not be written as a number.
constexpr int kMaxDecimals = 10;

// The keys that define.ini and intern.ini share. Beaufort is only in define.ini.
void ReadSharedKeys(Profile& profile, const std::string& file, const std::string& section,
                    std::size_t limitLength, CSensoren& sensor) {
    auto text = [&](std::string_view key, std::string_view defaultValue, std::size_t maxLength) {
        return profile.ReadText(file, section, key, defaultValue, maxLength);
    };
    auto flag = [&](std::string_view key) { return IsJa(text(key, "0", 4)); };

    sensor.m_identifier = section;
    sensor.m_name = text("Name", "", 49);
    sensor.m_unit = text("Unit", "", 9);
    sensor.m_lowerLimit = TextNumbers::AtofFloat(text("Untergrenze Wert", "0", limitLength));
    sensor.m_upperLimit = TextNumbers::AtofFloat(text("Obergrenze Wert", "0", limitLength));
    sensor.m_minScale = Atoi(text("Min Skalierung", "0", 9));
    sensor.m_maxScale = Atoi(text("Max Skalierung", "0", 9));
    sensor.m_showActivity = flag("Anzeige Aktivitaet");
    sensor.m_activityMode = profile.ReadInt(file, section, "Aktivitaet Auswahl", 0);
    sensor.m_activityThreshold = TextNumbers::AtofFloat(text("Aktivitaet Wert", "0.0", 19));
    sensor.m_showMean = flag("Anzeige Durchschnitt");
    sensor.m_showMinimum = flag("Anzeige Minimum");
    sensor.m_showMaximum = flag("Anzeige Maximum");
    sensor.m_showSum = flag("Anzeige Summe");
    sensor.m_sumMode = profile.ReadInt(file, section, "Auswahl Summe", 0);
    sensor.m_showTendency = flag("Anzeige Tendenz");
    sensor.m_tendencyMode = profile.ReadInt(file, section, "Auswahl Tendenz", 1);
    sensor.m_tendencyTimeBase = profile.ReadInt(file, section, "Zeitbasis Tendenz", 300);
    sensor.m_showMaxScale = flag("Anzeige Max-Skalierung");
    sensor.m_showMinScale = flag("Anzeige Min-Skalierung");
    sensor.m_colour = static_cast<std::uint32_t>(Atoi(text("Farbe", "0", 14)));
    sensor.m_diagramType = Atoi(text("Diagrammart", "0", 2));
    sensor.m_scalingRange = Atoi(text("Skalierungsbereich", "0", 2));
    // "*1" is no number: a sensor without "Faktor" gets the factor 0.
    sensor.m_factor = TextNumbers::AtofFloat(text("Faktor", "*1", 19));
    sensor.m_offset = TextNumbers::AtofFloat(text("Offset", "0", 19));
    sensor.m_decimals = std::clamp(profile.ReadInt(file, section, "NachKomma", 2), 0, kMaxDecimals);
    // Exactly "Enabled" counts; any other spelling is off.
    sensor.m_windRose.enabled = text("Windrose", "Disabled", 14) == "Enabled";
    sensor.m_windRose.fadeOutSensor1 = text("Sens1Ausblenden", "Disabled", 14) == "Enabled";
    sensor.m_windRose.sensor1 = text("WindroseSensor1", "", 5);
    sensor.m_windRose.sensor2 = text("WindroseSensor2", "", 5);
    sensor.m_windRose.sensor3 = text("WindroseSensor3", "", 5);
}

}  // namespace

std::unique_ptr<CSensoren> ReadMeasuredSensor(Profile& profile, const std::string& defineFile,
                                              const std::string& identifier) {
    auto sensor = std::make_unique<CSensoren>();
    ReadSharedKeys(profile, defineFile, identifier, kMeasuredLimitLength, *sensor);
    sensor->m_beaufort = IsJa(profile.ReadText(defineFile, identifier, "Beaufort", "0", 9));
    sensor->m_virtual = false;
    return sensor;
}

std::unique_ptr<CSensoren> ReadVirtualSensor(Profile& profile, const std::string& internFile,
                                             const std::string& identifier) {
    auto sensor = std::make_unique<CSensoren>();
    ReadSharedKeys(profile, internFile, identifier, kVirtualLimitLength, *sensor);
    auto text = [&](std::string_view key, std::string_view defaultValue, std::size_t maxLength) {
        return profile.ReadText(internFile, identifier, key, defaultValue, maxLength);
    };
    sensor->m_lowerLimitText = text("Untergrenze Wert", "0", kVirtualLimitLength);
    sensor->m_upperLimitText = text("Obergrenze Wert", "0", kVirtualLimitLength);
    sensor->m_lowerLimitFormat = Atoi(text("Untergrenze Format", "0", 2));
    sensor->m_underflowText = text("Unterschreitwert", "", 49);
    sensor->m_underflowFormat = Atoi(text("Unterschreit Format", "0", 2));
    sensor->m_upperLimitFormat = Atoi(text("Obergrenze Format", "0", 2));
    sensor->m_overflowText = text("Ueberschreitwert", "", 49);
    sensor->m_overflowFormat = Atoi(text("Ueberschreit Format", "0", 2));
    sensor->m_formula = text("Formel", "", 999);
    sensor->m_formulaIdentifiers = text("FormelKennungen", "", 199);
    sensor->m_beaufort = false;
    sensor->m_virtual = true;
    if (IsJa(text("Summe Stunde", "0", 9))) {
        sensor->m_hourlySum = true;
        sensor->m_sumHour = std::make_unique<CSumHour>();
    }
    return sensor;
}

std::vector<std::string> ReadVirtualSensorIdentifiers(Profile& profile,
                                                      const std::string& internFile) {
    return SplitIdentifierList(profile.ReadText(internFile, kInternSection, "iKennung", "", 999));
}

std::vector<std::string> SplitIdentifierList(std::string_view list) {
    std::vector<std::string> items;
    std::string item;
    for (const char c : list) {
        if (c == ',') {
            items.push_back(std::move(item));
            item.clear();
        } else {
            item += c;
        }
    }
    return items;
}

std::string JoinIdentifierList(const std::vector<std::string>& items) {
    std::string list;
    for (const std::string& item : items) list += item + ",";
    return list;
}

std::string BuildGapLine(const std::vector<std::string>& identifiers) {
    std::string line;
    for (const std::string& identifier : identifiers) line += identifier + "-99999,";
    return line;
}
