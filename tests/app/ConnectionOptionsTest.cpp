// The rules behind the connection windows: what they show on opening, what
// they refuse, the station.ini bytes they write, and what the document does
// once the connection dialog closes.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "FakeSerialPort.h"
#include "FakeTransport.h"
#include "StationHome.h"
#include "app/AcquisitionUi.h"
#include "app/CWetterDoc.h"
#include "app/ConnectionOptions.h"
#include "model/Colours.h"
#include "model/OutputList.h"

namespace {

using namespace ConnectionOptions;

// A station file with a serial section, a TCP section and a modem section, in CRLF as Windows wrote
// it.
constexpr const char* kStation =
    "[DataParams]\r\nSettsID=1\r\n[Programmstart]\r\nStart=1\r\n"
    "[Serielle Schnittstelle]\r\nAnschluss=\\\\.\\COM3\r\nBaudrate=19200\r\nAutoB=1\r\n"
    "[TCP/IP Schnittstelle]\r\nIP-Adresse=wetter.lan\r\nIP-Port=23\r\n"
    "[Modem Verbindung]\r\nAnschluss=/dev/ttyACM0\r\n";

class ConnectionOptionsTest : public ::testing::Test {
protected:
    ConnectionOptionsTest() { home.folder.Write("wetterstation.ini", kStation); }

    std::string File() const { return home.StationFile(); }
    std::string Bytes() const { return home.folder.Read("wetterstation.ini"); }

    StationHome home;
    IniProfile profile;
    ScriptedUi ui;
    FakeSerialPort probe;
};

// ---- "Settings of weatherdata" ----

TEST_F(ConnectionOptionsTest, OpensWithTheDocumentsConnectionAndTheStoredOthers) {
    ConnectionSettings current;
    current.type = ConnectionType::kTcp;
    current.tcpAddress = "192.168.7.7";
    current.tcpPort = 8023;
    const ConnectionChoice choice = OpenConnectionChoice(profile, File(), current);
    EXPECT_EQ(choice.type, ConnectionType::kTcp);
    EXPECT_EQ(choice.tcpAddress, "192.168.7.7");
    EXPECT_EQ(choice.tcpPort, "8023");
    // The other types as stored, the Windows port name as the device it stands for.
    EXPECT_EQ(choice.serialPort, "/dev/ttyS2");
    EXPECT_EQ(choice.fixedBaud, 1);
    EXPECT_EQ(choice.modemPort, "/dev/ttyACM0");

    home.folder.Write("wetterstation.ini", "");
    current.type = static_cast<ConnectionType>(7);
    const ConnectionChoice empty = OpenConnectionChoice(profile, File(), current);
    EXPECT_EQ(empty.type, ConnectionType::kStoredDataOnly) << "a type that reaches no station";
    EXPECT_EQ(empty.serialPort, "/dev/ttyS0") << "COM1 when nothing is stored";
    EXPECT_EQ(empty.fixedBaud, 0);
    EXPECT_EQ(empty.tcpAddress, "192.168.1.1");
    EXPECT_EQ(empty.tcpPort, "8023");
    EXPECT_EQ(empty.modemPort, "/dev/ttyS1");
}

TEST_F(ConnectionOptionsTest, PortListsKeepTheStationsPortsAndSayWhyOthersCannotBeOpened) {
    ConnectionChoice current;
    current.serialPort = "/dev/ttyUSB0";  // held by this station: never opened
    current.modemPort = "/dev/ttyACM0";
    probe.busy = {"/dev/ttyUSB1"};
    probe.openErrors = {0, EACCES};  // ttyS0, then ttyS1
    const std::vector<std::string> candidates{"/dev/ttyACM0", "/dev/ttyS0", "/dev/ttyS1",
                                              "/dev/ttyUSB0", "/dev/ttyUSB1"};
    const PortLists lists = BuildPortLists(candidates, probe, current);

    const auto paths = [](const std::vector<PortEntry>& list) {
        std::vector<std::string> texts;
        for (const PortEntry& entry : list)
            texts.push_back(entry.path +
                            (entry.error != 0 ? " (" + PortProblem(entry.error) + ")" : ""));
        return texts;
    };
    EXPECT_EQ(paths(lists.serial),
              (std::vector<std::string>{
                  "/dev/ttyS0", "/dev/ttyS1 (no permission: add yourself to the dialout group)",
                  "/dev/ttyUSB0", "/dev/ttyUSB1 (in use by another program)"}));
    EXPECT_EQ(
        paths(lists.modem),
        (std::vector<std::string>{"/dev/ttyACM0", "/dev/ttyS0",
                                  "/dev/ttyS1 (no permission: add yourself to the dialout group)",
                                  "/dev/ttyUSB1 (in use by another program)"}));
    EXPECT_EQ(probe.opened, (std::vector<std::string>{"/dev/ttyS0", "/dev/ttyS1", "/dev/ttyUSB1"}));
    EXPECT_EQ(probe.closes, 1) << "the one port that opened is closed again";
    EXPECT_TRUE(probe.formats.empty()) << "listing must not change a port's settings";

    EXPECT_EQ(PortStatus(lists.serial, "/dev/ttyUSB1"), "in use by another program");
    EXPECT_EQ(PortStatus(lists.serial, " /dev/ttyUSB0 "), "");
    EXPECT_EQ(PortStatus(lists.serial, "/dev/pts/4"), "") << "not probed yet";
}

TEST_F(ConnectionOptionsTest, AStoredPortThatIsNoLongerThereIsStillListed) {
    ConnectionChoice current;
    current.serialPort = "/dev/pts/4";
    current.modemPort = "COM2";
    const PortLists lists = BuildPortLists({}, probe, current);
    ASSERT_EQ(lists.serial.size(), 1u);
    EXPECT_EQ(lists.serial[0].path, "/dev/pts/4");
    ASSERT_EQ(lists.modem.size(), 1u);
    EXPECT_EQ(lists.modem[0].path, "/dev/ttyS1");
    EXPECT_TRUE(probe.opened.empty());
}

struct AcceptRow {
    const char* name;
    ConnectionChoice choice;
    std::string bytes;  // the station file afterwards
};

class AcceptedChoices : public ConnectionOptionsTest,
                        public ::testing::WithParamInterface<AcceptRow> {};

TEST_P(AcceptedChoices, WriteTheTypeAndOnlyItsKeys) {
    PortLists lists;
    lists.serial = {{"/dev/ttyUSB0", 0}};
    lists.modem = {{"/dev/ttyUSB0", 0}};
    ASSERT_TRUE(AcceptConnectionChoice(ui, "wetter", profile, File(), GetParam().choice, lists,
                                       probe, true));
    EXPECT_EQ(Bytes(), GetParam().bytes);
    ASSERT_EQ(ui.Messages(), std::vector<std::string>{"Settings will be used for the next time"});
}

ConnectionChoice Choice(ConnectionType type) {
    ConnectionChoice choice;
    choice.type = type;
    choice.serialPort = "/dev/ttyUSB0";
    choice.fixedBaud = 0;
    choice.tcpAddress = " 127.0.0.1 ";
    choice.tcpPort = "08024";
    choice.modemPort = "/dev/ttyUSB0";
    return choice;
}

INSTANTIATE_TEST_SUITE_P(
    Types, AcceptedChoices,
    ::testing::Values(
        AcceptRow{
            "StoredDataOnly", Choice(ConnectionType::kStoredDataOnly),
            "[DataParams]\r\nSettsID=0\r\n[Programmstart]\r\nStart=0\r\n"
            "[Serielle Schnittstelle]\r\nAnschluss=\\\\.\\COM3\r\nBaudrate=19200\r\nAutoB=1\r\n"
            "[TCP/IP Schnittstelle]\r\nIP-Adresse=wetter.lan\r\nIP-Port=23\r\n"
            "[Modem Verbindung]\r\nAnschluss=/dev/ttyACM0\r\n"},
        AcceptRow{
            "Serial", Choice(ConnectionType::kSerial),
            "[DataParams]\r\nSettsID=1\r\n[Programmstart]\r\nStart=1\r\n"
            "[Serielle Schnittstelle]\r\nAnschluss=/dev/ttyUSB0\r\nBaudrate=19200\r\nAutoB=0\r\n"
            "[TCP/IP Schnittstelle]\r\nIP-Adresse=wetter.lan\r\nIP-Port=23\r\n"
            "[Modem Verbindung]\r\nAnschluss=/dev/ttyACM0\r\n"},
        AcceptRow{
            "Network", Choice(ConnectionType::kTcp),
            "[DataParams]\r\nSettsID=2\r\n[Programmstart]\r\nStart=1\r\n"
            "[Serielle Schnittstelle]\r\nAnschluss=\\\\.\\COM3\r\nBaudrate=19200\r\nAutoB=1\r\n"
            "[TCP/IP Schnittstelle]\r\nIP-Adresse=127.0.0.1\r\nIP-Port=8024\r\n"
            "[Modem Verbindung]\r\nAnschluss=/dev/ttyACM0\r\n"},
        AcceptRow{
            "Modem", Choice(ConnectionType::kModem),
            "[DataParams]\r\nSettsID=3\r\n[Programmstart]\r\nStart=1\r\n"
            "[Serielle Schnittstelle]\r\nAnschluss=\\\\.\\COM3\r\nBaudrate=19200\r\nAutoB=1\r\n"
            "[TCP/IP Schnittstelle]\r\nIP-Adresse=wetter.lan\r\nIP-Port=23\r\n"
            "[Modem Verbindung]\r\nAnschluss=/dev/ttyUSB0\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConnectionOptionsTest, ReconnectWritesTheSameWithoutTheAnnouncement) {
    PortLists lists;
    ASSERT_TRUE(AcceptConnectionChoice(ui, "wetter", profile, File(), Choice(ConnectionType::kTcp),
                                       lists, probe, false));
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_NE(Bytes().find("IP-Port=8024"), std::string::npos);
}

struct RefusalRow {
    const char* name;
    ConnectionType type;
    std::string serialPort;
    std::string address;
    std::string port;
    std::string message;
};

class RefusedChoices : public ConnectionOptionsTest,
                       public ::testing::WithParamInterface<RefusalRow> {};

TEST_P(RefusedChoices, AreShownAndNothingIsWritten) {
    const RefusalRow& row = GetParam();
    ConnectionChoice choice = Choice(row.type);
    choice.serialPort = row.serialPort;
    choice.tcpAddress = row.address;
    choice.tcpPort = row.port;
    PortLists lists;
    lists.serial = {{"/dev/ttyUSB0", 0}};
    probe.openErrors = {ENOENT};
    EXPECT_FALSE(AcceptConnectionChoice(ui, "wetter", profile, File(), choice, lists, probe, true));
    EXPECT_EQ(Bytes(), kStation);
    ASSERT_EQ(ui.Messages().size(), 1u) << "the refusal only, no announcement";
    EXPECT_EQ(ui.Messages()[0], row.message);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, RefusedChoices,
    ::testing::Values(
        RefusalRow{"NoPort", ConnectionType::kSerial, "  ", "", "",
                   "Please choose the port the weather station is connected to."},
        RefusalRow{"PortThatDoesNotExist", ConnectionType::kSerial, "/dev/ttyUSB9", "", "",
                   "The port /dev/ttyUSB9 does not exist.\nPlease choose a listed port or check "
                   "the device path."},
        RefusalRow{"PortPathTooLong", ConnectionType::kSerial, "/dev/" + std::string(250, 'x'), "",
                   "", "The port name is too long: at most 254 characters."},
        RefusalRow{"NoAddress", ConnectionType::kTcp, "", " ", "8023",
                   "Please enter the IP- or WEB Address of the weather station."},
        RefusalRow{"AddressWithBlank", ConnectionType::kTcp, "", "my station", "8023",
                   "\"my station\" is no IP address or host name."},
        RefusalRow{"AddressTooLong", ConnectionType::kTcp, "", std::string(255, 'a'), "8023",
                   "Please enter no more than 254 characters for the IP- or WEB Address."},
        RefusalRow{"PortAboveRange", ConnectionType::kTcp, "", "wetter.lan", "65536",
                   "TCP/IP Port: please enter an integer between 0 and 65535."},
        RefusalRow{"PortNegative", ConnectionType::kTcp, "", "wetter.lan", "-1",
                   "TCP/IP Port: please enter an integer between 0 and 65535."},
        RefusalRow{"PortEmpty", ConnectionType::kTcp, "", "wetter.lan", "",
                   "TCP/IP Port: please enter an integer between 0 and 65535."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConnectionOptionsTest, ATypedPortIsProbedAndItsProblemKept) {
    PortLists lists;
    ConnectionChoice choice = Choice(ConnectionType::kModem);
    choice.modemPort = "COM4";  // the Windows name of /dev/ttyS3
    probe.openErrors = {EACCES};
    // A port the user may not open yet is kept: the group can be joined later.
    ASSERT_TRUE(AcceptConnectionChoice(ui, "wetter", profile, File(), choice, lists, probe, false));
    EXPECT_EQ(probe.opened, std::vector<std::string>{"/dev/ttyS3"});
    EXPECT_EQ(PortStatus(lists.modem, "/dev/ttyS3"),
              "no permission: add yourself to the dialout group");
    EXPECT_NE(Bytes().find("[Modem Verbindung]\r\nAnschluss=/dev/ttyS3\r\n"), std::string::npos);
}

TEST_F(ConnectionOptionsTest, AFileThatCannotBeWrittenIsShown) {
    PortLists lists;
    const std::string file = home.folder.File("gone/wetterstation.ini");
    EXPECT_FALSE(AcceptConnectionChoice(ui, "wetter", profile, file, Choice(ConnectionType::kTcp),
                                        lists, probe, false));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].rfind(file + " couldn't be written", 0), 0u) << ui.Messages()[0];
}

// ---- what the document does after the dialog ----

struct FakeAcquisitionUi final : AcquisitionUi {
    void RunInitialisation(CWetterDoc& document) override {
        ++initialisations;
        document.SetReconnecting(false);
    }
    bool SearchBaudRate(CDataBase&, SerialLineSettings&) override { return baudFound; }
    void ExitProcess(int) override {}
    int initialisations = 0;
    bool baudFound = true;  // false: the search failed or was cancelled
};

class ConnectionCommand : public ::testing::Test, protected ManualWorld {
protected:
    static void SetUpTestSuite() { UseUtcZone(); }

    ConnectionCommand() : ManualWorld(Utc(2024, 3, 10, 12, 0)) {
        context.transports = &factory;
        context.acquisitionUi = &acquisitionUi;
        WriteStation(
            "[DataParams]\nSettsID=2\n[TCP/IP Schnittstelle]\nIP-Adresse=old.lan\nIP-Port=23\n");
        std::filesystem::create_directories(DataFolder());
        folder.Write("Daten/03_2024.orb", "11:55:00,10.03.24,TE4.0,FE70,\r\n");
        doc = std::make_unique<CWetterDoc>(context);
        factory.made.clear();
    }

    // Runs the command as if the dialog wrote `sections` and closed with `end`.
    void Run(DialogEnd end, ConnectionType type, const std::string& sections = "") {
        OnConnectionSettings(*doc, [&](const ConnectionChoice& opened) {
            EXPECT_EQ(opened.tcpAddress, "old.lan");
            if (!sections.empty()) WriteStation(sections);
            return ConnectionDialogResult{end, type};
        });
    }
    std::shared_ptr<FakeTransport> Transport() const {
        return std::static_pointer_cast<FakeTransport>(process.CurrentTransport.Get());
    }

    FakeTransportFactory factory;
    FakeAcquisitionUi acquisitionUi;
    std::unique_ptr<CWetterDoc> doc;
};

TEST_F(ConnectionCommand, CancelChangesNothing) {
    Run(DialogEnd::kCancel, ConnectionType::kSerial);
    EXPECT_TRUE(factory.made.empty());
    EXPECT_EQ(doc->Connection().type, ConnectionType::kTcp);
}

TEST_F(ConnectionCommand, AcceptLoadsTheNewSettingsForTheNextConnect) {
    Run(DialogEnd::kAccept, ConnectionType::kTcp,
        "[DataParams]\nSettsID=2\n[TCP/IP Schnittstelle]\nIP-Adresse=new.lan\nIP-Port=8023\n");
    EXPECT_EQ(factory.made, std::vector<std::string>{"tcp new.lan 8023"});
    EXPECT_FALSE(Transport()->open) << "no connect before the next start";
    EXPECT_EQ(acquisitionUi.initialisations, 0);
}

TEST_F(ConnectionCommand, AcceptLeavesTheRunningLinkItsTransportsUntilTheNextConnect) {
    const std::string forwarding =
        "[Weiterleitung]\nAktiv=TRUE\nCOM-Port=/dev/ttyUSB1\nBaudrate=9600\n";
    Run(DialogEnd::kReconnect, ConnectionType::kTcp,
        "[DataParams]\nSettsID=2\n[TCP/IP Schnittstelle]\nIP-Adresse=old.lan\nIP-Port=23\n" +
            forwarding);
    const std::shared_ptr<FakeTransport> running = Transport();
    const auto forwardPort =
        std::static_pointer_cast<FakeTransport>(process.ForwardTransport.Get());
    ASSERT_TRUE(running->open);
    ASSERT_TRUE(forwardPort->open);

    Run(DialogEnd::kAccept, ConnectionType::kTcp,
        "[DataParams]\nSettsID=2\n[TCP/IP Schnittstelle]\nIP-Adresse=new.lan\nIP-Port=8023\n" +
            forwarding);
    EXPECT_EQ(Transport(), running) << "the readers and commands keep the link in use";
    EXPECT_TRUE(running->open);
    EXPECT_EQ(process.ForwardTransport.Get(), forwardPort);
    EXPECT_TRUE(forwardPort->open);

    doc->StartAcquisition(false);
    EXPECT_EQ(Transport()->description, "tcp new.lan 8023");
    EXPECT_TRUE(Transport()->open);
    EXPECT_FALSE(running->open);
    EXPECT_EQ(running->written, (std::vector<std::string>{"\r\n", "\r\n"}))
        << "the old link is taken down as a disconnect does";
    EXPECT_TRUE(forwardPort->open) << "forwarding goes on after the connect";
}

TEST_F(ConnectionCommand, ReconnectLoadsAndConnectsAtOnce) {
    Run(DialogEnd::kReconnect, ConnectionType::kTcp,
        "[DataParams]\nSettsID=2\n[TCP/IP Schnittstelle]\nIP-Adresse=new.lan\nIP-Port=8023\n");
    EXPECT_EQ(factory.made, std::vector<std::string>{"tcp new.lan 8023"});
    EXPECT_TRUE(Transport()->open);
    EXPECT_TRUE(doc->PortOpen());
    EXPECT_EQ(acquisitionUi.initialisations, 1);
}

TEST_F(ConnectionCommand, BaudSearchWithoutAnswerIsACautionWithItsOutputLine) {
    OutputList::Process().Clear();
    acquisitionUi.baudFound = false;
    Run(DialogEnd::kReconnect, ConnectionType::kSerial,
        "[DataParams]\nSettsID=1\n[Serielle Schnittstelle]\nAnschluss=/dev/ttyUSB0\nAutoB=0\n");
    const std::string text =
        "Receive no data!\n\nAction:\n- Is the selected port OK?\n- Is the connection to the "
        "weatherstation OK?";
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].kind, "caution");
    EXPECT_EQ(ui.shown[0].text, text);
    const auto lines = OutputList::Process().Snapshot();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().text, text);
    EXPECT_EQ(lines.back().colour, kColourCaution);
    EXPECT_FALSE(doc->PortOpen());
    EXPECT_EQ(acquisitionUi.initialisations, 0);
}

TEST_F(ConnectionCommand, StoredDataOnlyReadsTheStoredDataAgainOnlyAfterRead) {
    Run(DialogEnd::kAccept, ConnectionType::kStoredDataOnly);
    EXPECT_EQ(doc->Connection().type, ConnectionType::kStoredDataOnly);
    EXPECT_EQ(doc->Interpretation().start, 0);
    EXPECT_TRUE(factory.made.empty()) << "no settings load";
    EXPECT_TRUE(doc->SensorIdentifiers().empty());

    Run(DialogEnd::kReconnect, ConnectionType::kStoredDataOnly);
    EXPECT_TRUE(factory.made.empty());
    EXPECT_EQ(doc->SensorIdentifiers(), (std::vector<std::string>{"TE", "FE"}));
    EXPECT_EQ(acquisitionUi.initialisations, 0);
}

// ---- "Configure COM-Port" ----

struct StopBitRow {
    const char* stored;
    int shown;
};

TEST_F(ConnectionOptionsTest, LineSettingsShowStoredValuesAndWriteStopBitCodes) {
    // A stored stop-bit code 0 is one stop bit; code 1 (one and a half) has no entry.
    for (const StopBitRow& row : {StopBitRow{"0", 1}, StopBitRow{"2", 2}, StopBitRow{"1", 2}}) {
        home.folder.Write(
            "wetterstation.ini",
            std::string("[Serielle Schnittstelle]\r\nStoppbits=") + row.stored + "\r\n");
        EXPECT_EQ(OpenLineChoice(profile, File(), LineSection::kSerial).stopBitCount, row.shown)
            << row.stored;
    }
    // Values no list offers (76800 has no rate on this system) show the section's defaults.
    home.folder.Write("wetterstation.ini",
                      "[Modem Verbindung]\r\nBaudrate=76800\r\nDatenbits=9\r\nParitaet=4\r\n");
    const LineChoice modem = OpenLineChoice(profile, File(), LineSection::kModem);
    EXPECT_EQ(modem.baudRate, 115200);
    EXPECT_EQ(modem.dataBits, 8);
    EXPECT_EQ(modem.parity, 0);

    ASSERT_TRUE(
        AcceptLineChoice(ui, "wetter", profile, File(), LineSection::kSerial, {4800, 7, 2, 1}));
    ASSERT_TRUE(
        AcceptLineChoice(ui, "wetter", profile, File(), LineSection::kModem, {38400, 8, 1, 2}));
    EXPECT_EQ(Bytes(),
              "[Modem Verbindung]\r\nBaudrate=38400\r\nDatenbits=8\r\nParitaet=1\r\nStoppbits=2\r\n"
              "[Serielle Schnittstelle]\r\nBaudrate=4800\r\nDatenbits=7\r\nParitaet=2\r\n"
              "Stoppbits=0\r\n");
    EXPECT_TRUE(ui.shown.empty());
}

// ---- "GSM-Parameter Settings" ----

TEST_F(ConnectionOptionsTest, ModemFieldsOpenWithTheDialogsDefaultsAndAreWrittenTrimmed) {
    home.folder.Write("wetterstation.ini", "");
    const ModemFields opened = OpenModemFields(profile, File());
    EXPECT_EQ(opened.dialCommand, "ATD");
    EXPECT_EQ(opened.dialTerminator, "") << "the dialog's own default, not the connection's";
    EXPECT_EQ(opened.timeout, "10");

    ModemFields fields = opened;
    fields.phoneNumber = " 0171 234567 ";
    fields.dialTerminator = ";";
    fields.commandBefore = "AT+CBST=7,0,1";
    fields.simPin = "1234";
    fields.timeout = " 30 ";
    ASSERT_TRUE(AcceptModemFields(ui, "wetter", profile, File(), fields));
    EXPECT_EQ(Bytes(),
              "[Modem Verbindung]\r\nTelefon Nummer=0171 234567\r\nWaehl Befehl=ATD\r\n"
              "Waehl Abschluss=;\r\nAufbau vorher=AT+CBST=7,0,1\r\nAufbau nachher=\r\n"
              "Mobil Pin=1234\r\nTimeout=30\r\nSynch=0\r\nSynch Secs=0\r\nLog Datei=0\r\n");
    EXPECT_TRUE(ui.shown.empty());
}

struct TimeoutRow {
    const char* typed;
    const char* stored;  // "" when refused
    const char* message;
};

TEST_F(ConnectionOptionsTest, ModemTimeoutIsRaisedToTwoMinutesOrRefused) {
    const TimeoutRow rows[] = {
        {"1", "2", kModemTimeoutRaised},
        {"-5", "2", kModemTimeoutRaised},
        {"2", "2", nullptr},
        {"86400", "86400", nullptr},
        {"86401", "", "Timeout dial up: at most 86400 minutes."},
        {"9999999999", "", "Timeout dial up: at most 86400 minutes."},
        {"", "", "Timeout dial up: please enter the minutes as a whole number."},
        {"1.5", "", "Timeout dial up: please enter the minutes as a whole number."},
        {"ten", "", "Timeout dial up: please enter the minutes as a whole number."},
    };
    for (const TimeoutRow& row : rows) {
        SCOPED_TRACE(row.typed);
        home.folder.Write("wetterstation.ini", "");
        ui.shown.clear();
        ModemFields fields;
        fields.timeout = row.typed;
        const bool saved = AcceptModemFields(ui, "wetter", profile, File(), fields);
        EXPECT_EQ(saved, *row.stored != '\0');
        if (saved)
            EXPECT_NE(Bytes().find(std::string("Timeout=") + row.stored + "\r\n"),
                      std::string::npos);
        else
            EXPECT_EQ(Bytes(), "");
        EXPECT_EQ(ui.Messages(),
                  row.message ? std::vector<std::string>{row.message} : std::vector<std::string>{});
    }
}

// ---- "Connection options" ----

TEST_F(ConnectionOptionsTest, ReconnectSwitchReadsAnythingButFalseAsOn) {
    for (const auto& [stored, on] :
         {std::pair{"false", false}, {"FALSE", false}, {"yes", true}, {"TRUE", true}}) {
        home.folder.Write("wetterstation.ini",
                          std::string("[Verbindungsabbruch]\r\nReconnectAktiv=") + stored +
                              "\r\nReconnect=2.5\r\nReconnectTimeout=nonsense\r\n");
        const ReconnectFields fields = OpenReconnectFields(profile, File());
        EXPECT_EQ(fields.active, on) << stored;
        EXPECT_EQ(fields.delay, "2.5");
        EXPECT_EQ(fields.timeout, "15") << "what the reader makes of it";
    }
}

TEST_F(ConnectionOptionsTest, SaveWritesTheTimesAndSwitchesReconnectAtOnce) {
    home.folder.Write("wetterstation.ini", "");
    ProcessWideSettings process;
    const ReconnectFields opened{false, "15", "15"};
    ASSERT_TRUE(AcceptReconnectFields(ui, "wetter", profile, File(), opened, {true, "30", "7,5"},
                                      ConnectionType::kTcp, process));
    EXPECT_EQ(Bytes(),
              "[Verbindungsabbruch]\r\nReconnectAktiv=TRUE\r\nReconnect=30.000000\r\n"
              "ReconnectTimeout=7.500000\r\n");
    EXPECT_TRUE(process.reconnect);

    // A modem never reconnects by itself, whatever is stored.
    ASSERT_TRUE(AcceptReconnectFields(ui, "wetter", profile, File(), opened, {true, "30", "10"},
                                      ConnectionType::kModem, process));
    EXPECT_FALSE(process.reconnect);

    // Switched off, the times cannot be edited: what they were opened with is kept.
    ASSERT_TRUE(AcceptReconnectFields(ui, "wetter", profile, File(), opened, {false, "x", ""},
                                      ConnectionType::kTcp, process));
    EXPECT_EQ(Bytes(),
              "[Verbindungsabbruch]\r\nReconnectAktiv=FALSE\r\nReconnect=15.000000\r\n"
              "ReconnectTimeout=15.000000\r\n");
    EXPECT_FALSE(process.reconnect);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ConnectionOptionsTest, SecondsTheReaderCouldNotTakeBackAreRefused) {
    for (const char* typed : {"0", "", "abc", "-3", "86400.5", "1e3", "1.2.3", "."}) {
        EXPECT_FALSE(ParseSeconds(typed).has_value()) << typed;
    }
    EXPECT_EQ(ParseSeconds(" 86400 "), 86400.0);
    EXPECT_EQ(ParseSeconds(".5"), 0.5);

    home.folder.Write("wetterstation.ini", "");
    ProcessWideSettings process;
    EXPECT_FALSE(AcceptReconnectFields(ui, "wetter", profile, File(), {false, "15", "15"},
                                       {true, "15", "0"}, ConnectionType::kTcp, process));
    EXPECT_EQ(Bytes(), "");
    EXPECT_FALSE(process.reconnect);
    EXPECT_EQ(ui.Messages(),
              std::vector<std::string>{"Time for trying to get data: please enter a number of "
                                       "seconds greater than 0 and at most 86400."});
}

}  // namespace
