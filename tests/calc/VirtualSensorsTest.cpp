#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "calc/CFormelParser.h"
#include "calc/VirtualSensors.h"
#include "model/CSensoren.h"
#include "model/TextNumbers.h"

namespace {

constexpr float kInvalid = -99999.0f;
using Record = std::vector<std::pair<const char*, float>>;

// How a document or reader fills the parser for one record.
void Fill(CFormelParser& parser, const Record& record) {
    parser.ClearVariables();
    for (const auto& [name, value] : record) {
        parser.AddVariable(name);
        parser.SetVariable(name, value);
    }
}

// A limit or replacement as the dialog stores it: the text and its format.
struct Bound {
    const char* text;
    int format;
};

struct LimitsCase {
    const char* name;
    const char* formula;
    Record record;
    Bound lower;
    Bound upper;
    Bound underflow;
    Bound overflow;
    float expected;
};

void PrintTo(const LimitsCase& c, std::ostream* os) { *os << c.name; }

std::unique_ptr<CSensoren> MakeVirtual(const char* identifier, const char* formula, Bound lower,
                                       Bound upper, Bound underflow, Bound overflow) {
    auto sensor = std::make_unique<CSensoren>();
    sensor->m_identifier = identifier;
    sensor->m_virtual = true;
    sensor->m_formula = formula;
    // As loading does: the number is the text's decimal conversion, whatever the format.
    sensor->m_lowerLimitText = lower.text;
    sensor->m_lowerLimitFormat = lower.format;
    sensor->m_lowerLimit = static_cast<float>(TextNumbers::Atof(lower.text));
    sensor->m_upperLimitText = upper.text;
    sensor->m_upperLimitFormat = upper.format;
    sensor->m_upperLimit = static_cast<float>(TextNumbers::Atof(upper.text));
    sensor->m_underflowText = underflow.text;
    sensor->m_underflowFormat = underflow.format;
    sensor->m_overflowText = overflow.text;
    sensor->m_overflowFormat = overflow.format;
    return sensor;
}

class EvaluateVirtualSensorTest : public ::testing::TestWithParam<LimitsCase> {};

TEST_P(EvaluateVirtualSensorTest, GivesTheBoundedValue) {
    const LimitsCase& c = GetParam();
    CFormelParser parser;
    Fill(parser, c.record);
    const auto sensor = MakeVirtual("VS", c.formula, c.lower, c.upper, c.underflow, c.overflow);

    EXPECT_EQ(EvaluateVirtualSensor(parser, *sensor), c.expected);
}

constexpr Bound kNone{"", 0};
constexpr Bound kMinus50{"-50", 0};
constexpr Bound k50{"50", 0};

INSTANTIATE_TEST_SUITE_P(
    Cases, EvaluateVirtualSensorTest,
    ::testing::Values(
        LimitsCase{"WithinLimits", "TA*2", {{"TA", 10}}, kMinus50, k50, kNone, kNone, 20},
        LimitsCase{"OverflowWithoutReplacement",
                   "TA*2",
                   {{"TA", 30}},
                   kMinus50,
                   k50,
                   kNone,
                   kNone,
                   kInvalid},
        LimitsCase{"UnderflowWithoutReplacement",
                   "TA*2",
                   {{"TA", -30}},
                   kMinus50,
                   k50,
                   kNone,
                   kNone,
                   kInvalid},
        LimitsCase{"OverflowNumber", "TA*2", {{"TA", 30}}, kMinus50, k50, kNone, {"50", 1}, 50},
        LimitsCase{
            "UnderflowNumber", "TA*2", {{"TA", -30}}, kMinus50, k50, {"-50.5", 1}, kNone, -50.5f},
        LimitsCase{"OverflowFromVariable",
                   "TA*2",
                   {{"TA", 30}, {"TI", 7}},
                   kMinus50,
                   k50,
                   kNone,
                   {"TI", 2},
                   7},
        LimitsCase{"UnderflowFromVariable",
                   "TA*2",
                   {{"TA", -30}, {"TI", -7}},
                   kMinus50,
                   k50,
                   {"TI", 2},
                   kNone,
                   -7},
        LimitsCase{"ReplacementVariableMissing",
                   "TA*2",
                   {{"TA", 30}},
                   kMinus50,
                   k50,
                   kNone,
                   {"TI", 2},
                   kInvalid},
        LimitsCase{"UnknownReplacementFormat",
                   "TA*2",
                   {{"TA", 30}},
                   kMinus50,
                   k50,
                   kNone,
                   {"50", 3},
                   kInvalid},
        LimitsCase{
            "LowerLimitIsInclusive", "TA*2", {{"TA", -25}}, kMinus50, k50, {"0", 1}, kNone, -50},
        LimitsCase{
            "UpperLimitIsInclusive", "TA*2", {{"TA", 25}}, kMinus50, k50, kNone, {"0", 1}, 50},
        LimitsCase{"UpperLimitFromVariable",
                   "TA*2",
                   {{"TA", 10}, {"TI", 15}},
                   kMinus50,
                   {"TI", 1},
                   kNone,
                   {"99", 1},
                   99},
        LimitsCase{"UpperLimitFromVariableKeeps",
                   "TA*2",
                   {{"TA", 5}, {"TI", 15}},
                   kMinus50,
                   {"TI", 1},
                   kNone,
                   {"99", 1},
                   10},
        LimitsCase{"MissingUpperLimitVariableOverflowsEverything",
                   "TA*2",
                   {{"TA", -10}},
                   kMinus50,
                   {"TI", 1},
                   kNone,
                   {"99", 1},
                   99},
        LimitsCase{"LowerLimitFromVariableIsInclusive",
                   "TA*2",
                   {{"TA", 10}, {"TI", 20}},
                   {"TI", 1},
                   k50,
                   {"-1", 1},
                   kNone,
                   20},
        LimitsCase{"LimitFormatOtherThanOneUsesTheNumber",
                   "TA*2",
                   {{"TA", 30}},
                   kMinus50,
                   {"100", 2},
                   kNone,
                   kNone,
                   60},
        LimitsCase{"DivisionByZeroOverflows",
                   "1/TA",
                   {{"TA", 0}},
                   kMinus50,
                   k50,
                   {"-1", 1},
                   {"999", 1},
                   999},
        LimitsCase{
            "NaNUnderflows", "SQRT(TA)", {{"TA", -4}}, kMinus50, k50, {"-1", 1}, {"999", 1}, -1},
        LimitsCase{"MissingVariableSkipsReplacements",
                   "TA*2",
                   {{"TI", 1}},
                   kMinus50,
                   k50,
                   {"-1", 1},
                   {"999", 1},
                   kInvalid},
        LimitsCase{"InvalidVariableSkipsReplacements",
                   "TA*2",
                   {{"TA", kInvalid}},
                   kMinus50,
                   k50,
                   {"-1", 1},
                   {"999", 1},
                   kInvalid},
        LimitsCase{"SyntaxErrorSkipsReplacements",
                   "TA)",
                   {{"TA", 1}},
                   kMinus50,
                   k50,
                   {"-1", 1},
                   {"999", 1},
                   kInvalid},
        LimitsCase{"LowerCaseFormula",
                   "ta+1",
                   {{"TA", 1}},
                   kMinus50,
                   k50,
                   {"-1", 1},
                   {"999", 1},
                   kInvalid},
        LimitsCase{"SpaceInFormula",
                   "TA +1",
                   {{"TA", 1}},
                   kMinus50,
                   k50,
                   {"-1", 1},
                   {"999", 1},
                   kInvalid}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ApplyLimits, InfinitiesTakeTheReplacementOfTheirSide) {
    CFormelParser parser;
    const auto sensor = MakeVirtual("VS", "", kMinus50, k50, {"-1", 1}, {"1", 1});
    const float infinity = std::numeric_limits<float>::infinity();

    EXPECT_EQ(ApplyLimits(parser, *sensor, infinity), 1.0f);
    EXPECT_EQ(ApplyLimits(parser, *sensor, -infinity), -1.0f);
    EXPECT_EQ(ApplyLimits(parser, *sensor, std::nanf("")), -1.0f);
}

TEST(ComputeVirtualSensors, EvaluatesVirtualSensorsInListOrderAndNeverFromEachOther) {
    std::vector<std::unique_ptr<CSensoren>> sensors;
    sensors.push_back(std::make_unique<CSensoren>());
    sensors.back()->m_identifier = "TA";
    sensors.push_back(MakeVirtual("VB", "TA+1", kMinus50, k50, kNone, kNone));
    sensors.push_back(std::make_unique<CSensoren>());
    sensors.back()->m_identifier = "TI";
    sensors.push_back(MakeVirtual("VA", "VB*2", kMinus50, k50, kNone, kNone));
    sensors.push_back(MakeVirtual("VC", "TI-TA", kMinus50, k50, kNone, kNone));
    CFormelParser parser;
    Fill(parser, {{"TA", 4}, {"TI", 10}});

    std::vector<std::pair<std::size_t, float>> results;
    ComputeVirtualSensors(parser, sensors,
                          [&](std::size_t index, const CSensoren& sensor, float value) {
                              EXPECT_EQ(&sensor, sensors[index].get());
                              results.emplace_back(index, value);
                          });

    using Results = std::vector<std::pair<std::size_t, float>>;
    EXPECT_EQ(results, (Results{{1, 5.0f}, {3, kInvalid}, {4, 6.0f}}));
    float unused = 0.0f;
    EXPECT_FALSE(parser.GetVariable("VB", unused)) << "results are not parser variables";
}

}  // namespace
