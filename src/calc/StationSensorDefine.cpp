#include "calc/StationSensorDefine.h"

#include <algorithm>
#include <charconv>
#include <tuple>

#include "model/CSensoren.h"
#include "model/TextNumbers.h"
#include "platform/Profile.h"

namespace {

const char* YesNo(bool flag) { return flag ? "ja" : "nein"; }
const char* EnabledDisabled(bool flag) { return flag ? "Enabled" : "Disabled"; }

// Line ends would end the value in define.ini; ",", "=" and brackets would
// split it where names and units are listed again (current-values file, pages).
bool HasForbiddenCharacter(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F || c == ',' || c == '=' || c == '[' || c == ']';
    });
}

bool HasOuterSpace(std::string_view text) {
    return !text.empty() && (text.front() == ' ' || text.back() == ' ');
}

}  // namespace

StationSensorDefine::StationSensorDefine(Profile& profile, std::string defineFile)
    : m_profile(profile), m_defineFile(std::move(defineFile)) {}

StationSensorInput StationSensorDefine::InputFrom(const CSensoren& sensor) const {
    auto text = [&](std::string_view key, std::string_view defaultValue, std::size_t maxLength) {
        return m_profile.ReadText(m_defineFile, sensor.m_identifier, key, defaultValue, maxLength);
    };
    StationSensorInput in;
    in.identifier = sensor.m_identifier;
    in.name = sensor.m_name;
    in.unit = sensor.m_unit;
    in.unitGroup = text("UnitGroup", "", 49);
    in.factor = text("Faktor", "*1", 19);
    in.offset = text("Offset", "0", 19);
    in.beaufort = sensor.m_beaufort;
    in.lowerLimit = text("Untergrenze Wert", "0", kMaxLimit);
    in.upperLimit = text("Obergrenze Wert", "0", kMaxLimit);
    in.decimals = std::clamp(sensor.m_decimals, 0, kMaxDecimals);
    static_cast<SensorDisplayInput&>(in) = DisplayInputOf(sensor);
    // The dialog's radio buttons know only these two values.
    in.scalingRange = in.scalingRange == 1 ? 1 : 0;
    in.diagramType = in.diagramType == 1 ? 1 : 0;
    in.windRoseEnabled = sensor.m_windRose.enabled;
    return in;
}

std::optional<std::string> StationSensorDefine::Validate(const StationSensorInput& input) {
    auto fail = [](std::string_view message) { return std::optional<std::string>(message); };

    if (input.name.empty()) return fail(kMissingName);
    if (HasForbiddenCharacter(input.name)) return fail(kNameNotAllowed);
    // A blank at either end shows nowhere, but keeps the name from matching the one typed.
    if (HasOuterSpace(input.name)) return fail(kNameBlank);
    if (input.unit.empty()) return fail(kUnitMissing);
    if (HasForbiddenCharacter(input.unit) || HasOuterSpace(input.unit))
        return fail(kUnitNotAllowed);
    if (input.unit.size() > kMaxUnit) return fail(kUnitTooLong);

    // A limit that is no number would read back as 0 and make every value invalid.
    if (!IsLimitText(input.lowerLimit) || !IsLimitText(input.upperLimit) ||
        TextNumbers::Atof(input.lowerLimit) >= TextNumbers::Atof(input.upperLimit)) {
        return fail(kCheckLimits);
    }
    if (input.considerMinScale && input.considerMaxScale &&
        TextNumbers::Atoi(input.minScale) >= TextNumbers::Atoi(input.maxScale)) {
        return fail(kScalesNotCorrect);
    }
    return std::nullopt;
}

bool StationSensorDefine::AffectsStatisticsOrDiagram(const StationSensorInput& before,
                                                     const StationSensorInput& after) {
    auto unit = [](const StationSensorInput& in) {
        return std::tie(in.unit, in.unitGroup, in.factor, in.offset, in.beaufort);
    };
    auto scales = [](const StationSensorInput& in) {
        return std::tie(in.minScale, in.maxScale, in.considerMinScale, in.considerMaxScale,
                        in.scalingRange);
    };
    auto statistics = [](const StationSensorInput& in) {
        return std::tie(in.showMaximum, in.showMinimum, in.showMean, in.showSum, in.sumMode,
                        in.showActivity, in.activityMode, in.activityThreshold, in.showTendency,
                        in.tendencyMode, in.tendencyTimeBase);
    };
    return unit(before) != unit(after) || scales(before) != scales(after) ||
           statistics(before) != statistics(after);
}

std::vector<std::pair<std::string, std::string>> StationSensorDefine::Keys(
    const StationSensorInput& in) {
    std::vector<std::pair<std::string, std::string>> keys;
    // Quoted where the profile would take blanks or quotes off the value's ends.
    auto text = [&keys](std::string key, std::string value) {
        keys.emplace_back(std::move(key), ProfileValue(value));
    };
    auto number = [&](std::string key, int value) { text(std::move(key), std::to_string(value)); };
    auto flag = [&](std::string key, bool value) { text(std::move(key), YesNo(value)); };

    number("NachKomma", in.decimals);
    text("Windrose", EnabledDisabled(in.windRoseEnabled));
    if (in.windRose) {
        text("WindroseSensor1", in.windRose->sensor1);
        text("WindroseSensor2", in.windRose->sensor2);
        text("WindroseSensor3", in.windRose->sensor3);
        text("Sens1Ausblenden", EnabledDisabled(in.windRose->fadeOutSensor1));
    }
    text("Name", in.name);
    text("Unit", in.unit);
    text("UnitGroup", in.unitGroup);
    text("Faktor", in.factor);
    text("Offset", in.offset);
    text("Untergrenze Wert", in.lowerLimit);
    text("Obergrenze Wert", in.upperLimit);
    number("Farbe", static_cast<int>(in.colour));
    text("Min Skalierung", in.minScale);
    text("Max Skalierung", in.maxScale);
    flag("Anzeige Aktivitaet", in.showActivity);
    number("Aktivitaet Auswahl", in.activityMode);
    text("Aktivitaet Wert", in.activityThreshold);
    flag("Anzeige Durchschnitt", in.showMean);
    flag("Anzeige Minimum", in.showMinimum);
    flag("Anzeige Maximum", in.showMaximum);
    flag("Anzeige Summe", in.showSum);
    number("Auswahl Summe", in.sumMode);
    flag("Anzeige Tendenz", in.showTendency);
    number("Auswahl Tendenz", in.tendencyMode);
    number("Zeitbasis Tendenz", in.tendencyTimeBase);
    flag("Anzeige Min-Skalierung", in.considerMinScale);
    flag("Anzeige Max-Skalierung", in.considerMaxScale);
    number("Diagrammart", in.diagramType);
    number("Skalierungsbereich", in.scalingRange);
    flag("Beaufort", in.beaufort);
    return keys;
}

bool StationSensorDefine::Store(const StationSensorInput& input) {
    return m_profile.WriteKeys(m_defineFile, input.identifier, Keys(input));
}

void StationSensorDefine::ApplyTo(const StationSensorInput& in, CSensoren& sensor) {
    sensor.m_name = in.name;
    sensor.m_unit = in.unit;
    sensor.m_factor = TextNumbers::AtofFloat(in.factor);
    sensor.m_offset = TextNumbers::AtofFloat(in.offset);
    sensor.m_beaufort = in.beaufort;
    sensor.m_lowerLimit = TextNumbers::AtofFloat(in.lowerLimit);
    sensor.m_upperLimit = TextNumbers::AtofFloat(in.upperLimit);
    sensor.m_decimals = in.decimals;
    sensor.m_minScale = TextNumbers::Atoi(in.minScale);
    sensor.m_maxScale = TextNumbers::Atoi(in.maxScale);
    sensor.m_showMinScale = in.considerMinScale;
    sensor.m_showMaxScale = in.considerMaxScale;
    sensor.m_scalingRange = in.scalingRange;
    sensor.m_diagramType = in.diagramType;
    sensor.m_colour = in.colour;
    sensor.m_showMaximum = in.showMaximum;
    sensor.m_showMinimum = in.showMinimum;
    sensor.m_showMean = in.showMean;
    sensor.m_showSum = in.showSum;
    sensor.m_sumMode = in.sumMode;
    sensor.m_showActivity = in.showActivity;
    sensor.m_activityMode = in.activityMode;
    sensor.m_activityThreshold = TextNumbers::AtofFloat(in.activityThreshold);
    sensor.m_showTendency = in.showTendency;
    sensor.m_tendencyMode = in.tendencyMode;
    sensor.m_tendencyTimeBase = in.tendencyTimeBase;
    sensor.m_windRose.enabled = in.windRoseEnabled;
    if (in.windRose) {
        sensor.m_windRose.fadeOutSensor1 = in.windRose->fadeOutSensor1;
        sensor.m_windRose.sensor1 = in.windRose->sensor1;
        sensor.m_windRose.sensor2 = in.windRose->sensor2;
        sensor.m_windRose.sensor3 = in.windRose->sensor3;
    }
}

bool StationSensorDefine::IsLimitText(std::string_view text) {
    if (text.empty() || text.size() > kMaxLimit) return false;
    if (text.front() == '-') text.remove_prefix(1);
    bool point = false;
    bool digit = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            digit = true;
        } else {
            return false;
        }
    }
    return digit;
}
