#pragma once

// StationSensorDefine holds the rules of the "Definition of sensors" dialog.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "calc/SensorDisplayInput.h"
#include "model/WindRoseSettings.h"

class CSensoren;
class Profile;

// Every field of the "Definition of sensors" dialog for one station sensor, as entered.
struct StationSensorInput : SensorDisplayInput {
    std::string identifier;  // read only
    std::string name;
    // Unit, group and the conversion texts come together from "Unit selection".
    std::string unit;
    std::string unitGroup;
    std::string factor;
    std::string offset;
    bool beaufort = false;
    std::string lowerLimit;
    std::string upperLimit;
    int decimals = 2;
    bool windRoseEnabled = false;
    // Set once the wind-rose settings were edited: their keys are written then.
    std::optional<WindRoseSettings> windRose;

    bool operator==(const StationSensorInput&) const = default;
};

// The rules of the "Definition of sensors" dialog (CNewORB): what it shows for
// a station sensor, the OK validation, the define.ini keys it writes, and how
// the sensor record takes the result over. The dialog shows fields and messages only.
class StationSensorDefine {
public:
    static constexpr std::string_view kMissingName = "Missing sensorname!";
    static constexpr std::string_view kNameBlank = "Sensorname begins or ends with a blank!";
    static constexpr std::string_view kUnitMissing = "Unit missing!";
    static constexpr std::string_view kCheckLimits = "Please check upper and lower limit!";
    static constexpr std::string_view kScalesNotCorrect = "Min and max scales not correct!";
    // define.ini keeps a name or unit on one line, and other files list them
    // between commas and "=": such characters would come back as something else.
    static constexpr std::string_view kNameNotAllowed =
        "The sensorname must not contain \",\", \"=\", \"[\", \"]\" or line breaks!";
    static constexpr std::string_view kUnitNotAllowed =
        "The unit must not contain \",\", \"=\", \"[\", \"]\" or line breaks!";
    static constexpr std::string_view kUnitTooLong = "The unit may have at most 9 characters!";

    // What define.ini gives back of a name, a unit, a limit and a scale.
    static constexpr std::size_t kMaxName = 49;
    static constexpr std::size_t kMaxUnit = 9;
    static constexpr std::size_t kMaxLimit = 9;
    static constexpr std::size_t kMaxScale = 9;
    static constexpr std::size_t kMaxThreshold = 19;
    static constexpr int kMaxDecimals = 10;

    // `defineFile` is define.ini's full path.
    StationSensorDefine(Profile& profile, std::string defineFile);

    // The dialog's fields for `sensor`; the texts that the record keeps only
    // as numbers (unit group, factor, offset, limits) come from define.ini.
    StationSensorInput InputFrom(const CSensoren& sensor) const;

    // OK: the checks in the dialog's order; the message of the first failure,
    // or nothing when the input is accepted.
    static std::optional<std::string> Validate(const StationSensorInput& input);

    // Whether going from `before` to `after` changes the statistics or the
    // diagram: the unit, the scale settings or the statistics options.
    static bool AffectsStatisticsOrDiagram(const StationSensorInput& before,
                                           const StationSensorInput& after);

    // The sensor's define.ini keys in the order they are written.
    static std::vector<std::pair<std::string, std::string>> Keys(const StationSensorInput& input);
    // Writes the keys in one change of define.ini; false (file unchanged) when it cannot be
    // written.
    bool Store(const StationSensorInput& input);

    // The sensor record takes over every value, as loading define.ini would give it.
    static void ApplyTo(const StationSensorInput& input, CSensoren& sensor);

    // A limit is a decimal number: an optional "-", digits and at most one ".",
    // at least one digit, and no longer than define.ini keeps.
    static bool IsLimitText(std::string_view text);

private:
    Profile& m_profile;
    std::string m_defineFile;
};
