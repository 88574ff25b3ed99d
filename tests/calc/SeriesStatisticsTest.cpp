#include <gtest/gtest.h>

#include <ctime>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "calc/SeriesStatistics.h"

namespace {

constexpr float kNo = -99999.0f;
constexpr std::time_t kT0 = 1'700'000'000;

using Sample = std::pair<std::time_t, float>;  // seconds after kT0, value

std::vector<Sample> Minutely(const std::vector<float>& values) {
    std::vector<Sample> samples;
    for (std::size_t i = 0; i < values.size(); ++i) {
        samples.emplace_back(static_cast<std::time_t>(i) * 60, values[i]);
    }
    return samples;
}

// Feeds the values of a read and completes it without points.
SensorStatistics ReadValues(const StatisticsSettings& settings,
                            const std::vector<Sample>& samples) {
    SeriesStatistics series(settings);
    for (const auto& [offset, value] : samples) series.AddValue(value, kT0 + offset);
    series.Complete({});
    return series.Statistics();
}

CDaten Point(std::time_t start, std::time_t end, std::time_t time, float value) {
    CDaten point;
    point.m_start = kT0 + start;
    point.m_end = kT0 + end;
    point.m_time = kT0 + time;
    point.m_value = value;
    return point;
}

struct SumCase {
    const char* name;
    int mode;
    std::vector<Sample> samples;
    float sum;
    bool whFlag;
};

void PrintTo(const SumCase& c, std::ostream* os) { *os << c.name; }

class SeriesStatisticsSum : public ::testing::TestWithParam<SumCase> {};

TEST_P(SeriesStatisticsSum, FollowsTheSumMode) {
    const SumCase& c = GetParam();
    StatisticsSettings settings;
    settings.m_showSum = true;
    settings.m_sumMode = c.mode;
    const SensorStatistics s = ReadValues(settings, c.samples);
    EXPECT_FLOAT_EQ(s.Sum, c.sum);
    EXPECT_EQ(s.WhFlag, c.whFlag);
}

constexpr int kStd = StatisticsSettings::kSumStandard;
constexpr int kAcc = StatisticsSettings::kSumAccumulating;
constexpr int kWh = StatisticsSettings::kSumSunWh;

INSTANTIATE_TEST_SUITE_P(
    Cases, SeriesStatisticsSum,
    ::testing::Values(
        SumCase{"StandardSkipsMissingValues", kStd, Minutely({1.0f, kNo, 2.5f}), 3.5f, false},
        SumCase{"AccumulatingPendingPeakAddedAtEnd", kAcc, Minutely({2, 3, 5}), 5.0f, false},
        SumCase{"AccumulatingFirstRestartDiscountsBase", kAcc, Minutely({2, 3, 5, 1, 4}), 7.0f,
                false},
        SumCase{"AccumulatingRestartAloneCountsNothing", kAcc, Minutely({2, 1}), 0.0f, false},
        // Stored values are rounded: a drop of no more than 0.002 is no restart.
        SumCase{"AccumulatingSmallDropIsNoRestart", kAcc, Minutely({2, 3, 5.000f, 4.999f}), 4.999f,
                false},
        SumCase{"AccumulatingLargerDropIsRestart", kAcc, Minutely({2, 3, 5.000f, 4.997f}), 3.0f,
                false},
        // Base 0 instead of 3: the restart counts the whole peak 3, then 2 is pending.
        SumCase{"AccumulatingMissingFirstValueCountsAsZero", kAcc, Minutely({kNo, 3, 1, 2}), 5.0f,
                false},
        // Mean 200 of the valid values over the hour from the first to the last value.
        SumCase{"SunWhUsesFirstAndLastValueReceived",
                kWh,
                {{0, 100.0f}, {1800, 300.0f}, {3600, kNo}},
                200.0f,
                true},
        SumCase{"SunWhWithoutValidValueLeavesSum", kWh, Minutely({kNo, kNo}), 0.0f, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct ActivityCase {
    const char* name;
    int mode;
    float threshold;
    std::vector<Sample> samples;
    int seconds;
};

void PrintTo(const ActivityCase& c, std::ostream* os) { *os << c.name; }

class SeriesStatisticsActivity : public ::testing::TestWithParam<ActivityCase> {};

TEST_P(SeriesStatisticsActivity, AddsSecondsSincePreviousValueReceived) {
    const ActivityCase& c = GetParam();
    StatisticsSettings settings;
    settings.m_showActivity = true;
    settings.m_activityMode = c.mode;
    settings.m_activityThreshold = c.threshold;
    EXPECT_EQ(ReadValues(settings, c.samples).ActivitySeconds, c.seconds);
}

constexpr int kThreshold = StatisticsSettings::kActivityThreshold;
constexpr int kDelta = StatisticsSettings::kActivityDelta;

INSTANTIATE_TEST_SUITE_P(
    Cases, SeriesStatisticsActivity,
    ::testing::Values(
        // Unlike a current-value history, the missing value at 90 s moves the previous time.
        ActivityCase{"ThresholdCountsFromAnyPreviousValue",
                     kThreshold,
                     5,
                     {{0, 9}, {60, 5}, {90, kNo}, {150, 6}, {200, 4}},
                     120},
        ActivityCase{"ThresholdIgnoresMissingValuesWhateverTheThreshold",
                     kThreshold,
                     -100000.0f,
                     {{0, 0}, {60, kNo}, {120, 1}},
                     60},
        // 1 -> (missing) -> 4 rises by 3 against the last valid value.
        ActivityCase{"DeltaAgainstPreviousValidValue",
                     kDelta,
                     2,
                     {{0, 1}, {60, kNo}, {120, 4}, {180, 5}, {240, 2}},
                     120},
        ActivityCase{
            "DeltaNeedsAnEarlierValidValue", kDelta, 2, {{0, kNo}, {60, 5}, {120, 8}}, 60}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SeriesStatistics, ExtremesCarryTheirPointsTimeAndInterval) {
    SeriesStatistics series;
    series.AddPoint(Point(0, 300, 120, 4));
    series.AddPoint(Point(300, 600, 450, kNo));
    series.AddPoint(Point(600, 900, 700, 9));
    series.AddPoint(Point(900, 1200, 1000, 9));  // tie: the earlier maximum stays
    series.AddPoint(Point(1200, 1500, 1300, 2));
    series.AddPoint(Point(1500, 1800, 1600, 2));
    const SensorStatistics& s = series.Statistics();

    EXPECT_FLOAT_EQ(s.Max, 9.0f);
    EXPECT_EQ(s.MaxTime, kT0 + 700);
    EXPECT_EQ(s.MaxFrom, kT0 + 600);
    EXPECT_EQ(s.MaxTo, kT0 + 900);
    EXPECT_FLOAT_EQ(s.Min, 2.0f);
    EXPECT_EQ(s.MinTime, kT0 + 1300);
    EXPECT_EQ(s.MinFrom, kT0 + 1200);
    EXPECT_EQ(s.MinTo, kT0 + 1500);
    EXPECT_FLOAT_EQ(s.Average, 26.0f / 5.0f);
}

struct TendencyCase {
    const char* name;
    int mode;
    int timeBase;
    std::vector<float> values;  // points every 300 s
    float tendency;
};

void PrintTo(const TendencyCase& c, std::ostream* os) { *os << c.name; }

class SeriesStatisticsTendency : public ::testing::TestWithParam<TendencyCase> {};

TEST_P(SeriesStatisticsTendency, ComparesLastPointWithReference) {
    const TendencyCase& c = GetParam();
    StatisticsSettings settings;
    settings.m_showTendency = true;
    settings.m_tendencyMode = c.mode;
    settings.m_tendencyTimeBase = c.timeBase;
    std::vector<CDaten> points;
    for (std::size_t i = 0; i < c.values.size(); ++i) {
        const auto t = static_cast<std::time_t>(i) * 300;
        points.push_back(Point(t, t + 300, t, c.values[i]));
    }
    SeriesStatistics series(settings);
    series.Complete(points);
    EXPECT_FLOAT_EQ(series.Statistics().Tendency, c.tendency);
}

constexpr int kPeriod = StatisticsSettings::kTendencyPeriod;
constexpr int kTimeBase = StatisticsSettings::kTendencyTimeBase;

// Points at 0, 300, 600, 900, 1200 s; the reference is the first point not earlier
// than 1200 - (T + 1).
INSTANTIATE_TEST_SUITE_P(
    Cases, SeriesStatisticsTendency,
    ::testing::Values(
        TendencyCase{"PeriodLastMinusFirst", kPeriod, 0, {1, 2, 4, 8, 16}, 15.0f},
        TendencyCase{"PeriodMissingFirstGivesZero", kPeriod, 0, {kNo, 2, 16}, 0.0f},
        TendencyCase{"PeriodMissingLastGivesZero", kPeriod, 0, {1, 2, kNo}, 0.0f},
        TendencyCase{"TimeBaseReachesOneSecondFurther", kTimeBase, 899, {1, 2, 4, 8, 16}, 14.0f},
        TendencyCase{"TimeBaseExcludesEarlierPoint", kTimeBase, 898, {1, 2, 4, 8, 16}, 12.0f},
        TendencyCase{
            "TimeBaseMissingReferenceGivesZero", kTimeBase, 899, {1, kNo, 4, 8, 16}, 0.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SeriesStatistics, CompletingTwiceAddsThePendingPeakOnce) {
    StatisticsSettings settings;
    settings.m_showSum = true;
    settings.m_sumMode = kAcc;
    SeriesStatistics series(settings);
    for (float v : {2.0f, 3.0f, 5.0f, 1.0f, 4.0f}) series.AddValue(v, kT0);
    series.Complete({});
    series.Complete({});
    EXPECT_FLOAT_EQ(series.Statistics().Sum, 7.0f);
}

TEST(SeriesStatistics, ResetStartsANewReadFromZero) {
    StatisticsSettings settings;
    settings.m_showSum = true;
    settings.m_showActivity = true;
    SeriesStatistics series(settings);
    series.AddValue(5, kT0);
    series.AddValue(6, kT0 + 60);
    series.AddPoint(Point(0, 60, 60, 6));
    series.Complete({});

    series.Reset();
    series.AddValue(kNo, kT0 + 120);
    series.AddValue(kNo, kT0 + 180);
    series.AddPoint(Point(120, 180, 180, kNo));
    series.Complete({});
    const SensorStatistics& s = series.Statistics();
    EXPECT_FLOAT_EQ(s.Max, 0.0f);
    EXPECT_FLOAT_EQ(s.Average, 0.0f);
    EXPECT_FLOAT_EQ(s.Sum, 0.0f);
    EXPECT_EQ(s.ActivitySeconds, 0);
    EXPECT_EQ(series.Settings().m_showSum, true);
}

}  // namespace
