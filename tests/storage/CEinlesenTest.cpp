#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ManualTimers.h"
#include "TempFolder.h"
#include "app/CWetterDoc.h"
#include "comm/ProcessValues.h"
#include "model/Colours.h"
#include "model/ErrorLog.h"
#include "model/OutputList.h"
#include "platform/FileSystem.h"
#include "platform/IniProfile.h"
#include "platform/ProgramPaths.h"
#include "storage/CEinlesen.h"
#include "storage/ReaderView.h"
#include "storage/RecordLine.h"

namespace {

constexpr float kNo = -99999.0f;
constexpr int kMean = CListGraph::kMean;
constexpr int kMaximum = CListGraph::kMaximum;
constexpr int kMinimum = CListGraph::kMinimum;
constexpr int kLast = CListGraph::kLastValue;
// A period of 366 * 1200 s: intervals of 1200 s, four records of 300 s each.
constexpr unsigned kTwentyMinuteIntervals = 366 * 1200;

std::time_t Local(int year, int month, int day, int hour = 0, int minute = 0) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_isdst = -1;
    return std::mktime(&fields);
}

const std::time_t kT0 = Local(2024, 1, 15);
const std::time_t kFarFuture = Local(2030, 1, 1);

std::string Record(std::time_t time, const std::string& fields) {
    return RecordLine::TimePrefix(time) + fields + "\r\n";
}

// Records every `step` seconds from `from`, the field text made from the index.
std::string Records(std::time_t from, int step, int count,
                    const std::function<std::string(int)>& fields) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += Record(from + static_cast<std::time_t>(i) * step, fields(i));
    return text;
}

std::string Te(float value) { return "TE" + std::to_string(value) + ","; }

// Measured sensors: TE and FE plain, TF in Fahrenheit with an upper limit of
// 10 (the reader ignores it), WG in Beaufort, RE with sum and tendency.
// Virtual: TM = TE * 2, limited to -1000..1000 with 1000 as overflow, summed.
const char* const kDefine =
    "[TE]\r\nFaktor=1\r\n[FE]\r\nFaktor=1\r\n"
    "[TF]\r\nFaktor=1.8\r\nOffset=32\r\nUntergrenze Wert=0\r\nObergrenze Wert=10\r\n"
    "[WG]\r\nFaktor=1\r\nBeaufort=ja\r\n"
    "[RE]\r\nFaktor=1\r\nAnzeige Summe=ja\r\nAuswahl Summe=0\r\n"
    "Anzeige Tendenz=ja\r\nAuswahl Tendenz=0\r\n";
const char* const kIntern =
    "[Interne Sensoren]\r\niKennung=TM,\r\n"
    "[TM]\r\nFormel=TE*2\r\nUntergrenze Wert=-1000\r\nObergrenze Wert=1000\r\n"
    "Ueberschreitwert=1000\r\nUeberschreit Format=1\r\nAnzeige Summe=ja\r\n";

// Answers message boxes through a function, so that a test can act while the
// reader waits (write the missing file, then answer Retry).
class AnsweringUi final : public Ui {
public:
    MsgAnswer MessageBox(std::string_view text, std::string_view, MsgButtons buttons,
                         MsgIcon) override {
        messages.emplace_back(text);
        return answer ? answer(messages.back(), buttons) : MsgAnswer::Ok;
    }
    void CautionBox(std::string_view) override {}
    void ShowBusy(std::string_view) override {}
    void HideBusy() override {}
    std::optional<std::uint32_t> ChooseColour(std::uint32_t) override { return std::nullopt; }
    std::optional<std::string> ChooseFile(std::string_view, std::string_view, bool) override {
        return std::nullopt;
    }
    std::optional<std::string> ChooseFolder(std::string_view, std::string_view) override {
        return std::nullopt;
    }

    std::function<MsgAnswer(const std::string&, MsgButtons)> answer;
    std::vector<std::string> messages;
};

class RecordingView final : public ReaderView {
public:
    void OnReadProgress(int count) override { progress.push_back(count); }
    void OnReadFinished(bool keep) override {
        calls.push_back(keep ? "finished keep" : "finished");
    }
    void OnNothingRead() override { calls.push_back("nothing read"); }

    std::vector<int> progress;
    std::vector<std::string> calls;
};

class CEinlesenTest : public ::testing::Test {
protected:
    CEinlesenTest() {
        folder.Write("wetterdefine.ini", kDefine);
        folder.Write("wetterintern.ini", kIntern);
        doc = std::make_unique<CWetterDoc>(context);
        doc->SensorIdentifiers() = {"TE", "FE", "TF", "WG", "RE"};
        doc->LoadSensorDefinitions();
        reader = std::make_unique<CEinlesen>(doc->ReadingSources(), &view);
    }

    std::string Data() const { return folder.File("Daten"); }
    void WriteFile(const std::string& name, const std::string& bytes) {
        folder.Write("Daten/" + name, bytes);
    }

    void Start(std::time_t start, std::time_t end, unsigned seconds, int mode,
               const std::vector<std::string>& ids, std::time_t newest, bool keep = false) {
        reader->StartReading(Data(), start, end, seconds, mode, ids, newest, keep);
    }

    // Plays the user-interface thread until the read is over. The limit only
    // keeps a broken reader from hanging the suite.
    ::testing::AssertionResult Finish() {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < limit) {
            events.RunPending();
            if (!reader->IsReading()) return ::testing::AssertionSuccess();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return ::testing::AssertionFailure() << "the read did not end";
    }

    ::testing::AssertionResult Read(std::time_t start, std::time_t end, unsigned seconds, int mode,
                                    const std::vector<std::string>& ids, std::time_t newest,
                                    bool keep = false) {
        Start(start, end, seconds, mode, ids, newest, keep);
        return Finish();
    }

    // Waits until the worker has posted something (a question when no file
    // opens), without running it.
    bool WaitForPost() {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (events.Waiting() == 0) {
            if (std::chrono::steady_clock::now() > limit) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    const CListGraph& Series(const char* id) const {
        const CListGraph* series = reader->FindSeries(id);
        EXPECT_NE(series, nullptr) << id;
        static const CSensoren kNone;
        static const CListGraph kEmpty(kNone);
        return series ? *series : kEmpty;
    }
    std::vector<float> Values(const char* id) const {
        std::vector<float> values;
        for (const CDaten& point : Series(id).Points()) values.push_back(point.m_value);
        return values;
    }

    TempFolder folder;
    ProgramPaths paths{folder.File("wetter")};
    IniProfile profile;
    ManualClock clock;
    ManualTimers timers{clock};
    ManualEventQueue events;
    AnsweringUi ui;
    ErrorLog errorLog{paths.InFolder("ErrLog.txt"), clock, events, ui};
    ProcessValues process;
    AppContext context{profile, paths, clock, events, timers, ui, errorLog, process, nullptr};
    std::unique_ptr<CWetterDoc> doc;
    RecordingView view;
    std::unique_ptr<CEinlesen> reader;
};

TEST_F(CEinlesenTest, OneDayPeriodClosesAnIntervalAtEveryFiveMinuteRecord) {
    // 86400 / 366 = 236 s per interval; the record after the period end is the last one taken.
    WriteFile("01_2024.orb", Records(kT0, 300, 292, [](int i) { return Te(i); }));

    ASSERT_TRUE(Read(kT0, kT0 + 86400, 86400, kLast, {"TE"}, kFarFuture));

    const std::vector<CDaten>& points = Series("TE").Points();
    ASSERT_EQ(points.size(), 289u);
    for (std::size_t i : {std::size_t{0}, std::size_t{150}, std::size_t{288}}) {
        const std::time_t start = kT0 + static_cast<std::time_t>(i) * 300;
        EXPECT_EQ(points[i].m_start, start) << i;
        EXPECT_EQ(points[i].m_end, start + 300) << i;
        EXPECT_EQ(points[i].m_time, start + 300) << i;
        EXPECT_EQ(points[i].m_value, static_cast<float>(i + 1)) << i;
    }
    EXPECT_EQ(view.progress.size(), 289u);
    EXPECT_EQ(view.progress.back(), 289);
    EXPECT_EQ(view.calls, std::vector<std::string>{"finished"});
    EXPECT_TRUE(ui.messages.empty());
}

struct ModeCase {
    const char* name;
    int mode;
    std::vector<float> values;  // five records 300 s apart: the first interval
    float expected;
    int timeIndex;  // the record whose time the point carries
};
void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

class CEinlesenModes : public CEinlesenTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(CEinlesenModes, FirstIntervalValue) {
    const ModeCase& c = GetParam();
    WriteFile("01_2024.orb", Records(kT0, 300, 9, [&](int i) {
                  return i < 5 ? "TE" + std::to_string(c.values[i]) + "," : std::string("TE0,");
              }));

    ASSERT_TRUE(Read(kT0, kFarFuture, kTwentyMinuteIntervals, c.mode, {"TE"}, kT0 + 8 * 300));

    const std::vector<CDaten>& points = Series("TE").Points();
    ASSERT_EQ(points.size(), 2u);
    EXPECT_FLOAT_EQ(points[0].m_value, c.expected);
    EXPECT_EQ(points[0].m_time, kT0 + c.timeIndex * 300);
    EXPECT_EQ(points[0].m_start, kT0);
    EXPECT_EQ(points[0].m_end, kT0 + 1200);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CEinlesenModes,
    ::testing::Values(
        ModeCase{"MeanLeavesOutMissingValues", kMean, {10, 20, kNo, 30, 40}, 25, 4},
        ModeCase{"MeanStartsAtTheFirstValidValue", kMean, {kNo, kNo, 10, 20, 30}, 20, 4},
        ModeCase{"MaximumKeepsTheTimeOfItsValue", kMaximum, {10, 40, kNo, 30, 20}, 40, 1},
        ModeCase{"MinimumOfValidValues", kMinimum, {10, 5, 8, 7, 20}, 5, 1},
        ModeCase{"MinimumWithAMissingValueIsMissing", kMinimum, {10, 5, kNo, 7, 20}, kNo, 2},
        ModeCase{"LastValueEvenWhenMissing", kLast, {10, 5, 8, 7, kNo}, kNo, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CEinlesenTest, MeanOfEverySeriesCountsOnlyItsOwnValues) {
    WriteFile("01_2024.orb", Records(kT0, 300, 9, [](int i) {
                  return Te(10.0f * static_cast<float>(i + 1)) + "FE" + std::to_string(i + 1) + ",";
              }));

    ASSERT_TRUE(Read(kT0, kFarFuture, kTwentyMinuteIntervals, kMean, {"TE", "FE"}, kT0 + 8 * 300));

    ASSERT_EQ(Values("TE").size(), 2u);
    EXPECT_FLOAT_EQ(Values("TE")[0], 30.0f);  // 10..50
    EXPECT_FLOAT_EQ(Values("FE")[0], 3.0f);   // 1..5, not weighed by TE's values
}

TEST_F(CEinlesenTest, ValuesAreConvertedWithoutTheLimitsAndAStoredMissingValueStays) {
    WriteFile("01_2024.orb", Record(kT0, "TF0,WG0,") + Record(kT0 + 300, "TF20,WG30,") +
                                 Record(kT0 + 600, "TF-99999,WG0.5,"));

    ASSERT_TRUE(Read(kT0, kFarFuture, 86400, kLast, {"TF", "WG"}, kT0 + 600));

    EXPECT_EQ(Values("TF"), (std::vector<float>{20 * 1.8f + 32, kNo}));
    EXPECT_EQ(Values("WG"), (std::vector<float>{5, 0}));  // Beaufort numbers of 30 and 0.5 km/h
}

TEST_F(CEinlesenTest, VirtualSeriesIsComputedFromEachLineAndItsStoredValueIsNotCountedAgain) {
    WriteFile("01_2024.orb", Record(kT0, "TE5,TM999,") + Record(kT0 + 300, "TE600,TM999,") +
                                 Record(kT0 + 600, "FE1,TM999,"));

    ASSERT_TRUE(Read(kT0, kFarFuture, 86400, kLast, {"TE", "TM"}, kT0 + 600));

    // 1200 is above the limit and becomes the overflow value; without TE the formula fails.
    EXPECT_EQ(Values("TM"), (std::vector<float>{1000, kNo}));
    EXPECT_FLOAT_EQ(Series("TM").Statistics().Sum, 10 + 1000);
}

TEST_F(CEinlesenTest, StatisticsOfASeriesWhoseReadEndsWithTheFiles) {
    // Three intervals of 1200 s; their maxima 5, 9 and 4. The files end before
    // the period does, so nothing but the end of the data completes the read.
    const std::vector<float> values = {1, 2, 3, 4, 5, 6, 9, 7, 8, 2, 3, 4, 1};
    WriteFile("01_2024.orb", Records(kT0, 300, static_cast<int>(values.size()), [&](int i) {
                  return "RE" + std::to_string(values[i]) + ",";
              }));

    ASSERT_TRUE(
        Read(kT0, Local(2024, 1, 20), kTwentyMinuteIntervals, kMaximum, {"RE"}, kFarFuture));

    EXPECT_EQ(Values("RE"), (std::vector<float>{5, 9, 4}));
    const SensorStatistics& s = Series("RE").Statistics();
    EXPECT_FLOAT_EQ(s.Max, 9);
    EXPECT_EQ(s.MaxTime, kT0 + 6 * 300);
    EXPECT_EQ(s.MaxFrom, kT0 + 1200);
    EXPECT_EQ(s.MaxTo, kT0 + 2400);
    EXPECT_FLOAT_EQ(s.Min, 4);
    EXPECT_EQ(s.MinFrom, kT0 + 2400);
    EXPECT_FLOAT_EQ(s.Average, 6);
    EXPECT_FLOAT_EQ(s.Sum, 55);       // every line's value, not the points'
    EXPECT_FLOAT_EQ(s.Tendency, -1);  // last point minus first point
    EXPECT_EQ(view.calls, std::vector<std::string>{"finished"});
}

TEST_F(CEinlesenTest, ReadingStopsAtTheNewestRecordEvenBeforeThePeriodEnd) {
    WriteFile("01_2024.orb", Records(kT0, 300, 100, [](int i) { return Te(i); }));
    const std::time_t newest = kT0 + 20 * 300;

    ASSERT_TRUE(Read(kT0, kT0 + 86400, 86400, kLast, {"TE"}, newest));

    ASSERT_EQ(Values("TE").size(), 20u);
    EXPECT_EQ(Series("TE").Points().back().m_end, newest);
    EXPECT_EQ(Values("TE").back(), 20);
}

struct NameCase {
    const char* name;
    const char* station;  // station.ini text, or nothing
    int year;
    std::vector<std::pair<std::string, float>> files;  // name, TE of its records
    float expected;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class CEinlesenNames : public CEinlesenTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(CEinlesenNames, MonthFileIsFound) {
    const NameCase& c = GetParam();
    if (*c.station) {
        folder.Write("wetterstation.ini", c.station);
        doc->LoadSettings();
    }
    const std::time_t t0 = Local(c.year, 1, 15);
    for (const auto& [name, value] : c.files)
        WriteFile(name, Records(t0, 300, 4, [value](int) { return Te(value); }));

    ASSERT_TRUE(Read(t0, t0 + 86400, 86400, kLast, {"TE"}, t0 + 900));

    EXPECT_EQ(Values("TE"), (std::vector<float>(3, c.expected)));
    EXPECT_TRUE(ui.messages.empty()) << ui.messages.front();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CEinlesenNames,
    ::testing::Values(
        NameCase{"FourDigitYear", "", 2024, {{"01_2024.orb", 1}}, 1},
        NameCase{"TwoDigitYear", "", 2024, {{"01_24.orb", 2}}, 2},
        NameCase{"TwoDigitYearBefore2000", "", 1999, {{"01_99.orb", 3}}, 3},
        NameCase{"TwoDigitYearIsTriedFirst", "", 2024, {{"01_24.orb", 4}, {"01_2024.orb", 5}}, 4},
        NameCase{"StorageIdentifierInTheExtension",
                 "[Speicher-ID]\r\nID=A1\r\n",
                 2024,
                 {{"01_2024.orb", 6}, {"01_2024.A1.orb", 7}},
                 7}),
    [](const auto& info) { return std::string(info.param.name); });

// January 15 to March 15 with February's file missing; one record every 6 hours.
struct MissingMonthCase {
    const char* name;
    MsgAnswer answer;
    std::vector<std::string> laterMessages;
    std::set<float> values;
};
void PrintTo(const MissingMonthCase& c, std::ostream* os) { *os << c.name; }

class CEinlesenMissingMonth : public CEinlesenTest,
                              public ::testing::WithParamInterface<MissingMonthCase> {};

TEST_P(CEinlesenMissingMonth, AnswerDecides) {
    const MissingMonthCase& c = GetParam();
    const int sixHours = 6 * 3600;
    WriteFile("01_2024.orb", Records(kT0, sixHours, 17 * 4, [](int) { return Te(1); }));
    const std::string february =
        Records(Local(2024, 2, 1), sixHours, 29 * 4, [](int) { return Te(2); });
    WriteFile("03_2024.orb",
              Records(Local(2024, 3, 1), sixHours, 20 * 4, [](int) { return Te(3); }));
    const std::string missing = Data() + "/02_2024.orb could not be opened!";
    ui.answer = [&](const std::string& text, MsgButtons buttons) {
        if (buttons != MsgButtons::AbortRetryIgnore) return MsgAnswer::Ok;
        if (c.answer == MsgAnswer::Retry && ui.messages.size() == 1)
            WriteFile("02_2024.orb", february);
        EXPECT_EQ(text, missing);
        return c.answer;
    };
    const std::time_t end = Local(2024, 3, 15);

    ASSERT_TRUE(Read(kT0, end, static_cast<unsigned>(end - kT0), kLast, {"TE"}, kFarFuture));

    std::vector<std::string> expectedMessages{missing};
    expectedMessages.insert(expectedMessages.end(), c.laterMessages.begin(), c.laterMessages.end());
    EXPECT_EQ(ui.messages, expectedMessages);
    const std::vector<float> values = Values("TE");
    EXPECT_EQ(std::set<float>(values.begin(), values.end()), c.values);
    EXPECT_EQ(view.calls, std::vector<std::string>{"finished"});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CEinlesenMissingMonth,
    ::testing::Values(
        MissingMonthCase{"IgnoreSkipsTheMonth", MsgAnswer::Ignore, {}, {1, 3}},
        MissingMonthCase{"AbortShowsWhatWasRead", MsgAnswer::Abort, {"Reading aborted!"}, {1}},
        MissingMonthCase{"RetryOpensTheFileNowThere", MsgAnswer::Retry, {}, {1, 2, 3}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CEinlesenTest, StartAfterTheLastRecordOfTheFirstMonthReadsTheNextMonth) {
    WriteFile("01_2024.orb", Records(Local(2024, 1, 31), 3600, 18, [](int) { return Te(1); }));
    WriteFile("02_2024.orb", Records(Local(2024, 2, 1), 3600, 48, [](int) { return Te(2); }));

    ASSERT_TRUE(Read(Local(2024, 1, 31, 20), Local(2024, 2, 2), 86400, kLast, {"TE"}, kFarFuture));

    EXPECT_TRUE(ui.messages.empty());
    ASSERT_FALSE(Values("TE").empty());
    EXPECT_EQ(Values("TE").front(), 2);
    EXPECT_EQ(view.calls, std::vector<std::string>{"finished"});
}

struct NoDataCase {
    const char* name;
    std::time_t start;
    std::time_t newest;
    MsgAnswer answer;
    bool pointsKept;
};
void PrintTo(const NoDataCase& c, std::ostream* os) { *os << c.name; }

class CEinlesenNoData : public CEinlesenTest, public ::testing::WithParamInterface<NoDataCase> {};

TEST_P(CEinlesenNoData, AskedAfterAShownRead) {
    const NoDataCase& c = GetParam();
    WriteFile("01_2024.orb", Records(kT0, 300, 10, [](int i) { return Te(i); }));
    ASSERT_TRUE(Read(kT0, kT0 + 86400, 86400, kLast, {"TE"}, kT0 + 9 * 300));
    const std::vector<float> shown = Values("TE");
    ASSERT_EQ(shown.size(), 9u);
    ui.answer = [&](const std::string&, MsgButtons) { return c.answer; };

    ASSERT_TRUE(Read(c.start, c.start + 86400, 86400, kLast, {"TE"}, c.newest, true));

    EXPECT_EQ(ui.messages, std::vector<std::string>{"No data exist!"});
    EXPECT_EQ(Values("TE"), c.pointsKept ? shown : std::vector<float>{});
    EXPECT_EQ(view.calls, (std::vector<std::string>{"finished", "nothing read"}));
}

INSTANTIATE_TEST_SUITE_P(Rows, CEinlesenNoData,
                         ::testing::Values(NoDataCase{"NoRecordAfterTheStartOkEmptiesTheSeries",
                                                      kT0 + 3600, kFarFuture, MsgAnswer::Ok, false},
                                           NoDataCase{"FirstRecordIsTheNewestOne", kT0 + 9 * 300,
                                                      kT0 + 9 * 300, MsgAnswer::Ok, false},
                                           NoDataCase{"CancelKeepsTheShownPointsAndEndsTheRead",
                                                      kT0 + 3600, kFarFuture, MsgAnswer::Cancel,
                                                      true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CEinlesenTest, AnOlderRecordAfterTheFirstTakenOneStillCounts) {
    // Only records before the first one taken are skipped; a later one from
    // before the period start (a clock set back) is aggregated like any other.
    WriteFile("01_2024.orb", Record(kT0 - 600, Te(50)) + Record(kT0, Te(1)) +
                                 Record(kT0 - 300, Te(7)) + Record(kT0 + 1200, Te(3)));

    ASSERT_TRUE(Read(kT0, kT0 + 86400 * 10, kTwentyMinuteIntervals, kMaximum, {"TE"}, kFarFuture));

    EXPECT_EQ(Values("TE"), std::vector<float>{7});
    EXPECT_EQ(Series("TE").LastValue(), 3.0f);
}

TEST_F(CEinlesenTest, PeriodShorterThan366SecondsClosesNoIntervalWithinOneSecond) {
    // 300 / 366 is 0: intervals of 0 s would turn every line into a point.
    WriteFile("01_2024.orb", Records(kT0, 0, 2000, [](int) { return Te(1); }) +
                                 Records(kT0 + 1, 1, 400, [](int) { return Te(2); }));

    ASSERT_TRUE(Read(kT0, kT0 + 300, 300, kLast, {"TE"}, kFarFuture));

    EXPECT_EQ(Values("TE").size(), 301u);
}

TEST_F(CEinlesenTest, FirstRecordAfterThePeriodEndGivesNothingWithoutAMessage) {
    WriteFile("01_2024.orb", Records(kT0 + 7200, 300, 5, [](int i) { return Te(i); }));

    ASSERT_TRUE(Read(kT0, kT0 + 3600, 3600, kLast, {"TE"}, kFarFuture));

    EXPECT_TRUE(ui.messages.empty());
    EXPECT_TRUE(Values("TE").empty());
    EXPECT_EQ(view.calls, std::vector<std::string>{"nothing read"});
}

TEST_F(CEinlesenTest, KeepReplacesTheShownPointsPositionByPositionInTheSameSeries) {
    WriteFile("01_2024.orb", Records(kT0, 300, 10, [](int i) { return Te(i) + "RE1,"; }));
    ASSERT_TRUE(Read(kT0, kT0 + 86400, 86400, kLast, {"TE", "RE"}, kT0 + 9 * 300));
    const CListGraph* series = reader->FindSeries("TE");
    ASSERT_EQ(Values("TE"), (std::vector<float>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_FLOAT_EQ(Series("RE").Statistics().Sum, 10);

    // Ignored by a kept read: its series stay as they are.
    ASSERT_TRUE(Read(kT0 + 1500, kT0 + 86400, 86400, kLast, {"FE"}, kT0 + 9 * 300, true));

    EXPECT_EQ(reader->FindSeries("TE"), series);
    EXPECT_EQ(reader->FindSeries("FE"), nullptr);
    EXPECT_EQ(Values("TE"), (std::vector<float>{6, 7, 8, 9, 5, 6, 7, 8, 9}));
    EXPECT_FLOAT_EQ(Series("RE").Statistics().Sum, 5) << "statistics of the kept read only";
    EXPECT_EQ(view.calls, (std::vector<std::string>{"finished", "finished keep"}));
}

struct DamageCase {
    const char* name;
    std::string file;
    std::vector<float> expected;
};
void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

// At 10:00, so that a parse that loses the hour shows.
const std::time_t kDamageT0 = kT0 + 10 * 3600;
std::string Good(int i) { return Record(kDamageT0 + i * 300, Te(static_cast<float>(i))); }
std::string GoodUpTo(int last) {
    std::string text;
    for (int i = 0; i <= last; ++i) text += Good(i);
    return text;
}

class CEinlesenDamage : public CEinlesenTest, public ::testing::WithParamInterface<DamageCase> {};

TEST_P(CEinlesenDamage, DamagedLinesAreSkipped) {
    WriteFile("01_2024.orb", GetParam().file);

    ASSERT_TRUE(Read(kDamageT0, kDamageT0 + 86400, 86400, kLast, {"TE"}, kFarFuture));

    EXPECT_EQ(Values("TE"), GetParam().expected);
    EXPECT_EQ(view.calls, std::vector<std::string>{"finished"});
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CEinlesenDamage,
    ::testing::Values(
        DamageCase{"TornLastLine",
                   GoodUpTo(4) + RecordLine::TimePrefix(kDamageT0 + 1500) + "TE9",
                   {1, 2, 3, 4}},
        DamageCase{"TornInsideTheDate", GoodUpTo(4) + "10:25:00,15.01.2", {1, 2, 3, 4}},
        DamageCase{"LastRecordWithoutLineEnd",
                   GoodUpTo(3) + Good(4).substr(0, Good(4).size() - 2),
                   {1, 2, 3, 4}},
        DamageCase{"EmptyLineInTheMiddleEndsNothing",
                   GoodUpTo(2) + "\r\n\r\n" + Good(3) + Good(4),
                   {1, 2, 3, 4}},
        DamageCase{"GarbageLine",
                   GoodUpTo(2) + std::string("\x01\xff:.:,..,::,TE\r\n", 16) + Good(3) + Good(4),
                   {1, 2, 3, 4}},
        DamageCase{"ZeroBlockBeforeARecord",
                   GoodUpTo(2) + std::string(700, '\0') + Good(3) + Good(4),
                   {1, 2, 3, 4}},
        DamageCase{"LineLongerThanTheReadBuffer",
                   GoodUpTo(2) +
                       [] {
                           // A record split at any buffer size would lose its last field.
                           std::string line = RecordLine::TimePrefix(kDamageT0 + 900);
                           for (int i = 0; i < 50000; ++i) line += "x,";
                           return line + "TE3,\r\n";
                       }() +
                       Good(4),
                   {1, 2, 3, 4}},
        DamageCase{"OverlongLineIsDropped",
                   GoodUpTo(2) + std::string(3 << 20, 'x') + "\r\n" + Good(3) + Good(4),
                   {1, 2, 3, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CEinlesenTest, FileErrorIsReportedAndWhatWasReadIsShown) {
    WriteFile("01_2024.orb", Records(kT0, 3600, 10, [](int) { return Te(1); }));
    // A folder opens like a file, and reading it fails.
    ASSERT_EQ(::mkdir(folder.File("Daten/02_2024.orb").c_str(), 0700), 0);
    const std::string text = FileSystem::SystemErrorText(EISDIR);

    ASSERT_TRUE(Read(kT0, Local(2024, 2, 15), 31 * 86400, kLast, {"TE"}, kFarFuture));

    EXPECT_EQ(ui.messages, std::vector<std::string>{text});
    const std::vector<tagOutpElm> lines = OutputList::Process().Snapshot();
    ASSERT_GE(lines.size(), 2u);
    const tagOutpElm place{"global ReadDaten", Rgb(0x97, 0x2F, 0x31)};
    const tagOutpElm cause{text + " <==> NR: " + std::to_string(EISDIR), Rgb(0x97, 0x2F, 0x31)};
    EXPECT_EQ(lines[lines.size() - 2], place);
    EXPECT_EQ(lines.back(), cause);
    EXPECT_FALSE(Values("TE").empty());
    EXPECT_EQ(view.calls, std::vector<std::string>{"finished"});
}

TEST_F(CEinlesenTest, DestroyingTheReaderWhileItWaitsForAnAnswerEndsTheWorker) {
    Start(kT0, kT0 + 86400, 86400, kLast, {"TE"}, kFarFuture);  // no file: it asks
    ASSERT_TRUE(WaitForPost());

    reader.reset();
    events.RunPending();

    EXPECT_TRUE(ui.messages.empty()) << "the question of a gone reader is not shown";
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(CEinlesenTest, StartingAgainCancelsAReadThatWaitsForAnAnswer) {
    Start(kT0, kT0 + 86400, 86400, kLast, {"TE"}, kFarFuture);
    ASSERT_TRUE(WaitForPost());
    WriteFile("02_2024.orb", Records(Local(2024, 2, 1), 300, 10, [](int i) { return Te(i); }));
    const std::time_t february = Local(2024, 2, 1);

    ASSERT_TRUE(Read(february, february + 86400, 86400, kLast, {"TE"}, february + 9 * 300));

    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(Values("TE").size(), 9u);
    EXPECT_EQ(view.calls, std::vector<std::string>{"finished"});
}

}  // namespace
