#include "publish/AwekasSettings.h"

#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/ProgramPaths.h"
#include "storage/SensorSet.h"

namespace {

constexpr std::string_view kTrue = "TRUE";
constexpr std::string_view kFalse = "FALSE";

std::string_view Switch(bool on) { return on ? kTrue : kFalse; }

}  // namespace

std::string AwekasSettingsPath(const ProgramPaths& paths) { return paths.InFolder("awekas.ini"); }

AwekasSettings LoadAwekasSettings(Profile& profile, const std::string& file) {
    const auto read = [&](std::string_view key) {
        return profile.ReadText(file, kAwekasSection, key, "", kAwekasMaxText);
    };
    AwekasSettings settings;
    settings.password = read("Passwort");
    settings.user = read("User");
    settings.proxyOn = read("Proxy") == kTrue;
    // Unsigned 32-bit as written with "%u", so every saved port reads back; empty or missing: 0.
    settings.proxyPort = profile.GetInt(file, kAwekasSection, "ProxyPort", 0);
    settings.proxyAddress = read("ProxyAddr");
    settings.proxyPassword = read("ProxyPasswort");
    settings.proxyUser = read("ProxyUser");
    for (std::size_t i = 0; i < kAwekasSensorCount; ++i)
        settings.sensors[i] = read(kAwekasSensorKeys[i].key);
    settings.active = read("Aktiv") == kTrue;
    return settings;
}

bool SaveAwekasSettings(Profile& profile, const std::string& file, const AwekasSettings& settings) {
    // Before the first key: every replacement of the file keeps the mode it finds.
    if (!FileSystem::RestrictToOwner(file)) return false;
    bool written = true;
    const auto write = [&](std::string_view key, std::string_view value) {
        written = profile.WriteText(file, kAwekasSection, key, ProfileValue(value)) && written;
    };
    for (std::size_t i = 0; i < kAwekasSensorCount; ++i)
        write(kAwekasSensorKeys[i].key, settings.sensors[i]);
    write("Proxy", Switch(settings.proxyOn));
    write("Aktiv", Switch(settings.active));
    write("ProxyAddr", settings.proxyAddress);
    write("ProxyPort", std::to_string(settings.proxyPort));
    write("ProxyUser", settings.proxyUser);
    write("ProxyPasswort", settings.proxyPassword);
    write("User", settings.user);
    write("Passwort", settings.password);
    return written;
}

AwekasDialogEnabling AwekasDialogFieldsEnabled(bool activeChecked, bool proxyChecked) {
    return {.uploadFields = activeChecked, .proxyFields = proxyChecked};
}

std::vector<AwekasSensorChoice> AwekasSensorChoices(const SensorSet& sensors) {
    std::vector<AwekasSensorChoice> choices;
    for (const auto& current : sensors.CurrentValues()) {
        const std::string& name =
            current->m_sensor != nullptr ? current->m_sensor->m_name : current->m_identifier;
        choices.push_back({name, current->m_identifier});
    }
    return choices;
}

std::optional<std::size_t> AwekasSelectedChoice(const std::vector<AwekasSensorChoice>& choices,
                                                std::string_view assignment) {
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (choices[i].identifier == assignment) return i;
    return std::nullopt;
}

void ApplyAwekasDialog(const AwekasDialogFields& fields, AwekasSettings& settings) {
    settings.active = fields.active;
    settings.user = fields.user;
    settings.password = fields.password;
    settings.proxyOn = fields.proxyOn;
    settings.proxyAddress = fields.proxyAddress;
    settings.proxyPort = fields.proxyPort;
    settings.proxyUser = fields.proxyUser;
    settings.proxyPassword = fields.proxyPassword;
    for (std::size_t i = 0; i < kAwekasSensorCount; ++i)
        if (fields.sensors[i]) settings.sensors[i] = *fields.sensors[i];
}
