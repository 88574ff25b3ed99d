#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <utility>
#include <vector>

#include "calc/CFormelParser.h"
#include "model/TextNumbers.h"

namespace {

using Variables = std::vector<std::pair<std::string, float>>;

// Fills the parser the way the document does for every record.
void Fill(CFormelParser& parser, const Variables& variables) {
    parser.ClearVariables();
    for (const auto& [name, value] : variables) {
        parser.AddVariable(name);
        parser.SetVariable(name, value);
    }
}

struct ValueRow {
    const char* formula;
    float expected;
    Variables variables = {};
};

struct StopRow {
    std::string formula;
    std::size_t stop;
    Variables variables = {};
};

float Ref(double (*f)(double), double x) { return static_cast<float>(f(x)); }

TEST(FormelParserTest, ValidFormulasGiveTheirFloatValue) {
    const ValueRow rows[] = {
        // precedence and left associativity
        {"1+2*3", 7.0f},
        {"(1+2)*3", 9.0f},
        {"8/2/2", 2.0f},
        {"8-2-1", 5.0f},
        // an operand that cannot be read leaves the running value alone
        {"-5", -5.0f},
        {"-(2+3)", -5.0f},
        {"2*-3", -1.0f},
        {"3+", 3.0f},
        {"3++4", 7.0f},
        {"(1+2", 3.0f},
        // a call without its ")" ends after its "(", and the text after it is read again
        {"1+SIN(-2", -1.0f},
        {"SIN(-SIN(-2", -2.0f},
        // each step is rounded to float: in double the two 1s would survive
        {"16777216+1+1", 16777216.0f},
        // numbers: the run of digits and points, converted as far as it reads
        {"1.5.7", 1.5f},
        {"0.1", 0.1f},
        {"007", 7.0f},
        {"12.", 12.0f},
        // functions, one row per id so that no computation is mixed up
        {"ARCCOS(0.5)", Ref(std::acos, 0.5)},
        {"ARCSIN(0.5)", Ref(std::asin, 0.5)},
        {"ARCTAN(0.5)", Ref(std::atan, 0.5)},
        {"COS(0.5)", Ref(std::cos, 0.5)},
        {"TAN(0.5)", Ref(std::tan, 0.5)},
        {"SIN(0.5)", Ref(std::sin, 0.5)},
        {"PI()", 3.14159f},
        {"POTENZ(2;3)", 8.0f},
        {"POW(2;3)", 8.0f},
        {"POW(2,3)", 8.0f},
        {"POW(2X3)", 8.0f},
        {"POW(2;0.5)", Ref(std::sqrt, 2.0)},
        {"WURZEL(2)", Ref(std::sqrt, 2.0)},
        {"SQRT(2)", Ref(std::sqrt, 2.0)},
        {"LN(2)", Ref(std::log, 2.0)},
        {"LOG(8;2)", 3.0f},
        {"LOG(100,10)", 2.0f},
        {"LOG10(1000)", 3.0f},
        {"EXP(1)", Ref(std::exp, 1.0)},
        {"ABS(-2.5)", 2.5f},
        {"ABS(2.5)", 2.5f},
        {"SIN(PI()/2)", 1.0f},
        {"POW(SQRT(16);LOG(8;2))*2", 128.0f},
        // variables
        {"TA+1", 21.0f, {{"TA", 20.0f}}},
        {"(TA+TI)/2", 15.0f, {{"TA", 20.0f}, {"TI", 10.0f}}},
        {"TA", -99990.0f, {{"TA", -99990.0f}}},
        {"PI*2", 6.0f, {{"PI", 3.0f}}},
        // an empty name is no identifier, even when a variable has one
        {"3+", 3.0f, {{"", 5.0f}}},
        {"(2)*3", 6.0f, {{"", 5.0f}}},
        {"PI()*2", 6.28318f, {{"PI", 3.0f}}},
        {"T2+ABCDEFGHIJK", 3.0f, {{"T2", 1.0f}, {"ABCDEFGHIJK", 2.0f}}},
    };
    CFormelParser parser;
    for (const ValueRow& row : rows) {
        Fill(parser, row.variables);
        const std::string formula = row.formula;
        float value = -1.0f;
        EXPECT_EQ(parser.ParseExpression(formula, value), formula.size()) << formula;
        EXPECT_EQ(value, row.expected) << formula;
    }
}

TEST(FormelParserTest, PiIsTheStoredConstantNotTheNearestFloat) {
    CFormelParser parser;
    float value = 0.0f;
    parser.ParseExpression("PI()", value);
    EXPECT_EQ(value, 3.1415901184082031f);
    EXPECT_NE(value, std::numbers::pi_v<float>);
}

TEST(FormelParserTest, InvalidFormulasStopAtTheirFirstUnreadCharacter) {
    const StopRow rows[] = {
        {"PI", 0},
        {"SQR(4)", 0},
        {".5", 0},
        {"1E5", 1},
        {"1+X", 2},
        {"1+2)", 3},
        {"ta+1", 0, {{"TA", 1.0f}}},
        {"TA+1", 0},
        {"TA+1", 0, {{"TA", -99999.0f}}},
        {"TA+1", 0, {{"TA", -99990.5f}}},
        {"1+TA", 2, {{"TA", -99999.0f}}},
        // a call whose ")" is not where it must be ends right after its "("
        {"SIN(1,2)", 4},
        {"SIN(1", 4},
        {"PI(1)", 3},
        {"POW(2)", 4},
        {"POW(2;3", 4},
        {"POW(2;", 4},
        {"POW(2", 4},
        {"2*LOG(8;2;3)", 6},
        // an unknown function is tried as a variable and leaves its "(" behind
        {"FOO(1)", 0},
        {"FOO(1)", 3, {{"FOO", 2.0f}}},
        // there is no white space
        {"1 + 2", 1},
        {"SIN (1)", 0},
        {" 1", 0},
        // names longer than a variable can hold are never known
        {"ABCDEFGHIJKL", 0, {{"ABCDEFGHIJKL", 1.0f}}},
        {"ABCDEFGHIJKL", 0, {{"ABCDEFGHIJK", 1.0f}}},
        // bytes that are no part of the language
        {std::string("1+\0"
                     "2",
                     4),
         2},
        {"2\xB2", 1},
        {"TA\xC4", 2, {{"TA", 1.0f}}},
    };
    CFormelParser parser;
    for (const StopRow& row : rows) {
        Fill(parser, row.variables);
        float value = 0.0f;
        EXPECT_EQ(parser.ParseExpression(row.formula, value), row.stop) << row.formula;
    }
}

TEST(FormelParserTest, DomainErrorsArePassedOnAsIeeeValues) {
    CFormelParser parser;
    float value = 0.0f;
    ASSERT_EQ(parser.ParseExpression("1/0", value), 3u);
    EXPECT_EQ(value, std::numeric_limits<float>::infinity());
    ASSERT_EQ(parser.ParseExpression("LN(0)", value), 5u);
    EXPECT_EQ(value, -std::numeric_limits<float>::infinity());
    for (const std::string formula : {"0/0", "SQRT(-1)", "LN(-1)", "ARCCOS(2)"}) {
        ASSERT_EQ(parser.ParseExpression(formula, value), formula.size()) << formula;
        EXPECT_TRUE(std::isnan(value)) << formula;
    }
}

TEST(FormelParserTest, NumbersAreConvertedAsAtofDoes) {
    // Short numbers take a faster road than long ones; both must round alike.
    const std::vector<std::string> numbers = {"0",
                                              "00",
                                              "0.1",
                                              "3.14159",
                                              "99999.99",
                                              "16777217",
                                              "12.",
                                              "4294967296.5",
                                              "123456789012345",
                                              "12345678901234.5",
                                              "1234567890123456",
                                              "9007199254740993",
                                              "0.000000000000001",
                                              "0.30000001192092896",
                                              "340282356779733661637539395458142568448",
                                              "1.2.3",
                                              "1" + std::string(400, '0')};
    CFormelParser parser;
    for (const std::string& number : numbers) {
        float value = 0.0f;
        ASSERT_EQ(parser.ParseExpression(number, value), number.size()) << number;
        EXPECT_EQ(value, static_cast<float>(TextNumbers::Atof(number))) << number;
    }
}

TEST(FormelParserTest, NumbersIgnoreTheDesktopLocale) {
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // may be missing; the result must not change
    CFormelParser parser;
    float value = 0.0f;
    EXPECT_EQ(parser.ParseExpression("1.5*2", value), 5u);
    EXPECT_EQ(value, 3.0f);
    std::setlocale(LC_NUMERIC, "C");
}

TEST(FormelParserTest, VariablesAreFoundByTheirFirstExactName) {
    CFormelParser parser;
    parser.AddVariable("TA");
    parser.AddVariable("TA");
    parser.AddVariable("TAB");
    EXPECT_TRUE(parser.SetVariable("TA", 5.0f));
    EXPECT_TRUE(parser.SetVariable("TAB", 7.0f));
    EXPECT_FALSE(parser.SetVariable("T", 1.0f));
    EXPECT_FALSE(parser.SetVariable("ta", 1.0f));
    ASSERT_EQ(parser.Variables().size(), 3u);
    EXPECT_EQ(parser.Variables()[1].Value, 0.0f) << "the second TA is never set";

    float value = -1.0f;
    EXPECT_TRUE(parser.GetVariable("TA", value));
    EXPECT_EQ(value, 5.0f);
    EXPECT_FALSE(parser.GetVariable("TX", value));
    EXPECT_EQ(value, 5.0f) << "untouched when not found";
    EXPECT_EQ(parser.ParseExpression("TA*TAB", value), 6u);
    EXPECT_EQ(value, 35.0f);

    // The first of two equal names decides, even when it has no value.
    EXPECT_TRUE(parser.SetVariable("TA", -99999.0f));
    EXPECT_EQ(parser.ParseExpression("TA", value), 0u);

    parser.ClearVariables();
    EXPECT_TRUE(parser.Variables().empty());
    EXPECT_EQ(parser.ParseExpression("TAB", value), 0u);
}

TEST(FormelParserTest, NameThatDoesNotFitIsNeverAddedSoNoShorterNameAliasesIt) {
    CFormelParser parser;
    parser.AddVariable("ABCDEFGHIJKLM");
    parser.AddVariable(std::string("AB\0C", 4));
    EXPECT_TRUE(parser.Variables().empty());
    EXPECT_FALSE(parser.SetVariable("ABCDEFGHIJKLM", 1.0f));
    float value = 0.0f;
    EXPECT_EQ(parser.ParseExpression("ABCDEFGHIJK", value), 0u);
    EXPECT_EQ(parser.ParseExpression("AB", value), 0u);
}

TEST(FormelParserTest, CollectsEveryIdentifierReadWhileSwitchedOn) {
    CFormelParser parser;
    Fill(parser, {{"TA", 1.0f}, {"TI", 2.0f}, {"TX", -99999.0f}});
    float value = 0.0f;

    parser.ParseExpression("TA+TI*TA", value);
    EXPECT_EQ(parser.UsedIdentifiers(), "") << "off by default";

    parser.SetCollectIdentifiers(true);
    parser.ParseExpression("TA+TI*TA", value);
    parser.ParseExpression("TI+TX", value);  // TX has no value: not read, not collected
    EXPECT_EQ(parser.UsedIdentifiers(), "TA,TI,TA,TI,");

    parser.SetVariable("TA", 3.0f);
    EXPECT_EQ(parser.UsedIdentifiers(), "") << "emptied by SetVariable";
    parser.ParseExpression("PI()+TA", value);
    EXPECT_EQ(parser.UsedIdentifiers(), "TA,");
    parser.ClearVariables();
    EXPECT_EQ(parser.UsedIdentifiers(), "") << "emptied by ClearVariables";
}

TEST(FormelParserTest, NestingWithinTheLimitIsEvaluated) {
    CFormelParser parser;
    const std::string formula = std::string(200, '(') + "2" + std::string(200, ')');
    float value = 0.0f;
    EXPECT_EQ(parser.ParseExpression(formula, value), formula.size());
    EXPECT_EQ(value, 2.0f);

    std::string calls;
    for (int i = 0; i < 100; ++i) calls += "ABS(";
    calls += "-1" + std::string(100, ')');
    EXPECT_EQ(parser.ParseExpression(calls, value), calls.size());
    EXPECT_EQ(value, 1.0f);
}

TEST(FormelParserTest, DeepNestingStopsAtTheFirstBracketBeyondTheLimit) {
    CFormelParser parser;
    for (const std::string opener : {"(", "SIN(", "POW(1;"}) {
        std::string formula;
        for (int i = 0; i < 100000; ++i) formula += opener;
        formula += "1" + std::string(100000, ')');
        float value = 0.0f;
        EXPECT_EQ(parser.ParseExpression(formula, value), 256 * opener.size()) << opener;
    }
}

TEST(FormelParserTest, NestedUnclosedCallsEndInsteadOfTakingExponentialTime) {
    // Each unclosed call doubles the reading of the text after it: 2^60 steps unbounded.
    std::string formula;
    for (int i = 0; i < 60; ++i) formula += "SIN(-";
    formula += "1";
    CFormelParser parser;
    float value = 0.0f;
    const std::size_t stop = parser.ParseExpression(formula, value);
    ASSERT_LT(stop, formula.size());
    EXPECT_EQ(formula.compare(stop, 4, "SIN("), 0) << "ends at a call";

    // The limit leaves a parser that works as before.
    EXPECT_EQ(parser.ParseExpression("SIN(-SIN(-2", value), 11u);
    EXPECT_EQ(value, -2.0f);
}

}  // namespace
