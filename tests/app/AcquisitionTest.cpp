// A station document's acquisition from start to stop, and the main window's
// switchboard: reply recognition, the command retries, the reconnect cycle
// and the data-file check, with fake transports and the manual clock.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FakeTransport.h"
#include "StationHome.h"
#include "app/AcquisitionUi.h"
#include "app/CWetterDoc.h"
#include "app/MainSwitchboard.h"
#include "model/Colours.h"
#include "model/OutputList.h"

namespace {

struct FakeAcquisitionUi final : AcquisitionUi {
    void RunInitialisation(CWetterDoc& document) override {
        ++initialisations;
        if (stationAnswers) document.SetReconnecting(false);
        // What happens while the initialisation window is open.
        if (auto during = std::exchange(whileOpen, nullptr)) during();
    }
    bool SearchBaudRate(CDataBase&, SerialLineSettings& line) override {
        ++searches;
        if (found) line.baudRate = 9600;
        return found;
    }
    void ExitProcess(int code) override { exitCodes.push_back(code); }

    std::function<void()> whileOpen;
    bool stationAnswers = true;
    bool found = true;
    int initialisations = 0;
    int searches = 0;
    std::vector<int> exitCodes;
};

constexpr const char* kSerialStation =
    "[DataParams]\nSettsID=1\n[Serielle Schnittstelle]\nAnschluss=/dev/ttyUSB0\nAutoB=1\n"
    "[Programmstart]\nStart=1\n[Dateninterpretation]\nMit_Speicher=0\nDaten_Speichern=0\n"
    "[Regen]\nReset=7\n[Verbindungsabbruch]\nReconnectAktiv=TRUE\nReconnect=20.0\n";

class Acquisition : public ::testing::Test, protected ManualWorld {
protected:
    static void SetUpTestSuite() { UseUtcZone(); }

    Acquisition() : ManualWorld(Utc(2024, 3, 10, 12, 0)) {
        OutputList::Process().Clear();
        context.transports = &factory;
        context.host = &board;
        context.acquisitionUi = &acquisitionUi;
    }
    ~Acquisition() override {
        if (doc) board.RemoveDocument(*doc);
    }

    void Open(const std::string& sections = kSerialStation, bool withData = true) {
        WriteStation(sections);
        std::filesystem::create_directories(DataFolder());
        if (withData) folder.Write("Daten/03_2024.orb", "11:55:00,10.03.24,TE4.0,FE70,\r\n");
        doc = std::make_unique<CWetterDoc>(context);
        board.AddDocument(*doc);
    }
    std::shared_ptr<FakeTransport> Transport() const {
        return std::static_pointer_cast<FakeTransport>(process.CurrentTransport.Get());
    }
    std::vector<std::string> Boxes() const {
        std::vector<std::string> texts;
        for (const auto& shown : ui.shown) texts.push_back(shown.text);
        return texts;
    }
    bool OutputHas(const std::string& text) const {
        for (const auto& line : OutputList::Process().Snapshot())
            if (line.text == text) return true;
        return false;
    }

    FakeTransportFactory factory;
    FakeAcquisitionUi acquisitionUi;
    MainSwitchboard board{context};
    std::unique_ptr<CWetterDoc> doc;
};

TEST_F(Acquisition, FirstStartWithoutDataFilesOnlyTellsWhereToSetUp) {
    Open(kSerialStation, false);
    EXPECT_TRUE(doc->OnNewDocument());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_NE(ui.shown[0].text.find(doc->StationFile()), std::string::npos);
    EXPECT_FALSE(Transport()->open);
    EXPECT_EQ(acquisitionUi.initialisations, 0);
}

TEST_F(Acquisition, DataFileWithoutReadableRecordIsNamedAsSuch) {
    Open(kSerialStation, false);
    folder.Write("Daten/03_2024.orb", "garbage without a time\r\n11:55:00,10.03.24,TE4");
    EXPECT_TRUE(doc->OnNewDocument());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text.find("No data file was found"), std::string::npos);
    EXPECT_EQ(ui.shown[0].text.rfind("No readable record was found in the data files of the data "
                                     "folder\n" +
                                         DataFolder() + "\n",
                                     0),
              0u)
        << ui.shown[0].text;
    EXPECT_EQ(acquisitionUi.initialisations, 0);
}

TEST_F(Acquisition, StartConnectsInitialisesAndRemembersTheDocument) {
    Open();
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_TRUE(Transport()->open);
    EXPECT_TRUE(doc->PortOpen());
    EXPECT_EQ(acquisitionUi.initialisations, 1);
    EXPECT_EQ(acquisitionUi.searches, 0) << "fixed baud rate";
    EXPECT_TRUE(board.AcquisitionStarted());
    EXPECT_EQ(board.Document(), doc.get());
    EXPECT_EQ(doc->LastReceivedTime(), clock.Now());
    EXPECT_FALSE(process.initialisationRunning);
    EXPECT_TRUE(ui.shown.empty());

    doc->StopAcquisition();
    EXPECT_EQ(Transport()->written, (std::vector<std::string>{"\r\n", "\r\n"}));
    EXPECT_FALSE(Transport()->open);
}

TEST_F(Acquisition, StoredDataOnlyReadsTheLabelsOfTheLastRecord) {
    Open(std::string(kSerialStation) + "[Programmstart]\nStart=0\n");
    WriteStation(std::string("[DataParams]\nSettsID=1\n[Programmstart]\nStart=0\n"));
    doc = std::make_unique<CWetterDoc>(context);
    ASSERT_TRUE(doc->OnNewDocument());
    EXPECT_EQ(acquisitionUi.initialisations, 0);
    EXPECT_EQ(doc->SensorIdentifiers(), (std::vector<std::string>{"TE", "FE"}));
}

struct FailureRow {
    const char* name;
    bool openSucceeds;
    bool baudFound;
    const char* text;
};

class ConnectFailures : public Acquisition, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(ConnectFailures, UserConnectShowsABoxAutomaticReconnectOnlyLogs) {
    const FailureRow& row = GetParam();
    std::string station = kSerialStation;
    station.replace(station.find("AutoB=1"), 7, "AutoB=0");
    Open(station);
    Transport()->openSucceeds = row.openSucceeds;
    acquisitionUi.found = row.baudFound;

    EXPECT_FALSE(doc->StartAcquisition(false));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{row.text}));

    ui.shown.clear();
    EXPECT_FALSE(doc->StartAcquisition(true));
    EXPECT_TRUE(ui.shown.empty()) << "no box may wait for a person during a reconnect";
    EXPECT_TRUE(OutputHas(row.text));
    EXPECT_NE(folder.Read("ErrLog.txt").find(std::string(row.text).substr(0, 16)),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ConnectFailures,
    ::testing::Values(FailureRow{"PortDoesNotOpen", false, true, "Port couldn't be opened!"},
                      FailureRow{"BaudSearchFindsNothing", true, false,
                                 "Receive no data!\n\nAction:\n- Is the selected port OK?\n- Is "
                                 "the connection to the weatherstation OK?"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Acquisition, SettingsEditedIntoNonsenseNeitherConnectNorStop) {
    Open(
        "[DataParams]\nSettsID=serial\n[Speicherintervall]\nIntervall/Sek=-5\n"
        "[Programmstart]\nStart=yes\n[Timeout]\nTimeout=soon\n");
    EXPECT_TRUE(doc->OnNewDocument());
    EXPECT_EQ(process.CurrentTransport.Get(), nullptr) << "no connection type, no link";
    EXPECT_TRUE(doc->StartAcquisition(false)) << "nothing to connect is no failure";
    EXPECT_EQ(acquisitionUi.initialisations, 0);
    doc->SensorIdentifiers() = {"TE", "FE"};
    doc->LoadSensorDefinitions();
    board.OnStationLine(doc.get(), "12:00:00,10.03.24,TE5.0,FE80,\x1F\r\n");
    EXPECT_NE(folder.Read("Daten/03_2024.orb").find("12:00:00,10.03.24,TE5.0"), std::string::npos);
}

TEST_F(Acquisition, SilentRunEndsAfterTheInitialisation) {
    process.commandLine.silent = true;
    Open();
    EXPECT_FALSE(doc->StartAcquisition(false));
    EXPECT_EQ(acquisitionUi.exitCodes, (std::vector<int>{0}));
}

TEST_F(Acquisition, ReconnectRepeatsUntilTheStationAnswers) {
    Open();
    ASSERT_TRUE(doc->OnNewDocument());
    acquisitionUi.stationAnswers = false;
    board.OnNoData(doc.get());
    EXPECT_NE(folder.Read("ErrLog.txt").find("Receive no data!"), std::string::npos);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_TRUE(timers.IsRunning(&board, MainSwitchboard::kReconnectTimer));

    clock.Advance(20000);  // first try: no line in time
    EXPECT_EQ(acquisitionUi.initialisations, 2);
    EXPECT_TRUE(timers.IsRunning(&board, MainSwitchboard::kReconnectTimer)) << "armed again";
    acquisitionUi.stationAnswers = true;
    clock.Advance(20000);
    EXPECT_EQ(acquisitionUi.initialisations, 3);
    EXPECT_FALSE(timers.IsRunning(&board, MainSwitchboard::kReconnectTimer));
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(Acquisition, ReconnectWaitsForAConnectThatIsInitialisingAndEndsWithIt) {
    Open();
    ASSERT_TRUE(doc->OnNewDocument());
    board.OnNoData(doc.get());
    ASSERT_TRUE(timers.IsRunning(&board, MainSwitchboard::kReconnectTimer));

    // The user connects meanwhile; the station takes longer than the reconnect delay.
    int duringInitialisation = 0;
    acquisitionUi.whileOpen = [&] {
        clock.Advance(25000);
        duringInitialisation = acquisitionUi.initialisations;
    };
    EXPECT_TRUE(doc->StartAcquisition(false));
    EXPECT_EQ(duringInitialisation, 2) << "no second connect inside the running one";
    EXPECT_FALSE(timers.IsRunning(&board, MainSwitchboard::kReconnectTimer))
        << "the link is up again: nothing to reconnect";
    clock.Advance(60000);
    EXPECT_EQ(acquisitionUi.initialisations, 2) << "the working link is left alone";
}

class ReconnectDelays : public Acquisition, public ::testing::WithParamInterface<std::string> {};

TEST_P(ReconnectDelays, DelayThatIsNoSaneTimeWaitsTheDefault) {
    std::string station = kSerialStation;
    station.replace(station.find("Reconnect=20.0"), 14, "Reconnect=" + GetParam());
    Open(station);
    ASSERT_TRUE(doc->OnNewDocument());
    board.OnNoData(doc.get());
    EXPECT_EQ(timers.PeriodOf(&board, MainSwitchboard::kReconnectTimer), 15000u);
    acquisitionUi.stationAnswers = false;
    clock.Advance(14999);
    EXPECT_EQ(acquisitionUi.initialisations, 1);
    clock.Advance(1);
    EXPECT_EQ(acquisitionUi.initialisations, 2);
}

std::string DelayName(const ::testing::TestParamInfo<std::string>& info) {
    static const char* const kNames[] = {"Negative", "Zero", "ThousandsOfDigits"};
    return kNames[info.index];
}

INSTANTIATE_TEST_SUITE_P(Values, ReconnectDelays,
                         ::testing::Values("-1", "0", std::string(5000, '9')), DelayName);

TEST_F(Acquisition, ReplyLineEndsThePendingCommandAndIsNoRecord) {
    Open();
    const std::string record = "12:00:00,10.03.24,TE5.0,FE80,\x1F\r\n";
    doc->SensorIdentifiers() = {"TE", "FE"};
    doc->LoadSensorDefinitions();
    doc->SendStationCommand("!R7");
    ASSERT_TRUE(board.AwaitingReply());
    board.OnStationLine(doc.get(), "<OK>\r\n");
    EXPECT_FALSE(board.AwaitingReply());
    board.OnStationLine(doc.get(),
                        "<OK>\r\n");  // no command pending: data, ignored for lack of a time
    board.OnStationLine(doc.get(), record);
    EXPECT_NE(folder.Read("Daten/03_2024.orb").find("12:00:00,10.03.24,TE5.0"), std::string::npos);

    CWetterDoc* closed = reinterpret_cast<CWetterDoc*>(0x10);
    board.OnStationLine(closed, record);  // a closed document's lines are dropped
    board.OnNoData(closed);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(Acquisition, UnansweredCommandIsSentFiveTimesThenWarned) {
    Open();
    auto transport = std::make_shared<FakeTransport>("t");
    board.SendCommandWithReply("!R7", *doc, transport);
    for (unsigned ms : {2999u, 1u, 600u, 600u, 600u}) clock.Advance(ms);
    EXPECT_EQ(transport->written, std::vector<std::string>(5, "!R7\r\n"));
    EXPECT_TRUE(ui.shown.empty());
    clock.Advance(600);
    EXPECT_EQ(transport->written.size(), 5u);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].kind, "caution");
    EXPECT_EQ(ui.shown[0].text, "Error!\nWeatherstation could not understand sequent: !R7");
    EXPECT_FALSE(board.AwaitingReply());
    EXPECT_TRUE(OutputHas("Timer 3000"));
    EXPECT_TRUE(OutputHas("Timeout at sending"));
    EXPECT_TRUE(OutputHas("Timer 2 600"));
}

TEST_F(Acquisition, EveryLineGoesToTheForwardingPortFirst) {
    Open(std::string(kSerialStation) +
         "[Weiterleitung]\nAktiv=TRUE\nCOM-Port=/dev/ttyUSB1\nBaudrate=9600\n");
    auto port = std::static_pointer_cast<FakeTransport>(process.ForwardTransport.Get());
    std::vector<std::string> terminal;
    board.SetTerminal([&](const std::string& line) { terminal.push_back(line); });
    board.OnStationLine(doc.get(), "<OK>\r\n");
    EXPECT_EQ(port->written, (std::vector<std::string>{"<OK>\r\n"}));
    EXPECT_EQ(terminal, (std::vector<std::string>{"<OK>\r\n"}));
}

TEST_F(Acquisition, DataFileCheckFollowsTheFileWhileAcquiring) {
    Open();
    board.StartDataFileCheck();
    folder.Write("Daten/03_2024.orb",
                 "11:55:00,10.03.24,TE4.0,FE70,\r\n12:00:00,10.03.24,TE4.1,FE70,\r\n");
    clock.Advance(15000);
    EXPECT_EQ(doc->LastStoredTime(), Utc(2024, 3, 10, 12, 0));

    board.SetAcquisitionStarted(false);
    folder.Write("Daten/03_2024.orb",
                 folder.Read("Daten/03_2024.orb") + "12:05:00,10.03.24,TE4.1,FE70,\r\n");
    clock.Advance(15000);
    EXPECT_EQ(doc->LastStoredTime(), Utc(2024, 3, 10, 12, 0)) << "not while connecting";
}

}  // namespace
