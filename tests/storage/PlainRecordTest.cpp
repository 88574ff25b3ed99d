#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "storage/PlainRecord.h"
#include "storage/RecordLine.h"

namespace {

// The fast paths must take the stored form and give RecordLine's result to the bit.
struct FieldCase {
    const char* field;
    bool split;    // PlainRecord::SplitField takes it
    bool convert;  // and PlainRecord::ToFloat its number
};
void PrintTo(const FieldCase& c, std::ostream* os) { *os << '"' << c.field << '"'; }

class PlainRecordField : public ::testing::TestWithParam<FieldCase> {};

TEST_P(PlainRecordField, GivesSplitFieldsResultOrDeclines) {
    const FieldCase& c = GetParam();
    const RecordLine::Field reference = RecordLine::SplitField(c.field);
    std::string_view identifier;
    std::string_view number;
    ASSERT_EQ(PlainRecord::SplitField(c.field, identifier, number), c.split);
    if (!c.split) return;
    EXPECT_EQ(identifier, reference.identifier);
    float value = 0;
    ASSERT_EQ(PlainRecord::ToFloat(number, value), c.convert);
    if (c.convert) {
        EXPECT_EQ(std::memcmp(&value, &reference.value, sizeof value), 0) << value;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, PlainRecordField,
    ::testing::Values(FieldCase{"TE12.34", true, true}, FieldCase{"FE-3.20", true, true},
                      FieldCase{"TE-99999", true, true}, FieldCase{"TE-0.0", true, true},
                      FieldCase{"WR.5", true, true}, FieldCase{"WR5.", true, true},
                      FieldCase{"PR1013.25", true, true}, FieldCase{"X0.1", true, true},
                      FieldCase{"TE123456789012.345", true, true},
                      FieldCase{"TE1234567890123456", true, false},
                      FieldCase{"TE1.2.3", true, false}, FieldCase{"TE--1", true, false},
                      FieldCase{"TE1-2", true, false}, FieldCase{"TE", true, false},
                      FieldCase{"TE-", true, false},
                      FieldCase{"\xb0"
                                "C5",
                                true, true},
                      FieldCase{"T E1", false, false}, FieldCase{"T1E2", false, false},
                      FieldCase{"TE1\t", false, false}));

struct TimeCase {
    const char* line;
    bool taken;
};
void PrintTo(const TimeCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }

class PlainRecordTime : public ::testing::TestWithParam<TimeCase> {};

TEST_P(PlainRecordTime, GivesScanTimeTokensResultOrDeclines) {
    RecordLine::TimeTokens tokens;
    ASSERT_EQ(PlainRecord::ScanTimeTokens(GetParam().line, tokens), GetParam().taken);
    if (!GetParam().taken) return;
    const RecordLine::TimeTokens reference = RecordLine::ScanTimeTokens(GetParam().line);
    EXPECT_EQ(tokens.haveTime, reference.haveTime);
    EXPECT_EQ(tokens.haveDate, reference.haveDate);
    EXPECT_EQ(std::vector<int>({tokens.hour, tokens.minute, tokens.second, tokens.day, tokens.month,
                                tokens.year}),
              std::vector<int>({reference.hour, reference.minute, reference.second, reference.day,
                                reference.month, reference.year}));
    EXPECT_EQ(tokens.afterDate, reference.afterDate);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, PlainRecordTime,
    ::testing::Values(
        TimeCase{"12:34:56,15.01.24,TE1,", true}, TimeCase{"23:59:59,31.12.99,", true},
        TimeCase{"1:34:56,15.01.24,TE1,", false}, TimeCase{"x,12:34:56,15.01.24,TE1,", false},
        TimeCase{"12:34:56,15.01.2024,TE1,", false}, TimeCase{"15.01.24,12:34:56,TE1,", false},
        TimeCase{"12:34:5a,15.01.24,", false}, TimeCase{"12:34:56,15.01.24", false},
        TimeCase{"00:00:00,09.09.09,TE1,", true}, TimeCase{"12:34:5\xb0,15.01.24,", false},
        TimeCase{"12:34:56,15.01.2/,", false}, TimeCase{"12:34:56,15.0:.24,", false},
        TimeCase{"12.34:56,15.01.24,", false}, TimeCase{"12:34:56,15:01.24,", false},
        TimeCase{"12:34:56,15.01:24,", false}, TimeCase{"12:34:56;15.01.24,", false},
        TimeCase{"12:34:56,15.01.24;", false}));

TEST(PlainRecordFields, SameFieldsAndPartsAsRecordLine) {
    for (const std::string line :
         {"12:00:00,01.01.24,TE1,,FE-2.5,x", ",,,", "", "a,b", ",TE1,", "T E1,T1E2,TE1.2.3,TE,"}) {
        for (std::size_t start : {std::size_t{0}, std::size_t{3}, line.size(), line.size() + 5}) {
            std::vector<std::string> fast;
            std::vector<std::string> reference;
            PlainRecord::ForEachField(line, start, [&](const PlainRecord::FieldParts& parts) {
                fast.emplace_back(parts.field);
                if (!parts.plain) return;
                EXPECT_EQ(parts.identifier, RecordLine::SplitField(parts.field).identifier);
                EXPECT_EQ(std::string(parts.identifier) + std::string(parts.number), parts.field);
            });
            RecordLine::ForEachField(line, start,
                                     [&](std::string_view f) { reference.emplace_back(f); });
            EXPECT_EQ(fast, reference) << line << " from " << start;
        }
    }
}

}  // namespace
