#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class Profile;
class ProgramPaths;
class SensorSet;

// The thirteen sensor assignments of the AWEKAS upload, in the order of the dialog.
enum class AwekasSensor : std::size_t {
    kTemperature,
    kHumidity,
    kAirPressure,
    kPrecipitation,
    kWindSpeed,
    kWindDirection,
    kWindPeak,
    kSolarRadiation,
    kUvIndex,
    kLightIntensity,
    kSunnyHours,
    kSoilTemperature,
    kRainRate,
};
inline constexpr std::size_t kAwekasSensorCount = 13;

// The dialog's label and the awekas.ini key of one assignment.
struct AwekasSensorKey {
    std::string_view label;
    std::string_view key;
};
inline constexpr std::array<AwekasSensorKey, kAwekasSensorCount> kAwekasSensorKeys = {{
    {"Temperature:", "SensTE"},
    {"Humidity:", "SensFE"},
    {"Air pressure:", "SensDR"},
    {"Precipitiation:", "SensRE"},
    {"Wind speed:", "SensWG"},
    {"Wind direction:", "SensWR"},
    {"Wind peak:", "SensWS"},
    {"Solar radiation:", "SensSO"},
    {"UV-Index:", "SensUVI"},
    {"Light intensity:", "SensHELL"},
    {"Sunny hours:", "SensSOH"},
    {"Soil temperature:", "SensGrndTE"},
    {"Rainrate mm/h:", "SensRDH"},
}};

inline constexpr std::string_view kAwekasSection = "Awekas";
inline constexpr std::string_view kAwekasSoftwareFlag = "KAVO_3.36";
// Every text value is read with this limit.
inline constexpr std::size_t kAwekasMaxText = 256;

// The AWEKAS settings of awekas.ini: one process-wide record, loaded at
// program start and saved by the settings dialog. The password is kept in
// plain text, so the file is saved readable by its owner only.
struct AwekasSettings {
    std::string password;
    std::string user;
    bool proxyOn = false;
    unsigned proxyPort = 0;
    std::string proxyAddress;
    std::string proxyPassword;
    std::string proxyUser;
    std::string softwareFlag{kAwekasSoftwareFlag};
    std::array<std::string, kAwekasSensorCount> sensors;  // identifiers, by AwekasSensor
    bool active = false;

    const std::string& Sensor(AwekasSensor which) const {
        return sensors[static_cast<std::size_t>(which)];
    }
    std::string& Sensor(AwekasSensor which) { return sensors[static_cast<std::size_t>(which)]; }

    bool operator==(const AwekasSettings&) const = default;
};

// awekas.ini in the program folder.
std::string AwekasSettingsPath(const ProgramPaths& paths);

// Reads every key of `file` with the empty text as default: a missing key (or
// file) leaves its setting empty, "FALSE" or 0. Switches are on only for "TRUE".
AwekasSettings LoadAwekasSettings(Profile& profile, const std::string& file);

// Writes every key in the dialog's order (the sensor keys, "Proxy", "Aktiv",
// "ProxyAddr", "ProxyPort", "ProxyUser", "ProxyPasswort", "User", "Passwort"),
// after making the file owner-only (0600). False when the file cannot be made
// owner-only (nothing is written then) or a key cannot be written.
bool SaveAwekasSettings(Profile& profile, const std::string& file, const AwekasSettings& settings);

// Which fields of the settings dialog are enabled.
struct AwekasDialogEnabling {
    // User, password, the thirteen sensor boxes: follow "Activate AWEKAS".
    bool uploadFields = false;
    // Proxy address, port, user and password: follow "Http Proxy".
    bool proxyFields = false;
    bool operator==(const AwekasDialogEnabling&) const = default;
};
// The proxy check box and the software flag stay as they are in any case.
AwekasDialogEnabling AwekasDialogFieldsEnabled(bool activeChecked, bool proxyChecked);

// One entry of a sensor box: a sensor of the station's current values.
struct AwekasSensorChoice {
    std::string name;
    std::string identifier;
    bool operator==(const AwekasSensorChoice&) const = default;
};
// The entries of every sensor box: all sensors of the current values, in their order.
std::vector<AwekasSensorChoice> AwekasSensorChoices(const SensorSet& sensors);
// The entry to select for `assignment`: the first with that identifier (exact case).
std::optional<std::size_t> AwekasSelectedChoice(const std::vector<AwekasSensorChoice>& choices,
                                                std::string_view assignment);

// What the dialog's OK takes over. The proxy user and password are taken too:
// a proxy that asks for them gets what the person typed, not an older file's.
struct AwekasDialogFields {
    bool active = false;
    std::string user;
    std::string password;
    bool proxyOn = false;
    std::string proxyAddress;
    unsigned proxyPort = 0;
    std::string proxyUser;
    std::string proxyPassword;
    // The identifier chosen in each sensor box; nothing keeps the old assignment.
    std::array<std::optional<std::string>, kAwekasSensorCount> sensors;
};
// Applies the dialog's OK to `settings` (saving is the caller's next step).
void ApplyAwekasDialog(const AwekasDialogFields& fields, AwekasSettings& settings);
