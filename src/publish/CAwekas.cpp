#include "publish/CAwekas.h"

#include <climits>
#include <cmath>

#include "app/StationView.h"
#include "model/MissingValue.h"
#include "model/OutputList.h"
#include "model/TextNumbers.h"
#include "platform/Clock.h"
#include "platform/PosixTcpSocket.h"
#include "publish/AwekasLog.h"
#include "publish/Cmd5Capi.h"
#include "storage/CAktuell.h"
#include "storage/SensorSet.h"

namespace {

const CAktuell* FindCurrent(const SensorSet& sensors, const std::string& identifier) {
    for (const auto& current : sensors.CurrentValues())
        if (current->m_identifier == identifier) return current.get();
    return nullptr;
}

std::string Decimal(const std::optional<float>& value) {
    return value ? TextNumbers::FormatFixed(*value, 2) : std::string();
}

// Truncated towards zero; a value beyond int is clamped and a NaN counts as
// missing, where a plain conversion would be undefined.
std::string Whole(const std::optional<float>& value) {
    if (!value) return {};
    const float v = *value;
    if (std::isnan(v)) return std::to_string(static_cast<int>(kMissingValue));
    if (v >= static_cast<float>(INT_MAX)) return std::to_string(INT_MAX);
    if (v <= static_cast<float>(INT_MIN)) return std::to_string(INT_MIN);
    return std::to_string(static_cast<int>(v));
}

// The record goes into the URL unencoded, except for bytes that would end the
// request line or split a header (a space in a user name, in a hash error
// text); the service decodes them back to the same text.
std::string RequestLineSafe(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string safe;
    safe.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte == 0x7F) {
            safe += '%';
            safe += kHex[byte >> 4];
            safe += kHex[byte & 0x0F];
        } else {
            safe += c;
        }
    }
    return safe;
}

}  // namespace

AwekasRecordInput CAwekas::LookUp(const AwekasSettings& settings, const StationView& station,
                                  const SunshineSource& sunshine) {
    AwekasRecordInput input;
    input.user = settings.user;
    input.hash = Cmd5Capi::Hash(settings.password);
    input.time = station.LastReceivedTime();
    input.softwareFlag = settings.softwareFlag;
    const SensorSet& sensors = station.Sensors();
    for (std::size_t i = 0; i < kAwekasSensorCount; ++i)
        if (const CAktuell* current = FindCurrent(sensors, settings.sensors[i]))
            input.values[i] = current->m_value;

    const std::string& solar = settings.Sensor(AwekasSensor::kSolarRadiation);
    if (!solar.empty())
        input.sunshineSeconds = sunshine ? sunshine(solar) : station.SunshineSeconds(solar);
    if (!input.sunshineSeconds)
        if (const CAktuell* current = FindCurrent(sensors, solar))
            input.sunshineSeconds = current->m_statistics.ActivitySeconds;
    return input;
}

std::string CAwekas::BuildRecord(const AwekasRecordInput& input) {
    const auto value = [&](AwekasSensor which) {
        return Decimal(input.values[static_cast<std::size_t>(which)]);
    };
    const auto whole = [&](AwekasSensor which) {
        return Whole(input.values[static_cast<std::size_t>(which)]);
    };
    const std::string hours =
        input.sunshineSeconds ? TextNumbers::FormatFixed(*input.sunshineSeconds / 3600.0, 2) : "";

    std::string record;
    for (const std::string& field : {input.user,
                                     input.hash,
                                     FormatLocalTime(input.time, "%d.%m.%Y;%H:%M"),
                                     value(AwekasSensor::kTemperature),
                                     whole(AwekasSensor::kHumidity),
                                     value(AwekasSensor::kAirPressure),
                                     value(AwekasSensor::kPrecipitation),
                                     value(AwekasSensor::kWindSpeed),
                                     whole(AwekasSensor::kWindDirection),
                                     std::string(),
                                     std::string(),
                                     std::string(),
                                     std::string("de"),
                                     std::string(),
                                     value(AwekasSensor::kWindPeak),
                                     value(AwekasSensor::kSolarRadiation),
                                     value(AwekasSensor::kUvIndex),
                                     std::string(),
                                     hours,
                                     value(AwekasSensor::kSoilTemperature),
                                     value(AwekasSensor::kRainRate),
                                     input.softwareFlag}) {
        record += field;
        record += ';';
    }
    return record;
}

std::string CAwekas::BuildUrl(std::string_view record) {
    std::string url = "http://";
    url += kServiceHost;
    url += kScriptPath;
    url += RequestLineSafe(record);
    return url;
}

std::string CAwekas::SunshineLogText(std::int32_t seconds) {
    return "Sonnenstunden " + TextNumbers::FormatFixed(seconds / 3600.0) +
           " berechnet Aktivitaet Sekunden " + std::to_string(seconds);
}

std::optional<CAwekas> CAwekas::Prepare(const AwekasSettings& settings, const StationView& station,
                                        const SunshineSource& sunshine) {
    if (!settings.active) return std::nullopt;
    CAwekas upload;
    HttpRequest& request = upload.m_request;
    request.IsGet = 1;
    request.Port = 80;
    if (settings.proxyOn) {
        request.UseProxy = 1;
        request.Proxy.Host = settings.proxyAddress;
        // Beyond int it stays out of range, which the client refuses.
        request.Proxy.Port = settings.proxyPort > static_cast<unsigned>(INT_MAX)
                                 ? -1
                                 : static_cast<int>(settings.proxyPort);
        request.Proxy.Password = settings.proxyPassword;
        request.Proxy.User = settings.proxyUser;
    }
    const AwekasRecordInput input = LookUp(settings, station, sunshine);
    if (input.sunshineSeconds) upload.m_sunshineLog = SunshineLogText(*input.sunshineSeconds);
    upload.m_record = BuildRecord(input);
    request.Url = BuildUrl(upload.m_record);
    return upload;
}

std::string CAwekas::Send(const Services& services) const {
    AwekasLog& log = services.log;
    if (m_sunshineLog) log.Write(*m_sunshineLog);
    OutputWrite(m_request.Url, kColourUrl);
    log.Write(m_request.Url);

    std::unique_ptr<TcpSocket> socket = services.sockets ? services.sockets() : nullptr;
    if (!socket) socket = std::make_unique<PosixTcpSocket>();
    HttpSocket client(m_request, std::move(socket), services.clock);
    // Failures are not reported: the log then holds the request and an empty reply.
    (void)client.SendRequest(m_request);
    const std::string reply = client.GetReply();
    log.Write(reply);
    return reply;
}

std::optional<std::string> CAwekas::Upload(const AwekasSettings& settings,
                                           const StationView& station, const Services& services,
                                           const SunshineSource& sunshine) {
    const std::optional<CAwekas> upload = Prepare(settings, station, sunshine);
    if (!upload) return std::nullopt;
    return upload->Send(services);
}

std::optional<std::string> CAwekas::CheckConnection(Profile& profile,
                                                    const std::string& settingsFile,
                                                    const StationView& station,
                                                    const Services& services,
                                                    const SunshineSource& sunshine) {
    return Upload(LoadAwekasSettings(profile, settingsFile), station, services, sunshine);
}
