#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "FakeTransport.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "app/DocumentView.h"
#include "model/OutputList.h"
#include "platform/FileSystem.h"

namespace {

// A station home with fakes for everything the document touches.
class DocumentHome : public ManualWorld {
public:
    DocumentHome() : ManualWorld(1700000000) { context.transports = &factory; }

    void WriteStationFile(const std::string& bytes) const {
        folder.Write("wetterstation.ini", bytes);
    }
    std::unique_ptr<CWetterDoc> Open() { return std::make_unique<CWetterDoc>(context); }

    FakeTransportFactory factory;
};

struct NullView : DocumentView {
    void ReloadData() override {}
    void DropSensor(const std::string& id) override { dropped.push_back(id); }
    std::vector<std::string> dropped;
};

TEST(CWetterDocSettings, MissingFileGetsTheDefaultFileWithoutPortSectionAndASerialStation) {
    DocumentHome home;
    const auto doc = home.Open();

    const std::string data = home.folder.File("Daten");
    EXPECT_EQ(home.folder.Read("wetterstation.ini"),
              "[Speicherintervall]\r\nVerzeichnis=" + data +
                  "\r\nIntervall/Sek=300\r\n[Programmstart]\r\nStart=1\r\n"
                  "[Dateninterpretation]\r\nMit_Speicher=1\r\nDaten_Speichern=1\r\n"
                  "[Regen]\r\nReset=0\r\n");
    EXPECT_EQ(doc->Connection().type, ConnectionType::kSerial);
    EXPECT_EQ(doc->Connection().serial.port, "COM1");
    EXPECT_EQ(doc->Connection().serial.baudRate, 9600);
    EXPECT_EQ(doc->Storage().dataFolder, data);
    EXPECT_EQ(doc->Storage().interval, 300);
    EXPECT_TRUE(std::filesystem::is_directory(data)) << "data folder created";
    EXPECT_EQ(home.factory.made, (std::vector<std::string>{"serial COM1 9600 8 0 2"}));
    EXPECT_EQ(home.process.CurrentTransport.Get()->GetDescription(), "serial COM1 9600 8 0 2");

    const ProcessWideSettings& pw = home.process.settings;
    EXPECT_DOUBLE_EQ(pw.noDataTimeout, 60.0);
    EXPECT_EQ(pw.commandTimeoutMs, 2300);
    EXPECT_EQ(pw.commandRetries, 5);
    EXPECT_EQ(pw.liveClockTolerance, 60);
    EXPECT_FALSE(pw.reconnect);
    EXPECT_EQ(pw.dataFileExtension, ".orb");
    EXPECT_EQ(doc->Interpretation().resetCommand, "!R0");
    EXPECT_EQ(doc->Interpretation().loggerStation, 1);
    EXPECT_EQ(doc->Interpretation().start, 1);
}

TEST(CWetterDocSettings, SecondLoadOfATcpStationWritesNothingAndKeepsThePreviousTransport) {
    DocumentHome home;
    home.WriteStationFile(
        "[DataParams]\r\nSettsID=2\r\n[TCP/IP Schnittstelle]\r\nIP-Adresse=127.0.0.1\r\n");
    const auto doc = home.Open();
    EXPECT_EQ(home.folder.Read("wetterstation.ini"),
              "[DataParams]\r\nSettsID=2\r\n[TCP/IP Schnittstelle]\r\nIP-Adresse=127.0.0.1\r\n");
    EXPECT_EQ(doc->Connection().tcpPort, 8023);
    const auto first = home.process.CurrentTransport.Get();

    doc->LoadSettings();
    EXPECT_EQ(home.process.PreviousTransport.Get(), first);
    EXPECT_NE(home.process.CurrentTransport.Get(), first);
    EXPECT_EQ(home.factory.made.back(), "tcp 127.0.0.1 8023");
}

TEST(CWetterDocSettings, StationWithoutLinkHasNoTransportAfterAReload) {
    DocumentHome home;
    const auto doc = home.Open();
    home.WriteStationFile("[DataParams]\r\nSettsID=0\r\n");
    doc->LoadSettings();
    EXPECT_EQ(home.process.CurrentTransport.Get(), nullptr);
    EXPECT_NE(home.process.PreviousTransport.Get(), nullptr);
}

struct SettingsRow {
    const char* name;
    const char* file;
    std::function<void(const CWetterDoc&, const ProcessValues&, const std::string& home)> check;
};

class CWetterDocSettingsRows : public ::testing::TestWithParam<SettingsRow> {};

TEST_P(CWetterDocSettingsRows, Load) {
    DocumentHome home;
    home.WriteStationFile(GetParam().file);
    const auto doc = home.Open();
    GetParam().check(*doc, home.process, home.folder.Path());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CWetterDocSettingsRows,
    ::testing::Values(
        SettingsRow{
            "EmptyDataFolderGivesTheDefault", "[Speicherintervall]\nVerzeichnis=\n",
            [](auto& d, auto&, auto& h) { EXPECT_EQ(d.Storage().dataFolder, h + "/Daten"); }},
        SettingsRow{"StorageIdentifierGoesIntoTheExtension", "[Speicher-ID]\nID=A1\n",
                    [](auto& d, auto& p, auto&) {
                        EXPECT_EQ(d.Storage().storageId, "A1");
                        EXPECT_EQ(p.settings.dataFileExtension, ".A1.orb");
                    }},
        SettingsRow{"LowerCaseFalseIsNoReconnect", "[Verbindungsabbruch]\nReconnectAktiv=false\n",
                    [](auto&, auto& p, auto&) { EXPECT_FALSE(p.settings.reconnect); }},
        SettingsRow{"AnyOtherWordIsReconnect", "[Verbindungsabbruch]\nReconnectAktiv=yes\n",
                    [](auto&, auto& p, auto&) { EXPECT_TRUE(p.settings.reconnect); }},
        SettingsRow{"ModemNeverReconnects",
                    "[DataParams]\nSettsID=3\n[Verbindungsabbruch]\nReconnectAktiv=TRUE\n",
                    [](auto& d, auto& p, auto&) {
                        EXPECT_FALSE(p.settings.reconnect);
                        EXPECT_EQ(d.Connection().modem.line.port, "COM2");
                        EXPECT_EQ(d.Connection().modem.line.baudRate, 115200);
                        EXPECT_EQ(d.Connection().modem.dialCommand, "ATD");
                        EXPECT_EQ(d.Connection().modem.timeout, 60);
                    }},
        SettingsRow{"AdditionalLayoutIgnoredWithoutAdditionalFolder",
                    "[SpeicherZusatz]\nTrennDezi=4\nTrenn=4\nOhne=1\n1.Zeile=TRUE\n",
                    [](auto& d, auto&, auto&) {
                        const AdditionalFormat& f = d.Storage().additional;
                        EXPECT_EQ(f.columnMask, 7);
                        EXPECT_EQ(f.separatorMask, 1);
                        EXPECT_EQ(f.decimalMask, 2);
                        EXPECT_FALSE(f.headerLine);
                        EXPECT_EQ(f.extension, "");
                    }},
        SettingsRow{
            "AdditionalLayoutReadWithAdditionalFolderAndItsDefaults",
            "[Speicherintervall]\nVerzeichnisZusatz=/tmp/x\n[SpeicherZusatz]\n1.Zeile=TRUE\n",
            [](auto& d, auto&, auto&) {
                const AdditionalFormat& f = d.Storage().additional;
                EXPECT_EQ(f.columnMask, 7);
                EXPECT_EQ(f.separatorMask, 1);
                EXPECT_EQ(f.decimalMask, 1);
                EXPECT_TRUE(f.headerLine);
                EXPECT_EQ(f.extension, "orb");
            }},
        SettingsRow{
            "ResetCommandCarriesTheHour", "[Regen]\nReset=7\n",
            [](auto& d, auto&, auto&) { EXPECT_EQ(d.Interpretation().resetCommand, "!R7"); }},
        SettingsRow{"MaximumLengthsCutLongValues",
                    "[Serielle Schnittstelle]\nAnschluss=/dev/ttyUSB0\nDatenbits=78\nAutoB=12\n"
                    "[Speicherintervall]\nIntervall/Sek=1234567\n",
                    [](auto& d, auto&, auto&) {
                        EXPECT_EQ(d.Connection().serial.port, "/dev/ttyUSB0")
                            << "device paths are longer than COM names";
                        EXPECT_EQ(d.Connection().serial.dataBits, 7);
                        EXPECT_EQ(d.Connection().fixedBaud, 1);
                        EXPECT_EQ(d.Storage().interval, 12345);
                    }},
        SettingsRow{
            "NumbersFollowTheLibraryRules",
            "[Timeout]\nTimeout=abc\n[Sendeparameter]\nTimeout=15x\n[Programmstart]\nStart=-1\n",
            [](auto& d, auto& p, auto&) {
                EXPECT_DOUBLE_EQ(p.settings.noDataTimeout, 60.0) << "no time: the default";
                EXPECT_EQ(p.settings.commandTimeoutMs, 15);
                EXPECT_EQ(d.Interpretation().start, -1);
            }},
        SettingsRow{"VirtualSensorsStoredOnlyForUpperCaseTrue",
                    "[Virtuelle_Sensoren]\nSpeichern=true\n",
                    [](auto&, auto& p, auto&) { EXPECT_FALSE(p.settings.storeVirtualSensors); }},
        SettingsRow{"GarbageGivesTheDefaults", "\x01\xff[\0\0=\n==\n[[[\r\r\x7f",
                    [](auto& d, auto& p, auto&) {
                        EXPECT_EQ(d.Connection().type, ConnectionType::kSerial);
                        EXPECT_EQ(p.settings.commandRetries, 5);
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CWetterDocSettings, ForwardingPortIsBuiltOnlyWhenActive) {
    DocumentHome home;
    home.WriteStationFile(
        "[Weiterleitung]\nAktiv=TRUE\nCOM-Port=COM4\nBaudrate=4800\nParitaet=2\nDatabits="
        "7\nStopbits=0\n");
    const auto doc = home.Open();
    ASSERT_NE(home.process.ForwardTransport.Get(), nullptr);
    EXPECT_EQ(home.process.ForwardTransport.Get()->GetDescription(), "serial COM4 4800 7 2 0");

    home.WriteStationFile("[Weiterleitung]\nAktiv=True\nCOM-Port=COM4\n");
    doc->LoadSettings();
    EXPECT_EQ(home.process.ForwardTransport.Get(), nullptr);
}

TEST(CWetterDocSettings, HttpUploadFlagComesFromItsOwnFile) {
    DocumentHome home;
    home.folder.Write("http_up.ini", "[HttpUpload]\nAktiv=TRUE\n");
    const auto doc = home.Open();
    EXPECT_TRUE(home.process.settings.httpUpload);
}

TEST(CWetterDocSettings, UnwritableHomeStillGivesTheDefaults) {
    DocumentHome home;
    ProgramPaths nowhere(home.folder.File("missing/wetter"));
    AppContext context{home.profile, nowhere,       home.clock,   home.events,  home.timers,
                       home.ui,      home.errorLog, home.process, &home.factory};
    OutputList::Process().Clear();
    CWetterDoc doc(context);
    ASSERT_EQ(OutputList::Process().Count(), 1u);
    EXPECT_EQ(OutputList::Process().Snapshot()[0].text,
              "CWetterDoc::WriteDefaultSettings: " + home.folder.File("missing/wetterstation.ini") +
                  " could not be written");
    EXPECT_EQ(doc.Connection().serial.port, "COM1");
    EXPECT_EQ(doc.Storage().interval, 300);
}

TEST(CWetterDocViews, LastViewOfAStationCannotBeClosed) {
    DocumentHome home;
    const auto doc = home.Open();
    NullView first, second;
    doc->AttachView(&first);
    EXPECT_EQ(doc->CountViews(), 1);
    EXPECT_FALSE(doc->CanCloseFrame());
    doc->AttachView(&second);
    EXPECT_EQ(doc->CountViews(), 2);
    EXPECT_TRUE(doc->CanCloseFrame());
    doc->DetachView(&second);
    EXPECT_FALSE(doc->CanCloseFrame());
}

TEST(CWetterDocViews, DeletedSensorLeavesEveryView) {
    DocumentHome home;
    home.folder.Write("wetterdefine.ini", "[TE]\nName=Temperatur\n");
    const auto doc = home.Open();
    NullView a, b;
    doc->AttachView(&a);
    doc->AttachView(&b);
    doc->SensorIdentifiers() = {"TE", "FE"};
    doc->LoadSensorDefinitions();
    ASSERT_NE(doc->FindSensor("TE"), nullptr);
    EXPECT_TRUE(doc->DeleteSensor("TE"));
    EXPECT_EQ(doc->FindSensor("TE"), nullptr);
    EXPECT_EQ(a.dropped, std::vector<std::string>{"TE"});
    EXPECT_EQ(b.dropped, std::vector<std::string>{"TE"});
}

}  // namespace
