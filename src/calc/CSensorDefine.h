#pragma once

// CSensorDefine holds the rules of the sensor definition dialog.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calc/FormulaCheck.h"
#include "calc/SensorDisplayInput.h"
#include "model/WindRoseSettings.h"

class CSensoren;
class Profile;

// Every field of the "Virtual sensor" dialog, as entered.
struct VirtualSensorInput : SensorDisplayInput {
    std::string identifier;
    std::string name;
    std::string unit;
    std::string formula;
    std::string lowerLimit;
    std::string upperLimit;
    std::string underflowValue;
    std::string overflowValue;
    int decimals = 2;
    bool hourlySum = false;
    // Absent: the wind-rose keys in intern.ini are left as they are.
    std::optional<WindRoseSettings> windRose;
};

// An input that passed the validation, with what the validation derived.
struct CheckedVirtualSensor {
    // As entered, except the formula (space-free) and the scaling range (0
    // unless both scales are considered).
    VirtualSensorInput input;
    int lowerLimitFormat = 0;  // 0 number, 1 station identifier
    int upperLimitFormat = 0;
    int underflowFormat = 0;  // 0 none, 1 number, 2 station identifier
    int overflowFormat = 0;
    std::string formulaIdentifiers;  // "TA,TI,"
};

// The rules of the "Virtual sensor" dialog: classifying and validating its
// input, storing a virtual sensor in intern.ini and deleting one. The dialog
// shows fields and messages only.
class CSensorDefine {
public:
    static constexpr std::string_view kMissingIdentifier = "Missing identifier!";
    static constexpr std::string_view kIdentifierNotCorrect = "Identifier not correct!";
    static constexpr std::string_view kIdentifierExists = "New identifier already exists!";
    static constexpr std::string_view kMissingName = "Missing sensorname!";
    static constexpr std::string_view kNameNotCorrect = "Sensorname not correct!";
    static constexpr std::string_view kNameBlank = "Sensorname begins or ends with a blank!";
    static constexpr std::string_view kCheckLimits = "Please check upper and lower limit!";
    static constexpr std::string_view kUnderflowNotCorrect = "Underflow values not correct!";
    static constexpr std::string_view kOverflowNotCorrect = "Overflow value not correct!";
    static constexpr std::string_view kUnitMissing = "Unit missing!";
    static constexpr std::string_view kUnitNotCorrect = "Unit not correct!";
    // A new identifier is 1 or 2 upper-case letters; one from a hand-written
    // intern.ini may be as long as "iKennung" can list it with its comma.
    static constexpr std::size_t kMaxNewIdentifier = 2;
    static constexpr std::size_t kMaxListedIdentifier = 998;
    // What intern.ini keeps of a name and a unit when it is loaded.
    static constexpr std::size_t kMaxName = 49;
    static constexpr std::size_t kMaxUnit = 9;
    static constexpr std::size_t kMaxLimitText = 49;
    static constexpr std::string_view kScalesNotCorrect = "Min and max scales not correct!";

    struct Validation {
        // The message box text; empty when the input was accepted.
        std::string message;
        // Set once the formula check ran: its status text and error position
        // belong in the dialog even when a later step fails.
        std::optional<FormulaCheck::Outcome> formulaCheck;
        // Set when the input was accepted.
        std::optional<CheckedVirtualSensor> sensor;
    };

    // `internFile` is intern.ini's full path; `stationIdentifiers` are the
    // identifiers the station reported, which limits and formulas may use.
    CSensorDefine(Profile& profile, std::string internFile,
                  std::vector<std::string> stationIdentifiers);

    // Empty, or digits with at most one ".", with a leading "-" only when the
    // text has at least 2 characters: "-5", "2.5", "." and "" are numbers.
    static bool IsNumber(std::string_view text);
    // Limit kind: 0 number, 1 station identifier; nullopt for anything else,
    // the empty text included.
    std::optional<int> LimitFormat(std::string_view text) const;
    // Replacement kind: 0 empty, 1 number, 2 station identifier; nullopt otherwise.
    std::optional<int> ReplacementFormat(std::string_view text) const;

    // "Check formula".
    FormulaCheck::Outcome CheckFormula(std::string_view formula) const;

    // OK: the checks in the dialog's order, stopping at the first failure.
    // `isNew` is false when an existing sensor is edited.
    Validation Validate(const VirtualSensorInput& input, bool isNew) const;

    // Writes the sensor's section; a new sensor is first appended to
    // "Interne Sensoren"/"iKennung" and taken out again when a later write
    // fails. False when a write failed or the list would no longer fit the
    // 999 characters that are read.
    bool Store(const CheckedVirtualSensor& sensor, bool isNew);
    // Removes the sensor's section and its first entry in "iKennung".
    bool Delete(std::string_view identifier);

    // The dialog's fields for an existing sensor.
    static VirtualSensorInput InputFrom(const CSensoren& sensor);
    // A new sensor record for the document (with a CSumHour when "Sum/h" is set).
    static std::unique_ptr<CSensoren> ToSensor(const CheckedVirtualSensor& sensor);
    // Updates an edited sensor's record in place; its single-value window stays.
    static void ApplyTo(const CheckedVirtualSensor& checked, CSensoren& sensor);

private:
    bool IsStationIdentifier(std::string_view text) const;

    Profile& m_profile;
    std::string m_internFile;
    std::vector<std::string> m_stationIdentifiers;
};
