#pragma once

#include <ctime>
#include <string>
#include <vector>

#include "app/StationView.h"
#include "model/StationSettings.h"
#include "platform/IniProfile.h"
#include "publish/AwekasSettings.h"
#include "storage/CAktuell.h"
#include "storage/SensorSet.h"

// A station whose sensors come from no files: the test sets the current values.
class AwekasStation final : public StationView {
public:
    explicit AwekasStation(std::vector<std::string> identifiers, std::time_t received = 0)
        : m_identifiers(std::move(identifiers)), m_received(received) {
        IniProfile profile;
        m_sensors.Load(profile, "/nonexistent/define.ini", "/nonexistent/intern.ini",
                       m_identifiers);
    }
    const StationSettings& Settings() const override { return m_settings; }
    const SensorSet& Sensors() const override { return m_sensors; }
    const std::vector<std::string>& SensorIdentifiers() const override { return m_identifiers; }
    std::time_t LastStoredTime() const override { return m_received; }
    std::time_t LastReceivedTime() const override { return m_received; }
    const std::string& DataFolder() const override { return m_folder; }
    const std::string& DataFileExtension() const override { return m_extension; }

    // The current value at `index` in the station's order.
    CAktuell& Current(std::size_t index) { return *m_sensors.CurrentValues().at(index); }

private:
    StationSettings m_settings;
    std::vector<std::string> m_identifiers;
    std::time_t m_received;
    SensorSet m_sensors;
    std::string m_folder = "/station/Daten";
    std::string m_extension = ".orb";
};

// Active settings with every assignment made: TE, FE, DR, RE, WG, WR, WS, SO,
// UV, LX (light), SH (sunny hours), BT (soil), RR (rain rate).
inline AwekasSettings AssignedSettings() {
    AwekasSettings settings;
    settings.active = true;
    settings.user = "wetterfrosch";
    settings.password = "geheim";
    settings.sensors = {"TE", "FE", "DR", "RE", "WG", "WR", "WS",
                        "SO", "UV", "LX", "SH", "BT", "RR"};
    return settings;
}

// MD5 of "geheim".
inline constexpr const char* kGeheimHash = "e8636ea013e682faf61f56ce1cb1ab5c";
