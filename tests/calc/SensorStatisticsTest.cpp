#include <gtest/gtest.h>

#include <ctime>
#include <deque>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "calc/SensorStatistics.h"
#include "model/MissingValue.h"
#include "storage/CAktuell.h"

namespace {

constexpr float kNo = kMissingValue;
constexpr std::time_t kT0 = 1'700'000'000;

using Sample = std::pair<std::time_t, float>;  // seconds after kT0, value

std::deque<CDaten> History(const std::vector<Sample>& samples) {
    std::deque<CDaten> history;
    for (const auto& [offset, value] : samples) history.emplace_back(kT0 + offset, value);
    return history;
}

// Values one minute apart.
std::vector<Sample> Minutely(const std::vector<float>& values) {
    std::vector<Sample> samples;
    for (std::size_t i = 0; i < values.size(); ++i) {
        samples.emplace_back(static_cast<std::time_t>(i) * 60, values[i]);
    }
    return samples;
}

SensorStatistics Compute(const std::vector<Sample>& samples, const StatisticsSettings& settings) {
    SensorStatistics statistics;
    statistics.UpdateFromHistory(History(samples), settings);
    return statistics;
}

StatisticsSettings SumSettings(int mode) {
    StatisticsSettings settings;
    settings.m_showSum = true;
    settings.m_sumMode = mode;
    return settings;
}

StatisticsSettings ActivitySettings(int mode, float threshold) {
    StatisticsSettings settings;
    settings.m_showActivity = true;
    settings.m_activityMode = mode;
    settings.m_activityThreshold = threshold;
    return settings;
}

struct SumCase {
    const char* name;
    int mode;
    std::vector<Sample> samples;
    float sum;
    bool whFlag;
};

void PrintTo(const SumCase& c, std::ostream* os) { *os << c.name; }

class HistoryStatisticsSum : public ::testing::TestWithParam<SumCase> {};

TEST_P(HistoryStatisticsSum, FollowsTheSumMode) {
    const SumCase& c = GetParam();
    const SensorStatistics s = Compute(c.samples, SumSettings(c.mode));
    EXPECT_FLOAT_EQ(s.Sum, c.sum);
    EXPECT_EQ(s.WhFlag, c.whFlag);
}

constexpr int kStd = StatisticsSettings::kSumStandard;
constexpr int kAcc = StatisticsSettings::kSumAccumulating;
constexpr int kWh = StatisticsSettings::kSumSunWh;

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryStatisticsSum,
    ::testing::Values(
        SumCase{"StandardSkipsMissingValues", kStd, Minutely({1.0f, kNo, 2.5f}), 3.5f, false},
        SumCase{"AccumulatingPendingPeakAddedAtEnd", kAcc, Minutely({2, 3, 5}), 5.0f, false},
        SumCase{"AccumulatingFirstRestartDiscountsBase", kAcc, Minutely({2, 3, 5, 1, 4}), 7.0f,
                false},
        SumCase{"AccumulatingRestartAloneCountsNothing", kAcc, Minutely({2, 1}), 0.0f, false},
        // A current value has no rounding margin: any drop is a restart.
        SumCase{"AccumulatingSmallDropIsRestart", kAcc, Minutely({2, 3, 5.000f, 4.999f}), 3.0f,
                false},
        SumCase{"AccumulatingLaterRestartCountsWholePeak", kAcc, Minutely({2, 5, 1, 3, 0, 1}), 7.0f,
                false},
        SumCase{"AccumulatingNonPositiveStartCountsWholePeak", kAcc, Minutely({0, 3, 1}), 3.0f,
                false},
        SumCase{"AccumulatingSkipsMissingValues", kAcc, Minutely({kNo, 2, kNo, 3, kNo}), 3.0f,
                false},
        // The span runs from the oldest to the newest entry, valid or not.
        SumCase{"SunWhIsAverageTimesHours",
                kWh,
                {{0, 100.0f}, {1800, 300.0f}, {3600, kNo}},
                200.0f,
                true},
        SumCase{"UnknownModeComputesNothing", 7, Minutely({1, 2}), 0.0f, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HistoryStatistics, SumIsAlsoRightThroughTheCurrentValue) {
    CAktuell current("NS", nullptr);
    current.m_showSum = true;
    current.m_sumMode = kAcc;
    const float values[] = {2, 3, 5, 1, 4};
    for (int i = 0; i < 5; ++i) {
        current.AppendToHistory(values[i], kT0 + i * 60);
        current.UpdateStatistics();
    }
    EXPECT_FLOAT_EQ(current.m_statistics.Sum, 7.0f);
}

TEST(HistoryStatistics, TiesKeepTheEarlierTime) {
    const SensorStatistics s = Compute(Minutely({5, 1, 5, 1, 3}), {});
    EXPECT_FLOAT_EQ(s.Max, 5.0f);
    EXPECT_EQ(s.MaxTime, kT0);
    EXPECT_EQ(s.MaxFrom, kT0);
    EXPECT_EQ(s.MaxTo, kT0);
    EXPECT_FLOAT_EQ(s.Min, 1.0f);
    EXPECT_EQ(s.MinTime, kT0 + 60);
    EXPECT_EQ(s.MinFrom, kT0 + 60);
    EXPECT_EQ(s.MinTo, kT0 + 60);
}

TEST(HistoryStatistics, MissingValuesNeverBecomeMinimumOrEnterAverage) {
    for (int gap = 0; gap <= 3; ++gap) {
        SCOPED_TRACE(gap);
        std::vector<float> values{kNo, 10};
        values.insert(values.end(), gap, kNo);
        values.push_back(20);
        values.insert(values.end(), gap, -999999.0f);
        values.push_back(30);
        const SensorStatistics s = Compute(Minutely(values), {});
        EXPECT_FLOAT_EQ(s.Average, 20.0f);
        EXPECT_FLOAT_EQ(s.Min, 10.0f);
        EXPECT_FLOAT_EQ(s.Max, 30.0f);
    }
}

struct ActivityCase {
    const char* name;
    StatisticsSettings settings;
    std::vector<Sample> samples;
    int seconds;
};

void PrintTo(const ActivityCase& c, std::ostream* os) { *os << c.name; }

class HistoryStatisticsActivity : public ::testing::TestWithParam<ActivityCase> {};

TEST_P(HistoryStatisticsActivity, AddsSecondsSincePreviousValidValue) {
    const ActivityCase& c = GetParam();
    EXPECT_EQ(Compute(c.samples, c.settings).ActivitySeconds, c.seconds);
}

constexpr int kThreshold = StatisticsSettings::kActivityThreshold;
constexpr int kDelta = StatisticsSettings::kActivityDelta;

INSTANTIATE_TEST_SUITE_P(
    Cases, HistoryStatisticsActivity,
    ::testing::Values(
        // The first value lies above the threshold but has no earlier time to count from;
        // the missing value at 90 s does not shorten the step to 150 s.
        ActivityCase{"ThresholdSpansMissingValues",
                     ActivitySettings(kThreshold, 5),
                     {{0, 9}, {60, 5}, {90, kNo}, {150, 6}, {200, 4}},
                     150},
        // 1 -> 2 is too small, 2 -> 5 rises by 3, 5 -> 3 restarts at 3, 3 -> 1 restarts at 1.
        ActivityCase{"DeltaTakesRestartValueAsDifference",
                     ActivitySettings(kDelta, 2),
                     {{0, 1}, {60, 2}, {120, 5}, {180, 3}, {240, 1}},
                     120},
        ActivityCase{"OffGivesZero", {}, {{0, 9}, {60, 9}}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HistoryStatistics, TendencyIsNewestMinusOldestAndZeroWhenEitherIsMissing) {
    StatisticsSettings settings;
    settings.m_showTendency = true;
    EXPECT_FLOAT_EQ(Compute(Minutely({3, 9, 7}), settings).Tendency, 4.0f);
    EXPECT_FLOAT_EQ(Compute(Minutely({3, 9, kNo}), settings).Tendency, 0.0f);
    EXPECT_FLOAT_EQ(Compute(Minutely({kNo, 9, 7}), settings).Tendency, 0.0f);
}

TEST(HistoryStatistics, HistoryWithoutValidValueLeavesEveryField) {
    StatisticsSettings settings = SumSettings(kStd);
    settings.m_showActivity = true;
    settings.m_showTendency = true;
    SensorStatistics s;
    s.UpdateFromHistory(History(Minutely({4, 8})), settings);

    SensorStatistics after = s;
    after.UpdateFromHistory(History(Minutely({kNo, -999999.0f})), settings);
    EXPECT_FLOAT_EQ(after.Max, 8.0f);
    EXPECT_FLOAT_EQ(after.Min, 4.0f);
    EXPECT_FLOAT_EQ(after.Average, 6.0f);
    EXPECT_FLOAT_EQ(after.Sum, 12.0f);
    EXPECT_EQ(after.ActivitySeconds, 60);
    EXPECT_FLOAT_EQ(after.Tendency, 4.0f);
    EXPECT_EQ(after.MaxTime, kT0 + 60);
}

TEST(HistoryStatistics, SwitchedOffQuantitiesKeepTheirValues) {
    SensorStatistics s;
    s.Sum = 42.0f;
    s.Tendency = -1.0f;
    s.UpdateFromHistory(History(Minutely({1, 2})), {});
    EXPECT_FLOAT_EQ(s.Sum, 42.0f);
    EXPECT_FLOAT_EQ(s.Tendency, -1.0f);
}

TEST(HistoryStatistics, CurrentValueKeepsAtMost367NewestEntries) {
    CAktuell current("TE", nullptr);
    for (int i = 0; i < 400; ++i) current.AppendToHistory(static_cast<float>(i), kT0 + i);
    ASSERT_EQ(current.m_history.size(), CAktuell::kMaxHistory);
    EXPECT_EQ(current.m_history.front().m_time, kT0 + 33);
    EXPECT_EQ(current.m_history.back().m_start, kT0 + 399);
    EXPECT_EQ(current.m_history.back().m_end, kT0 + 399);

    current.UpdateStatistics();
    EXPECT_FLOAT_EQ(current.m_statistics.Min, 33.0f);
    EXPECT_FLOAT_EQ(current.m_statistics.Max, 399.0f);
}

}  // namespace
