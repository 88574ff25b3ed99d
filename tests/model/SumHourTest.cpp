#include <gtest/gtest.h>

#include <ctime>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "model/CSumHour.h"

namespace {

constexpr std::time_t kT0 = 1'700'000'000;

using Sample = std::pair<std::time_t, float>;  // seconds after kT0, value

struct WindowCase {
    const char* name;
    std::vector<Sample> added;
    std::vector<std::time_t> kept;  // seconds after kT0, oldest first
    float total;
};

void PrintTo(const WindowCase& c, std::ostream* os) { *os << c.name; }

class SumHourWindow : public ::testing::TestWithParam<WindowCase> {};

TEST_P(SumHourWindow, KeepsTheLastHourBeforeTheNewestValue) {
    const WindowCase& c = GetParam();
    CSumHour sum;
    for (const auto& [offset, value] : c.added) sum.Add(value, 300, kT0 + offset);

    std::vector<std::time_t> kept;
    for (const CSumHour::Value& v : sum.Values) kept.push_back(v.m_time - kT0);
    EXPECT_EQ(kept, c.kept);
    EXPECT_FLOAT_EQ(sum.Total, c.total);
}

// Thirteen values 300 s apart: the first is exactly 3600 s older than the last.
std::vector<Sample> ThirteenIntervals() {
    std::vector<Sample> samples;
    for (int i = 0; i <= 12; ++i) samples.emplace_back(i * 300, static_cast<float>(i + 1));
    return samples;
}

std::vector<std::time_t> KeptFrom(std::time_t first, std::time_t last) {
    std::vector<std::time_t> kept;
    for (std::time_t t = first; t <= last; t += 300) kept.push_back(t);
    return kept;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SumHourWindow,
    ::testing::Values(
        WindowCase{"FirstValueStandsAlone", {{0, 0.5f}}, {0}, 0.5f},
        // Twelve 5-minute values make one hour; 2 + ... + 13.
        WindowCase{"ValueExactlyAnHourOlderLeaves", ThirteenIntervals(), KeptFrom(300, 3600),
                   90.0f},
        WindowCase{"ValueJustUnderAnHourOlderStays", {{0, 1}, {3599, 2}}, {0, 3599}, 3.0f},
        WindowCase{"SeveralLeaveAtOnceAfterAGap",
                   {{0, 1}, {300, 2}, {600, 4}, {900, 8}, {4400, 16}},
                   {900, 4400},
                   24.0f},
        WindowCase{"AllLeaveAfterALongGap", {{0, 1}, {300, 2}, {9000, 4}}, {9000}, 4.0f},
        // A failed formula stays in the window but must not turn the sum into -99998.
        WindowCase{
            "MissingValueAddsNothing", {{0, 1}, {300, -99999.0f}, {600, 2}}, {0, 300, 600}, 3.0f}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
