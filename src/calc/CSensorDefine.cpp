#include "calc/CSensorDefine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <utility>

#include "model/CSensoren.h"
#include "model/CSumHour.h"
#include "model/SensorFiles.h"
#include "model/TextNumbers.h"
#include "platform/Profile.h"

namespace {

constexpr std::string_view kInternSection = "Interne Sensoren";
constexpr std::string_view kListKey = "iKennung";
// What the loader reads of "iKennung" and "Formel".
constexpr std::size_t kMaxListRead = 999;
constexpr std::size_t kMaxFormula = 999;
// Rewriting the list starts from all of it, so a longer hand-edited list loses nothing.
constexpr std::size_t kMaxRewriteRead = 65535;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Identifiers end up in data lines, where digits, "." and "-" start the value
// and "," ends the field, and as INI section names.
bool IsIdentifierText(std::string_view text) {
    return text.size() <= CSensorDefine::kMaxNewIdentifier &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

// A name or unit is a value line of intern.ini: a line end would split it, and
// a longer text would be cut when the file is loaded again.
bool IsValueText(std::string_view text, std::size_t maxLength) {
    return text.size() <= maxLength &&
           std::none_of(text.begin(), text.end(),
                        [](char c) { return static_cast<unsigned char>(c) < 0x20; });
}

// A blank at either end of a name shows nowhere, but keeps it from matching the one typed.
bool HasOuterBlank(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\v'; };
    return !text.empty() && (blank(text.front()) || blank(text.back()));
}

const char* YesNo(bool flag) { return flag ? "ja" : "nein"; }
const char* EnabledDisabled(bool flag) { return flag ? "Enabled" : "Disabled"; }

}  // namespace

CSensorDefine::CSensorDefine(Profile& profile, std::string internFile,
                             std::vector<std::string> stationIdentifiers)
    : m_profile(profile),
      m_internFile(std::move(internFile)),
      m_stationIdentifiers(std::move(stationIdentifiers)) {}

bool CSensorDefine::IsNumber(std::string_view text) {
    if (text.size() >= 2 && text.front() == '-') text.remove_prefix(1);
    bool point = false;
    for (const char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (!IsDigit(c)) {
            return false;
        }
    }
    return true;
}

std::optional<int> CSensorDefine::LimitFormat(std::string_view text) const {
    if (text.empty()) return std::nullopt;
    if (IsNumber(text)) return 0;
    if (IsStationIdentifier(text)) return 1;
    return std::nullopt;
}

std::optional<int> CSensorDefine::ReplacementFormat(std::string_view text) const {
    if (text.empty()) return 0;
    if (IsNumber(text)) return 1;
    if (IsStationIdentifier(text)) return 2;
    return std::nullopt;
}

FormulaCheck::Outcome CSensorDefine::CheckFormula(std::string_view formula) const {
    return FormulaCheck::Check(formula, m_stationIdentifiers);
}

CSensorDefine::Validation CSensorDefine::Validate(const VirtualSensorInput& input,
                                                  bool isNew) const {
    Validation validation;
    auto fail = [&validation](std::string_view message) {
        validation.message = message;
        return validation;
    };

    if (input.identifier.empty()) return fail(kMissingIdentifier);
    if (isNew) {
        // An identifier loaded from a hand-edited file may be anything; only new ones are held
        // to the form that data lines and sections can carry.
        if (!IsIdentifierText(input.identifier)) return fail(kIdentifierNotCorrect);
        const std::vector<std::string> virtualIdentifiers = SplitIdentifierList(
            m_profile.ReadText(m_internFile, kInternSection, kListKey, "", kMaxListRead));
        const auto known = [&input](const std::vector<std::string>& list) {
            return std::find(list.begin(), list.end(), input.identifier) != list.end();
        };
        if (known(m_stationIdentifiers) || known(virtualIdentifiers)) {
            return fail(kIdentifierExists);
        }
    }
    if (input.name.empty()) return fail(kMissingName);
    if (!IsValueText(input.name, kMaxName)) return fail(kNameNotCorrect);
    if (HasOuterBlank(input.name)) return fail(kNameBlank);

    const std::optional<int> lowerFormat = LimitFormat(input.lowerLimit);
    const std::optional<int> upperFormat = LimitFormat(input.upperLimit);
    if (!lowerFormat || !upperFormat || input.lowerLimit.size() > kMaxLimitText ||
        input.upperLimit.size() > kMaxLimitText) {
        return fail(kCheckLimits);
    }
    const std::optional<int> underflowFormat = ReplacementFormat(input.underflowValue);
    if (!underflowFormat) return fail(kUnderflowNotCorrect);
    const std::optional<int> overflowFormat = ReplacementFormat(input.overflowValue);
    if (!overflowFormat) return fail(kOverflowNotCorrect);

    if (input.unit.empty()) return fail(kUnitMissing);
    if (!IsValueText(input.unit, kMaxUnit)) return fail(kUnitNotCorrect);

    validation.formulaCheck = CheckFormula(input.formula);
    const FormulaCheck::Outcome& check = *validation.formulaCheck;
    // Spaces only leave an empty formula, which the check would accept.
    if (check.result == FormulaCheck::Result::Missing || check.formula.empty()) {
        return fail(FormulaCheck::kMissingFormula);
    }
    // A longer formula would be cut when it is loaded and compute something else.
    if (check.result == FormulaCheck::Result::Invalid || check.formula.size() > kMaxFormula) {
        return fail(FormulaCheck::kPhraseNotCorrect);
    }

    const bool bothScales = input.considerMinScale && input.considerMaxScale;
    if (bothScales && TextNumbers::Atoi(input.minScale) >= TextNumbers::Atoi(input.maxScale)) {
        return fail(kScalesNotCorrect);
    }

    CheckedVirtualSensor sensor;
    sensor.input = input;
    sensor.input.formula = check.formula;
    if (!bothScales) sensor.input.scalingRange = 0;
    sensor.lowerLimitFormat = *lowerFormat;
    sensor.upperLimitFormat = *upperFormat;
    sensor.underflowFormat = *underflowFormat;
    sensor.overflowFormat = *overflowFormat;
    sensor.formulaIdentifiers = check.identifiers;
    validation.sensor = std::move(sensor);
    return validation;
}

bool CSensorDefine::Store(const CheckedVirtualSensor& sensor, bool isNew) {
    const VirtualSensorInput& in = sensor.input;
    std::optional<std::string> listBefore;
    if (isNew) {
        listBefore = m_profile.ReadText(m_internFile, kInternSection, kListKey, "", kMaxRewriteRead);
        std::vector<std::string> list = SplitIdentifierList(*listBefore);
        list.push_back(in.identifier);
        const std::string text = JoinIdentifierList(list);
        // The loader would not see a sensor past the readable part of the list.
        if (text.size() > kMaxListRead) return false;
        if (!m_profile.WriteString(m_internFile, kInternSection, kListKey, text)) return false;
    }

    bool written = true;
    auto text = [&](std::string_view key, std::string_view value) {
        // After a failed write the file is left as it is.
        if (written)
            written = m_profile.WriteString(m_internFile, in.identifier, key, ProfileValue(value));
    };
    auto number = [&](std::string_view key, int value) { text(key, std::to_string(value)); };
    auto flag = [&](std::string_view key, bool value) { text(key, YesNo(value)); };

    text("Name", in.name);
    text("Unit", in.unit);
    number("NachKomma", in.decimals);
    text("Formel", in.formula);
    text("FormelKennungen", sensor.formulaIdentifiers);
    text("Untergrenze Wert", in.lowerLimit);
    number("Untergrenze Format", sensor.lowerLimitFormat);
    text("Unterschreitwert", in.underflowValue);
    number("Unterschreit Format", sensor.underflowFormat);
    text("Obergrenze Wert", in.upperLimit);
    number("Obergrenze Format", sensor.upperLimitFormat);
    text("Ueberschreitwert", in.overflowValue);
    number("Ueberschreit Format", sensor.overflowFormat);
    number("Farbe", static_cast<int>(in.colour));
    number("Diagrammart", in.diagramType);
    text("Min Skalierung", in.minScale);
    text("Max Skalierung", in.maxScale);
    flag("Anzeige Min-Skalierung", in.considerMinScale);
    flag("Anzeige Max-Skalierung", in.considerMaxScale);
    number("Skalierungsbereich", in.scalingRange);
    flag("Anzeige Maximum", in.showMaximum);
    flag("Anzeige Minimum", in.showMinimum);
    flag("Anzeige Durchschnitt", in.showMean);
    flag("Anzeige Summe", in.showSum);
    number("Auswahl Summe", in.sumMode);
    flag("Anzeige Aktivitaet", in.showActivity);
    number("Aktivitaet Auswahl", in.activityMode);
    text("Aktivitaet Wert", in.activityThreshold);
    flag("Anzeige Tendenz", in.showTendency);
    number("Auswahl Tendenz", in.tendencyMode);
    number("Zeitbasis Tendenz", in.tendencyTimeBase);
    flag("Summe Stunde", in.hourlySum);
    if (in.windRose) {
        text("Windrose", EnabledDisabled(in.windRose->enabled));
        text("Sens1Ausblenden", EnabledDisabled(in.windRose->fadeOutSensor1));
        text("WindroseSensor1", in.windRose->sensor1);
        text("WindroseSensor2", in.windRose->sensor2);
        text("WindroseSensor3", in.windRose->sensor3);
    }
    if (!written && listBefore) {
        // A new sensor is taken out again rather than listed half written.
        m_profile.WriteString(m_internFile, in.identifier, std::nullopt, std::nullopt);
        m_profile.WriteString(m_internFile, kInternSection, kListKey, *listBefore);
    }
    return written;
}

bool CSensorDefine::Delete(std::string_view identifier) {
    // The list first: a section left behind by a failed second write is never
    // loaded, while a listed sensor without its section would come back empty.
    std::vector<std::string> list = SplitIdentifierList(
        m_profile.ReadText(m_internFile, kInternSection, kListKey, "", kMaxRewriteRead));
    const auto found = std::find(list.begin(), list.end(), identifier);
    if (found != list.end()) list.erase(found);
    if (!m_profile.WriteString(m_internFile, kInternSection, kListKey, JoinIdentifierList(list)))
        return false;
    m_profile.WriteString(m_internFile, identifier, std::nullopt, std::nullopt);
    return true;
}

VirtualSensorInput CSensorDefine::InputFrom(const CSensoren& sensor) {
    VirtualSensorInput in;
    in.identifier = sensor.m_identifier;
    in.name = sensor.m_name;
    in.unit = sensor.m_unit;
    in.formula = sensor.m_formula;
    in.lowerLimit = sensor.m_lowerLimitText;
    in.upperLimit = sensor.m_upperLimitText;
    in.underflowValue = sensor.m_underflowText;
    in.overflowValue = sensor.m_overflowText;
    in.decimals = sensor.m_decimals;
    static_cast<SensorDisplayInput&>(in) = DisplayInputOf(sensor);
    in.hourlySum = sensor.m_hourlySum;
    return in;
}

std::unique_ptr<CSensoren> CSensorDefine::ToSensor(const CheckedVirtualSensor& checked) {
    auto sensor = std::make_unique<CSensoren>();
    ApplyTo(checked, *sensor);
    return sensor;
}

void CSensorDefine::ApplyTo(const CheckedVirtualSensor& checked, CSensoren& sensor) {
    const VirtualSensorInput& in = checked.input;
    sensor.m_identifier = in.identifier;
    sensor.m_name = in.name;
    sensor.m_unit = in.unit;
    // A virtual sensor is never converted; these are what loading it gives.
    sensor.m_factor = 0.0f;
    sensor.m_offset = 0.0f;
    sensor.m_colour = in.colour;
    sensor.m_lowerLimit = TextNumbers::AtofFloat(in.lowerLimit);
    sensor.m_lowerLimitText = in.lowerLimit;
    sensor.m_lowerLimitFormat = checked.lowerLimitFormat;
    sensor.m_underflowText = in.underflowValue;
    sensor.m_underflowFormat = checked.underflowFormat;
    sensor.m_upperLimit = TextNumbers::AtofFloat(in.upperLimit);
    sensor.m_upperLimitText = in.upperLimit;
    sensor.m_upperLimitFormat = checked.upperLimitFormat;
    sensor.m_overflowText = in.overflowValue;
    sensor.m_overflowFormat = checked.overflowFormat;
    sensor.m_minScale = TextNumbers::Atoi(in.minScale);
    sensor.m_maxScale = TextNumbers::Atoi(in.maxScale);
    sensor.m_showTendency = in.showTendency;
    sensor.m_tendencyTimeBase = in.tendencyTimeBase;
    sensor.m_tendencyMode = in.tendencyMode;
    sensor.m_showSum = in.showSum;
    sensor.m_sumMode = in.sumMode;
    sensor.m_showActivity = in.showActivity;
    sensor.m_activityMode = in.activityMode;
    sensor.m_activityThreshold = TextNumbers::AtofFloat(in.activityThreshold);
    sensor.m_showMinScale = in.considerMinScale;
    sensor.m_showMaxScale = in.considerMaxScale;
    sensor.m_showMean = in.showMean;
    sensor.m_showMaximum = in.showMaximum;
    sensor.m_showMinimum = in.showMinimum;
    sensor.m_diagramType = in.diagramType;
    sensor.m_scalingRange = in.scalingRange;
    sensor.m_beaufort = false;
    sensor.m_virtual = true;
    sensor.m_formula = in.formula;
    sensor.m_formulaIdentifiers = checked.formulaIdentifiers;
    sensor.m_decimals = in.decimals;
    sensor.m_hourlySum = in.hourlySum;
    if (in.windRose) sensor.m_windRose = *in.windRose;
    // An edited sensor starts a new hourly sum, as a loaded one would.
    sensor.m_sumHour = in.hourlySum ? std::make_unique<CSumHour>() : nullptr;
}

bool CSensorDefine::IsStationIdentifier(std::string_view text) const {
    return std::find(m_stationIdentifiers.begin(), m_stationIdentifiers.end(), text) !=
           m_stationIdentifiers.end();
}
