#pragma once

#include <string>

class Profile;

// Line settings of a serial port: the port name and the codes of the station settings file.
struct SerialLineSettings {
    std::string port;  // "COM1", "\\.\COM3" or a device path
    int baudRate = 0;
    int dataBits = 0;
    int parity = 0;    // 0 none, 1 odd, 2 even, 3 mark, 4 space
    int stopBits = 0;  // 0 one, 1 one and a half, 2 two
};

struct ModemSettings {
    SerialLineSettings line;
    std::string phoneNumber;
    std::string dialCommand;
    std::string dialTerminator;
    bool clockSync = false;
    int syncSeconds = 0;
    bool logFile = false;
    int timeout = 0;
    std::string simPin;
    std::string commandBefore;
    std::string commandAfter;
};

// How the station is reached; the number is "SettsID" in the station file.
// Other stored numbers read as they are and reach no station.
enum class ConnectionType {
    kNotLoaded = -1,
    kStoredDataOnly = 0,
    kSerial = 1,
    kTcp = 2,
    kModem = 3,
};

// How the station is reached.
struct ConnectionSettings {
    ConnectionType type = ConnectionType::kNotLoaded;
    SerialLineSettings serial;
    int fixedBaud = 0;  // "AutoB": 0 search the rate at every start
    std::string tcpAddress;
    int tcpPort = 0;
    ModemSettings modem;
};

// Layout of the additional storage files.
struct AdditionalFormat {
    int columnMask = 7;
    int separatorMask = 1;
    int decimalMask = 2;
    bool headerLine = false;
    std::string extension;
};

// The longest storage interval the settings take: one record a day.
inline constexpr int kMaxStorageIntervalSeconds = 86400;

struct StorageSettings {
    std::string dataFolder;
    std::string additionalFolder;  // empty: no additional storage
    int interval = 0;              // seconds
    AdditionalFormat additional;
    std::string storageId;
};

// How records are interpreted and what happens at start.
struct InterpretationSettings {
    int withoutLogger = 0;  // "Mit_Speicher": 1 the station has no data logger
    int storeByPc = 0;      // "Daten_Speichern": 1 the PC stores by its interval
    int loggerStation = 0;  // "Station": 0 the PC sends the precipitation reset and "!P"
    int start = 0;          // "Programmstart": 0 stored data only
    int resetHour = 0;
    std::string resetCommand;  // "!R" + hour
    int multiDisplay = 0;
};

// The forwarding port of the station traffic.
struct ForwardSettings {
    bool active = false;
    SerialLineSettings line;
};

// Values that hold once for the whole process, read by the last load.
struct ProcessWideSettings {
    double noDataTimeout = 60.0;  // seconds
    int commandTimeoutMs = 2300;
    int commandRetries = 5;
    int liveClockTolerance = 60;  // seconds
    bool reconnect = false;
    bool storeVirtualSensors = false;
    bool httpUpload = false;
    std::string dataFileExtension;
    ForwardSettings forward;
};

// Everything the station settings file says, as one load reads it.
struct StationSettings {
    ConnectionSettings connection;
    StorageSettings storage;
    InterpretationSettings interpretation;
    ProcessWideSettings processWide;
};

// Where one station's settings lie and what their defaults are.
struct StationSettingsFiles {
    std::string stationFile;        // ...station.ini
    std::string httpUploadFile;     // http_up.ini in the program folder
    std::string defaultDataFolder;  // program folder + "/Daten"
};

// Reads the station settings file in the fixed order; earlier steps decide
// which later sections are read. `settings` keeps the values of sections that
// are not read this time (the additional layout while no additional folder is set).
void ReadStationSettings(Profile& profile, const StationSettingsFiles& files,
                         StationSettings& settings);

// Writes the default station settings file with the port section of the
// given connection type (none before the first load). False when the file
// could not be written.
bool WriteDefaultStationSettings(Profile& profile, const StationSettingsFiles& files,
                                 ConnectionType connectionType);

// The times, intervals and counts above are range-checked where they are read:
// a value that is not a sensible positive number (a reset hour outside 0..23)
// takes its default, and the output window says so once.

// "Verbindungsabbruch"/"Reconnect" in seconds (default 15).
double ReadReconnectDelay(Profile& profile, const std::string& stationFile);
// "Verbindungsabbruch"/"ReconnectTimeout" in seconds (default 15).
double ReadReconnectTimeout(Profile& profile, const std::string& stationFile);
// "MaxTimeDiff"/"sekDiff" in seconds (default 10): the clock tolerance of the initialisation.
int ReadInitClockTolerance(Profile& profile, const std::string& stationFile);

// Seconds as a timer period in whole milliseconds (truncated), within what the timer takes;
// not a positive number gives 0.
unsigned TimerMilliseconds(double seconds);
