#include "model/StationSettings.h"

#include <utility>
#include <vector>

#include "model/TextNumbers.h"
#include "platform/Profile.h"

using TextNumbers::Atof;
using TextNumbers::Atoi;

namespace {

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
    double TextReal(std::string_view section, std::string_view key, std::string_view def) {
        return Atof(Text(section, key, def));
    }
    int Int(std::string_view section, std::string_view key, int def) {
        return m_profile.ReadInt(m_file, section, key, def);
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
    m.timeout = in.TextInt(s, "Timeout", "60");
    m.simPin = in.Text(s, "Mobil Pin", "");
    m.commandBefore = in.Text(s, "Aufbau vorher", "");
    m.commandAfter = in.Text(s, "Aufbau nachher", "");
}

void ReadStorage(SettingsReader& in, const StationSettingsFiles& files, StorageSettings& st) {
    const char* s = "Speicherintervall";
    st.dataFolder = in.Text(s, "Verzeichnis", files.defaultDataFolder, 999);
    st.interval = in.TextInt(s, "Intervall/Sek", "300", 5);
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

    pw.noDataTimeout = in.TextReal("Timeout", "Timeout", "60.0");
    pw.commandTimeoutMs = in.TextInt("Sendeparameter", "Timeout", "2300");
    pw.commandRetries = in.TextInt("Sendeparameter", "Wiederholungen", "5");
    pw.liveClockTolerance = in.TextInt("MaxTimeDiff", "SekDiffOnl", "60");

    ConnectionSettings& c = settings.connection;
    c.type = in.TextInt("DataParams", "SettsID", "1");
    switch (c.type) {
        case 1:
            ReadSerial(in, c);
            break;
        case 2:
            ReadTcp(in, c);
            break;
        case 3:
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
    ip.resetHour = in.Int("Regen", "Reset", 0);
    ip.resetCommand = "!R" + std::to_string(ip.resetHour);

    ip.loggerStation = in.Int("Station", "Station", 1);
    ip.multiDisplay = in.Int("Multi", "Aktiv", 0);
    settings.storage.storageId = in.Text("Speicher-ID", "ID", "", 255);
    pw.dataFileExtension =
        settings.storage.storageId.empty() ? ".orb" : "." + settings.storage.storageId + ".orb";

    pw.reconnect =
        TextNumbers::ToUpper(in.Text("Verbindungsabbruch", "ReconnectAktiv", "FALSE")) != "FALSE";
    if (c.type == 3) pw.reconnect = false;  // a modem must not redial by itself

    pw.storeVirtualSensors = in.IsTrue("Virtuelle_Sensoren", "Speichern", "");
    ReadForwarding(in, pw.forward);

    pw.httpUpload = profile.ReadText(files.httpUploadFile, "HttpUpload", "Aktiv", "") == "TRUE";
}

bool WriteDefaultStationSettings(Profile& profile, const StationSettingsFiles& files,
                                 int connectionType) {
    struct Entry {
        const char* section;
        const char* key;
        std::string value;
    };
    std::vector<Entry> entries;
    switch (connectionType) {
        case 1:
            for (const auto& [k, v] : {std::pair{"Anschluss", "COM1"},
                                       {"Baudrate", "9600"},
                                       {"Datenbits", "8"},
                                       {"Paritaet", "0"},
                                       {"Stoppbits", "2"},
                                       {"AutoB", "0"}})
                entries.push_back({"Serielle Schnittstelle", k, v});
            break;
        case 2:
            entries.push_back({"TCP/IP Schnittstelle", "IP-Adresse", "192.168.1.1"});
            entries.push_back({"TCP/IP Schnittstelle", "IP-Port", "8023"});
            break;
        case 3:
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
    return Atof(profile.ReadText(stationFile, "Verbindungsabbruch", "Reconnect", "15.0"));
}
