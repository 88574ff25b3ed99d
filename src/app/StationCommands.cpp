#include "app/StationCommands.h"

#include <memory>

#include "app/CWetterDoc.h"
#include "comm/ProcessValues.h"
#include "comm/StationProtocol.h"
#include "model/TextNumbers.h"
#include "platform/Clock.h"
#include "platform/Profile.h"

using TextNumbers::Atoi;
using TextNumbers::ToUpper;

const char* const kAltitudeTooHigh =
    "Es k\xF6nnen nur Ortsh\xF6hen bis maximal 9999m angegeben werden!";

void QueueStationCommand(ProcessValues& process, const std::string& command) {
    process.PendingCommandText.Store(command + "\r\n");
    process.PendingCommandEvent.Set();
}

AltitudeSetting ReadAltitude(Profile& profile, const std::string& stationFile) {
    AltitudeSetting setting;
    setting.metres = profile.ReadText(stationFile, "Ortshoehe", "Hoehe", "0", 9);
    setting.atStartup =
        ToUpper(profile.ReadText(stationFile, "Ortshoehe", "Aktiv", "FALSE")) == "TRUE";
    return setting;
}

bool IsAltitudeText(std::string_view text) {
    if (text.size() > 4) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

bool StationLinkOpen(const ProcessValues& process) {
    const std::shared_ptr<CDataBase> transport = process.CurrentTransport.Get();
    return transport != nullptr && transport->IsOpen();
}

void StoreAltitude(Profile& profile, const std::string& stationFile, const std::string& metres) {
    profile.WriteText(stationFile, "Ortshoehe", "Hoehe", metres);
}

void SetAltitude(ProcessValues& process, Profile& profile, const std::string& stationFile,
                 const std::string& metres) {
    QueueStationCommand(process, StationProtocol::AltitudeCommand(Atoi(metres)));
    StoreAltitude(profile, stationFile, metres);
}

void SetAltitudeAtStartup(ProcessValues& process, Profile& profile, const std::string& stationFile,
                          const std::string& metres, bool atStartup) {
    profile.WriteText(stationFile, "Ortshoehe", "Aktiv", atStartup ? "TRUE" : "FALSE");
    if (!atStartup) return;
    // Without a link nothing takes a queued command; the next acquisition drops it.
    if (StationLinkOpen(process))
        SetAltitude(process, profile, stationFile, metres);
    else
        StoreAltitude(profile, stationFile, metres);
}

void AcceptPrecipitationReset(CWetterDoc& document, int hour) {
    document.Context().profile.WriteText(document.StationFile(), "Regen", "Reset",
                                         std::to_string(hour));
    document.SetResetHour(hour);
}

void SetPrecipitationReset(CWetterDoc& document, int hour) {
    AcceptPrecipitationReset(document, hour);
    AppContext& context = document.Context();
    context.clock.SleepMs(50);
    if (!context.process.commandLine.noResetCommands)
        document.SendStationCommand(document.Interpretation().resetCommand);
}
