#include <gtest/gtest.h>

#include "model/CommandLine.h"

namespace {
struct Row {
    const char* name;
    std::vector<std::string> arguments;
    CommandLineOptions expected;
};

constexpr ClockMode kPc = ClockMode::kPcSetsStation;
constexpr ClockMode kGps = ClockMode::kStationSetsPc;
constexpr ClockMode kNo = ClockMode::kWarnOnly;

class CommandLineTest : public ::testing::TestWithParam<Row> {};

TEST_P(CommandLineTest, SetsClockModeAndSwitches) {
    EXPECT_EQ(ParseCommandLine(GetParam().arguments), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandLineTest,
    ::testing::Values(
        Row{"Empty", {}, {kPc, false, false}},
        Row{"GpsSilentLowerCase", {"-gps", "-silent"}, {kGps, true, false}},
        Row{"NoResetNotFirst", {"x", "-!pr"}, {kPc, false, true}},
        Row{"NoClock", {"-No"}, {kNo, false, false}},
        Row{"ClockModeOnlyFromFirst", {"-SILENT", "-GPS"}, {kPc, true, false}},
        Row{"ClockModeMatchedExactly", {"-PCX"}, {kPc, false, false}},
        Row{"SwitchesFoundInsideArguments", {"-pc", "x-silenty", "a-!PRb"}, {kPc, true, true}}),
    [](const auto& info) { return std::string(info.param.name); });
}  // namespace
