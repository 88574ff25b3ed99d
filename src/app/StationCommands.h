#pragma once

#include <string>
#include <string_view>

class CWetterDoc;
class Profile;
struct ProcessValues;

// Queues `command` for the acquisition reader, which sends it after the next
// received byte; nothing reports back.
void QueueStationCommand(ProcessValues& process, const std::string& command);

// The station's altitude: kept in the settings and sent at every
// initialisation while "set at startup" is on.
struct AltitudeSetting {
    std::string metres;  // as typed, at most 4 digits
    bool atStartup = false;
};
AltitudeSetting ReadAltitude(Profile& profile, const std::string& stationFile);
// The altitude field takes digits only, at most four of them; the message for more.
bool IsAltitudeText(std::string_view text);
extern const char* const kAltitudeTooHigh;
// Whether a station link is open now: only then is a queued command taken.
bool StationLinkOpen(const ProcessValues& process);
// Without a link the altitude is only stored, for the next initialisation.
void StoreAltitude(Profile& profile, const std::string& stationFile, const std::string& metres);
// "SET": sends the altitude after the next received byte and stores it.
void SetAltitude(ProcessValues& process, Profile& profile, const std::string& stationFile,
                 const std::string& metres);
// "Set altitude at startup": ticking it stores TRUE and sets the altitude at
// once, over an open link; without one it stores the altitude only.
void SetAltitudeAtStartup(ProcessValues& process, Profile& profile, const std::string& stationFile,
                          const std::string& metres, bool atStartup);

// The precipitation reset hour. "Accept" stores it and the document takes it;
// "Set" also sends "!R%d" through the command exchange (not with "-!PR").
void AcceptPrecipitationReset(CWetterDoc& document, int hour);
void SetPrecipitationReset(CWetterDoc& document, int hour);
