#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "model/Colours.h"
#include "publish/AwekasSettings.h"
#include "publish/HttpSocket.h"

class AwekasLog;
class Clock;
class Profile;
class StationView;
class TcpSocket;

// What one AWEKAS record is made of, as looked up in the station.
struct AwekasRecordInput {
    std::string user;
    std::string hash;    // of the password, or the text of the failed hash step
    std::time_t time{};  // the station's last received record
    // The current value of each assignment (by AwekasSensor); nothing when none matches.
    std::array<std::optional<float>, kAwekasSensorCount> values;
    // The activity total of the solar-radiation sensor; nothing when there is none.
    std::optional<std::int32_t> sunshineSeconds;
    std::string softwareFlag;
};

// One AWEKAS upload: the record of the station's current values appended to
// the service's input URL, sent by one GET through HttpSocket, with the
// request and the reply kept in AwekasLog.txt. Built on the user-interface
// thread from the station (Prepare, which copies all it needs), sent later on
// any thread (Send, which touches no station data). A plain value: copy it
// into a worker's job.
class CAwekas {
public:
    // The service's host, named only here: a placeholder until the real host is set.
    static constexpr std::string_view kServiceHost = "awekas.example.net";
    // The script name stands twice: the service expects the request at this path.
    static constexpr std::string_view kScriptPath =
        "/eingabe_pruefung.php/eingabe_pruefung.php?val=";
    static constexpr std::uint32_t kColourUrl = Rgb(0, 0, 255);

    // The activity seconds of the solar-radiation sensor `identifier` from
    // somewhere other than the station (tests); without one the station's
    // SunshineSeconds applies. Nothing: the sensor's current value is taken.
    // Called on the user-interface thread.
    using SunshineSource =
        std::function<std::optional<std::int32_t>(const std::string& identifier)>;
    // A fresh, unconnected socket for one request.
    using SocketFactory = std::function<std::unique_ptr<TcpSocket>()>;

    // What sending needs. Every piece may be used from the sending thread.
    struct Services {
        SocketFactory sockets;  // empty (or giving none): the system's sockets
        Clock& clock;
        AwekasLog& log;
    };

    // The upload of `station`'s current values with `settings`; nothing when
    // the upload is switched off. Cheap; on the user-interface thread.
    static std::optional<CAwekas> Prepare(const AwekasSettings& settings,
                                          const StationView& station,
                                          const SunshineSource& sunshine = {});

    // Sends the request and logs it; the reply text (empty when none came).
    // Blocks for up to the HTTP client's wait. Any thread.
    std::string Send(const Services& services) const;

    // Prepare and Send at once: the reply, or nothing when switched off.
    static std::optional<std::string> Upload(const AwekasSettings& settings,
                                             const StationView& station, const Services& services,
                                             const SunshineSource& sunshine = {});

    // The dialog's "Check connection": an upload with the settings saved in
    // `settingsFile`; the reply to show, or nothing when they are switched off.
    static std::optional<std::string> CheckConnection(Profile& profile,
                                                      const std::string& settingsFile,
                                                      const StationView& station,
                                                      const Services& services,
                                                      const SunshineSource& sunshine = {});

    // The values of the record as the station holds them now.
    static AwekasRecordInput LookUp(const AwekasSettings& settings, const StationView& station,
                                    const SunshineSource& sunshine = {});
    // The record: 23 fields, each closed by ";".
    static std::string BuildRecord(const AwekasRecordInput& input);
    // The request URL for `record`.
    static std::string BuildUrl(std::string_view record);
    // The log entry that goes with a sunshine value.
    static std::string SunshineLogText(std::int32_t seconds);

    const HttpRequest& Request() const { return m_request; }
    const std::string& Record() const { return m_record; }

private:
    CAwekas() = default;

    HttpRequest m_request;
    std::string m_record;
    std::optional<std::string> m_sunshineLog;
};
