#include <gtest/gtest.h>

#include "model/CommandLine.h"

namespace {
struct Row {
    const char* name;
    std::vector<std::string> arguments;
    CommandLineOptions expected;
};

class CommandLineTest : public ::testing::TestWithParam<Row> {};

TEST_P(CommandLineTest, SetsClockModeAndSwitches) {
    EXPECT_EQ(ParseCommandLine(GetParam().arguments), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CommandLineTest,
    ::testing::Values(
        Row{"Empty", {}, {1, false, false}},
        Row{"GpsSilentLowerCase", {"-gps", "-silent"}, {2, true, false}},
        Row{"NoResetNotFirst", {"x", "-!pr"}, {1, false, true}},
        Row{"NoClock", {"-No"}, {3, false, false}},
        Row{"ClockModeOnlyFromFirst", {"-SILENT", "-GPS"}, {1, true, false}},
        Row{"ClockModeMatchedExactly", {"-PCX"}, {1, false, false}},
        Row{"SwitchesFoundInsideArguments", {"-pc", "x-silenty", "a-!PRb"}, {1, true, true}}),
    [](const auto& info) { return std::string(info.param.name); });
}  // namespace
