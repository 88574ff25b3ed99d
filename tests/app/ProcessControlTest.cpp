// Process control: the process list in process.ini, the starts after each
// record (page first, 100 ms later the program), the release rules, the
// dialogs' checks and messages, and how parameters reach the started program.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "RecordingLauncher.h"
#include "StationHome.h"
#include "app/CWetterDoc.h"
#include "app/MainSwitchboard.h"
#include "app/ProcessControl.h"
#include "app/ProcessControlForm.h"
#include "app/ProcessList.h"
#include "app/ProcessNewForm.h"
#include "app/ProcessStart.h"
#include "app/RecordPublisher.h"
#include "calc/CVergleichParser.h"
#include "model/OutputList.h"
#include "platform/FileSystem.h"
#include "platform/PosixLauncher.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::string bytes;
    (void)FileSystem::ReadWholeFile(path, bytes);
    return bytes;
}

// Writes its page into the same call list as the launcher, so the order shows.
struct SequencePublisher final : RecordPublisher {
    explicit SequencePublisher(std::vector<std::string>& calls) : calls(calls) {}
    void HttpUpload(const StationView&, const std::string&) override {}
    void WriteHtmlPage(const StationView&) override { calls.push_back("html"); }
    void AwekasUpload(const StationView&) override {}
    std::vector<std::string>& calls;
};

// A station document's process control with the seams it starts through.
struct ProcessWorld : ManualWorld {
    ProcessWorld() : ManualWorld(Utc(2024, 5, 1, 12, 0)) {
        WriteStation("");
        context.publisher = &publisher;
        context.launcher = &launcher;
        doc = std::make_unique<CWetterDoc>(context);
    }
    std::string ProcessFile() const { return paths.Named("process.ini"); }
    ProcessControl& Control() { return doc->Processes(); }

    // A record with these comparison variables, then the wait before a start.
    void Record(const std::vector<std::pair<std::string, float>>& values) {
        parser.ClearVariables();
        for (const auto& [name, value] : values) {
            parser.AddVariable(name);
            parser.SetVariable(name, value);
        }
        Control().RunProcessControl(parser);
        clock.Advance(ProcessControl::kPageWaitMs);
    }

    RecordingLauncher launcher;
    SequencePublisher publisher{launcher.calls};
    CVergleichParser parser;
    std::unique_ptr<CWetterDoc> doc;
};

// ---- process.ini ----

TEST(ProcessFile, SectionsOneToCountAreReadInOrder) {
    ProcessWorld world;
    world.folder.Write("wetterprocess.ini",
                       "[Process]\r\nCount=3\r\n"
                       "[2]\r\nProcess=/opt/b.sh\r\nAusfuehrbedingung=WG>5\r\n"
                       "[1]\r\nProcess= \"/opt/a b.sh\" \r\nParameter=-x \"y z\"\r\n"
                       "Ausfuehrbedingung=TA>30\r\nResetbedingung=TA<25\r\n"
                       "[4]\r\nProcess=/opt/never.sh\r\n");
    world.doc = std::make_unique<CWetterDoc>(world.context);
    const ProcessList& list = world.Control().List();
    ASSERT_EQ(list.Count(), 3u) << "Count decides, not the sections present";
    EXPECT_EQ(ProcessList::TextsOf(list.At(0)),
              (ProcessTexts{"/opt/a b.sh", "-x \"y z\"", "TA>30", "TA<25"}));
    EXPECT_EQ(ProcessList::TextsOf(list.At(1)), (ProcessTexts{"/opt/b.sh", "", "WG>5", ""}));
    EXPECT_EQ(ProcessList::TextsOf(list.At(2)), ProcessTexts{}) << "a missing section is empty";
    EXPECT_EQ(list.At(0).NoRelease, 0);
    EXPECT_EQ(list.At(1).NoRelease, 1);
    for (const auto& process : list.Processes()) EXPECT_EQ(process->Waiting, 0);
}

TEST(ProcessFile, MissingOrBrokenCountMeansNoProcesses) {
    for (const char* file : {"", "[Process]\r\nCount=-1\r\n[1]\r\nProcess=/a\r\n",
                             "[Process]\r\nCount=x\r\n[1]\r\nProcess=/a\r\n"}) {
        ProcessWorld world;
        if (*file != '\0') world.folder.Write("wetterprocess.ini", file);
        world.doc = std::make_unique<CWetterDoc>(world.context);
        EXPECT_EQ(world.Control().List().Count(), 0u) << file;
    }
}

TEST(ProcessFile, AHugeCountIsCutInsteadOfReadForHours) {
    ProcessWorld world;
    world.folder.Write("wetterprocess.ini", "[Process]\r\nCount=2000000000\r\n");
    OutputList::Process().Clear();
    world.doc = std::make_unique<CWetterDoc>(world.context);
    EXPECT_EQ(world.Control().List().Count(), ProcessList::kMaxProcesses);
    ASSERT_FALSE(OutputList::Process().Snapshot().empty());
    EXPECT_NE(OutputList::Process().Snapshot().back().text.find("only the first 1000"),
              std::string::npos);
}

TEST(ProcessFile, ValuesLongerThan999CharactersAreCut) {
    ProcessWorld world;
    world.folder.Write("wetterprocess.ini", "[Process]\r\nCount=1\r\n[1]\r\nParameter=" +
                                                std::string(1200, 'p') + "\r\n");
    world.doc = std::make_unique<CWetterDoc>(world.context);
    EXPECT_EQ(world.Control().List().At(0).Parameter, std::string(999, 'p'));
}

TEST(ProcessFile, NewListIsWrittenByteExact) {
    ProcessWorld world;
    ASSERT_TRUE(world.Control().AddProcess({"/opt/a.sh", "-v", "TA>30", "TA<25"}));
    ASSERT_TRUE(world.Control().AddProcess({"/opt/b.sh", "", "WG>5", ""}));
    EXPECT_EQ(ReadFile(world.ProcessFile()),
              "[Process]\r\nCount=2\r\n"
              "[1]\r\nProcess=/opt/a.sh\r\nParameter=-v\r\nAusfuehrbedingung=TA>30\r\n"
              "Resetbedingung=TA<25\r\n"
              "[2]\r\nProcess=/opt/b.sh\r\nParameter=\r\nAusfuehrbedingung=WG>5\r\n"
              "Resetbedingung=\r\n");
}

TEST(ProcessFile, DeletingProcessTwoOfThreeRenumbersTheRest) {
    ProcessWorld world;
    world.folder.Write("wetterprocess.ini",
                       "; alarms\r\n[Process]\r\nCount=3\r\n"
                       "[1]\r\nProcess=/a\r\nParameter=\r\nAusfuehrbedingung=TA>1\r\n"
                       "Resetbedingung=\r\n"
                       "[2]\r\nProcess=/b\r\nParameter=\r\nAusfuehrbedingung=TA>2\r\n"
                       "Resetbedingung=\r\n"
                       "[3]\r\nProcess=/c\r\nParameter=x\r\nAusfuehrbedingung=TA>3\r\n"
                       "Resetbedingung=TA<3\r\n"
                       "[7]\r\nProcess=/left/over\r\n");
    world.doc = std::make_unique<CWetterDoc>(world.context);
    ASSERT_TRUE(world.Control().DeleteProcess(1));
    EXPECT_EQ(ReadFile(world.ProcessFile()),
              "; alarms\r\n[Process]\r\nCount=2\r\n"
              "[1]\r\nProcess=/a\r\nParameter=\r\nAusfuehrbedingung=TA>1\r\nResetbedingung=\r\n"
              "[2]\r\nProcess=/c\r\nParameter=x\r\nAusfuehrbedingung=TA>3\r\n"
              "Resetbedingung=TA<3\r\n");
}

TEST(ProcessFile, TextsReadBackAsTheyWereTyped) {
    const ProcessTexts typed{" /opt/lead space", "\"/home/u/my file.txt\"", "'TA>1'", "TA<1 "};
    ProcessWorld world;
    world.Control().AddProcess(typed);
    world.doc = std::make_unique<CWetterDoc>(world.context);
    EXPECT_EQ(ProcessList::TextsOf(world.Control().List().At(0)), typed);
}

TEST(ProcessFile, LineBreaksInATextCannotAddSettings) {
    ProcessWorld world;
    world.Control().AddProcess({"/a", "x\r\n[2]\r\nProcess=/evil", "TA>1", ""});
    world.doc = std::make_unique<CWetterDoc>(world.context);
    ASSERT_EQ(world.Control().List().Count(), 1u);
    EXPECT_EQ(world.Control().List().At(0).Parameter, "x  [2]  Process=/evil");
}

TEST(ProcessFile, AFileThatCannotBeWrittenIsReportedAndTheListStillChanges) {
    ManualWorld world(Utc(2024, 5, 1, 12, 0));
    ProgramPaths nowhere(world.folder.File("missing/wetter"));
    AppContext context{world.profile, nowhere,  world.clock,    world.events,
                       world.timers,  world.ui, world.errorLog, world.process};
    CWetterDoc doc(context);
    OutputList::Process().Clear();
    EXPECT_FALSE(doc.Processes().AddProcess({"/a", "", "TA>1", ""}));
    EXPECT_EQ(doc.Processes().List().Count(), 1u);
    ASSERT_EQ(OutputList::Process().Count(), 1u);
    EXPECT_NE(OutputList::Process().Snapshot()[0].text.find("could not be written"),
              std::string::npos);
}

// ---- starts after records ----

struct RunRow {
    const char* name;
    const char* exec;
    const char* release;
    std::vector<std::optional<float>> ta;  // nothing: TA missing from that record
    std::vector<int> startedIn;            // 1-based record numbers
};
void PrintTo(const RunRow& row, std::ostream* os) { *os << row.name; }

class Runs : public ::testing::TestWithParam<RunRow> {};

TEST_P(Runs, ProgramStartsInTheRecordsWhereItMay) {
    const RunRow& row = GetParam();
    ProcessWorld world;
    world.Control().AddProcess({"/opt/alarm.sh", "", row.exec, row.release});
    std::vector<int> started;
    for (std::size_t i = 0; i < row.ta.size(); ++i) {
        const std::size_t before = world.launcher.calls.size();
        if (row.ta[i])
            world.Record({{"TA", *row.ta[i]}, {"WG", 3.0f}});
        else
            world.Record({{"WG", 3.0f}});
        if (world.launcher.calls.size() > before) started.push_back(static_cast<int>(i + 1));
    }
    EXPECT_EQ(started, row.startedIn);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Runs,
    ::testing::Values(
        RunRow{"NoReleaseStartsEachTimeItHolds", "TA>30", "", {31, 32, 29, 33}, {1, 2, 4}},
        RunRow{"ReleaseMustHoldBeforeTheNextStart", "TA>30", "TA<25", {31, 32, 24, 33}, {1, 4}},
        RunRow{"ReleaseRightAfterAStartChecksAgainTheRecordAfter",
               "TA>30",
               "TA<35",
               {31, 31, 31, 31},
               {1, 3}},
        RunRow{"EveryOtherRecord", "TA>30", "", {31, 20, 31, 20, 31, 20}, {1, 3, 5}},
        RunRow{"MissingSensorNeverHolds", "TA>30", "", {std::nullopt, 31}, {2}},
        RunRow{"MissingSensorNeverReleases", "TA>30", "TA<25", {31, std::nullopt, 31}, {1}},
        RunRow{"AllConditionsOfAListMustHold", "TA>30;WG>5", "", {31, 40}, {}},
        RunRow{"TextAfterAHoldingConditionIsNoCondition", "TA>30)", "", {31, 40}, {}},
        RunRow{"TextAfterAHoldingReleaseNeverReleases", "TA>30", "TA<25)", {31, 20, 31}, {1}},
        RunRow{"ConditionWithSpacesIsNotReadToItsEnd", "TA > 30", "", {31, 40}, {}},
        RunRow{"EmptyConditionNeverHolds", "", "", {31}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProcessRun, PageFirstThenTheProgram100MsLater) {
    ProcessWorld world;
    world.Control().AddProcess({"/opt/a.sh", "-v \"a b\"", "TA>30", ""});
    world.Control().AddProcess({"/opt/b.sh", "", "TA>20", ""});
    world.parser.AddVariable("TA");
    world.parser.SetVariable("TA", 31.0f);
    world.Control().RunProcessControl(world.parser);
    EXPECT_EQ(world.launcher.calls, (std::vector<std::string>{"html"}))
        << "one page for the record, and nothing started yet";
    world.clock.Advance(ProcessControl::kPageWaitMs - 1);
    EXPECT_EQ(world.launcher.calls.size(), 1u);
    world.clock.Advance(1);
    EXPECT_EQ(world.launcher.calls,
              (std::vector<std::string>{"html", "launch /opt/a.sh|-v|a b", "launch /opt/b.sh"}));
    world.clock.Advance(1000);
    EXPECT_EQ(world.launcher.calls.size(), 3u) << "the wait is no repeating timer";
    EXPECT_FALSE(world.Control().StartsPending());
}

TEST(ProcessRun, NoPageWhenNothingHoldsAndStartsWithoutAPublisher) {
    ProcessWorld world;
    world.Control().AddProcess({"/opt/a.sh", "", "TA>30", ""});
    world.Record({{"TA", 10.0f}});
    EXPECT_TRUE(world.launcher.calls.empty());
    world.context.publisher = nullptr;
    world.Record({{"TA", 40.0f}});
    EXPECT_EQ(world.launcher.calls, (std::vector<std::string>{"launch /opt/a.sh"}));
}

TEST(ProcessRun, EmptyProgramStartsNothingButTheRecordStillGetsItsPage) {
    ProcessWorld world;
    world.Control().AddProcess({"", "", "TA>30", "TA<0"});
    world.Record({{"TA", 40.0f}});
    world.Record({{"TA", 40.0f}});
    EXPECT_EQ(world.launcher.calls, (std::vector<std::string>{"html", "html"}))
        << "nothing started, so nothing waits for its release";
}

TEST(ProcessRun, FailedStartDoesNotWaitAndIsTriedWithTheNextRecordThatHolds) {
    ProcessWorld world;
    world.Control().AddProcess({"/opt/missing", "", "TA>30", "TA<25"});
    world.launcher.failing = {"/opt/missing"};
    world.Record({{"TA", 31.0f}});
    EXPECT_EQ(world.Control().List().At(0).Waiting, 0);
    world.Record({{"TA", 20.0f}});
    world.launcher.failing.clear();
    world.Record({{"TA", 31.0f}});
    EXPECT_EQ(world.Control().List().At(0).Waiting, 1);
    world.Record({{"TA", 31.0f}});
    EXPECT_EQ(world.launcher.calls, (std::vector<std::string>{"html", "launch /opt/missing", "html",
                                                              "launch /opt/missing"}));
    EXPECT_TRUE(world.ui.shown.empty()) << "failures at run time are silent";
}

TEST(ProcessRun, WithoutALauncherNothingStartsAndNothingWaits) {
    ProcessWorld world;
    world.context.launcher = nullptr;
    world.Control().AddProcess({"/opt/a.sh", "", "TA>30", "TA<25"});
    world.Record({{"TA", 31.0f}});
    EXPECT_EQ(world.Control().List().At(0).Waiting, 0);
}

TEST(ProcessRun, ARealMissingProgramIsNoStart) {
    ProcessWorld world;
    PosixLauncher real;
    world.context.launcher = &real;
    world.Control().AddProcess({world.folder.File("no-such-program"), "", "TA>30", "TA<25"});
    world.Record({{"TA", 31.0f}});
    EXPECT_EQ(world.Control().List().At(0).Waiting, 0);
}

TEST(ProcessRun, EditKeepsWaitingAndTakesTheNewReleaseRule) {
    ProcessWorld world;
    world.Control().AddProcess({"/opt/a.sh", "", "TA>30", "TA<25"});
    world.Record({{"TA", 31.0f}});
    ASSERT_EQ(world.Control().List().At(0).Waiting, 1);
    world.Control().EditProcess(0, {"/opt/new.sh", "", "TA>30", "TA<0"});
    EXPECT_EQ(world.Control().List().At(0).Waiting, 1);
    world.Record({{"TA", 20.0f}});
    EXPECT_EQ(world.Control().List().At(0).Waiting, 1) << "the new release condition counts";
    world.Control().EditProcess(0, {"/opt/new.sh", "", "TA>30", ""});
    EXPECT_EQ(world.Control().List().At(0).NoRelease, 1);
}

TEST(ProcessRun, ChangesDuringTheWaitCountAtTheStart) {
    ProcessWorld world;
    world.Control().AddProcess({"/opt/a.sh", "", "TA>30", ""});
    world.Control().AddProcess({"/opt/b.sh", "", "TA>30", ""});
    world.parser.AddVariable("TA");
    world.parser.SetVariable("TA", 31.0f);
    world.Control().RunProcessControl(world.parser);
    world.Control().DeleteProcess(0);
    world.Control().EditProcess(0, {"/opt/b2.sh", "1", "TA>30", ""});
    world.clock.Advance(ProcessControl::kPageWaitMs);
    EXPECT_EQ(world.launcher.calls, (std::vector<std::string>{"html", "launch /opt/b2.sh|1"}));
}

// A logger read-out brings records faster than the wait: none may be merged
// into another's start, and each is judged with its own values, after the
// starts of the records before it.
TEST(ProcessRun, RecordsDuringTheWaitEachGetTheirPageWaitAndStartInOrder) {
    ProcessWorld world;
    world.Control().AddProcess({"/opt/a.sh", "", "TA>30", ""});
    world.Control().AddProcess({"/opt/r.sh", "", "TA>30", "TA<25"});
    for (float ta : {31.0f, 32.0f, 20.0f, 33.0f, 10.0f, 34.0f}) {
        world.parser.ClearVariables();
        world.parser.AddVariable("TA");
        world.parser.SetVariable("TA", ta);
        world.Control().RunProcessControl(world.parser);
        world.clock.Advance(20);
    }
    // Pages for records 1, 2, 4 and 6; records 3 and 5 release r.sh.
    const std::vector<std::string> all{"html",
                                       "launch /opt/a.sh",
                                       "launch /opt/r.sh",
                                       "html",
                                       "launch /opt/a.sh",
                                       "html",
                                       "launch /opt/a.sh",
                                       "launch /opt/r.sh",
                                       "html",
                                       "launch /opt/a.sh",
                                       "launch /opt/r.sh"};
    world.clock.Advance(4 * ProcessControl::kPageWaitMs - 121);
    EXPECT_EQ(world.launcher.calls, std::vector<std::string>(all.begin(), all.end() - 2))
        << "the last start waits its own 100 ms after its page";
    EXPECT_TRUE(world.Control().StartsPending());
    world.clock.Advance(1);
    EXPECT_EQ(world.launcher.calls, all);
    EXPECT_FALSE(world.Control().StartsPending());
}

TEST(ProcessRun, ALoggerReadOutStartsTheProgramOncePerRecord) {
    ProcessWorld world;
    MainSwitchboard board(world.context);
    world.context.host = &board;
    board.AddDocument(*world.doc);
    world.Control().AddProcess({"/opt/a.sh", "", "TE>0", ""});
    const std::time_t first = world.clock.Now() - 58 * 300;
    for (int i = 0; i < 58; ++i) {
        world.doc->ProcessLine(Stamp(first + i * 300) + "TE12.5,FE80,\r\n", true, true);
        world.events.RunPending();
        world.clock.Advance(20);
    }
    world.clock.Advance(58 * ProcessControl::kPageWaitMs);
    EXPECT_EQ(std::count(world.launcher.calls.begin(), world.launcher.calls.end(),
                         std::string("launch /opt/a.sh")),
              58);
    world.context.host = nullptr;
}

TEST(ProcessRun, LinesWaitingTogetherAreEachJudgedWithTheirOwnValues) {
    ProcessWorld world;
    MainSwitchboard board(world.context);
    world.context.host = &board;
    board.AddDocument(*world.doc);
    world.Control().AddProcess({"/opt/a.sh", "", "TE>10", ""});
    // Both lines are received before the main window runs process control for the first.
    const std::time_t first = world.clock.Now() - 600;
    world.doc->ProcessLine(Stamp(first) + "TE12.5,FE80,\r\n", true, false);
    world.doc->ProcessLine(Stamp(first + 300) + "TE5.0,FE80,\r\n", true, false);
    world.events.RunPending();
    world.clock.Advance(10 * ProcessControl::kPageWaitMs);
    EXPECT_EQ(std::count(world.launcher.calls.begin(), world.launcher.calls.end(),
                         std::string("launch /opt/a.sh")),
              1)
        << "the first record holds TE 12.5, the second 5.0";
    world.context.host = nullptr;
}

TEST(ProcessRun, AStartThatFailsDuringTheQueueIsTriedWithTheNextRecord) {
    ProcessWorld world;
    world.Control().AddProcess({"/opt/r.sh", "", "TA>30", "TA<25"});
    // Only the first start fails.
    world.launcher.failing = {"/opt/r.sh"};
    world.launcher.onLaunch = [&] {
        if (world.launcher.calls.size() > 2) world.launcher.failing.clear();
    };
    for (int i = 0; i < 3; ++i) {
        world.parser.ClearVariables();
        world.parser.AddVariable("TA");
        world.parser.SetVariable("TA", 31.0f);
        world.Control().RunProcessControl(world.parser);
        world.clock.Advance(10);
    }
    world.clock.Advance(1000);
    EXPECT_EQ(world.launcher.calls,
              (std::vector<std::string>{"html", "launch /opt/r.sh", "html", "launch /opt/r.sh"}))
        << "the second record tries again, the third finds it waiting for its release";
}

TEST(ProcessRun, ClosedDocumentStartsNothingLater) {
    ProcessWorld world;
    world.Control().AddProcess({"/opt/a.sh", "", "TA>30", ""});
    world.parser.AddVariable("TA");
    world.parser.SetVariable("TA", 31.0f);
    world.Control().RunProcessControl(world.parser);
    world.doc.reset();
    world.clock.Advance(ProcessControl::kPageWaitMs);
    EXPECT_EQ(world.launcher.calls, (std::vector<std::string>{"html"}));
}

TEST(ProcessRun, AReceivedRecordRunsProcessControlThroughTheMainWindow) {
    ProcessWorld world;
    MainSwitchboard board(world.context);
    world.context.host = &board;
    world.Control().AddProcess({"/opt/a.sh", "", "TE>30", ""});
    board.AddDocument(*world.doc);
    const std::time_t now = world.clock.Now();

    world.doc->ProcessLine(Stamp(now) + "TE31.0,FE80,\r\n", false, false);
    world.launcher.calls.clear();  // the stored record's own page
    world.events.RunPending();
    EXPECT_EQ(world.launcher.calls, (std::vector<std::string>{"html"}));
    world.clock.Advance(ProcessControl::kPageWaitMs);
    EXPECT_EQ(world.launcher.calls, (std::vector<std::string>{"html", "launch /opt/a.sh"}));

    // A document closed before the posted call runs is left alone.
    world.doc->ProcessLine(Stamp(now) + "TE31.0,FE80,\r\n", false, false);
    board.RemoveDocument(*world.doc);
    world.launcher.calls.clear();
    world.events.RunPending();
    world.clock.Advance(ProcessControl::kPageWaitMs);
    EXPECT_TRUE(world.launcher.calls.empty());
    world.context.host = nullptr;
}

// ---- dialog "Process" ----

struct CheckRow {
    const char* name;
    bool accept;  // "Accept", else "Check syntax "
    ProcessTexts texts;
    std::vector<MsgAnswer> answers;
    bool result;  // check passed / dialog closes
    std::vector<std::string> messages;
    std::string execStatus;
    std::string releaseStatus;
    std::optional<ProcessNewForm::Focus> focus;
    bool acceptable;
};
void PrintTo(const CheckRow& row, std::ostream* os) { *os << row.name; }

using F = ProcessNewForm;
const std::string kQuestion(F::kNoReleaseQuestion);
const std::string kCorrect = "Comparison conditions are correct..";

class Checks : public ::testing::TestWithParam<CheckRow> {};

TEST_P(Checks, MessagesStatusesAndFocus) {
    const CheckRow& row = GetParam();
    ProcessWorld world;
    world.doc->SensorIdentifiers() = {"TA", "WG"};
    world.doc->LoadSensorDefinitions();
    world.ui.answers.assign(row.answers.begin(), row.answers.end());
    ProcessNewForm form(*world.doc, world.ui, "wetter", row.texts);
    const bool result = row.accept ? form.Accept() : form.CheckSyntax();
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(world.ui.Messages(), row.messages);
    EXPECT_EQ(form.ExecStatus(), row.execStatus);
    EXPECT_EQ(form.ReleaseStatus(), row.releaseStatus);
    EXPECT_EQ(form.FocusRequest(), row.focus);
    EXPECT_EQ(form.Acceptable(), row.acceptable);
}

INSTANTIATE_TEST_SUITE_P(Rows, Checks,
                         ::testing::Values(CheckRow{"SyntaxBothCorrect",
                                                    false,
                                                    {"/a", "", "TA > 30", "TA<25"},
                                                    {},
                                                    true,
                                                    {},
                                                    kCorrect,
                                                    kCorrect,
                                                    std::nullopt,
                                                    true},
                                           CheckRow{"SyntaxNoReleaseAsksNothing",
                                                    false,
                                                    {"/a", "", "TA>30", ""},
                                                    {},
                                                    true,
                                                    {},
                                                    kCorrect,
                                                    "",
                                                    std::nullopt,
                                                    true},
                                           CheckRow{"SyntaxNoExecCondition",
                                                    false,
                                                    {"/a", "", " ", "TA<25"},
                                                    {},
                                                    true,
                                                    {"No execution conditions have been entered!"},
                                                    "",
                                                    "",
                                                    std::nullopt,
                                                    false},
                                           CheckRow{"SyntaxExecError",
                                                    false,
                                                    {"/a", "", "TA>30;XX>1", "TA<25"},
                                                    {},
                                                    false,
                                                    {},
                                                    "Error from character 6 ",
                                                    "",
                                                    F::Focus{F::Field::kExecCondition, 6},
                                                    false},
                                           CheckRow{"SyntaxReleaseError",
                                                    false,
                                                    {"/a", "", "TA>30", "TA<"},
                                                    {},
                                                    false,
                                                    {},
                                                    kCorrect,
                                                    "Error from character 0.",
                                                    F::Focus{F::Field::kReleaseCondition, 0},
                                                    true},
                                           CheckRow{"SyntaxUnknownSensor",
                                                    false,
                                                    {"/a", "", "TE>30", ""},
                                                    {},
                                                    false,
                                                    {},
                                                    "Error from character 0 ",
                                                    "",
                                                    F::Focus{F::Field::kExecCondition, 0},
                                                    false},
                                           CheckRow{
                                               "AcceptNoProgram",
                                               true,
                                               {"", "", "TA>30", ""},
                                               {},
                                               false,
                                               {"No executable program / file has been selected."},
                                               "",
                                               "",
                                               std::nullopt,
                                               false},
                                           CheckRow{"AcceptBothCorrect",
                                                    true,
                                                    {"/a", "", "TA>30", "TA<25"},
                                                    {},
                                                    true,
                                                    {},
                                                    kCorrect,
                                                    kCorrect,
                                                    std::nullopt,
                                                    true},
                                           CheckRow{"AcceptNoReleaseYes",
                                                    true,
                                                    {"/a", "", "TA>30", ""},
                                                    {MsgAnswer::Yes},
                                                    true,
                                                    {kQuestion},
                                                    kCorrect,
                                                    "",
                                                    std::nullopt,
                                                    true},
                                           CheckRow{"AcceptNoReleaseNoStaysOpen",
                                                    true,
                                                    {"/a", "", "TA>30", ""},
                                                    {MsgAnswer::No},
                                                    false,
                                                    {kQuestion},
                                                    kCorrect,
                                                    "",
                                                    std::nullopt,
                                                    false},
                                           CheckRow{"AcceptExecError",
                                                    true,
                                                    {"/a", "", "TA>", "TA<25"},
                                                    {},
                                                    false,
                                                    {"Control your conditions!"},
                                                    "Error from character 0 ",
                                                    "",
                                                    F::Focus{F::Field::kExecCondition, 0},
                                                    false},
                                           CheckRow{"AcceptReleaseError",
                                                    true,
                                                    {"/a", "", "TA>30", "TA<25;Q"},
                                                    {},
                                                    false,
                                                    {"Control your conditions!"},
                                                    kCorrect,
                                                    "Error from character 6.",
                                                    F::Focus{F::Field::kReleaseCondition, 6},
                                                    true},
                                           CheckRow{"AcceptNoExecConditionWithoutMarkStaysOpen",
                                                    true,
                                                    {"/a", "", "", ""},
                                                    {},
                                                    false,
                                                    {"No execution conditions have been entered!"},
                                                    "",
                                                    "",
                                                    std::nullopt,
                                                    false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProcessNewDialog, SpacesGoAndTheMarkLastsUntilAQuestionIsDenied) {
    ProcessWorld world;
    world.doc->SensorIdentifiers() = {"TA"};
    world.doc->LoadSensorDefinitions();
    ProcessNewForm form(*world.doc, world.ui, "wetter", {"/a", "", " TA > 30 ; TA < 40 ", ""});
    ASSERT_TRUE(form.CheckSyntax());
    EXPECT_EQ(form.texts.execCondition, "TA>30;TA<40");
    form.texts.execCondition = "";
    world.ui.answers = {MsgAnswer::Ok};
    EXPECT_TRUE(form.Accept()) << "an empty condition leaves the earlier mark";
    form.texts.execCondition = "TA>1";
    world.ui.answers = {MsgAnswer::No};
    EXPECT_FALSE(form.Accept());
    EXPECT_FALSE(form.Acceptable());
}

TEST(ProcessNewDialog, StationAndVirtualSensorsAreConditionVariables) {
    ProcessWorld world;
    world.folder.Write("wetterintern.ini",
                       "[Interne Sensoren]\niKennung=TM,\n[TM]\nFormel=TE*2\nNachKomma=2\n");
    world.doc->SensorIdentifiers() = {"TE"};
    world.doc->LoadSensorDefinitions();
    world.doc->LoadVirtualSensors();
    ProcessNewForm form(*world.doc, world.ui, "wetter", {"/a", "", "TE>0;TM<0", ""});
    EXPECT_TRUE(form.CheckSyntax());
    form.texts.execCondition = "FE>0";
    EXPECT_FALSE(form.CheckSyntax()) << "FE is defined but not sent by this station";
}

TEST(ProcessNewDialog, CheckProcessStartsOrSaysItCouldNot) {
    ProcessWorld world;
    ProcessNewForm form(*world.doc, world.ui, "wetter", {"", "a", "", ""});
    form.CheckProcess(&world.launcher);
    EXPECT_TRUE(world.launcher.calls.empty()) << "an empty program does nothing";
    form.texts.program = "/opt/a.sh";
    form.CheckProcess(&world.launcher);
    EXPECT_EQ(world.launcher.calls, (std::vector<std::string>{"launch /opt/a.sh|a"}));
    EXPECT_TRUE(world.ui.shown.empty());
    world.launcher.works = false;
    form.CheckProcess(&world.launcher);
    EXPECT_EQ(world.ui.Messages(),
              (std::vector<std::string>{"Program / file couldn't be executed!"}));
}

TEST(ProcessNewDialog, ConditionInputIsUpperCaseInWindows1252) {
    EXPECT_EQ(ProcessNewForm::ConditionInput("ta>30;wg<2.5"), "TA>30;WG<2.5");
    EXPECT_EQ(ProcessNewForm::ConditionInput("\xE4\xF6\xFC\xF7\x9A\xFF"),
              "\xC4\xD6\xDC\xF7\x8A\x9F");
}

// ---- dialog "Process control" ----

TEST(ProcessControlDialog, RowsSelectionEditAndDelete) {
    ProcessWorld world;
    ProcessControlForm form(world.Control(), world.ui, "wetter");
    form.AcceptNew({"/a", "-x", "TA>1", ""});
    form.AcceptNew({"/b", "", "TA>2", "TA<2"});
    form.AcceptNew({"/c", "", "TA>3", ""});
    EXPECT_EQ(form.Rows(), (std::vector<ProcessControlForm::Row>{{"1", "TA>1", "", "/a", "-x"},
                                                                 {"2", "TA>2", "TA<2", "/b", ""},
                                                                 {"3", "TA>3", "", "/c", ""}}));

    EXPECT_FALSE(form.EditTarget()) << "nothing to edit without a selection";
    EXPECT_FALSE(form.Delete());
    EXPECT_TRUE(world.ui.shown.empty());

    form.Select(1);
    ASSERT_EQ(form.EditTarget(), (ProcessTexts{"/b", "", "TA>2", "TA<2"}));
    form.AcceptEdit({"/b2", "", "TA>2", ""});
    EXPECT_EQ(world.Control().List().At(1).Program, "/b2");
    EXPECT_EQ(world.Control().List().At(1).NoRelease, 1);

    world.ui.answers = {MsgAnswer::No};
    EXPECT_FALSE(form.Delete());
    EXPECT_FALSE(form.Selection()) << "forgotten after No as well";
    EXPECT_EQ(world.Control().List().Count(), 3u);

    form.Select(1);
    world.ui.answers = {MsgAnswer::Yes};
    EXPECT_TRUE(form.Delete());
    EXPECT_FALSE(form.Selection());
    EXPECT_EQ(world.ui.Messages(), (std::vector<std::string>{"Do you really want to delete?",
                                                             "Do you really want to delete?"}));
    EXPECT_EQ(form.Rows().size(), 2u);
    EXPECT_EQ(form.Rows()[1][3], "/c");
    EXPECT_NE(ReadFile(world.ProcessFile()).find("[Process]\r\nCount=2\r\n"), std::string::npos);

    form.Select(7);
    EXPECT_FALSE(form.Selection()) << "a row past the list selects nothing";
}

// ---- parameters ----

struct SplitRow {
    const char* name;
    const char* text;
    std::vector<std::string> arguments;
};
void PrintTo(const SplitRow& row, std::ostream* os) { *os << row.name; }

class Splits : public ::testing::TestWithParam<SplitRow> {};

TEST_P(Splits, ParametersBecomeArguments) {
    EXPECT_EQ(SplitParameters(GetParam().text), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Splits,
    ::testing::Values(SplitRow{"Empty", "", {}}, SplitRow{"OnlyBlanks", " \t ", {}},
                      SplitRow{"Blanks", "  -a \t b  ", {"-a", "b"}},
                      SplitRow{"Quoted", "\"my file.txt\" x", {"my file.txt", "x"}},
                      SplitRow{"QuotesInside", "a\"b c\"d", {"ab cd"}},
                      SplitRow{"EmptyQuotes", "\"\" x", {"", "x"}},
                      SplitRow{"DoubledQuoteInQuotes", "\"a \"\"b\"\" c\"", {"a \"b\" c"}},
                      SplitRow{"EscapedQuote", "a\\\"b", {"a\"b"}},
                      SplitRow{"BackslashesBeforeQuote", "\"c:\\\\\" x", {"c:\\", "x"}},
                      SplitRow{"PlainBackslashes", "c:\\dir\\f", {"c:\\dir\\f"}},
                      SplitRow{"ShellSignsStayText",
                               "; rm -rf / $(x) `y` |z",
                               {";", "rm", "-rf", "/", "$(x)", "`y`", "|z"}},
                      SplitRow{"UnclosedQuote", "\"a b", {"a b"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PosixLauncher, ArgumentsReachTheProgramUntouchedByAShell) {
    TempFolder folder;
    const std::string out = folder.File("out.txt");
    PosixLauncher launcher;
    ASSERT_TRUE(StartProcess(&launcher, "/bin/sh",
                             "-c \"printf '%s|' \\\"$@\\\" > " + out + "\" sh \"a b\" ;x $HOME"));
    std::string written;
    for (int i = 0; i < 200 && written.empty(); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        written = ReadFile(out);
    }
    EXPECT_EQ(written, "a b|;x|$HOME|");
    EXPECT_TRUE(launcher.Launch("sh", {"-c", "exit 0"})) << "a bare name is looked for in PATH";
    EXPECT_FALSE(launcher.Launch("no-such-program-anywhere", {}));
    EXPECT_FALSE(launcher.Launch("", {}));
}

}  // namespace
