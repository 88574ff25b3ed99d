#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "calc/CVergleichParser.h"

namespace {

// The document's instance after a record with TA and TB.
class VergleichParserTest : public ::testing::Test {
protected:
    void Record(float ta, float tb) {
        parser.ClearVariables();
        parser.AddVariable("TA");
        parser.SetVariable("TA", ta);
        parser.AddVariable("TB");
        parser.SetVariable("TB", tb);
    }

    CVergleichParser parser;
};

struct ValidRow {
    const char* text;
    float ta;
    float tb;
    bool expected;
};

TEST_F(VergleichParserTest, ConditionsConsumedToTheEndGiveTheirVerdict) {
    const ValidRow rows[] = {
        {"TA>5", 6, 0, true},
        {"TA>5", 5, 0, false},
        {"TA<5", 4, 0, true},
        {"TA=5", 5, 0, true},
        {"TA=5", 5.0001f, 0, false},
        {"TA=0.1", 0.1f, 0, true},
        {"TA=TB", 2, 2, true},
        // "," and ";" both mean and
        {"TA>5;TB<0", 6, -1, true},
        {"TA>5;TB<0", 6, 1, false},
        {"TA>5;TB<0", 4, -1, false},
        {"TA>5,TB<0", 6, -1, true},
        {"TA>5,TB<0", 4, -1, false},
        {"TB<0;TA>5;TA<7", 6, -1, true},
        {"TB<0;TA>5;TA<7", 8, -1, false},
        // numbers on either side, with a sign, read as far as atof reads
        {"5<TA", 6, 0, true},
        {"5<TA", 4, 0, false},
        {"-3>TA", -4, 0, true},
        {"-3>TA", -2, 0, false},
        {"TA>5-3", 4, 0, false},
        {"TA>5.5.5", 5.6f, 0, true},
        {"TA>-", -1, 0, false},
        // a trailing separator is harmless
        {"TA>5,", 6, 0, true},
        {"TA>5;", 6, 0, true},
        {"TA>5,", 4, 0, false},
        {"TA>5;;", 6, 0, true},
        // a separator with nothing before it counts as false
        {";TA>5", 6, 0, false},
        // the missing value is compared like any number
        {"TA<0", -99999, 0, true},
        {"TA=-99999", -99999, 0, true},
        {"", 0, 0, false},
    };
    for (const ValidRow& row : rows) {
        Record(row.ta, row.tb);
        const std::string text = row.text;
        bool result = !row.expected;
        EXPECT_EQ(parser.ParseConditions(text, result), text.size()) << text;
        EXPECT_EQ(result, row.expected) << text << " TA=" << row.ta << " TB=" << row.tb;
    }
}

TEST_F(VergleichParserTest, InvalidConditionsStopAtTheFirstUnreadCharacter) {
    const std::pair<std::string, std::size_t> rows[] = {
        {"TA>=5", 0},       {"TA<>5", 0},     {"TA>>5", 0},     {"TA>", 0},
        {"TA", 0},          {"XX>5", 0},      {"ta>5", 0},      {">5", 0},
        {"TA > 5", 0},      {"TA>5;XX>1", 5}, {"TA>5;TB", 5},   {"TA>5,TB>=1", 5},
        {"TA>5TB<1", 4},    {"TA>5 ", 4},     {"TA>5|TB<1", 4}, {std::string("TA>5\0;TB<1", 10), 4},
        {"TA>5;\xC4>1", 5},
    };
    Record(6, 0);
    for (const auto& [text, stop] : rows) {
        bool result = true;
        EXPECT_EQ(parser.ParseConditions(text, result), stop) << text;
        if (stop == 0) {
            EXPECT_FALSE(result) << text;
        }
    }
}

TEST_F(VergleichParserTest, NaNIsNeverEqual) {
    Record(std::numeric_limits<float>::quiet_NaN(), 0);
    bool result = true;
    EXPECT_EQ(parser.ParseConditions("TA=TA", result), 5u);
    EXPECT_FALSE(result);
}

TEST_F(VergleichParserTest, VariablesAreFoundByTheirFirstExactName) {
    parser.AddVariable("TA");
    parser.AddVariable("TA");
    EXPECT_TRUE(parser.SetVariable("TA", 7));
    EXPECT_FALSE(parser.SetVariable("T", 1));
    EXPECT_EQ(parser.Variables()[1].Value, 0.0f);
    bool result = false;
    EXPECT_EQ(parser.ParseConditions("TA=7", result), 4u);
    EXPECT_TRUE(result);

    parser.AddVariable("ABCDEFGHIJKLM");  // does not fit a name: never added
    EXPECT_EQ(parser.Variables().size(), 2u);
    parser.AddVariable("ABCDEFGHIJK");
    EXPECT_EQ(parser.ParseConditions("ABCDEFGHIJKLM=0", result), 0u);
    EXPECT_EQ(parser.ParseConditions("ABCDEFGHIJK=0", result), 13u);

    parser.AddVariable("");  // an empty name is no identifier
    EXPECT_EQ(parser.ParseConditions(">5", result), 0u);

    parser.ClearVariables();
    EXPECT_EQ(parser.ParseConditions("TA=7", result), 0u);
}

}  // namespace
