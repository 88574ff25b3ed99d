#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <ostream>
#include <string>
#include <vector>

#include "sim/RecordLine.h"

namespace {

class OrbsimTime : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

const std::time_t kMorning = 1709301900;  // 2024-03-01 14:05:00 UTC

struct LineRow {
    const char* name;
    std::vector<orbsim::Reading> readings;
    bool stored;
    bool trailingComma;
    const char* expected;
};
void PrintTo(const LineRow& row, std::ostream* os) { *os << row.name; }

class OrbsimRecordLine : public ::testing::TestWithParam<LineRow> {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};

TEST_P(OrbsimRecordLine, LaysOutTimeFieldsMarkerAndLineEnd) {
    const LineRow& row = GetParam();
    EXPECT_EQ(orbsim::FormatRecordLine(kMorning, row.readings, row.stored, row.trailingComma),
              row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, OrbsimRecordLine,
    ::testing::Values(LineRow{"Live",
                              {{"TE", 12.5, 1}, {"FE", 71.0, 1}},
                              false,
                              true,
                              "14:05:00,01.03.24,TE12.5,FE71.0,\r\n"},
                      LineRow{"StoredMarkerSitsBetweenLastCommaAndCrLf",
                              {{"TE", 12.5, 1}, {"FE", 71.0, 1}},
                              true,
                              true,
                              "14:05:00,01.03.24,TE12.5,FE71.0,\x1F\r\n"},
                      LineRow{"DecimalsPerSensorRoundedAsPrintfDoes",
                              {{"TE", 12.345, 2}, {"FE", 70.6, 0}, {"DR", 1013.25, 1}},
                              false,
                              true,
                              "14:05:00,01.03.24,TE12.35,FE71,DR1013.2,\r\n"},
                      LineRow{"SmallNegativeRoundsToPlainZero",
                              {{"TE", -0.04, 1}},
                              false,
                              true,
                              "14:05:00,01.03.24,TE0.0,\r\n"},
                      LineRow{"InvalidSensor",
                              {{"TE", orbsim::kInvalidValue, 1}},
                              false,
                              true,
                              "14:05:00,01.03.24,TE-999999.0,\r\n"},
                      LineRow{"WithoutTrailingCommaKeepsTheMarker",
                              {{"TE", 5.0, 1}},
                              true,
                              false,
                              "14:05:00,01.03.24,TE5.0\x1F\r\n"}));

TEST_F(OrbsimTime, CommandTimeRoundTripsAndFollowsTheTwoDigitYearRule) {
    EXPECT_EQ(orbsim::FormatCommandTime(kMorning), "140500010324");
    EXPECT_EQ(orbsim::ParseCommandTime("140500010324"), kMorning);
    EXPECT_EQ(orbsim::FormatTimeStamp(*orbsim::ParseCommandTime("000000010190")),
              "00:00:00,01.01.90,")
        << "90 is 2090";
    EXPECT_EQ(orbsim::ParseCommandTime("000000010191"), 662688000) << "91 is 1991";
    for (const char* bad : {"14050001032", "1405000103245", "1405x0010324", "250000010324",
                            "140500320324", "140500011324", "140500000324"}) {
        EXPECT_FALSE(orbsim::ParseCommandTime(bad)) << bad;
    }
}

TEST_F(OrbsimTime, StorageBoundariesCountFromLocalMidnight) {
    EXPECT_EQ(orbsim::LastBoundaryAtOrBefore(kMorning, 300), kMorning);
    EXPECT_EQ(orbsim::LastBoundaryAtOrBefore(kMorning + 299, 300), kMorning);
    // 7 minutes do not divide a day: the last slot of a day ends at midnight.
    const std::time_t midnight = 1709337600;  // 2024-03-02 00:00:00
    EXPECT_EQ(orbsim::LastBoundaryAtOrBefore(midnight + 60, 420), midnight);
    EXPECT_EQ(orbsim::LastBoundaryAtOrBefore(midnight - 1, 420), midnight - 300)
        << "23:55:00 is the last multiple of 7 minutes";
}

TEST(OrbsimSensorList, ReadsIdsAndDecimalsAndRejectsWhatTheProgramCouldNotReadBack) {
    const auto sensors = orbsim::ParseSensorList("TE,FE:0,XY:3");
    ASSERT_TRUE(sensors);
    ASSERT_EQ(sensors->size(), 3u);
    EXPECT_EQ((*sensors)[1].id, "FE");
    EXPECT_EQ((*sensors)[1].decimals, 0);
    EXPECT_EQ((*sensors)[2].decimals, 3);
    EXPECT_EQ((*sensors)[0].decimals, 1);
    for (const char* bad : {"", ",TE", "T1", "T-E", "TE:x", "TE:12", "TE,,FE"}) {
        EXPECT_FALSE(orbsim::ParseSensorList(bad)) << "'" << bad << "'";
    }
}

}  // namespace
