#include "app/ConnectionOptions.h"

#include <algorithm>
#include <cerrno>

#include "app/CWetterDoc.h"
#include "model/TextNumbers.h"
#include "platform/FileSystem.h"
#include "platform/Profile.h"
#include "platform/SerialPort.h"
#include "platform/Ui.h"

using TextNumbers::Atoi;
using TextNumbers::FormatFixed;

namespace ConnectionOptions {

const char* const kModemTimeoutRaised =
    "Timeout should be at least 2 minutes!\r\nIt will be set now to 2 minutes!";

namespace {

constexpr const char* kSerialSection = "Serielle Schnittstelle";
constexpr const char* kTcpSection = "TCP/IP Schnittstelle";
constexpr const char* kModemSection = "Modem Verbindung";
constexpr const char* kReconnectSection = "Verbindungsabbruch";
constexpr const char* kNextTime = "Settings will be used for the next time";
constexpr double kMaxSeconds = 86400.0;

std::string Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Writes the entries in order and stops at the first that fails, so a file that
// cannot be written is not tried key after key.
struct Entry {
    const char* section;
    const char* key;
    std::string value;
};
bool WriteEntries(Ui& ui, const std::string& caption, Profile& profile, const std::string& file,
                  const std::vector<Entry>& entries) {
    for (const Entry& e : entries) {
        errno = 0;
        if (profile.WriteText(file, e.section, e.key, e.value)) continue;
        const int error = errno;
        std::string text = file + " couldn't be written";
        if (error != 0) text += ": " + FileSystem::SystemErrorText(error);
        ui.MessageBox(text, caption, MsgButtons::Ok, MsgIcon::Warning);
        return false;
    }
    return true;
}

void Refuse(Ui& ui, const std::string& caption, const std::string& text) {
    ui.MessageBox(text, caption, MsgButtons::Ok, MsgIcon::Warning);
}

// ---- ports ----

PortEntry* FindPort(std::vector<PortEntry>& list, std::string_view path) {
    for (PortEntry& entry : list)
        if (entry.path == path) return &entry;
    return nullptr;
}

bool DoesNotExist(int error) { return error == ENOENT || error == ENOTDIR; }

int Probe(SerialPort& probe, const std::string& path) {
    const int error = probe.Open(path);
    if (error == 0) probe.Close();
    return error;
}

// The port named `typed` as a device path, checked; the reason it is refused otherwise.
std::optional<std::string> CheckPort(const std::string& typed, std::vector<PortEntry>& list,
                                     SerialPort& probe, std::string& path) {
    path = SerialDevicePath(Trimmed(typed));
    if (path.empty()) return "Please choose the port the weather station is connected to.";
    if (path.size() > kMaxPortPath)
        return "The port name is too long: at most " + std::to_string(kMaxPortPath) +
               " characters.";
    PortEntry* entry = FindPort(list, path);
    // The station's own port was listed without opening it; now it must at least exist.
    if (entry == nullptr || entry->error == 0) {
        const int error = Probe(probe, path);
        if (entry == nullptr)
            entry = &list.emplace_back(PortEntry{path, error});
        else if (error != EBUSY)
            entry->error = error;
    }
    if (DoesNotExist(entry->error))
        return "The port " + path +
               " does not exist.\nPlease choose a listed port or "
               "check the device path.";
    return std::nullopt;
}

// A host name or dotted address: letters, digits, '.', '-' and '_'.
bool IsHostText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == '_';
    });
}

std::optional<std::string> CheckTcp(const ConnectionChoice& choice, int& port) {
    const std::string address = Trimmed(choice.tcpAddress);
    if (address.empty()) return "Please enter the IP- or WEB Address of the weather station.";
    if (address.size() > kMaxAddress)
        return "Please enter no more than " + std::to_string(kMaxAddress) +
               " characters for the IP- or WEB Address.";
    if (!IsHostText(address)) return "\"" + address + "\" is no IP address or host name.";
    const std::string portText = Trimmed(choice.tcpPort);
    if (!AllDigits(portText) || portText.size() > 5 || Atoi(portText) > 65535)
        return "TCP/IP Port: please enter an integer between 0 and 65535.";
    port = Atoi(portText);
    return std::nullopt;
}

// ---- line settings ----

LineChoice SectionDefaults(LineSection section) {
    return section == LineSection::kSerial ? LineChoice{9600, 8, 0, 2}
                                           : LineChoice{115200, 8, 0, 2};
}

bool Offers(const std::vector<int>& list, int value) {
    return std::find(list.begin(), list.end(), value) != list.end();
}

// 2.5 for 2.500000, 15 for 15.000000.
std::string ShortNumber(double value) {
    std::string text = FormatFixed(value, 6);
    if (text.find('.') == std::string::npos) return text;
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

}  // namespace

// ---- "Settings of weatherdata" ----

ConnectionChoice OpenConnectionChoice(Profile& profile, const std::string& stationFile,
                                      const ConnectionSettings& current) {
    ConnectionChoice choice;
    const auto text = [&](const char* section, const char* key, const char* def,
                          std::size_t maxLength) {
        return profile.ReadText(stationFile, section, key, def, maxLength);
    };
    choice.serialPort = text(kSerialSection, "Anschluss", "COM1", kMaxPortPath);
    choice.fixedBaud = Atoi(text(kSerialSection, "AutoB", "0", 1)) != 0 ? 1 : 0;
    choice.tcpAddress = text(kTcpSection, "IP-Adresse", "192.168.1.1", kMaxAddress);
    choice.tcpPort = std::to_string(Atoi(text(kTcpSection, "IP-Port", "8023", 9)));
    choice.modemPort = profile.ReadText(stationFile, kModemSection, "Anschluss", "COM2");

    switch (current.type) {
        case ConnectionType::kSerial:
            choice.serialPort = current.serial.port;
            choice.fixedBaud = current.fixedBaud != 0 ? 1 : 0;
            break;
        case ConnectionType::kTcp:
            choice.tcpAddress = current.tcpAddress;
            choice.tcpPort = std::to_string(current.tcpPort);
            break;
        case ConnectionType::kModem:
            choice.modemPort = current.modem.line.port;
            break;
        default:
            break;
    }
    const int type = static_cast<int>(current.type);
    // A number outside 0..3 builds no link: it shows as what it is, stored data only.
    choice.type = type >= 0 && type <= 3 ? current.type : ConnectionType::kStoredDataOnly;
    choice.serialPort = SerialDevicePath(choice.serialPort);
    choice.modemPort = SerialDevicePath(choice.modemPort);
    return choice;
}

PortLists BuildPortLists(const std::vector<std::string>& candidates, SerialPort& probe,
                         const ConnectionChoice& current) {
    PortLists lists;
    const std::string serial = SerialDevicePath(current.serialPort);
    const std::string modem = SerialDevicePath(current.modemPort);
    for (const std::string& path : candidates) {
        if (path == serial) {
            lists.serial.push_back({path, 0});
        } else if (path == modem) {
            lists.modem.push_back({path, 0});
        } else {
            const int error = Probe(probe, path);
            lists.serial.push_back({path, error});
            lists.modem.push_back({path, error});
        }
    }
    if (!serial.empty() && FindPort(lists.serial, serial) == nullptr)
        lists.serial.push_back({serial, 0});
    if (!modem.empty() && FindPort(lists.modem, modem) == nullptr)
        lists.modem.push_back({modem, 0});
    return lists;
}

std::string PortProblem(int error) {
    switch (error) {
        case 0:
            return {};
        case EBUSY:
            return "in use by another program";
        case EACCES:
        case EPERM:
            return "no permission: add yourself to the dialout group";
        case ENOENT:
        case ENOTDIR:
            return "does not exist";
        case ENXIO:
        case ENODEV:
            return "no device answers at this port";
        default:
            return FileSystem::SystemErrorText(error);
    }
}

std::string PortStatus(const std::vector<PortEntry>& list, std::string_view path) {
    const std::string device = SerialDevicePath(Trimmed(path));
    for (const PortEntry& entry : list)
        if (entry.path == device) return PortProblem(entry.error);
    return {};
}

bool AcceptConnectionChoice(Ui& ui, const std::string& caption, Profile& profile,
                            const std::string& stationFile, const ConnectionChoice& choice,
                            PortLists& lists, SerialPort& probe, bool announce) {
    std::vector<Entry> entries;
    std::optional<std::string> problem;
    std::string path;
    int tcpPort = 0;
    switch (choice.type) {
        case ConnectionType::kSerial:
            problem = CheckPort(choice.serialPort, lists.serial, probe, path);
            entries = {{kSerialSection, "Anschluss", path},
                       {kSerialSection, "AutoB", choice.fixedBaud != 0 ? "1" : "0"}};
            break;
        case ConnectionType::kTcp:
            problem = CheckTcp(choice, tcpPort);
            entries = {{kTcpSection, "IP-Adresse", Trimmed(choice.tcpAddress)},
                       {kTcpSection, "IP-Port", std::to_string(tcpPort)}};
            break;
        case ConnectionType::kModem:
            problem = CheckPort(choice.modemPort, lists.modem, probe, path);
            entries = {{kModemSection, "Anschluss", path}};
            break;
        case ConnectionType::kStoredDataOnly:
            break;
        default:
            problem = "Please choose how the weather station is reached.";
            break;
    }
    if (problem) {
        Refuse(ui, caption, *problem);
        return false;
    }
    if (announce) ui.MessageBox(kNextTime, caption, MsgButtons::Ok, MsgIcon::Information);
    const int type = static_cast<int>(choice.type);
    entries.insert(entries.begin(), {{"DataParams", "SettsID", std::to_string(type)},
                                     {"Programmstart", "Start", type == 0 ? "0" : "1"}});
    return WriteEntries(ui, caption, profile, stationFile, entries);
}

void OnConnectionSettings(
    CWetterDoc& document,
    const std::function<ConnectionDialogResult(const ConnectionChoice& opened)>& runDialog) {
    AppContext& context = document.Context();
    const ConnectionDialogResult result = runDialog(
        OpenConnectionChoice(context.profile, document.StationFile(), document.Connection()));
    if (result.end == DialogEnd::kCancel) return;
    document.TakeConnectionType(result.type);
    if (document.Interpretation().start != 0) {
        document.LoadSettings();
        if (result.end == DialogEnd::kReconnect) document.StartAcquisition(false);
    } else if (result.end == DialogEnd::kReconnect) {
        document.OpenStoredData();
    }
}

// ---- "Configure COM-Port" ----

const char* SectionName(LineSection section) {
    return section == LineSection::kSerial ? kSerialSection : kModemSection;
}

// 76800 is left out: the serial drivers here have no such rate.
const std::vector<int>& BaudRates() {
    static const std::vector<int> rates{300,  600,   1200,  2400,   4800,
                                        9600, 19200, 38400, 115200, 230400};
    return rates;
}
const std::vector<int>& DataBitChoices() {
    static const std::vector<int> bits{7, 8};
    return bits;
}
const std::vector<int>& ParityChoices() {
    static const std::vector<int> parities{0, 1, 2};
    return parities;
}
const std::vector<int>& StopBitChoices() {
    static const std::vector<int> counts{1, 2};
    return counts;
}

LineChoice OpenLineChoice(Profile& profile, const std::string& stationFile, LineSection section) {
    const char* s = SectionName(section);
    const LineChoice defaults = SectionDefaults(section);
    const auto read = [&](const char* key, const std::vector<int>& offered, int def) {
        const int value = Atoi(profile.ReadText(stationFile, s, key, "0"));
        return Offers(offered, value) ? value : def;
    };
    LineChoice choice;
    choice.baudRate = read("Baudrate", BaudRates(), defaults.baudRate);
    choice.dataBits = read("Datenbits", DataBitChoices(), defaults.dataBits);
    choice.parity = read("Paritaet", ParityChoices(), defaults.parity);
    const int stopCode = Atoi(profile.ReadText(stationFile, s, "Stoppbits", "0"));
    choice.stopBitCount = stopCode == 0 ? 1 : stopCode == 2 ? 2 : defaults.stopBitCount;
    return choice;
}

bool AcceptLineChoice(Ui& ui, const std::string& caption, Profile& profile,
                      const std::string& stationFile, LineSection section,
                      const LineChoice& choice) {
    if (!Offers(BaudRates(), choice.baudRate) || !Offers(DataBitChoices(), choice.dataBits) ||
        !Offers(ParityChoices(), choice.parity) || !Offers(StopBitChoices(), choice.stopBitCount)) {
        Refuse(ui, caption, "Please choose a value in every list.");
        return false;
    }
    const char* s = SectionName(section);
    return WriteEntries(ui, caption, profile, stationFile,
                        {{s, "Baudrate", std::to_string(choice.baudRate)},
                         {s, "Datenbits", std::to_string(choice.dataBits)},
                         {s, "Paritaet", std::to_string(choice.parity)},
                         {s, "Stoppbits", choice.stopBitCount == 1 ? "0" : "2"}});
}

// ---- "GSM-Parameter Settings" ----

ModemFields OpenModemFields(Profile& profile, const std::string& stationFile) {
    const auto text = [&](const char* key, const char* def) {
        return profile.ReadText(stationFile, kModemSection, key, def);
    };
    ModemFields fields;
    fields.phoneNumber = text("Telefon Nummer", "");
    fields.dialCommand = text("Waehl Befehl", "ATD");
    fields.dialTerminator = text("Waehl Abschluss", "");
    fields.simPin = text("Mobil Pin", "");
    fields.timeout = text("Timeout", "10");
    fields.commandBefore = text("Aufbau vorher", "");
    fields.commandAfter = text("Aufbau nachher", "");
    return fields;
}

bool AcceptModemFields(Ui& ui, const std::string& caption, Profile& profile,
                       const std::string& stationFile, const ModemFields& fields) {
    const std::vector<std::pair<const char*, const std::string*>> texts{
        {"Telefon Nummer", &fields.phoneNumber},     {"Waehl Befehl", &fields.dialCommand},
        {"Waehl Abschluss", &fields.dialTerminator}, {"Aufbau vorher", &fields.commandBefore},
        {"Aufbau nachher", &fields.commandAfter},    {"Mobil Pin", &fields.simPin}};
    for (const auto& [key, value] : texts) {
        if (value->size() <= kMaxModemText) continue;
        Refuse(ui, caption,
               "At most " + std::to_string(kMaxModemText) + " characters can be kept for \"" + key +
                   "\".");
        return false;
    }

    std::string minutes = Trimmed(fields.timeout);
    const bool negative = minutes.starts_with('-');
    if (!AllDigits(negative ? std::string_view(minutes).substr(1) : minutes)) {
        Refuse(ui, caption, "Timeout dial up: please enter the minutes as a whole number.");
        return false;
    }
    if (!negative && (minutes.size() > 5 || Atoi(minutes) > kMaxModemTimeout)) {
        Refuse(ui, caption,
               "Timeout dial up: at most " + std::to_string(kMaxModemTimeout) + " minutes.");
        return false;
    }
    if (negative || Atoi(minutes) < kMinModemTimeout) {
        ui.MessageBox(kModemTimeoutRaised, caption, MsgButtons::Ok, MsgIcon::Information);
        minutes = std::to_string(kMinModemTimeout);
    }
    minutes = std::to_string(Atoi(minutes));

    std::vector<Entry> entries;
    for (const auto& [key, value] : texts) entries.push_back({kModemSection, key, Trimmed(*value)});
    entries.push_back({kModemSection, "Timeout", minutes});
    // Kept for the modem transport, which has no use for them.
    for (const char* key : {"Synch", "Synch Secs", "Log Datei"})
        entries.push_back({kModemSection, key, "0"});
    return WriteEntries(ui, caption, profile, stationFile, entries);
}

// ---- "Connection options" ----

ReconnectFields OpenReconnectFields(Profile& profile, const std::string& stationFile) {
    ReconnectFields fields;
    fields.active = TextNumbers::ToUpper(profile.ReadText(stationFile, kReconnectSection,
                                                          "ReconnectAktiv", "FALSE")) != "FALSE";
    fields.delay = ShortNumber(ReadReconnectDelay(profile, stationFile));
    fields.timeout = ShortNumber(ReadReconnectTimeout(profile, stationFile));
    return fields;
}

std::optional<double> ParseSeconds(std::string_view text) {
    std::string number = Trimmed(text);
    std::replace(number.begin(), number.end(), ',', '.');
    const std::size_t point = number.find('.');
    const std::string_view whole = std::string_view(number).substr(0, point);
    const std::string_view fraction = point == std::string::npos
                                          ? std::string_view()
                                          : std::string_view(number).substr(point + 1);
    const bool digitsOnly =
        (whole.empty() || AllDigits(whole)) && (fraction.empty() || AllDigits(fraction));
    if (!digitsOnly || (whole.empty() && fraction.empty()) || whole.size() > 6) return std::nullopt;
    const double seconds = TextNumbers::Atof(number);
    if (!(seconds > 0.0) || seconds > kMaxSeconds) return std::nullopt;
    return seconds;
}

bool AcceptReconnectFields(Ui& ui, const std::string& caption, Profile& profile,
                           const std::string& stationFile, const ReconnectFields& opened,
                           const ReconnectFields& entered, ConnectionType connection,
                           ProcessWideSettings& processWide) {
    const ReconnectFields& times = entered.active ? entered : opened;
    const std::optional<double> delay = ParseSeconds(times.delay);
    const std::optional<double> timeout = ParseSeconds(times.timeout);
    const char* wrong = !delay     ? "Trying to reconnect after"
                        : !timeout ? "Time for trying to get data"
                                   : nullptr;
    if (wrong != nullptr) {
        Refuse(ui, caption,
               std::string(wrong) +
                   ": please enter a number of seconds greater than 0 and at most 86400.");
        return false;
    }
    if (!WriteEntries(ui, caption, profile, stationFile,
                      {{kReconnectSection, "ReconnectAktiv", entered.active ? "TRUE" : "FALSE"},
                       {kReconnectSection, "Reconnect", FormatFixed(*delay)},
                       {kReconnectSection, "ReconnectTimeout", FormatFixed(*timeout)}}))
        return false;
    // A modem must not redial by itself.
    processWide.reconnect = entered.active && connection != ConnectionType::kModem;
    return true;
}

// ---- baud-rate search ----

bool StoreFoundBaudRate(Profile& profile, const std::string& stationFile, int baudRate) {
    return profile.WriteText(stationFile, kSerialSection, "Baudrate", std::to_string(baudRate));
}

}  // namespace ConnectionOptions
