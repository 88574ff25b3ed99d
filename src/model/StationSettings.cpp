#include "model/StationSettings.h"

#include <cmath>
#include <mutex>
#include <set>
#include <utility>
#include <vector>

#include "model/Colours.h"
#include "model/OutputList.h"
#include "model/TextNumbers.h"
#include "platform/Profile.h"

using TextNumbers::Atof;
using TextNumbers::Atoi;

namespace {

// Bounds of the times, intervals and counts. Beyond them a value is a typing
// error, or a wish the conversions to milliseconds cannot carry out.
constexpr double kMaxSeconds = 86400.0;       // a day of waiting
constexpr int kMaxCommandTimeoutMs = 600000;  // ten minutes for one reply
constexpr int kMaxRetries = 100;
constexpr int kMaxClockToleranceSeconds = 31622400;  // a leap year
constexpr int kMaxModemTimeout = 86400;
constexpr std::size_t kShownValueLength = 24;

// Tells the owner of a settings file about a value that was replaced by its
// default: once per file, key and value in the process, because the reconnect
// cycle and every settings load read the same values again.
void ReportDefaultUsed(const std::string& file, std::string_view section, std::string_view key,
                       std::string_view value, std::string_view defaultValue) {
    static std::mutex mutex;
    static std::set<std::string> reported;
    std::string id = file;
    for (const std::string_view part : {section, key, value}) {
        id += '\0';
        id += part;
    }
    {
        const std::lock_guard lock(mutex);
        if (!reported.insert(std::move(id)).second) return;
    }
    std::string shown(value.substr(0, kShownValueLength));
    if (value.size() > kShownValueLength) shown += "...";
    OutputWrite(file + ": \"" + std::string(section) + "\"/\"" + std::string(key) + "\" = \"" +
                    shown + "\" is not a sensible value, the default " + std::string(defaultValue) +
                    " is used",
                kColourError);
}

// A real number of seconds in (0, kMaxSeconds], else the default (reported).
double CheckedSeconds(const std::string& file, std::string_view section, std::string_view key,
                      std::string_view text, std::string_view defaultValue) {
    const double value = Atof(text);
    if (value > 0.0 && value <= kMaxSeconds) return value;
    ReportDefaultUsed(file, section, key, text, defaultValue);
    return Atof(defaultValue);
}

// Reads of one file with the conversions the settings table names.
class SettingsReader {
public:
    SettingsReader(Profile& profile, const std::string& file) : m_profile(profile), m_file(file) {}

    std::string Text(std::string_view section, std::string_view key, std::string_view def,
                     std::size_t maxLength) {
        return m_profile.ReadText(m_file, section, key, def, maxLength);
    }
    std::string Text(std::string_view section, std::string_view key, std::string_view def) {
        return m_profile.ReadText(m_file, section, key, def);
    }
    int TextInt(std::string_view section, std::string_view key, std::string_view def,
                std::size_t maxLength) {
        return Atoi(Text(section, key, def, maxLength));
    }
    int TextInt(std::string_view section, std::string_view key, std::string_view def) {
        return Atoi(Text(section, key, def));
    }
    int Int(std::string_view section, std::string_view key, int def) {
        return m_profile.ReadInt(m_file, section, key, def);
    }
    // Seconds in (0, kMaxSeconds]; anything else gives the default (reported).
    double Seconds(std::string_view section, std::string_view key, std::string_view def) {
        return CheckedSeconds(m_file, section, key, Text(section, key, def), def);
    }
    // A whole number in [low, high]; anything else gives the default (reported).
    int Bounded(int value, std::string_view section, std::string_view key, int def, int low,
                int high) {
        if (value >= low && value <= high) return value;
        ReportDefaultUsed(m_file, section, key, Text(section, key, ""), std::to_string(def));
        return def;
    }
    int TextIntIn(std::string_view section, std::string_view key, std::string_view def,
                  std::size_t maxLength, int low, int high) {
        return Bounded(TextInt(section, key, def, maxLength), section, key, Atoi(def), low, high);
    }
    int TextIntIn(std::string_view section, std::string_view key, std::string_view def, int low,
                  int high) {
        return Bounded(TextInt(section, key, def), section, key, Atoi(def), low, high);
    }
    int IntIn(std::string_view section, std::string_view key, int def, int low, int high) {
        return Bounded(Int(section, key, def), section, key, def, low, high);
    }
    bool IsTrue(std::string_view section, std::string_view key, std::string_view def) {
        return Text(section, key, def) == "TRUE";
    }

private:
    Profile& m_profile;
    const std::string& m_file;
};

// A serial port is a device path here ("/dev/ttyUSB0", a udev link), longer
// than the nine characters a "COMn" name needed.
constexpr std::size_t kMaxPortPath = 254;

void ReadSerial(SettingsReader& in, ConnectionSettings& c) {
    const char* s = "Serielle Schnittstelle";
    c.serial.port = in.Text(s, "Anschluss", "COM1", kMaxPortPath);
    c.serial.baudRate = in.TextInt(s, "Baudrate", "9600", 9);
    c.serial.dataBits = in.TextInt(s, "Datenbits", "8", 1);
    c.serial.parity = in.TextInt(s, "Paritaet", "0", 1);
    c.serial.stopBits = in.TextInt(s, "Stoppbits", "2", 1);
    c.fixedBaud = in.TextInt(s, "AutoB", "0", 1);
}

void ReadTcp(SettingsReader& in, ConnectionSettings& c) {
    const char* s = "TCP/IP Schnittstelle";
    c.tcpAddress = in.Text(s, "IP-Adresse", "192.168.1.1", 254);
    c.tcpPort = in.TextInt(s, "IP-Port", "8023", 9);
}

void ReadModem(SettingsReader& in, ModemSettings& m) {
    const char* s = "Modem Verbindung";
    m.line.port = in.Text(s, "Anschluss", "COM2");
    m.line.baudRate = in.TextInt(s, "Baudrate", "115200");
    m.line.dataBits = in.TextInt(s, "Datenbits", "8");
    m.line.parity = in.TextInt(s, "Paritaet", "0");
    m.line.stopBits = in.TextInt(s, "Stoppbits", "2");
    m.phoneNumber = in.Text(s, "Telefon Nummer", "");
    m.dialCommand = in.Text(s, "Waehl Befehl", "ATD");
    m.dialTerminator = in.Text(s, "Waehl Abschluss", ";");
    m.clockSync = in.TextInt(s, "Synch", "0") != 0;
    m.syncSeconds = in.TextInt(s, "Synch Secs", "0");
    m.logFile = in.TextInt(s, "Log Datei", "0") != 0;
    m.timeout = in.TextIntIn(s, "Timeout", "60", 1, kMaxModemTimeout);
    m.simPin = in.Text(s, "Mobil Pin", "");
    m.commandBefore = in.Text(s, "Aufbau vorher", "");
    m.commandAfter = in.Text(s, "Aufbau nachher", "");
}

void ReadStorage(SettingsReader& in, const StationSettingsFiles& files, StorageSettings& st) {
    const char* s = "Speicherintervall";
    st.dataFolder = in.Text(s, "Verzeichnis", files.defaultDataFolder, 999);
    st.interval = in.TextIntIn(s, "Intervall/Sek", "300", 5, 1, kMaxStorageIntervalSeconds);
    st.additionalFolder = in.Text(s, "VerzeichnisZusatz", "", 999);
    if (!st.additionalFolder.empty()) {
        const char* z = "SpeicherZusatz";
        st.additional.decimalMask = in.TextInt(z, "TrennDezi", "1");
        st.additional.separatorMask = in.TextInt(z, "Trenn", "1");
        st.additional.columnMask = in.TextInt(z, "Ohne", "7");
        st.additional.headerLine = in.IsTrue(z, "1.Zeile", "FALSE");
        st.additional.extension = in.Text(z, "Endung", "orb");
    }
    if (st.dataFolder.empty()) st.dataFolder = files.defaultDataFolder;
}

void ReadForwarding(SettingsReader& in, ForwardSettings& f) {
    const char* s = "Weiterleitung";
    f.active = in.IsTrue(s, "Aktiv", "FALSE");
    if (!f.active) return;
    f.line.port = in.Text(s, "COM-Port", "");
    f.line.baudRate = in.TextInt(s, "Baudrate", "");
    f.line.parity = in.TextInt(s, "Paritaet", "");
    f.line.dataBits = in.TextInt(s, "Databits", "");
    f.line.stopBits = in.TextInt(s, "Stopbits", "");
}

}  // namespace

void ReadStationSettings(Profile& profile, const StationSettingsFiles& files,
                         StationSettings& settings) {
    SettingsReader in(profile, files.stationFile);
    ProcessWideSettings& pw = settings.processWide;

    pw.noDataTimeout = in.Seconds("Timeout", "Timeout", "60.0");
    pw.commandTimeoutMs =
        in.TextIntIn("Sendeparameter", "Timeout", "2300", 1, kMaxCommandTimeoutMs);
    pw.commandRetries = in.TextIntIn("Sendeparameter", "Wiederholungen", "5", 1, kMaxRetries);
    pw.liveClockTolerance =
        in.TextIntIn("MaxTimeDiff", "SekDiffOnl", "60", 1, kMaxClockToleranceSeconds);

    ConnectionSettings& c = settings.connection;
    c.type = static_cast<ConnectionType>(in.TextInt("DataParams", "SettsID", "1"));
    switch (c.type) {
        case ConnectionType::kSerial:
            ReadSerial(in, c);
            break;
        case ConnectionType::kTcp:
            ReadTcp(in, c);
            break;
        case ConnectionType::kModem:
            ReadModem(in, c.modem);
            break;
        default:
            break;
    }

    ReadStorage(in, files, settings.storage);

    InterpretationSettings& ip = settings.interpretation;
    ip.start = in.Int("Programmstart", "Start", 1);
    ip.withoutLogger = in.Int("Dateninterpretation", "Mit_Speicher", 1);
    ip.storeByPc = in.Int("Dateninterpretation", "Daten_Speichern", 1);
    ip.resetHour = in.IntIn("Regen", "Reset", 0, 0, 23);
    ip.resetCommand = "!R" + std::to_string(ip.resetHour);

    ip.loggerStation = in.Int("Station", "Station", 1);
    ip.multiDisplay = in.Int("Multi", "Aktiv", 0);
    settings.storage.storageId = in.Text("Speicher-ID", "ID", "", 255);
    pw.dataFileExtension =
        settings.storage.storageId.empty() ? ".orb" : "." + settings.storage.storageId + ".orb";

    pw.reconnect =
        TextNumbers::ToUpper(in.Text("Verbindungsabbruch", "ReconnectAktiv", "FALSE")) != "FALSE";
    if (c.type == ConnectionType::kModem)
        pw.reconnect = false;  // a modem must not redial by itself

    pw.storeVirtualSensors = in.IsTrue("Virtuelle_Sensoren", "Speichern", "");
    ReadForwarding(in, pw.forward);

    pw.httpUpload = profile.ReadText(files.httpUploadFile, "HttpUpload", "Aktiv", "") == "TRUE";
}

bool WriteDefaultStationSettings(Profile& profile, const StationSettingsFiles& files,
                                 ConnectionType connectionType) {
    struct Entry {
        const char* section;
        const char* key;
        std::string value;
    };
    std::vector<Entry> entries;
    switch (connectionType) {
        case ConnectionType::kSerial:
            for (const auto& [k, v] : {std::pair{"Anschluss", "COM1"},
                                       {"Baudrate", "9600"},
                                       {"Datenbits", "8"},
                                       {"Paritaet", "0"},
                                       {"Stoppbits", "2"},
                                       {"AutoB", "0"}})
                entries.push_back({"Serielle Schnittstelle", k, v});
            break;
        case ConnectionType::kTcp:
            entries.push_back({"TCP/IP Schnittstelle", "IP-Adresse", "192.168.1.1"});
            entries.push_back({"TCP/IP Schnittstelle", "IP-Port", "8023"});
            break;
        case ConnectionType::kModem:
            for (const auto& [k, v] : {std::pair{"Anschluss", "COM2"},
                                       {"Baudrate", "115200"},
                                       {"Datenbits", "8"},
                                       {"Paritaet", "0"},
                                       {"Stoppbits", "2"},
                                       {"Telefon Nummer", ""},
                                       {"Waehl Befehl", "ATD"},
                                       {"Waehl Abschluss", ";"},
                                       {"Synch", "0"},
                                       {"Synch Secs", "0"},
                                       {"Log Datei", "0"},
                                       {"Timeout", "60"},
                                       {"Mobil Pin", ""}})
                entries.push_back({"Modem Verbindung", k, v});
            break;
        default:
            break;
    }
    entries.push_back({"Speicherintervall", "Verzeichnis", files.defaultDataFolder});
    entries.push_back({"Speicherintervall", "Intervall/Sek", "300"});
    entries.push_back({"Programmstart", "Start", "1"});
    entries.push_back({"Dateninterpretation", "Mit_Speicher", "1"});
    entries.push_back({"Dateninterpretation", "Daten_Speichern", "1"});
    entries.push_back({"Regen", "Reset", "0"});

    bool ok = true;
    for (const Entry& e : entries)
        ok = profile.WriteText(files.stationFile, e.section, e.key, e.value) && ok;
    return ok;
}

double ReadReconnectDelay(Profile& profile, const std::string& stationFile) {
    return SettingsReader(profile, stationFile).Seconds("Verbindungsabbruch", "Reconnect", "15.0");
}

double ReadReconnectTimeout(Profile& profile, const std::string& stationFile) {
    return SettingsReader(profile, stationFile)
        .Seconds("Verbindungsabbruch", "ReconnectTimeout", "15.0");
}

int ReadInitClockTolerance(Profile& profile, const std::string& stationFile) {
    return SettingsReader(profile, stationFile)
        .IntIn("MaxTimeDiff", "sekDiff", 10, 1, kMaxClockToleranceSeconds);
}

unsigned TimerMilliseconds(double seconds) {
    const double ms = std::floor(seconds * 1000.0);
    if (!(ms > 0.0)) return 0;  // NaN too
    if (ms >= 4294967295.0) return 4294967295u;
    return static_cast<unsigned>(ms);
}
