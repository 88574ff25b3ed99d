#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <ostream>
#include <string>
#include <vector>

#include "UtcTime.h"
#include "platform/Clock.h"
#include "storage/RecordLine.h"

namespace {

using namespace RecordLine;

struct TokensRow {
    const char* name;
    const char* line;
    bool haveTime;
    bool haveDate;
    int hour, minute, second, day, month, year;
    std::size_t afterDate;
};
void PrintTo(const TokensRow& row, std::ostream* os) { *os << row.name; }

class ScanTimeTokensRows : public ::testing::TestWithParam<TokensRow> {};

TEST_P(ScanTimeTokensRows, FindsTheTokens) {
    const TokensRow& row = GetParam();
    const TimeTokens t = ScanTimeTokens(row.line);
    EXPECT_EQ(t.haveTime, row.haveTime);
    EXPECT_EQ(t.haveDate, row.haveDate);
    if (row.haveTime) {
        EXPECT_EQ(t.hour, row.hour);
        EXPECT_EQ(t.minute, row.minute);
        EXPECT_EQ(t.second, row.second);
    }
    if (row.haveDate) {
        EXPECT_EQ(t.day, row.day);
        EXPECT_EQ(t.month, row.month);
        EXPECT_EQ(t.year, row.year);
        EXPECT_EQ(t.afterDate, row.afterDate);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ScanTimeTokensRows,
    ::testing::Values(TokensRow{"TimeThenDate", "12:34:56,01.02.24,TE5.0,\r\n", true, true, 12, 34,
                                56, 1, 2, 24, 18},
                      TokensRow{"DateThenTime", "01.02.24,12:34:56,TE5.0,\r\n", true, true, 12, 34,
                                56, 1, 2, 24, 9},
                      TokensRow{"LeadingTokensSkipped", "ORB,3,12:34:56,01.02.24,TE5,", true, true,
                                12, 34, 56, 1, 2, 24, 24},
                      TokensRow{"ThreeColonsIsNoTime", "1:2:3:4,12:00:00,01.02.24,", true, true, 12,
                                0, 0, 1, 2, 24, 26},
                      TokensRow{"SecondTimeTokenEndsTheScanWithoutDate",
                                "12:00:00,13:00:00,01.02.24,", true, false, 13, 0, 0, 0, 0, 0, 0},
                      // The dot count survives a time token: a dot in the time hides the date.
                      TokensRow{"DotInTheTimeHidesTheDate", "12:00:00.5,01.02.24,TE1,", true, false,
                                12, 0, 0, 0, 0, 0, 0},
                      TokensRow{"TokenWithoutCommaIsNoToken", "12:00:00,01.02.24", true, false, 12,
                                0, 0, 0, 0, 0, 0},
                      TokensRow{"Nothing", "TE5,FE3,\r\n", false, false, 0, 0, 0, 0, 0, 0, 0},
                      TokensRow{"Empty", "", false, false, 0, 0, 0, 0, 0, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct TimeRow {
    const char* name;
    const char* line;
    bool valid;
    int year;  // expected full year when valid
};
void PrintTo(const TimeRow& row, std::ostream* os) { *os << row.name; }

class TokensToTimeRows : public ::testing::TestWithParam<TimeRow> {
protected:
    static void SetUpTestSuite() { UseUtcZone(); }
};

TEST_P(TokensToTimeRows, ChecksTheRanges) {
    const TimeRow& row = GetParam();
    const auto time = TokensToTime(ScanTimeTokens(row.line));
    ASSERT_EQ(time.has_value(), row.valid);
    if (row.valid) {
        EXPECT_EQ(LocalTime(*time).tm_year + 1900, row.year);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, TokensToTimeRows,
    ::testing::Values(TimeRow{"Year90Is2090AndRejected", "12:00:00,01.02.90,", false, 0},
                      TimeRow{"Year91Is1991", "12:00:00,01.02.91,", true, 1991},
                      TimeRow{"Year00Is2000", "12:00:00,01.02.00,", true, 2000},
                      TimeRow{"Year38Is2038", "12:00:00,01.01.38,", true, 2038},
                      TimeRow{"Year39Rejected", "12:00:00,01.01.39,", false, 0},
                      TimeRow{"Month13Rejected", "12:00:00,01.13.24,", false, 0},
                      TimeRow{"Day0Rejected", "12:00:00,00.02.24,", false, 0},
                      TimeRow{"Day32Rejected", "12:00:00,32.01.24,", false, 0},
                      TimeRow{"Hour24Rejected", "24:00:00,01.02.24,", false, 0},
                      TimeRow{"Minute60Rejected", "12:60:00,01.02.24,", false, 0},
                      TimeRow{"Second60Rejected", "12:00:60,01.02.24,", false, 0},
                      TimeRow{"NegativeRejected", "-1:00:00,01.02.24,", false, 0},
                      TimeRow{"NegativeYearRejected", "12:00:00,01.02.-24,", false, 0},
                      TimeRow{"ThreeDigitYearRejected", "12:00:00,01.02.100,", false, 0},
                      TimeRow{"MissingDateRejected", "12:00:00,TE5,", false, 0},
                      TimeRow{"LastMomentAccepted", "23:59:59,31.12.24,", true, 2024}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordLineTime, FourDigitYearIsTakenAsWritten) {
    UseUtcZone();
    EXPECT_EQ(TokensToTime(ScanTimeTokens("12:00:00,01.02.2024,"), true),
              Utc(2024, 2, 1, 12, 0, 0));
    EXPECT_FALSE(TokensToTime(ScanTimeTokens("12:00:00,01.02.1969,"), true));
    EXPECT_EQ(FullYear(90), 2090);
    EXPECT_EQ(FullYear(91), 1991);
}

TEST(RecordLineTime, PrefixIsTimeAndTwoDigitDate) {
    UseUtcZone();
    EXPECT_EQ(TimePrefix(Utc(2024, 2, 1, 9, 5, 7)), "09:05:07,01.02.24,");
    EXPECT_EQ(TimePrefix(Utc(1999, 12, 31, 23, 59, 59)), "23:59:59,31.12.99,");
}

struct FieldRow {
    const char* name;
    const char* field;
    const char* identifier;
    float value;
};
void PrintTo(const FieldRow& row, std::ostream* os) { *os << row.name; }

class SplitFieldRows : public ::testing::TestWithParam<FieldRow> {};

TEST_P(SplitFieldRows, SeparatesIdentifierAndNumber) {
    const Field field = SplitField(GetParam().field);
    EXPECT_EQ(field.identifier, GetParam().identifier);
    EXPECT_FLOAT_EQ(field.value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SplitFieldRows,
    ::testing::Values(FieldRow{"Plain", "TE12.5", "TE", 12.5f},
                      FieldRow{"Negative", "FE-3.20", "FE", -3.2f},
                      FieldRow{"BlankInsideTheNumber", "T2 3.5", "T", 23.5f},
                      FieldRow{"DigitsAmongLetters", "T1E2", "TE", 12.0f},
                      FieldRow{"NoNumberIsZero", "TE", "TE", 0.0f},
                      FieldRow{"NoIdentifier", "12.5", "", 12.5f},
                      FieldRow{"MinusInsideStopsTheNumber", "TE1-2", "TE", 1.0f},
                      FieldRow{"SecondDotStopsTheNumber", "TE1.2.3", "TE", 1.2f},
                      FieldRow{"StationInvalidValue", "WG-999999", "WG", -999999.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordLineFields, EveryCommaEndsAFieldAndEmptyOnesAreSkipped) {
    std::vector<std::string> fields;
    ForEachField("12:00:00,01.02.24,TE5,,FE3,tail\r\n", 18,
                 [&](std::string_view f) { fields.emplace_back(f); });
    EXPECT_EQ(fields, (std::vector<std::string>{"TE5", "FE3"}));
    fields.clear();
    ForEachField("TE5", 0, [&](std::string_view f) { fields.emplace_back(f); });
    EXPECT_TRUE(fields.empty());
}

struct MarkerRow {
    const char* name;
    std::string line;
    bool marked;
};
void PrintTo(const MarkerRow& row, std::ostream* os) { *os << row.name; }

class StorageMarkerRows : public ::testing::TestWithParam<MarkerRow> {};

TEST_P(StorageMarkerRows, LooksJustBeforeTheFirstCr) {
    EXPECT_EQ(HasStorageMarker(GetParam().line), GetParam().marked);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StorageMarkerRows,
    ::testing::Values(MarkerRow{"BeforeCr", "12:00:00,01.02.24,TE5,\x1F\r\n", true},
                      MarkerRow{"OneFurtherBack",
                                "12:00:00,01.02.24,TE5,\x1F"
                                "a\r\n",
                                true},
                      MarkerRow{"TwoFurtherBackIsNoMarker",
                                "12:00:00,01.02.24,TE5,\x1F"
                                "ab\r\n",
                                false},
                      MarkerRow{"Unmarked", "12:00:00,01.02.24,TE5,\r\n", false},
                      MarkerRow{"WithoutCr", "12:00:00,01.02.24,TE5,\x1F\n", false},
                      MarkerRow{"AfterTheFirstCr", "TE5,\r\x1F\r\n", false},
                      MarkerRow{"CrFirst", "\r\n", false},
                      MarkerRow{"MarkerOnlyThenCr", "\x1F\r\n", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
