#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempFolder.h"
#include "UtcTime.h"
#include "display/DiagramPeriod.h"
#include "platform/IniProfile.h"
#include "storage/SensorSet.h"

namespace {

constexpr std::time_t kHour = 3600;
constexpr std::time_t kDay = 86400;
const std::time_t kNow = Utc(2024, 7, 10, 12, 0, 0);

class DiagramPeriodTest : public ::testing::Test {
protected:
    void SetUp() override { UseUtcZone(); }
};

// --- The dialog's "Get data" ---

struct AcceptCase {
    const char* name;
    PeriodChoice choice;
    bool accepted;
    const char* message;
    int type;
    std::time_t start, end;
};

PeriodChoice Choice(bool lastHours, bool presentTime, int hours, std::time_t start,
                    std::time_t end) {
    PeriodChoice choice;
    choice.lastHours = lastHours;
    choice.presentTime = presentTime;
    choice.hours = hours;
    choice.start = start;
    choice.end = end;
    choice.checkedIdentifiers = {"TE"};
    return choice;
}

PeriodChoice NoSensor() {
    PeriodChoice choice = Choice(true, true, 24, 0, 0);
    choice.momentary = true;
    choice.checkedIdentifiers.clear();
    return choice;
}

PeriodChoice Momentary() {
    PeriodChoice choice = Choice(false, true, 24, kNow + kDay, 0);
    choice.momentary = true;
    return choice;
}

constexpr std::time_t kYear366 = 31622400;
const char* const kNewer = "Period of time is newer than present time!";
const char* const kWrong = "Wrong time / date input!";

const AcceptCase kAcceptCases[] = {
    {"NoSensorEvenInMomentaryMode", NoSensor(), false, "No sensor selected!!!!", 0, 0, 0},
    {"MomentaryNeedsNoValidPeriod", Momentary(), true, "", 3, 0, 0},
    {"LastHoursUpToNow", Choice(true, true, 24, 0, 0), true, "", 1, kNow - kDay, kNow},
    {"LastHoursUpToPastEnd", Choice(true, false, 2, 0, kNow - kHour), true, "", 2, kNow - 3 * kHour,
     kNow - kHour},
    {"LastHoursUpToFutureEnd", Choice(true, false, 2, 0, kNow + 1), false, kNewer, 0, 0, 0},
    {"HoursBeyondTheSpinAreClamped", Choice(true, true, 1000, 0, 0), true, "", 1,
     kNow - 168 * kHour, kNow},
    {"FromStartUpToNow", Choice(false, true, 24, kNow - 5 * kDay, 0), true, "", 3, kNow - 5 * kDay,
     kNow},
    {"FromFutureStart", Choice(false, true, 24, kNow + 1, 0), false, kNewer, 0, 0, 0},
    {"FromStartExactly366Days", Choice(false, true, 24, kNow - kYear366, 0), true, "", 3,
     kNow - kYear366, kNow},
    {"FromStartBeyond366Days", Choice(false, true, 24, kNow - kYear366 - 1, 0), false,
     "In the choosen period of time maximum 366 days can be displayed!", 0, 0, 0},
    {"StartToEnd", Choice(false, false, 24, kNow - 3 * kDay, kNow - kDay), true, "", 4,
     kNow - 3 * kDay, kNow - kDay},
    {"StartToEndInverted", Choice(false, false, 24, kNow - kDay, kNow - 3 * kDay), false, kWrong, 0,
     0, 0},
    {"StartToEndEmpty", Choice(false, false, 24, kNow - kDay, kNow - kDay), false, kWrong, 0, 0, 0},
    {"StartToFutureEnd", Choice(false, false, 24, kNow - kDay, kNow + 1), false, kWrong, 0, 0, 0},
    {"StartToEndBeyondAYear", Choice(false, false, 24, kNow - kYear366 - kDay - 1, kNow - kDay),
     false, "In the choosen period of time maximum one year can be displayed!", 0, 0, 0},
};

class AcceptPeriodTest : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(AcceptPeriodTest, GivesThePeriodOrTheMessage) {
    const AcceptCase& c = GetParam();
    const PeriodAcceptance result = AcceptPeriod(c.choice, kNow);
    EXPECT_EQ(result.accepted, c.accepted);
    EXPECT_EQ(result.message, c.message);
    if (!c.accepted || c.choice.momentary) return;
    EXPECT_EQ(result.periodType, c.type);
    EXPECT_EQ(result.start, c.start);
    EXPECT_EQ(result.end, c.end);
    EXPECT_EQ(result.periodSeconds, static_cast<unsigned>(c.end - c.start));
}

INSTANTIATE_TEST_SUITE_P(Dialog, AcceptPeriodTest, ::testing::ValuesIn(kAcceptCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(DiagramPeriodTest, MomentaryStoresDataModeOneSoTheDialogShowsMaximumValues) {
    DiagramPeriod period;
    PeriodChoice choice = Momentary();
    choice.dataMode = 0;
    period.Apply(choice, AcceptPeriod(choice, kNow));
    EXPECT_TRUE(period.momentary);
    EXPECT_EQ(period.dataMode, 1);
    EXPECT_EQ(period.OpeningChoice(true, kNow).dataMode, 1);
    EXPECT_EQ(period.Title(), "All momentary values");
}

TEST_F(DiagramPeriodTest, AcceptedFilePeriodBecomesTheSavedPeriod) {
    DiagramPeriod period;
    const PeriodChoice choice = Choice(false, false, 5, kNow - 3 * kDay, kNow - kDay);
    period.Apply(choice, AcceptPeriod(choice, kNow));
    EXPECT_FALSE(period.momentary);
    EXPECT_EQ(period.periodType, 4);
    EXPECT_EQ(period.hours, 5);
    EXPECT_EQ(period.periodSeconds, 2 * kDay);
    EXPECT_EQ(period.savedStart, kNow - 3 * kDay);
    EXPECT_EQ(period.savedEnd, kNow - kDay);
}

TEST_F(DiagramPeriodTest, OpeningChoiceReflectsThePeriodType) {
    struct Row {
        int type;
        bool lastHours, presentTime;
    } const rows[] = {
        {0, true, true}, {1, true, true}, {2, true, false}, {3, false, true}, {4, false, false}};
    for (const Row& row : rows) {
        DiagramPeriod period;
        period.periodType = row.type;
        const PeriodChoice choice = period.OpeningChoice(true, kNow);
        EXPECT_EQ(choice.lastHours, row.lastHours) << "type " << row.type;
        EXPECT_EQ(choice.presentTime, row.presentTime) << "type " << row.type;
    }
}

TEST_F(DiagramPeriodTest, MomentaryIsNotOfferedWithoutConnection) {
    // Its box is disabled then: were it checked, no period could be chosen at all.
    DiagramPeriod period;
    period.momentary = true;
    EXPECT_TRUE(period.OpeningChoice(true, kNow).momentary);
    const PeriodChoice offline = period.OpeningChoice(false, kNow);
    EXPECT_FALSE(offline.momentary);
    EXPECT_TRUE(PeriodDialogControls(offline, false).periodRadios);
}

TEST_F(DiagramPeriodTest, PickersOfANewViewOfferTheLastHours) {
    DiagramPeriod period;
    const PeriodChoice choice = period.OpeningChoice(false, kNow);
    EXPECT_EQ(choice.end, kNow);
    EXPECT_EQ(choice.start, kNow - 24 * kHour);
}

TEST_F(DiagramPeriodTest, DialogControlStates) {
    struct Row {
        const char* name;
        bool momentary, connected, lastHours, presentTime;
        PeriodControlStates expected;
    } const rows[] = {
        {"momentary", true, true, true, true, {true, false, false, false, false, false}},
        {"last hours to now", false, true, true, true, {true, true, true, false, false, true}},
        {"last hours to end", false, false, true, false, {false, true, true, false, true, true}},
        {"start to now", false, true, false, true, {true, true, false, true, false, true}},
        {"start to end", false, true, false, false, {true, true, false, true, true, true}},
    };
    for (const Row& row : rows) {
        PeriodChoice choice;
        choice.momentary = row.momentary;
        choice.lastHours = row.lastHours;
        choice.presentTime = row.presentTime;
        EXPECT_EQ(PeriodDialogControls(choice, row.connected), row.expected) << row.name;
    }
}

// --- Refresh and automatic update ---

TEST_F(DiagramPeriodTest, RefreshOfAStartFortyDaysAgoShowsTheLast31Days) {
    DiagramPeriod period;
    period.periodType = 3;
    period.start = kNow - 40 * kDay;
    period.end = kNow - 39 * kDay;
    ASSERT_TRUE(period.RecomputePeriod(kNow));
    EXPECT_EQ(period.end, kNow);
    EXPECT_EQ(period.start, kNow - 2678400);
    EXPECT_EQ(period.periodSeconds, 2678400u);
    EXPECT_EQ(period.savedStart, period.start);
    EXPECT_EQ(period.savedEnd, kNow);
}

TEST_F(DiagramPeriodTest, RecomputePeriodByType) {
    struct Row {
        const char* name;
        int type;
        std::time_t start, end;
        bool ok;
        std::time_t newStart, newEnd;
    } const rows[] = {
        {"none", 0, kNow - kDay, kNow - kHour, false, 0, 0},
        {"damaged", 7, kNow - kDay, kNow - kHour, false, 0, 0},
        {"last hours follow now", 1, 0, kNow - 5 * kDay, true, kNow - kDay, kNow},
        {"hours to end keep the end", 2, 0, kNow - kDay, true, kNow - 2 * kDay, kNow - kDay},
        {"hours to future end", 2, 0, kNow + 1, false, 0, 0},
        {"start to now", 3, kNow - 2 * kDay, kNow - kDay, true, kNow - 2 * kDay, kNow},
        {"start at now", 3, kNow, kNow, false, 0, 0},
        {"start to end", 4, kNow - 2 * kDay, kNow - kDay, true, kNow - 2 * kDay, kNow - kDay},
        {"start to future end", 4, kNow - 2 * kDay, kNow + 1, false, 0, 0},
        {"start to end inverted", 4, kNow - kDay, kNow - 2 * kDay, false, 0, 0},
    };
    for (const Row& row : rows) {
        DiagramPeriod period;
        period.periodType = row.type;
        period.start = row.start;
        period.end = row.end;
        period.savedStart = 11;
        period.savedEnd = 22;
        EXPECT_EQ(period.RecomputePeriod(kNow), row.ok) << row.name;
        if (row.ok) {
            EXPECT_EQ(period.start, row.newStart) << row.name;
            EXPECT_EQ(period.end, row.newEnd) << row.name;
            EXPECT_EQ(period.periodSeconds, static_cast<unsigned>(row.newEnd - row.newStart))
                << row.name;
            EXPECT_EQ(period.savedStart, row.newStart) << row.name;
        } else {
            // "Reading failure !" leaves the view as it was.
            EXPECT_EQ(period.start, row.start) << row.name;
            EXPECT_EQ(period.end, row.end) << row.name;
            EXPECT_EQ(period.savedStart, 11) << row.name;
            EXPECT_EQ(period.savedEnd, 22) << row.name;
        }
    }
}

// --- Navigation ---

TEST_F(DiagramPeriodTest, NavigationShiftsBothEndsAndReadsTheFullSpan) {
    struct Row {
        DiagramPeriod::Step step;
        std::time_t shift;
    } const rows[] = {{DiagramPeriod::Step::kHalfBack, -12 * kHour},
                      {DiagramPeriod::Step::kHalfForwards, 12 * kHour},
                      {DiagramPeriod::Step::kWholeBack, -kDay},
                      {DiagramPeriod::Step::kWholeForwards, kDay}};
    for (const Row& row : rows) {
        DiagramPeriod period;
        const PeriodChoice choice = Choice(true, true, 24, 0, 0);
        period.Apply(choice, AcceptPeriod(choice, kNow));
        ASSERT_TRUE(period.autoUpdate);
        period.Navigate(row.step);
        EXPECT_EQ(period.start, kNow - kDay + row.shift) << row.shift;
        EXPECT_EQ(period.end, kNow + row.shift) << row.shift;
        EXPECT_EQ(period.periodSeconds, static_cast<unsigned>(kDay)) << row.shift;
        EXPECT_FALSE(period.autoUpdate) << row.shift;
        EXPECT_EQ(period.periodType, 1) << row.shift;
        EXPECT_EQ(period.savedEnd, kNow) << row.shift;
    }
}

TEST_F(DiagramPeriodTest, StartingTimeComesBackAfterNavigationWithoutAutoUpdate) {
    DiagramPeriod period;
    const PeriodChoice choice = Choice(false, false, 24, kNow - 3 * kDay, kNow - kDay);
    period.Apply(choice, AcceptPeriod(choice, kNow));
    period.Navigate(DiagramPeriod::Step::kWholeBack);
    period.Navigate(DiagramPeriod::Step::kHalfBack);
    period.RestoreStartingTime();
    EXPECT_EQ(period.start, kNow - 3 * kDay);
    EXPECT_EQ(period.end, kNow - kDay);
    EXPECT_EQ(period.periodSeconds, 2 * kDay);
    EXPECT_FALSE(period.autoUpdate);
}

TEST_F(DiagramPeriodTest, CommandStates) {
    struct Row {
        const char* name;
        bool momentary;
        int type;
        bool noData, autoUpdate;
        bool navigation, startingTime, autoUpdateEnabled, mayAutoRead, endsAtPresent;
    } const rows[] = {
        {"momentary", true, 1, false, true, false, false, false, false, true},
        {"last hours", false, 1, false, true, true, true, true, true, true},
        {"last hours, no data", false, 1, true, true, false, true, true, true, true},
        {"last hours, update off", false, 1, false, false, true, true, true, false, true},
        {"hours to end", false, 2, false, true, true, true, false, false, false},
        {"start to now", false, 3, false, true, true, true, true, true, true},
        {"start to end", false, 4, false, true, true, true, false, false, false},
    };
    for (const Row& row : rows) {
        DiagramPeriod period;
        period.momentary = row.momentary;
        period.periodType = row.type;
        period.noData = row.noData;
        period.autoUpdate = row.autoUpdate;
        EXPECT_EQ(period.NavigationEnabled(), row.navigation) << row.name;
        EXPECT_EQ(period.StartingTimeEnabled(), row.startingTime) << row.name;
        EXPECT_EQ(period.AutoUpdateEnabled(), row.autoUpdateEnabled) << row.name;
        EXPECT_EQ(period.MayAutoRead(), row.mayAutoRead) << row.name;
        EXPECT_EQ(period.EndsAtPresent(), row.endsAtPresent) << row.name;
    }
}

TEST_F(DiagramPeriodTest, APeriodMovedIntoThePastNoLongerEndsAtPresent) {
    DiagramPeriod period;
    period.momentary = false;
    period.periodType = 1;
    ASSERT_TRUE(period.RecomputePeriod(Utc(2024, 7, 9, 12, 0)));
    EXPECT_TRUE(period.EndsAtPresent());
    period.Navigate(DiagramPeriod::Step::kHalfBack);
    EXPECT_FALSE(period.EndsAtPresent());
    period.RestoreStartingTime();
    EXPECT_TRUE(period.EndsAtPresent());
}

TEST_F(DiagramPeriodTest, Titles) {
    const std::time_t start = Utc(2024, 7, 1, 6, 5, 4);
    const std::time_t end = Utc(2024, 7, 9, 23, 59, 58);
    struct Row {
        int type;
        bool momentary;
        const char* title;
    } const rows[] = {
        {0, false, "No timeperiod selected!"},
        {0, true, "No timeperiod selected!"},
        {1, true, "All momentary values"},
        {1, false, "Last 6 h since 09.07.24 (23:59:58)"},
        {2, false, "from 01.07.24 (06:05:04) to 09.07.24 (23:59:58)"},
        {3, false, "since 01.07.24 (06:05:04) to 09.07.24 (23:59:58)"},
        {4, false, "from 01.07.24 (06:05:04) to 09.07.24 (23:59:58)"},
    };
    for (const Row& row : rows) {
        DiagramPeriod period;
        period.periodType = row.type;
        period.momentary = row.momentary;
        period.hours = 6;
        period.start = start;
        period.end = end;
        EXPECT_EQ(period.Title(), row.title) << row.type;
    }
}

// --- Sensor selection ---

TEST_F(DiagramPeriodTest, SensorIdentifiersAreEachEndedByAComma) {
    EXPECT_EQ(SplitSensorIdentifiers("TE,FE,"), (std::vector<std::string>{"TE", "FE"}));
    EXPECT_EQ(SplitSensorIdentifiers("TE,FE"), (std::vector<std::string>{"TE", "FE"}));
    EXPECT_TRUE(SplitSensorIdentifiers("").empty());
    EXPECT_EQ(JoinSensorIdentifiers({"TE", "FE"}), "TE,FE,");
}

TEST_F(DiagramPeriodTest, SensorListShowsNamedSensorsCheckedBySelection) {
    TempFolder folder;
    folder.Write("wetterdefine.ini", "[TE]\r\nName=Temperatur\r\n[XX]\r\n[FE]\r\nName=Feuchte\r\n");
    folder.Write("wetterintern.ini", "");
    IniProfile profile;
    SensorSet sensors;
    sensors.Load(profile, folder.File("wetterdefine.ini"), folder.File("wetterintern.ini"),
                 {"TE", "XX", "FE"});
    const std::vector<SensorListLine> expected = {{"TE", "[TE] Temperatur", false},
                                                  {"FE", "[FE] Feuchte", true}};
    EXPECT_EQ(SensorListLines(sensors, {"FE", "GONE"}), expected);
}

TEST_F(DiagramPeriodTest, StoredPeriodComesBackAndDamagedValuesAreBroughtIntoRange) {
    DiagramPeriod period;
    const PeriodChoice choice = Choice(false, false, 12, kNow - 3 * kDay, kNow - kDay);
    period.Apply(choice, AcceptPeriod(choice, kNow));
    period.dataMode = 2;
    LayoutStore::ViewLayout layout;
    period.Store(layout);

    DiagramPeriod restored;
    restored.Restore(layout);
    EXPECT_EQ(restored.periodType, 4);
    EXPECT_EQ(restored.dataMode, 2);
    EXPECT_EQ(restored.hours, 12);
    EXPECT_FALSE(restored.momentary);
    EXPECT_EQ(restored.start, kNow - 3 * kDay);
    EXPECT_EQ(restored.savedEnd, kNow - kDay);
    EXPECT_EQ(restored.periodSeconds, 2 * kDay);

    layout.daz = 9;
    layout.da = -1;
    layout.sz = 0;
    DiagramPeriod damaged;
    damaged.Restore(layout);
    EXPECT_EQ(damaged.periodType, 0);
    EXPECT_EQ(damaged.dataMode, 0);
    EXPECT_EQ(damaged.hours, 1);
}

}  // namespace
