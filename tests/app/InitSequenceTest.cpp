// The initialisation of a connection, step by step: the commands in order,
// the waits between them, the error codes, the logger read-out and the
// reconnect time-out, with a fake worker and the manual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FakeTransport.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "app/ClockSync.h"
#include "app/InitSequence.h"
#include "model/OutputList.h"

using namespace StationProtocol;

namespace {

struct RecordingView final : InitView {
    void SetCaption(const std::string& text) override { caption = text; }
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetProgressRange(int maximum) override { range = maximum; }
    void SetProgress(int position) override { progress = position; }
    void EnableCancel(bool enabled) override { cancelEnabled = enabled; }
    void Finished() override { ++finished; }

    std::string caption;
    std::vector<std::string> statuses;
    int range = 0;
    int progress = 0;
    bool cancelEnabled = true;
    int finished = 0;
};

struct RecordingChannel final : CommandChannel {
    void PostCommand(CommandRequest request) override { sent.push_back(request); }
    void Quit() override { ++quits; }
    std::vector<std::string> Commands() const {
        std::vector<std::string> texts;
        for (const auto& request : sent) texts.push_back(request.command);
        return texts;
    }
    std::vector<CommandRequest> sent;
    int quits = 0;
};

struct ScriptedClockDialog final : ClockDialog {
    std::optional<ClockDialogResult> Show(std::time_t stationTime) override {
        shownWith.push_back(stationTime);
        return answer;
    }
    std::optional<ClockDialogResult> answer;
    std::vector<std::time_t> shownWith;
};

constexpr const char* kLoggerStation =
    "[Dateninterpretation]\nMit_Speicher=0\nDaten_Speichern=0\n[Regen]\nReset=7\n";

class Init : public ::testing::Test, protected ManualWorld {
protected:
    static void SetUpTestSuite() { UseUtcZone(); }

    Init() : ManualWorld(Utc(2024, 3, 10, 12, 0, 5)) { OutputList::Process().Clear(); }

    // A logger station whose last stored record is from 11:00.
    void Open(const std::string& sections = kLoggerStation, bool withStoredRecord = true) {
        WriteStation(sections);
        std::filesystem::create_directories(DataFolder());
        if (withStoredRecord)
            folder.Write("Daten/03_2024.orb", "11:00:00,10.03.24,TE4.0,FE70,\r\n");
        doc = std::make_unique<CWetterDoc>(context);
        process.CurrentTransport.Exchange(transport);
        sequence = std::make_unique<InitSequence>(*doc, view, channel, &clockDialog);
        sequence->Start();
    }

    // `marked`: the station marks it for storage.
    void Line(std::time_t time, int message = kRecordLine, bool marked = false) {
        sequence->OnDataLine(Stamp(time) + "TE5.0,FE80," + (marked ? "\x1F" : "") + "\r\n",
                             message);
    }
    // Acknowledges the last command and lets the wait before the next one pass.
    void Ack(unsigned waitMs = 0) {
        sequence->OnReplyReceived();
        clock.Advance(waitMs);
    }
    std::string LastCommand() const {
        return channel.sent.empty() ? "" : channel.sent.back().command;
    }
    // Runs the sequence up to the data logger query, acknowledging every step.
    void UpToLoggerQuery(std::time_t firstLine) {
        Line(firstLine);
        if (!LastCommand().empty()) Ack();
        clock.Advance(300);
        Ack(300);  // storage interval
        Ack(300);  // precipitation reset
        clock.Advance(1000);
    }
    std::vector<std::string> Outputs() const {
        std::vector<std::string> texts;
        for (const auto& line : OutputList::Process().Snapshot()) texts.push_back(line.text);
        return texts;
    }

    std::shared_ptr<FakeTransport> transport = [] {
        auto t = std::make_shared<FakeTransport>("COM = /dev/ttyUSB0 ,Baud. = 9600");
        t->open = true;
        return t;
    }();
    RecordingView view;
    RecordingChannel channel;
    ScriptedClockDialog clockDialog;
    std::unique_ptr<CWetterDoc> doc;
    std::unique_ptr<InitSequence> sequence;
};

TEST_F(Init, LoggerStationRunsEveryStepAndStoresTheLoggerRecords) {
    Open(std::string(kLoggerStation) + "[Ortshoehe]\nAktiv=true\nHoehe=312\n");
    EXPECT_EQ(view.caption, "ConnectingCOM = /dev/ttyUSB0 ,Baud. = 9600");
    EXPECT_FALSE(view.cancelEnabled);
    EXPECT_EQ(view.range, 4 + 12) << "one step per interval since the last stored record";
    EXPECT_TRUE(channel.sent.empty()) << "nothing is sent before the first line";

    Line(Utc(2024, 3, 10, 11, 59, 30));  // 35 s behind the PC
    EXPECT_EQ(doc->SensorIdentifiers(), (std::vector<std::string>{"TE", "FE"}));
    EXPECT_EQ(LastCommand(), "!U120005100324");
    Ack();
    EXPECT_EQ(sequence->StationTime(), Utc(2024, 3, 10, 12, 0, 5));
    clock.Advance(299);
    EXPECT_EQ(channel.sent.size(), 1u) << "300 ms pass before the next command";
    clock.Advance(1);
    EXPECT_EQ(LastCommand(), "!Z30");
    Ack(300);
    EXPECT_EQ(LastCommand(), "!R7");
    Ack(300);
    EXPECT_EQ(LastCommand(), "!O312");
    Ack(999);
    EXPECT_EQ(LastCommand(), "!O312");
    clock.Advance(1);
    EXPECT_EQ(LastCommand(), "?D110000100324");
    EXPECT_EQ(channel.sent.back().replyMessage, kLoggerLine);
    EXPECT_TRUE(view.cancelEnabled);
    for (const auto& request : channel.sent) EXPECT_FALSE(request.forwardWhileAwaiting);
    Ack();

    Line(Utc(2024, 3, 10, 11, 5), kLoggerLine);
    Line(Utc(2024, 3, 10, 11, 10), kLoggerLine);
    EXPECT_EQ(view.finished, 0);
    Line(Utc(2024, 3, 10, 12, 0, 10), kLoggerLine, true);  // live again: caught up
    EXPECT_EQ(view.finished, 1);
    EXPECT_EQ(channel.quits, 1);
    EXPECT_EQ(sequence->ErrorCode(), 0);
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(view.progress, view.range);
    EXPECT_EQ(transport->written, (std::vector<std::string>{"\r\n", "\r\n"}));
    std::string expected =
        "11:00:00,10.03.24,TE4.0,FE70,\r\n11:05:00,10.03.24,TE5.0,FE80,\r\n"
        "11:10:00,10.03.24,TE5.0,FE80,\r\n";
    for (std::time_t gap = Utc(2024, 3, 10, 11, 15); gap <= Utc(2024, 3, 10, 12, 0); gap += 300)
        expected += Stamp(gap) + "TE-99999,FE-99999,\r\n";
    expected += "12:00:10,10.03.24,TE5.0,FE80,\r\n";
    EXPECT_EQ(folder.Read("Daten/03_2024.orb"), expected);
    EXPECT_EQ(Outputs(), (std::vector<std::string>{
                             "Set time", "Received station's reply", "Set storage interval",
                             "Received station's reply", "Set precipitation reset",
                             "Received station's reply", "Set altitude", "Received station's reply",
                             "Read data logger", "Received station's reply"}));
}

struct CaughtUpRow {
    const char* name;
    int storeByPc;           // "Daten_Speichern"
    std::time_t lastLogged;  // the logger's last record
    bool marked;             // the live line that ends the read-out
    std::time_t lastStored;
};

class InitCaughtUp : public Init, public ::testing::WithParamInterface<CaughtUpRow> {};

TEST_P(InitCaughtUp, LiveLineThatEndsTheReadOutIsStoredOnlyByTheStorageRule) {
    const CaughtUpRow& row = GetParam();
    Open("[Dateninterpretation]\nMit_Speicher=0\nDaten_Speichern=" + std::to_string(row.storeByPc) +
         "\n");
    UpToLoggerQuery(Utc(2024, 3, 10, 12, 0));
    Ack();
    Line(row.lastLogged, kLoggerLine);
    Line(Utc(2024, 3, 10, 12, 0, 10), kLoggerLine, row.marked);
    EXPECT_EQ(view.finished, 1);
    EXPECT_EQ(doc->LastStoredTime(), row.lastStored);
    EXPECT_TRUE(
        folder.Read("Daten/03_2024.orb").ends_with(Stamp(row.lastStored) + "TE5.0,FE80,\r\n"))
        << "nothing after the last stored record, not even a gap line";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InitCaughtUp,
    ::testing::Values(CaughtUpRow{"UnmarkedByAMarkingStation", 0, Utc(2024, 3, 10, 11, 55), false,
                                  Utc(2024, 3, 10, 11, 55)},
                      CaughtUpRow{"MarkedByTheStation", 0, Utc(2024, 3, 10, 11, 55), true,
                                  Utc(2024, 3, 10, 12, 0, 10)},
                      CaughtUpRow{"NotYetDueByTheInterval", 1, Utc(2024, 3, 10, 12, 0), false,
                                  Utc(2024, 3, 10, 12, 0)},
                      CaughtUpRow{"DueByTheInterval", 1, Utc(2024, 3, 10, 11, 55), false,
                                  Utc(2024, 3, 10, 12, 0, 10)}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Init, StationWithoutLoggerEndsAfterTheLabels) {
    Open("[Dateninterpretation]\nMit_Speicher=1\n");
    Line(Utc(2024, 3, 10, 11, 0));
    EXPECT_EQ(doc->SensorIdentifiers(), (std::vector<std::string>{"TE", "FE"}));
    EXPECT_TRUE(channel.sent.empty());
    EXPECT_EQ(view.finished, 1);
    EXPECT_TRUE(doc->RecordStoredSinceStart());
    EXPECT_EQ(doc->LastStoredTime(), Utc(2024, 3, 10, 11, 0));
}

TEST_F(Init, MissingStationTypeCountsAsWithoutLogger) {
    Open("");
    Line(Utc(2024, 3, 10, 12, 0));
    EXPECT_TRUE(channel.sent.empty());
    EXPECT_EQ(view.finished, 1);
}

struct FailureRow {
    const char* name;
    int acknowledged;  // commands acknowledged before the one left unanswered
    int code;
    const char* message;  // empty: no message
};

class InitFailures : public Init, public ::testing::WithParamInterface<FailureRow> {};

TEST_P(InitFailures, AnUnansweredCommandEndsWithItsMessage) {
    const FailureRow& row = GetParam();
    Open(std::string(kLoggerStation) + "[Ortshoehe]\nAktiv=TRUE\nHoehe=5\n");
    Line(Utc(2024, 3, 10, 11, 50));
    for (int i = 0; i < row.acknowledged; ++i) Ack(1000);
    ASSERT_EQ(channel.sent.size(), static_cast<std::size_t>(row.acknowledged + 1));
    sequence->OnNoReply();
    clock.Advance(5000);
    EXPECT_EQ(channel.sent.size(), static_cast<std::size_t>(row.acknowledged + 1));
    EXPECT_EQ(view.finished, 1);
    EXPECT_EQ(sequence->ErrorCode(), row.code);
    if (row.message[0] == '\0') {
        EXPECT_TRUE(ui.shown.empty());
    } else {
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text, row.message);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, InitFailures,
    ::testing::Values(FailureRow{"Clock", 0, 6, "Error!\n Failure setting the clock."},
                      FailureRow{"StorageInterval", 1, 2, "Error setting the storage interval!"},
                      FailureRow{"PrecipitationReset", 2, 9,
                                 "Error setting the reset for precipitation!"},
                      FailureRow{"AltitudeEndsWithoutMessage", 3, 0, ""},
                      FailureRow{"LoggerQuery", 4, 3,
                                 "Error !\nWeatherstation could not understand query of "
                                 "datalogger."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Init, WithoutResetCommandsAndWithoutAltitudeNeitherIsSent) {
    process.commandLine.noResetCommands = true;
    Open();
    UpToLoggerQuery(Utc(2024, 3, 10, 12, 0));
    EXPECT_EQ(channel.Commands(), (std::vector<std::string>{"!Z30", "?D110000100324"}));
}

TEST_F(Init, WithoutStoredRecordsNoLoggerQueryIsSent) {
    Open(kLoggerStation, false);
    EXPECT_EQ(view.range, 4);
    UpToLoggerQuery(Utc(2024, 3, 10, 12, 0));
    EXPECT_EQ(channel.Commands(), (std::vector<std::string>{"!Z30", "!R7"}));
    EXPECT_EQ(view.finished, 1);
    EXPECT_EQ(Outputs().back(), "Read data logger");
}

TEST_F(Init, QuickRestartReadsTheRecordThatFellDueWhileTheStartRan) {
    // Stopped just after the 11:55 record and started again at once: the first line comes
    // less than an interval after it, and the 12:00 record falls due during the start.
    clock.SetNow(Utc(2024, 3, 10, 11, 55, 2));
    WriteStation(kLoggerStation);
    std::filesystem::create_directories(DataFolder());
    folder.Write("Daten/03_2024.orb", "11:55:00,10.03.24,TE4.0,FE70,\r\n");
    doc = std::make_unique<CWetterDoc>(context);
    process.CurrentTransport.Exchange(transport);
    sequence = std::make_unique<InitSequence>(*doc, view, channel, &clockDialog);
    sequence->Start();

    UpToLoggerQuery(Utc(2024, 3, 10, 11, 55, 3));
    EXPECT_EQ(LastCommand(), "?D115500100324");
    ASSERT_EQ(view.finished, 0);
    Ack();
    Line(Utc(2024, 3, 10, 12, 0), kLoggerLine, true);
    EXPECT_EQ(view.finished, 1);
    clock.SetNow(Utc(2024, 3, 10, 12, 5));
    doc->ProcessLine(Stamp(Utc(2024, 3, 10, 12, 5)) + "TE6.0,FE80,\x1F\r\n", false, false);
    EXPECT_EQ(folder.Read("Daten/03_2024.orb"),
              "11:55:00,10.03.24,TE4.0,FE70,\r\n12:00:00,10.03.24,TE5.0,FE80,\r\n"
              "12:05:00,10.03.24,TE6.0,FE80,\r\n");
}

TEST_F(Init, InitialisationThatEndsEarlyStillContinuesTheDataWithGapLines) {
    Open();
    Line(Utc(2024, 3, 10, 11, 50));
    ASSERT_EQ(LastCommand(), "!U120005100324");
    sequence->OnNoReply();
    ASSERT_EQ(sequence->ErrorCode(), 6);
    doc->ProcessLine(Stamp(Utc(2024, 3, 10, 12, 0)) + "TE5.0,FE80,\x1F\r\n", false, false);
    std::string expected = "11:00:00,10.03.24,TE4.0,FE70,\r\n";
    for (std::time_t gap = Utc(2024, 3, 10, 11, 5); gap < Utc(2024, 3, 10, 12, 0); gap += 300)
        expected += Stamp(gap) + "TE-99999,FE-99999,\r\n";
    expected += "12:00:00,10.03.24,TE5.0,FE80,\r\n";
    EXPECT_EQ(folder.Read("Daten/03_2024.orb"), expected);
}

TEST_F(Init, SilentLoggerGetsThreeClearCommandsFifteenSecondsApart) {
    Open();
    UpToLoggerQuery(Utc(2024, 3, 10, 12, 0));
    Ack();
    Line(Utc(2024, 3, 10, 11, 5), kLoggerLine);
    const std::size_t before = channel.sent.size();
    clock.Advance(14999);
    EXPECT_EQ(channel.sent.size(), before);
    for (int i = 1; i <= 3; ++i) {
        clock.Advance(i == 1 ? 1 : 15000);
        ASSERT_EQ(channel.sent.size(), before + i);
        EXPECT_EQ(LastCommand(), "!C");
        EXPECT_EQ(channel.sent.back().replyMessage, kLoggerLine);
        EXPECT_EQ(view.finished, i == 3 ? 1 : 0);
        sequence->OnReplyReceived();
    }
    EXPECT_EQ(sequence->ErrorCode(), 0);
}

struct ClockRow {
    const char* name;
    ClockMode mode;
    int secondsBehind;  // of the station, against the PC's 12:00:05
    std::optional<ClockDialogResult> dialog;
    std::vector<std::string> commands;  // the first three
    int pcClockSets;
    int code;
};

class InitClock : public Init, public ::testing::WithParamInterface<ClockRow> {};

TEST_P(InitClock, ModeAndDifferenceDecideWhatIsSet) {
    const ClockRow& row = GetParam();
    process.commandLine.clockMode = row.mode;
    clockDialog.answer = row.dialog;
    Open();
    Line(Utc(2024, 3, 10, 12, 0, 5) - row.secondsBehind);
    for (int i = 0; i < 4 && view.finished == 0; ++i) Ack(1000);
    std::vector<std::string> first = channel.Commands();
    first.resize(std::min<std::size_t>(first.size(), 3));
    EXPECT_EQ(first, row.commands);
    EXPECT_EQ(clock.pcClockSets.size(), static_cast<std::size_t>(row.pcClockSets));
    EXPECT_EQ(sequence->ErrorCode(), row.code);
}

ClockDialogResult Chose(ClockChoice choice, bool deleteLogger = false) {
    const bool setStation = choice == ClockChoice::kStationFromPc;
    return {choice, deleteLogger, setStation ? "!U120005100324" : "", Utc(2024, 3, 10, 12, 0, 5)};
}

constexpr ClockMode kPc = ClockMode::kPcSetsStation;
constexpr ClockMode kGps = ClockMode::kStationSetsPc;
constexpr ClockMode kAsk = ClockMode::kWarnOnly;

INSTANTIATE_TEST_SUITE_P(
    Modes, InitClock,
    ::testing::Values(
        ClockRow{"PcWithinTolerance", kPc, 10, {}, {"!Z30", "!R7", "?D110000100324"}, 0, 0},
        ClockRow{"PcOneSecondMore", kPc, 11, {}, {"!U120005100324", "!Z30", "!R7"}, 0, 0},
        ClockRow{
            "GpsSetsThePcAndSendsNothing", kGps, 60, {}, {"!Z30", "!R7", "?D110000100324"}, 1, 0},
        ClockRow{
            "AskCancelGoesOn", kAsk, 60, std::nullopt, {"!Z30", "!R7", "?D110000100324"}, 0, 0},
        ClockRow{"AskNoSettingEnds", kAsk, 60, Chose(ClockChoice::kNone), {}, 0, 8},
        ClockRow{"AskSetStationAndDeleteLogger",
                 kAsk,
                 60,
                 Chose(ClockChoice::kStationFromPc, true),
                 {"!U120005100324", "!N", "!Z30"},
                 0,
                 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Init, UnreadableFirstLineAlwaysSetsTheStationClock) {
    Open();
    sequence->OnDataLine("TE5.0,FE80,\r\n", kRecordLine);
    EXPECT_EQ(LastCommand(), "!U120005100324");
}

TEST_F(Init, ReconnectEndsWhenNoLineArrivesInTime) {
    WriteStation(std::string(kLoggerStation) + "[Verbindungsabbruch]\nReconnectTimeout=20.0\n");
    doc = std::make_unique<CWetterDoc>(context);
    process.CurrentTransport.Exchange(transport);
    doc->SetReconnecting(true);
    sequence = std::make_unique<InitSequence>(*doc, view, channel, &clockDialog);
    sequence->Start();
    EXPECT_EQ(view.caption, "Initialisation ");
    clock.Advance(19999);
    EXPECT_EQ(view.finished, 0);
    clock.Advance(1);
    EXPECT_EQ(view.finished, 1);
    EXPECT_TRUE(doc->Reconnecting()) << "the connect counts as failed";
}

TEST_F(Init, ReconnectTimeoutThatIsNoSaneTimeWaitsTheDefault) {
    for (const std::string value : {"-1", "1e400"}) {
        SCOPED_TRACE(value);
        sequence.reset();
        WriteStation(std::string(kLoggerStation) +
                     "[Verbindungsabbruch]\nReconnectTimeout=" + value + "\n");
        doc = std::make_unique<CWetterDoc>(context);
        process.CurrentTransport.Exchange(transport);
        doc->SetReconnecting(true);
        view.finished = 0;
        sequence = std::make_unique<InitSequence>(*doc, view, channel, &clockDialog);
        sequence->Start();
        clock.Advance(14999);
        EXPECT_EQ(view.finished, 0);
        clock.Advance(1);
        EXPECT_EQ(view.finished, 1);
    }
}

TEST_F(Init, ReconnectGoesOnWhenALineArrives) {
    WriteStation(kLoggerStation);
    doc = std::make_unique<CWetterDoc>(context);
    process.CurrentTransport.Exchange(transport);
    doc->SetReconnecting(true);
    sequence = std::make_unique<InitSequence>(*doc, view, channel, &clockDialog);
    sequence->Start();
    clock.Advance(10000);
    Line(Utc(2024, 3, 10, 12, 0, 10));
    EXPECT_FALSE(doc->Reconnecting());
    clock.Advance(60000);
    EXPECT_EQ(view.finished, 0);
    EXPECT_EQ(LastCommand(), "!Z30");
}

TEST_F(Init, CancelAsksFirst) {
    Open();
    ui.answers = {MsgAnswer::No, MsgAnswer::Yes};
    EXPECT_FALSE(sequence->RequestCancel());
    EXPECT_EQ(view.finished, 0);
    EXPECT_TRUE(sequence->RequestCancel());
    EXPECT_EQ(view.finished, 1);
    ASSERT_EQ(ui.shown.size(), 2u);
    EXPECT_EQ(ui.shown[0].text,
              "This end initialisation procedure!\nYou may lose some data.\n\nAre you shure you "
              "want to cancel?");
    EXPECT_EQ(ui.shown[0].buttons, MsgButtons::YesNo);
}

}  // namespace
