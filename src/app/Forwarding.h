#pragma once

#include <string>

#include "model/StationSettings.h"

struct AppContext;
struct ProcessValues;
class Profile;

// Copies every received station line to a second serial port, for another
// device or program to read. One forwarding port per process.

// Writes `line` (with its "\r\n") to the forwarding port, if there is one,
// without waiting: what the port does not take is dropped, and the bytes
// dropped are reported in the output window at most once a minute.
// User-interface thread.
void ForwardLine(AppContext& context, const std::string& line);

// At the end of a connect: opens the forwarding port, reporting a failure in a
// box, or, during an automatic reconnect (`quiet`), in the output window only.
void OpenForwarding(AppContext& context, bool quiet = false);
// At disconnect: closes the port and keeps it for the next connect.
void CloseForwarding(ProcessValues& process);

// The line settings of a forwarding port from the chosen port and rate. The
// stored codes are used where the serial driver can take them; codes that no
// driver takes (0 data bits where nothing was stored) become 8 data bits, no
// parity and one stop bit.
SerialLineSettings ForwardingLine(const std::string& port, int baudRate,
                                  const SerialLineSettings& stored);

// What became of "Start".
struct ForwardingStart {
    bool opened = true;  // false: the port is set but did not open (the box said so)
    bool saved = true;   // false: the station settings file could not be written
};
// "Start": creates and opens the forwarding port (it stays set when the open
// fails) and stores the settings.
ForwardingStart StartForwarding(AppContext& context, const std::string& stationFile,
                                const SerialLineSettings& line);
// "Stop": closes and drops the forwarding port; "Aktiv" becomes "FALSE".
// False when that could not be stored.
bool StopForwarding(AppContext& context, const std::string& stationFile);

// The "Weiterleitung" keys: "Aktiv" always, the values only while forwarding.
// False when a key could not be written.
bool WriteForwardSettings(Profile& profile, const std::string& stationFile, bool active,
                          const SerialLineSettings& line);
