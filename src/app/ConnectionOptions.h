#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/StationSettings.h"

class CWetterDoc;
class Profile;
class SerialPort;
class Ui;

// The rules of the connection windows: "Settings of weatherdata"
// (`CEinstellung`: how the station is reached), "Configure COM-Port"
// (`CKonfigurationComDlg`: line settings), "GSM-Parameter Settings"
// (`CDlgModemSetts`), "Connection options" (`CDlgVerbOptionen`: automatic
// reconnect), and what the document does once the connection dialog closes.
// Every Accept checks all fields before it writes anything, shows what is wrong
// through `ui` (boxes titled `caption`) and returns false to keep the dialog open.
namespace ConnectionOptions {

// ---- "Settings of weatherdata" ----

// The fields of the connection dialog.
struct ConnectionChoice {
    ConnectionType type = ConnectionType::kSerial;
    std::string serialPort;  // a device path
    int fixedBaud = 0;       // "AutoB": 0 "search for baud rate", 1 "fixed baud rate"
    std::string tcpAddress;
    std::string tcpPort;  // as typed
    std::string modemPort;
};

// The fields on opening: the document's connection for its own type, the
// stored values (with the readers' defaults) for the others, so that switching
// the type shows what was set up before. Ports are shown as device paths.
ConnectionChoice OpenConnectionChoice(Profile& profile, const std::string& stationFile,
                                      const ConnectionSettings& current);

// A port offered in a list; `error` is what opening it gave (0: free or ours).
struct PortEntry {
    std::string path;
    int error = 0;
};
struct PortLists {
    std::vector<PortEntry> serial;
    std::vector<PortEntry> modem;
};

// The two lists from the ports of this machine. The station's own serial port
// is listed for the serial connection only, its modem port for the modem only,
// both without opening them (the station may hold them); every other port is
// probed by opening and closing it and offered in both lists, with the reason
// when it cannot be opened. A stored port that is not among `candidates` (a
// pseudo-terminal, an adapter not plugged in) is listed for its connection too.
PortLists BuildPortLists(const std::vector<std::string>& candidates, SerialPort& probe,
                         const ConnectionChoice& current);

// Why a port cannot be opened, in words for its owner; "" for 0.
std::string PortProblem(int error);
// The line shown under a port list for `path`: its problem, or "" when none is known.
std::string PortStatus(const std::vector<PortEntry>& list, std::string_view path);

// The longest port path and address the station file gives back whole.
inline constexpr std::size_t kMaxPortPath = 254;
inline constexpr std::size_t kMaxAddress = 254;

// "Accept" and "Read"/"Reconnect": checks the fields of the chosen type (a port
// that is not listed is probed; one that does not exist is refused), shows
// "Settings will be used for the next time" when `announce` is set, and writes
// "SettsID", "Programmstart"/"Start" and the keys of the chosen type only; a
// serial or modem port is written as its device path. Entries of ports probed
// here are added to `lists`.
bool AcceptConnectionChoice(Ui& ui, const std::string& caption, Profile& profile,
                            const std::string& stationFile, const ConnectionChoice& choice,
                            PortLists& lists, SerialPort& probe, bool announce);

// How the connection dialog was closed.
enum class DialogEnd {
    kCancel,
    kAccept,     // "Accept"
    kReconnect,  // "Read" for stored data only, "Reconnect" otherwise
};
struct ConnectionDialogResult {
    DialogEnd end = DialogEnd::kCancel;
    ConnectionType type = ConnectionType::kStoredDataOnly;
};

// The document's "&Connection..." command: runs the dialog (`runDialog`, given
// the fields to open with) and, unless it was cancelled, takes the chosen type
// as connection type and start flag. A station with a link then loads its
// settings again and, after "Reconnect", connects at once; stored data only,
// closed with "Read", reads the stored data again.
void OnConnectionSettings(
    CWetterDoc& document,
    const std::function<ConnectionDialogResult(const ConnectionChoice& opened)>& runDialog);

// ---- "Configure COM-Port" ----

// Which section the line settings belong to.
enum class LineSection { kSerial, kModem };
const char* SectionName(LineSection section);

// The choices of the four lists; stop bits as a count (1 or 2), not as the stored code.
struct LineChoice {
    int baudRate = 0;
    int dataBits = 0;
    int parity = 0;
    int stopBitCount = 0;
};
const std::vector<int>& BaudRates();
const std::vector<int>& DataBitChoices();
const std::vector<int>& ParityChoices();
const std::vector<int>& StopBitChoices();

// The stored line settings as the lists show them (a stored stop-bit code 0 as
// one stop bit); a value the list does not offer shows the section's default.
LineChoice OpenLineChoice(Profile& profile, const std::string& stationFile, LineSection section);
// "Accept": writes the four keys ("%d"; one stop bit as code 0).
bool AcceptLineChoice(Ui& ui, const std::string& caption, Profile& profile,
                      const std::string& stationFile, LineSection section,
                      const LineChoice& choice);

// ---- "GSM-Parameter Settings" ----

struct ModemFields {
    std::string phoneNumber;
    std::string dialCommand;
    std::string dialTerminator;
    std::string commandBefore;
    std::string commandAfter;
    std::string simPin;
    std::string timeout;  // minutes, as typed
};
// Longest text the station file gives back whole.
inline constexpr std::size_t kMaxModemText = 1023;
inline constexpr int kMinModemTimeout = 2;
inline constexpr int kMaxModemTimeout = 86400;
extern const char* const kModemTimeoutRaised;

// The stored fields with this dialog's own defaults ("ATD", a timeout of 10).
ModemFields OpenModemFields(Profile& profile, const std::string& stationFile);
// "OK": a timeout below two minutes is raised to two (with the message), one
// that is no whole number or too large is refused; texts are stored without
// surrounding blanks. Writes the seven keys and "Synch", "Synch Secs" and
// "Log Datei" as "0".
bool AcceptModemFields(Ui& ui, const std::string& caption, Profile& profile,
                       const std::string& stationFile, const ModemFields& fields);

// ---- "Connection options" ----

struct ReconnectFields {
    bool active = false;
    std::string delay;    // "Trying to reconnect after" n "Seconds"
    std::string timeout;  // "Time for trying to get data" n "Seconds"
};
ReconnectFields OpenReconnectFields(Profile& profile, const std::string& stationFile);
// Seconds typed as a number greater than 0 and at most a day ("," taken as the
// decimal point); nothing when the text is no such number.
std::optional<double> ParseSeconds(std::string_view text);
// "Save": writes "ReconnectAktiv" ("TRUE"/"FALSE") and the two times ("%f"),
// and switches the process's reconnect flag at once (never on for a modem).
// The times are checked only while they can be edited (switch on); a time that
// cannot be edited keeps the value it was opened with.
bool AcceptReconnectFields(Ui& ui, const std::string& caption, Profile& profile,
                           const std::string& stationFile, const ReconnectFields& opened,
                           const ReconnectFields& entered, ConnectionType connection,
                           ProcessWideSettings& processWide);

// ---- baud-rate search ----

// The rate found for a serial connection, "Serielle Schnittstelle"/"Baudrate".
bool StoreFoundBaudRate(Profile& profile, const std::string& stationFile, int baudRate);

}  // namespace ConnectionOptions
