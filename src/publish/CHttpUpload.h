#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class CWebAccess;
class Profile;
class ProgramPaths;

// What http_up.ini configures for the upload of records to a web database script.
struct HttpUploadSettings {
    std::string Database;
    std::string Table;
    std::string ScriptPath;
    std::string UserName;
    std::string UserPassword;  // kept and sent in plain text, as the script expects it
    std::string ProxyAddress;  // kept and edited, not used by the upload
    int ProxyPort = 0;         // kept and edited, not used by the upload

    bool operator==(const HttpUploadSettings&) const = default;
};

// The HTTP upload: one request per stored record to the configured script, with
// the record, the credentials and the database names as query parameters. Holds
// the process's settings record; loading, saving and building the request are
// for the user-interface thread, the static SendRecord for any thread.
class CHttpUpload {
public:
    static constexpr std::size_t kMaxText = 256;
    static constexpr std::size_t kMaxScriptPath = 1024;
    static constexpr std::uint32_t kColourResult = 0x0000FF;

    CHttpUpload(Profile& profile, std::string file);

    // http_up.ini in the program folder.
    static std::string SettingsFile(const ProgramPaths& paths);

    // Reads the [HTTP] keys; missing keys give empty texts and port 0.
    void LoadUploadSettings();
    // Writes the [HTTP] keys in their fixed order into a file only the owner may
    // read (it holds the password). False when the file cannot be written.
    bool SaveUploadSettings() const;

    // [HttpUpload] "Aktiv": on only for "TRUE".
    bool ReadUploadActive() const;
    bool WriteUploadActive(bool active) const;

    HttpUploadSettings& Settings() { return m_settings; }
    const HttpUploadSettings& Settings() const { return m_settings; }
    const std::string& File() const { return m_file; }

    // `value` as it stands in the query: bytes that cannot stand in a URL
    // (space, control bytes, bytes from 0x80, "%", "#") as %XX, the rest unchanged.
    static std::string QueryValue(std::string_view value);
    // "%s?user=%s&pass=%s&db=%s&tbl=%s&data=%s" over the script path and the
    // query values of the user, password, database, table and `text`.
    static std::string RequestUrl(const HttpUploadSettings& settings, std::string_view text);
    // `text` with every "pass=" value replaced by "****", for anything shown.
    static std::string HidePassword(std::string_view text);

    // One request for `text` through `access`, then the output line
    // "HTTP_SendString" + the result. The result is not evaluated; nothing is retried.
    static void SendRecord(const HttpUploadSettings& settings, std::string_view text,
                           CWebAccess& access);
    // The same over a session of its own, with this object's settings.
    void SendRecord(std::string_view text) const;

private:
    Profile& m_profile;
    std::string m_file;
    HttpUploadSettings m_settings;
};
