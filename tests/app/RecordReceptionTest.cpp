// A station document receiving lines: current values, the store decision, the
// data-file and AktWert bytes, the clock check, the automatic commands and
// what happens when the disk refuses to take a record.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeFileStore.h"
#include "FakeTransport.h"
#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ManualTimers.h"
#include "ScriptedUi.h"
#include "TempFolder.h"
#include "UtcTime.h"
#include "app/CWetterDoc.h"
#include "app/DocumentHost.h"
#include "app/DocumentView.h"
#include "app/RecordPublisher.h"
#include "comm/ProcessValues.h"
#include "model/CSumHour.h"
#include "model/Colours.h"
#include "model/ErrorLog.h"
#include "model/MissingValue.h"
#include "model/OutputList.h"
#include "platform/FileSystem.h"
#include "platform/IniProfile.h"
#include "platform/ProgramPaths.h"

namespace {

// "hh:mm:ss,dd.mm.yy," of a time, as the station sends it.
std::string Stamp(std::time_t time) { return FormatLocalTime(time, "%H:%M:%S,%d.%m.%y,"); }

// The lines of a file, each with its CR LF.
std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start + 2));
    return lines;
}

const std::string kWriteError =
    "Eroor writing to the data folder! \r\nPlease ensure that the folder exists and it isn't "
    "write protcted!!\r\n";

struct FakeHost final : DocumentHost {
    void SendCommandWithReply(const std::string& command, CWetterDoc&,
                              std::shared_ptr<CDataBase> transport) override {
        commands.push_back(command);
        withTransport = transport != nullptr;
    }
    void RunProcessControl(CWetterDoc* document) override { processControl.push_back(document); }
    void ArmReconnect(CWetterDoc&) override { ++reconnects; }
    void SetStationClock(CWetterDoc&) override { ++stationClockSets; }
    void SetPcClock(CWetterDoc&, std::time_t recordTime) override {
        pcClockSets.push_back(recordTime);
    }

    std::vector<std::string> commands;
    bool withTransport = false;
    std::vector<CWetterDoc*> processControl;
    int reconnects = 0;
    int stationClockSets = 0;
    std::vector<std::time_t> pcClockSets;
};

struct FakePublisher final : RecordPublisher {
    void HttpUpload(const StationView&, const std::string& line) override {
        calls.push_back("http " + line);
    }
    void WriteHtmlPage(const StationView&) override { calls.push_back("html"); }
    void AwekasUpload(const StationView&) override { calls.push_back("awekas"); }
    std::vector<std::string> calls;
};

struct CountingView final : DocumentView {
    void ReloadData() override {}
    void DropSensor(const std::string&) override {}
    void UpdateView() override { ++updates; }
    int updates = 0;
};

// What differs between the stations of the tests.
struct Station {
    int withoutLogger = 0;  // "Mit_Speicher"
    int storeByPc = 1;      // "Daten_Speichern"
    int loggerStation = 1;  // "Station"
    std::string additionalFolder;
    std::string more;  // further sections
};

// A station home with sensors TE (1 decimal, -50..100), FE (0 decimals, 0..100)
// and the virtual TM = TE*2 (2 decimals, hourly sum), files in memory.
class Reception : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseUtcZone(); }

    void SetUp() override { OutputList::Process().Clear(); }

    // `edit` changes the station settings before the document opens.
    void Open(const std::function<void(Station&)>& edit = {}) {
        Station station;
        if (edit) edit(station);
        folder.Write(
            "wetterstation.ini",
            "[Speicherintervall]\nVerzeichnis=" + DataFolder() +
                "\nIntervall/Sek=300\nVerzeichnisZusatz=" + station.additionalFolder +
                "\n[Dateninterpretation]\nMit_Speicher=" + std::to_string(station.withoutLogger) +
                "\nDaten_Speichern=" + std::to_string(station.storeByPc) + "\n[Station]\nStation=" +
                std::to_string(station.loggerStation) + "\n[Regen]\nReset=7\n" + station.more);
        folder.Write("wetterdefine.ini",
                     "[TE]\nNachKomma=1\nFaktor=1\nUntergrenze Wert=-50\nObergrenze Wert=100\n"
                     "[FE]\nNachKomma=0\nFaktor=1\nUntergrenze Wert=0\nObergrenze Wert=100\n");
        folder.Write("wetterintern.ini",
                     "[Interne Sensoren]\niKennung=TM,\n[TM]\nFormel=TE*2\nNachKomma=2\n"
                     "Untergrenze Wert=-1000\nObergrenze Wert=1000\nSumme Stunde=ja\n");
        doc = std::make_unique<CWetterDoc>(context);
        doc->SensorIdentifiers() = {"TE", "FE"};
        doc->LoadSensorDefinitions();
        doc->AttachView(&view);
    }

    std::string DataFolder() const { return folder.File("Daten"); }
    std::string DataFile(const char* name) const { return DataFolder() + "/" + name; }

    // A live line at `time`, with the PC's clock at that time too.
    void Live(std::time_t time, const std::string& fields, const std::string& end = "\r\n") {
        clock.SetNow(time);
        doc->ProcessLine(Stamp(time) + fields + end, false, false);
    }

    float Value(const char* identifier) const {
        for (const auto& current : doc->Sensors().CurrentValues())
            if (current->m_identifier == identifier) return current->m_value;
        return 0.0f;
    }
    const CAktuell& Current(const char* identifier) const {
        for (const auto& current : doc->Sensors().CurrentValues())
            if (current->m_identifier == identifier) return *current;
        throw std::logic_error("no such sensor");
    }

    std::string ErrorLogText() const { return folder.Read("ErrLog.txt"); }
    std::vector<std::string> OutputTexts() const {
        std::vector<std::string> texts;
        for (const auto& line : OutputList::Process().Snapshot()) texts.push_back(line.text);
        return texts;
    }

    TempFolder folder;
    ProgramPaths paths{folder.File("wetter")};
    IniProfile profile;
    ManualClock clock{Utc(2024, 2, 1, 12, 0)};
    ManualTimers timers{clock};
    ManualEventQueue events;
    ScriptedUi ui;
    ErrorLog errorLog{paths.InFolder("ErrLog.txt"), clock, events, ui};
    ProcessValues process;
    FakeTransportFactory factory;
    FakeHost host;
    FakePublisher publisher;
    FakeFileStore files;
    AppContext context{profile,  paths,   clock,    events, timers,     ui,
                       errorLog, process, &factory, &host,  &publisher, &files};
    CountingView view;
    std::unique_ptr<CWetterDoc> doc;
};

struct LineRow {
    const char* name;
    const char* station;  // added to the station settings
    bool storeVirtual;
    const char* file;
    const char* current;
    std::string line;
};
void PrintTo(const LineRow& row, std::ostream* os) { *os << row.name; }

class ReceptionLines : public Reception, public ::testing::WithParamInterface<LineRow> {};

TEST_P(ReceptionLines, LiveRecordIsStoredByteExactWithItsAktWert) {
    const LineRow& row = GetParam();
    Open([&](Station& s) { s.more = row.station; });
    process.settings.storeVirtualSensors = row.storeVirtual;
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,");

    EXPECT_EQ(files.Read(DataFile(row.file)), row.line + "\r\n");
    EXPECT_EQ(files.Read(DataFile(row.current)), row.line + "\r\r\n");
    ASSERT_EQ(files.appends.size(), 1u) << "one write per record";
    EXPECT_TRUE(files.appends[0].sync) << "live records reach the disk";
    EXPECT_EQ(publisher.calls, (std::vector<std::string>{"html", "awekas"}));
    EXPECT_EQ(view.updates, 1);
    EXPECT_TRUE(ui.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ReceptionLines,
    ::testing::Values(LineRow{"MeasuredOnly", "", false, "02_2024.orb", "AktWert.orb",
                              "12:00:00,01.02.24,TE5.0,FE80,"},
                      LineRow{"WithVirtualSensors", "", true, "02_2024.orb", "AktWert.orb",
                              "12:00:00,01.02.24,TE5.0,FE80,TM10.00,"},
                      LineRow{"StorageIdentifier", "[Speicher-ID]\nID=A1\n", false,
                              "02_2024.A1.orb", "AktWert.A1.orb", "12:00:00,01.02.24,TE5.0,FE80,"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Reception, FieldsBecomeCurrentValuesAndVirtualSensorsReachOnlyTheComparisonParser) {
    Open();
    Live(Utc(2024, 2, 1, 12, 0), "XX1,TE5.0,FE80,");
    Live(Utc(2024, 2, 1, 12, 1), "TE6.0,");  // FE missing: it keeps its value
    EXPECT_FLOAT_EQ(Value("TE"), 6.0f);
    EXPECT_FLOAT_EQ(Value("FE"), 80.0f);
    EXPECT_FLOAT_EQ(Value("TM"), 12.0f);
    EXPECT_EQ(Current("TE").m_history.size(), 2u);

    float value = 0;
    EXPECT_TRUE(doc->FormelParser().GetVariable("TE", value));
    EXPECT_FALSE(doc->FormelParser().GetVariable("TM", value))
        << "one virtual sensor never sees another";
    std::vector<std::string> compared;
    for (const auto& variable : doc->VergleichParser().Variables())
        compared.emplace_back(variable.Name);
    EXPECT_EQ(compared, (std::vector<std::string>{"TE", "TM"}));

    EXPECT_EQ(events.Waiting(), 2u);
    events.RunPending();
    EXPECT_EQ(host.processControl, (std::vector<CWetterDoc*>{doc.get(), doc.get()}));
}

TEST_F(Reception, LineWithoutCrOnlyUpdatesTheViews) {
    Open();
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,", "\n");
    EXPECT_FLOAT_EQ(Value("TE"), kMissingValue);
    EXPECT_TRUE(files.appends.empty());
    EXPECT_EQ(events.Waiting(), 0u);
    EXPECT_EQ(view.updates, 1);
    EXPECT_EQ(doc->LastReceivedTime(), Utc(2024, 2, 1, 12, 0));

    doc->ProcessLine(Stamp(Utc(2024, 2, 1, 12, 0)) + "TE5.0,\n", true, false);
    EXPECT_EQ(files.Read(DataFile("02_2024.orb")), "12:00:00,01.02.24,TE-99999.0,FE-99999,\r\n")
        << "force stores even without CR, with the values as they are";
}

TEST_F(Reception, LineWithoutValidTimeIsIgnored) {
    Open();
    doc->ProcessLine("12:00:00,01.02.90,TE5.0,\r\n", true, false);
    doc->ProcessLine("<OK>\r\n", true, false);
    EXPECT_TRUE(files.appends.empty());
    EXPECT_EQ(view.updates, 0);
    EXPECT_FLOAT_EQ(Value("TE"), kMissingValue);
}

TEST_F(Reception, GapLinesFillMissedIntervalsInTheSameWrite) {
    Open();
    Live(Utc(2024, 2, 1, 11, 50), "TE1.0,FE10,");
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,");
    ASSERT_EQ(files.appends.size(), 2u);
    EXPECT_EQ(files.appends[1].bytes,
              "11:55:00,01.02.24,TE-99999,FE-99999,\r\n12:00:00,01.02.24,TE5.0,FE80,\r\n");

    Live(Utc(2024, 2, 1, 12, 5), "TE6.0,FE80,");
    EXPECT_EQ(files.appends.size(), 3u);
    EXPECT_EQ(files.appends[2].bytes, "12:05:00,01.02.24,TE6.0,FE80,\r\n")
        << "no gap after one interval";
}

TEST_F(Reception, RecordWithinOneIntervalAfterMonthEndGoesIntoThePreviousMonthsFile) {
    Open([](Station& s) { s.storeByPc = 0; });
    Live(Utc(2024, 2, 29, 23, 59), "TE1.0,FE10,", "\x1F\r\n");
    Live(Utc(2024, 3, 1, 0, 3), "TE2.0,FE20,", "\x1F\r\n");
    EXPECT_EQ(files.Read(DataFile("02_2024.orb")),
              "23:59:00,29.02.24,TE1.0,FE10,\r\n00:03:00,01.03.24,TE2.0,FE20,\r\n");
    EXPECT_EQ(files.Read(DataFile("03_2024.orb")), "<missing>");
}

struct StoreRow {
    const char* name;
    int storeByPc;
    const char* end;  // what follows the last field
    bool force;
    bool stored;
};
void PrintTo(const StoreRow& row, std::ostream* os) { *os << row.name; }

class StoreDecision : public Reception, public ::testing::WithParamInterface<StoreRow> {};

TEST_P(StoreDecision, MarkerOrForceDecides) {
    Open([](Station& s) { s.storeByPc = GetParam().storeByPc; });
    clock.SetNow(Utc(2024, 2, 1, 12, 0));
    doc->ProcessLine(Stamp(Utc(2024, 2, 1, 12, 0)) + "TE5.0,FE80," + GetParam().end,
                     GetParam().force, false);
    EXPECT_EQ(files.appends.size(), GetParam().stored ? 1u : 0u);
    EXPECT_FLOAT_EQ(Value("TE"), 5.0f) << "the fields are taken over either way";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StoreDecision,
    ::testing::Values(StoreRow{"MarkerBeforeCr", 0, "\x1F\r\n", false, true},
                      StoreRow{"MarkerOneFurther", 0, "\x1F \r\n", false, true},
                      StoreRow{"NoMarker", 0, "\r\n", false, false},
                      StoreRow{"NoMarkerButForced", 0, "\r\n", true, true},
                      StoreRow{"MarkerIgnoredWhenThePcDecides", 1, "\x1F\r\n", false, true},
                      StoreRow{"FirstRecordByInterval", 1, "\r\n", false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Reception, IntervalDecidesAfterTheFirstRecord) {
    Open();
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,");
    Live(Utc(2024, 2, 1, 12, 4, 59), "TE5.0,");
    EXPECT_EQ(files.appends.size(), 1u);
    Live(Utc(2024, 2, 1, 12, 5), "TE5.0,");
    EXPECT_EQ(files.appends.size(), 2u);
}

TEST_F(Reception, LoggerRecordKeepsMeasuredHistoriesButFeedsVirtualSensorsAndIsNotSynced) {
    Open();
    clock.SetNow(Utc(2024, 2, 1, 12, 0));
    doc->ProcessLine("11:00:00,01.02.24,TE5.0,FE80,\r\n", true, true);
    EXPECT_TRUE(Current("TE").m_history.empty());
    EXPECT_FLOAT_EQ(Current("TE").m_rawValue, 5.0f);
    EXPECT_FLOAT_EQ(Current("TE").m_value, kMissingValue)
        << "a measured field keeps its shown value";
    // A virtual sensor is computed, not measured: it takes the value like a live one.
    const CAktuell& tm = Current("TM");
    ASSERT_EQ(tm.m_history.size(), 1u);
    EXPECT_EQ(tm.m_history[0].m_time, Utc(2024, 2, 1, 11, 0));
    EXPECT_FLOAT_EQ(tm.m_value, 10.0f);
    EXPECT_FLOAT_EQ(tm.m_statistics.Max, 10.0f);
    EXPECT_EQ(tm.m_statistics.MaxTime, Utc(2024, 2, 1, 11, 0));
    ASSERT_EQ(files.appends.size(), 1u);
    EXPECT_FALSE(files.appends[0].sync);
    EXPECT_EQ(files.appends[0].bytes, "11:00:00,01.02.24,TE5.0,FE80,\r\n");
}

TEST_F(Reception, FirstRecordOfALoggerReadOutGoesIntoItsOwnMonth) {
    Open();
    clock.SetNow(Utc(2024, 3, 1, 0, 30));
    doc->ProcessLine("23:55:00,29.02.24,TE5.0,FE80,\r\n", true, true);
    doc->ProcessLine("00:00:00,01.03.24,TE6.0,FE80,\r\n", true, true);
    EXPECT_EQ(files.Read(DataFile("02_2024.orb")),
              "23:55:00,29.02.24,TE5.0,FE80,\r\n00:00:00,01.03.24,TE6.0,FE80,\r\n");
}

TEST_F(Reception, InitialisationSkipsOnlyAktWert) {
    Open();
    process.initialisationRunning = true;
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,");
    for (const auto& replace : files.replaces)
        EXPECT_EQ(replace.path.find("AktWert"), std::string::npos);
    EXPECT_EQ(files.appends.size(), 1u);
    EXPECT_EQ(publisher.calls, (std::vector<std::string>{"html", "awekas"}));
}

TEST_F(Reception, PublishersFollowInOrderWithTheLine) {
    Open();
    process.settings.httpUpload = true;
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,");
    EXPECT_EQ(publisher.calls, (std::vector<std::string>{"http 12:00:00,01.02.24,TE5.0,FE80,\r\n",
                                                         "html", "awekas"}));
}

TEST_F(Reception, AdditionalFolderGetsTheRecordAfterTheDataFile) {
    Open([&](Station& s) {
        s.additionalFolder = folder.File("Zusatz");
        s.more = "[SpeicherZusatz]\nOhne=3\nTrenn=2\nEndung=csv\n";
    });
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,");
    ASSERT_EQ(files.appends.size(), 2u);
    EXPECT_EQ(files.appends[0].path, DataFile("02_2024.orb"));
    EXPECT_EQ(files.appends[1].path, folder.File("Zusatz/02_2024.orb.csv"));
    EXPECT_EQ(files.appends[1].bytes, "12:00:00;01,02,24;5,0;80;\r\n");
    EXPECT_TRUE(files.appends[1].sync);
}

TEST_F(Reception, InvalidStationValueIsReportedInTheOutputWindow) {
    Open();
    Live(Utc(2024, 2, 1, 12, 0), "TE-999999,FE80,");
    const auto lines = OutputList::Process().Snapshot();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, " Invalid datastring <---> Time:12:00:00,01.02.24,");
    EXPECT_EQ(lines[0].colour, Rgb(0x32, 0x96, 0xD2));
    EXPECT_EQ(files.Read(DataFile("02_2024.orb")), "12:00:00,01.02.24,TE-999999.0,FE80,\r\n");
    EXPECT_FLOAT_EQ(Value("TE"), kMissingValue);
}

TEST_F(Reception, SensorWithAbsurdDecimalsStillStoresItsValue) {
    Open();
    folder.Write("wetterdefine.ini",
                 "[TE]\nNachKomma=1000\nFaktor=1\nUntergrenze Wert=-50\nObergrenze Wert=100\n");
    doc->LoadSensorDefinitions();
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,");
    EXPECT_EQ(files.Read(DataFile("02_2024.orb")), "12:00:00,01.02.24,TE5.0000000000,FE80.00,\r\n");
}

TEST_F(Reception, HourlySumIsFedWithEveryStoredRecord) {
    Open();
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,");
    Live(Utc(2024, 2, 1, 12, 5), "TE6.0,");
    const CSumHour& sum = *doc->FindSensor("TM")->m_sumHour;
    EXPECT_EQ(sum.Values.size(), 2u);
    EXPECT_FLOAT_EQ(sum.Total, 22.0f);
}

// Stations without logger: the PC's time, the daily "!R" (without the hour) at the reset hour, "!P"
// after storing.
class Commands : public Reception {
protected:
    void OpenStation() {
        Open([](Station& s) {
            s.withoutLogger = 1;
            s.loggerStation = 0;
        });
    }
    void At(std::time_t time, const std::string& line = "TE5.0,\r\n") {
        clock.SetNow(time);
        doc->ProcessLine(line, false, false);
    }
};

TEST_F(Commands, ResetOncePerDayInTheResetMinuteAndPAfterEachStoredRecord) {
    OpenStation();
    At(Utc(2024, 2, 1, 6, 59, 30));
    At(Utc(2024, 2, 1, 7, 0, 0));
    At(Utc(2024, 2, 1, 7, 0, 40));
    At(Utc(2024, 2, 1, 7, 5, 0));
    At(Utc(2024, 2, 2, 7, 0, 10));
    EXPECT_EQ(host.commands, (std::vector<std::string>{"!P", "!R", "!P", "!R", "!P"}));
    EXPECT_TRUE(host.withTransport);
    EXPECT_EQ(doc->LastResetDay(), 2);
}

TEST_F(Commands, RecordTimeIsThePcsAndFieldsFollowTheDate) {
    OpenStation();
    At(Utc(2024, 2, 1, 12, 0, 7), "ORB,01:00:00,05.05.05,TE5.0,\r\n");
    EXPECT_EQ(files.Read(DataFile("02_2024.orb")), "12:00:07,01.02.24,TE5.0,FE-99999,\r\n");
    At(Utc(2024, 2, 1, 12, 10), "TE6.0,FE70,\r\n");
    EXPECT_FLOAT_EQ(Value("FE"), 70.0f) << "without time tokens the fields start at the beginning";
}

TEST_F(Commands, NoResetCommandsOptionStillRemembersTheDay) {
    OpenStation();
    process.commandLine.noResetCommands = true;
    At(Utc(2024, 2, 1, 7, 0, 0));
    EXPECT_TRUE(host.commands.empty());
    EXPECT_EQ(doc->LastResetDay(), 1);
    EXPECT_EQ(files.appends.size(), 1u);
}

TEST_F(Commands, LoggerStationsAndLoggerRecordsSendNothing) {
    Open([](Station& s) { s.withoutLogger = 1; });
    At(Utc(2024, 2, 1, 7, 0, 0));
    EXPECT_TRUE(host.commands.empty());
    OpenStation();
    clock.SetNow(Utc(2024, 2, 1, 7, 0, 0));
    doc->ProcessLine("TE5.0,\r\n", true, true);
    EXPECT_TRUE(host.commands.empty());
}

// The clock check of live records.
class ClockCheck : public Reception {
protected:
    void SetUp() override {
        Reception::SetUp();
        Open();
        clock.SetNow(Utc(2024, 2, 1, 12, 0));
    }
    void Line(std::time_t time, bool logger = false) {
        doc->ProcessLine(Stamp(time) + "TE5.0,FE80,\r\n", logger, logger);
    }
};

TEST_F(ClockCheck, DifferenceOfExactlyTheToleranceDropsTheRecord) {
    process.commandLine.clockMode = ClockMode::kPcSetsStation;
    Line(Utc(2024, 2, 1, 12, 0) - 59);
    EXPECT_EQ(files.appends.size(), 1u);
    Line(Utc(2024, 2, 1, 12, 1));
    EXPECT_EQ(files.appends.size(), 1u);
    EXPECT_EQ(host.stationClockSets, 1);
    EXPECT_EQ(doc->LastReceivedTime(), Utc(2024, 2, 1, 12, 0) - 59);
    EXPECT_NE(ErrorLogText().find(Stamp(Utc(2024, 2, 1, 12, 1)) + "TE5.0,FE80,"),
              std::string::npos);
    EXPECT_EQ(view.updates, 1) << "a dropped record goes no further";
}

TEST_F(ClockCheck, GpsModeSetsThePcClockFromTheRecord) {
    process.commandLine.clockMode = ClockMode::kStationSetsPc;
    Line(Utc(2024, 2, 1, 10, 0));
    EXPECT_EQ(host.pcClockSets, std::vector<std::time_t>{Utc(2024, 2, 1, 10, 0)});
}

TEST_F(ClockCheck, WarningModeWarnsOnceUntilTheClocksAgreeAgain) {
    process.commandLine.clockMode = ClockMode::kWarnOnly;
    const std::vector<std::string> warning = {
        "Last valid:11:59:30,01.02.24 - CurrentPC:12:00:00,01.02.24 ",
        "Error! \nWeatherstation has wrong time. Please restart the software to set the clock to "
        "the correct time."};
    Line(Utc(2024, 2, 1, 11, 59, 30));
    Line(Utc(2024, 2, 1, 10, 0));
    EXPECT_EQ(ui.Messages(), warning);
    EXPECT_TRUE(doc->ClockWarningShown());
    Line(Utc(2024, 2, 1, 10, 0));
    Line(Utc(2024, 2, 1, 10, 1));
    EXPECT_EQ(ui.Messages(), warning) << "confirmed once, not again for every record";
    EXPECT_EQ(files.appends.size(), 1u) << "the records themselves are still dropped";

    // The clocks agree for a while, then drift apart once more: that is news again.
    Line(Utc(2024, 2, 1, 11, 59, 40));
    EXPECT_FALSE(doc->ClockWarningShown());
    Line(Utc(2024, 2, 1, 10, 2));
    EXPECT_EQ(ui.Messages().size(), 4u);
    EXPECT_EQ(ui.Messages()[2], "Last valid:11:59:40,01.02.24 - CurrentPC:12:00:00,01.02.24 ");
    EXPECT_EQ(host.stationClockSets, 0);
}

TEST_F(ClockCheck, LoggerRecordsAreCheckedOnlyWhenOlderThanTheLastReceived) {
    process.commandLine.clockMode = ClockMode::kPcSetsStation;
    Line(Utc(2024, 2, 1, 11, 59, 30));
    Line(Utc(2024, 3, 1, 0, 0), true);  // later than the last received: no check
    EXPECT_EQ(files.appends.size(), 2u);
    Line(Utc(2024, 2, 1, 10, 0), true);  // older: checked, dropped, but the clock is left alone
    EXPECT_EQ(files.appends.size(), 2u);
    EXPECT_EQ(host.stationClockSets, 0);
    EXPECT_NE(ErrorLogText().find("10:00:00,01.02.24,TE5.0"), std::string::npos);
}

TEST_F(Reception, NoDataReportReconnectsOrShowsTheMessage) {
    Open();
    const std::string text =
        "Receive no data!\n\nAction:\n- Is the selected port OK?\n- Is the connection to the "
        "weatherstation OK?";
    doc->ReportConnectionState(CWetterDoc::ConnectionState::kNoData);
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{text});
    process.settings.reconnect = true;
    doc->ReportConnectionState(CWetterDoc::ConnectionState::kNoData);
    EXPECT_EQ(host.reconnects, 1);
    EXPECT_EQ(ui.Messages().size(), 1u);
    EXPECT_NE(ErrorLogText().find("Receive no data!\r\n"), std::string::npos);
}

// The disk refuses: no crash, the message once per episode, values go on.
struct FaultRow {
    const char* name;
    int appendError;
    int replaceError;
    int syncError;
    int entries;  // error-log entries of one episode: one per failing file
};
void PrintTo(const FaultRow& row, std::ostream* os) { *os << row.name; }

class WriteFaults : public Reception, public ::testing::WithParamInterface<FaultRow> {
protected:
    void Inject(bool on) {
        files.appendError = on ? GetParam().appendError : 0;
        files.replaceError = on ? GetParam().replaceError : 0;
        files.syncError = on ? GetParam().syncError : 0;
    }
    int ErrorEntries() const {
        const std::string log = ErrorLogText();
        int count = 0;
        for (std::size_t at = log.find("Eroor writing"); at != std::string::npos;
             at = log.find("Eroor writing", at + 1))
            ++count;
        return count;
    }
};

TEST_P(WriteFaults, ReportedOnceUntilARecordIsStoredAgain) {
    Open();
    Inject(true);
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,");
    Live(Utc(2024, 2, 1, 12, 5), "TE6.0,FE80,");
    Live(Utc(2024, 2, 1, 12, 10), "TE7.0,FE80,");
    EXPECT_EQ(ui.Messages(), std::vector<std::string>{kWriteError + DataFolder()});
    EXPECT_EQ(ErrorEntries(), GetParam().entries);
    EXPECT_FLOAT_EQ(Value("TE"), 7.0f) << "current values keep going";
    EXPECT_EQ(publisher.calls.size(), 6u) << "the outputs keep going";

    Inject(false);
    Live(Utc(2024, 2, 1, 12, 15), "TE8.0,FE80,");
    Inject(true);
    Live(Utc(2024, 2, 1, 12, 20), "TE9.0,FE80,");
    EXPECT_EQ(ui.Messages().size(), 2u) << "a new episode after a stored record";
    EXPECT_EQ(ErrorEntries(), 2 * GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(Rows, WriteFaults,
                         ::testing::Values(FaultRow{"DiskFull", ENOSPC, ENOSPC, 0, 2},
                                           FaultRow{"ReadOnlyFileSystem", EROFS, EROFS, 0, 2},
                                           FaultRow{"NoPermission", EACCES, EACCES, 0, 2},
                                           FaultRow{"MissingFolder", ENOENT, ENOENT, 0, 2},
                                           FaultRow{"OnlyAktWert", 0, EACCES, 0, 1},
                                           FaultRow{"OnlyTheDataFile", EACCES, 0, 0, 1},
                                           FaultRow{"FailedSync", 0, 0, EIO, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// Records that reach no file are kept and written, in order, once the disk takes them
// again; gap lines stand only where no record was received.
class KeptRecords : public Reception, public ::testing::WithParamInterface<int> {};

TEST_P(KeptRecords, AreWrittenBeforeAnyGapLineWhenTheDiskTakesThemAgain) {
    Open();
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,");
    files.appendError = GetParam();
    files.replaceError = GetParam();
    Live(Utc(2024, 2, 1, 12, 5), "TE6.0,FE80,");
    Live(Utc(2024, 2, 1, 12, 7), "TE6.5,FE80,");  // not due: 12:05 is taken already
    Live(Utc(2024, 2, 1, 12, 10), "TE7.0,FE80,");
    EXPECT_EQ(doc->LastStoredTime(), Utc(2024, 2, 1, 12, 0));
    files.appendError = 0;
    files.replaceError = 0;
    // 12:15 never arrived.
    Live(Utc(2024, 2, 1, 12, 20), "TE9.0,FE80,");
    EXPECT_EQ(files.Read(DataFile("02_2024.orb")),
              "12:00:00,01.02.24,TE5.0,FE80,\r\n12:05:00,01.02.24,TE6.0,FE80,\r\n"
              "12:10:00,01.02.24,TE7.0,FE80,\r\n12:15:00,01.02.24,TE-99999,FE-99999,\r\n"
              "12:20:00,01.02.24,TE9.0,FE80,\r\n");
    EXPECT_EQ(doc->LastStoredTime(), Utc(2024, 2, 1, 12, 20));
    EXPECT_TRUE(files.appends.back().sync);
    const auto texts = OutputTexts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0], "CWetterDoc::StoreRecord");
    EXPECT_EQ(texts[1],
              FileSystem::SystemErrorText(GetParam()) + " <==> NR: " + std::to_string(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Faults, KeptRecords, ::testing::Values(ENOSPC, EROFS),
                         [](const auto& info) {
                             return info.param == ENOSPC ? "DiskFull" : "ReadOnly";
                         });

TEST_F(Reception, KeptRecordsAreBoundedToADayAndWhatIsGivenUpIsSaid) {
    Open();
    Live(Utc(2024, 2, 1, 0, 0), "TE5.0,FE80,");
    files.appendError = ENOSPC;
    const int day = 24 * 3600 / 300;
    for (int i = 1; i <= day + 2; ++i) Live(Utc(2024, 2, 1, 0, 0) + i * 300, "TE6.0,FE80,");
    const std::string given = "00:05:00,01.02.24";
    int said = 0;
    for (const auto& text : OutputTexts()) said += text.find(given) != std::string::npos ? 1 : 0;
    EXPECT_EQ(said, 1) << "said once, with the first record given up";
    EXPECT_NE(ErrorLogText().find(given), std::string::npos);

    files.appendError = 0;
    Live(Utc(2024, 2, 1, 0, 0) + (day + 3) * 300, "TE7.0,FE80,");
    const auto lines = Lines(files.Read(DataFile("02_2024.orb")));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(day + 4));
    EXPECT_EQ(lines[1], "00:05:00,01.02.24,TE-99999,FE-99999,\r\n");
    EXPECT_EQ(lines[2], "00:10:00,01.02.24,TE-99999,FE-99999,\r\n");
    EXPECT_EQ(lines[3], "00:15:00,01.02.24,TE6.0,FE80,\r\n");
    EXPECT_EQ(lines.back(), Stamp(Utc(2024, 2, 1, 0, 0) + (day + 3) * 300) + "TE7.0,FE80,\r\n");
}

TEST_F(Reception, DataFileThatFailsAfterAktWertIsReportedWithTheRecordsTime) {
    Open();
    files.replaceError = ENOSPC;
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,");
    Live(Utc(2024, 2, 1, 12, 5), "TE6.0,FE80,");
    files.appendError = ENOSPC;
    Live(Utc(2024, 2, 1, 12, 10), "TE7.0,FE80,");
    const std::string log = ErrorLogText();
    const std::size_t dataFile = log.find(DataFile("02_2024.orb"));
    ASSERT_NE(dataFile, std::string::npos) << log;
    EXPECT_NE(log.find("12:10:00,01.02.24", dataFile), std::string::npos) << log;
    Live(Utc(2024, 2, 1, 12, 15), "TE8.0,FE80,");
    EXPECT_EQ(log, ErrorLogText()) << "once until it works again";
}

TEST_F(Reception, RecordsStillKeptAtTheEndAreNamedInTheErrorLog) {
    Open();
    files.appendError = ENOSPC;
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,");
    Live(Utc(2024, 2, 1, 12, 5), "TE6.0,FE80,");
    doc.reset();
    EXPECT_NE(ErrorLogText().find("2 records"), std::string::npos) << ErrorLogText();
}

TEST_F(Reception, FailedSyncStillCountsAsStored) {
    Open();
    files.syncError = EIO;
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,");
    Live(Utc(2024, 2, 1, 12, 10), "TE7.0,FE80,");
    EXPECT_EQ(doc->LastStoredTime(), Utc(2024, 2, 1, 12, 10));
    EXPECT_EQ(files.appends[1].bytes,
              "12:05:00,01.02.24,TE-99999,FE-99999,\r\n12:10:00,01.02.24,TE7.0,FE80,\r\n");
}

TEST_F(Reception, TornRecordIsSkippedAndTheNextStartsOnAFreshLine) {
    Open();
    Live(Utc(2024, 2, 1, 12, 0), "TE5.0,FE80,");
    files.tornAfter = 20;
    Live(Utc(2024, 2, 1, 12, 5), "TE6.0,FE80,");
    EXPECT_EQ(ui.Messages().size(), 1u);
    const auto last = doc->FindLastRecord();
    ASSERT_TRUE(last);
    EXPECT_EQ(last->time, Utc(2024, 2, 1, 12, 0));

    Live(Utc(2024, 2, 1, 12, 10), "TE7.0,FE80,");
    EXPECT_EQ(files.Read(DataFile("02_2024.orb")),
              "12:00:00,01.02.24,TE5.0,FE80,\r\n12:05:00,01.02.24,TE\r\n"
              "12:05:00,01.02.24,TE6.0,FE80,\r\n12:10:00,01.02.24,TE7.0,FE80,\r\n");
    EXPECT_EQ(doc->FindLastRecord()->time, Utc(2024, 2, 1, 12, 10));
}

TEST_F(Reception, CurrentFileNameIsThePcsMonth) {
    Open();
    clock.SetNow(Utc(2024, 12, 31, 23, 59));
    EXPECT_EQ(doc->CurrentFileName(), DataFile("12_2024.orb"));
}

}  // namespace
