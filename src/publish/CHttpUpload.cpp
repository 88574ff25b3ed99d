#include "publish/CHttpUpload.h"

#include <algorithm>

#include "model/OutputList.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/ProgramPaths.h"
#include "publish/CWebAccess.h"

namespace {
constexpr std::string_view kSection = "HTTP";
constexpr std::string_view kSwitchSection = "HttpUpload";
constexpr std::string_view kSwitchKey = "Aktiv";
constexpr std::string_view kPasswordKey = "pass=";
}  // namespace

CHttpUpload::CHttpUpload(Profile& profile, std::string file)
    : m_profile(profile), m_file(std::move(file)) {}

std::string CHttpUpload::SettingsFile(const ProgramPaths& paths) {
    return paths.InFolder("http_up.ini");
}

void CHttpUpload::LoadUploadSettings() {
    HttpUploadSettings& s = m_settings;
    s.Database = m_profile.ReadText(m_file, kSection, "Datenbank", "", kMaxText);
    s.Table = m_profile.ReadText(m_file, kSection, "Tabelle", "", kMaxText);
    s.ScriptPath = m_profile.ReadText(m_file, kSection, "Pfad", "", kMaxScriptPath);
    s.UserName = m_profile.ReadText(m_file, kSection, "Benutzer", "", kMaxText);
    s.UserPassword = m_profile.ReadText(m_file, kSection, "Passwort", "", kMaxText);
    s.ProxyAddress = m_profile.ReadText(m_file, kSection, "Proxy", "", kMaxText);
    s.ProxyPort = m_profile.ReadInt(m_file, kSection, "Port", 0);
}

bool CHttpUpload::SaveUploadSettings() const {
    // Restricted before the password is written: the profile's replace keeps the mode.
    if (!FileSystem::RestrictToOwner(m_file)) return false;
    const HttpUploadSettings& s = m_settings;
    bool ok = m_profile.WriteText(m_file, kSection, "Datenbank", ProfileValue(s.Database));
    ok = m_profile.WriteText(m_file, kSection, "Tabelle", ProfileValue(s.Table)) && ok;
    ok = m_profile.WriteText(m_file, kSection, "Pfad", ProfileValue(s.ScriptPath)) && ok;
    ok = m_profile.WriteText(m_file, kSection, "Benutzer", ProfileValue(s.UserName)) && ok;
    ok = m_profile.WriteText(m_file, kSection, "Passwort", ProfileValue(s.UserPassword)) && ok;
    ok = m_profile.WriteText(m_file, kSection, "Proxy", ProfileValue(s.ProxyAddress)) && ok;
    ok = m_profile.WriteText(m_file, kSection, "Port", std::to_string(s.ProxyPort)) && ok;
    return ok;
}

bool CHttpUpload::ReadUploadActive() const {
    return m_profile.ReadText(m_file, kSwitchSection, kSwitchKey, "FALSE") == "TRUE";
}

bool CHttpUpload::WriteUploadActive(bool active) const {
    // The file may be new here, and it is the one that holds the password.
    if (!FileSystem::RestrictToOwner(m_file)) return false;
    return m_profile.WriteText(m_file, kSwitchSection, kSwitchKey, active ? "TRUE" : "FALSE");
}

std::string CHttpUpload::QueryValue(std::string_view value) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte >= 0x7F || c == '%' || c == '#') {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string CHttpUpload::RequestUrl(const HttpUploadSettings& settings, std::string_view text) {
    return settings.ScriptPath + "?user=" + QueryValue(settings.UserName) +
           "&pass=" + QueryValue(settings.UserPassword) + "&db=" + QueryValue(settings.Database) +
           "&tbl=" + QueryValue(settings.Table) + "&data=" + QueryValue(text);
}

std::string CHttpUpload::HidePassword(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (;;) {
        const std::size_t key = text.find(kPasswordKey);
        if (key == std::string_view::npos) break;
        const std::size_t start = key + kPasswordKey.size();
        // A password may hold "&" unencoded; only the next known parameter ends it.
        const std::size_t end =
            std::min(text.find("&db=", start),
                     std::min(text.find_first_of("\r\n \"'<", start), text.size()));
        out += text.substr(0, start);
        out += "****";
        text.remove_prefix(end);
    }
    out += text;
    return out;
}

void CHttpUpload::SendRecord(const HttpUploadSettings& settings, std::string_view text,
                             CWebAccess& access) {
    std::string result;
    access.GetPage(RequestUrl(settings, text), result);
    // A script may echo its query, and with it the password.
    OutputWrite(HidePassword("HTTP_SendString" + result), kColourResult);
}

void CHttpUpload::SendRecord(std::string_view text) const {
    CWebAccess access;
    SendRecord(m_settings, text, access);
}
