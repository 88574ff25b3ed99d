#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "model/CSensoren.h"
#include "storage/CAktuell.h"

namespace {

struct ValueRow {
    const char* name;
    float raw;
    float shown;
};
void PrintTo(const ValueRow& row, std::ostream* os) { *os << row.name; }

class CAktuellValues : public ::testing::TestWithParam<ValueRow> {};

// Limits -50..100, factor 2, offset 1.
TEST_P(CAktuellValues, LimitsAreInclusiveAndInvalidValuesEnterTheHistoryAsMissing) {
    CSensoren sensor;
    sensor.m_lowerLimit = -50.0f;
    sensor.m_upperLimit = 100.0f;
    sensor.m_factor = 2.0f;
    sensor.m_offset = 1.0f;
    CAktuell current("TE", &sensor);
    current.SetValue(GetParam().raw, 1000);
    EXPECT_FLOAT_EQ(current.m_rawValue, GetParam().raw) << "the raw value is kept as received";
    EXPECT_FLOAT_EQ(current.m_value, GetParam().shown);
    ASSERT_EQ(current.m_history.size(), 1u);
    EXPECT_FLOAT_EQ(current.m_history.back().m_value, GetParam().shown);
    EXPECT_EQ(current.m_history.back().m_time, 1000);
    EXPECT_EQ(current.m_time, 1000);
}

INSTANTIATE_TEST_SUITE_P(Rows, CAktuellValues,
                         ::testing::Values(ValueRow{"LowerLimit", -50.0f, -99.0f},
                                           ValueRow{"UpperLimit", 100.0f, 201.0f},
                                           ValueRow{"Inside", 10.0f, 21.0f},
                                           ValueRow{"BelowLower", -50.5f, -99999.0f},
                                           ValueRow{"AboveUpper", 100.5f, -99999.0f},
                                           ValueRow{"StationInvalid", -999999.0f, -99999.0f}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(CAktuell, VirtualSensorValueIsShownAsComputed) {
    CSensoren sensor;
    sensor.m_virtual = true;
    sensor.m_factor = 2.0f;
    CAktuell current("TM", &sensor);
    current.SetValue(12345.0f, 5);
    EXPECT_FLOAT_EQ(current.m_value, 12345.0f);
}

TEST(CAktuell, The368thValueDropsTheOldest) {
    CSensoren sensor;
    sensor.m_upperLimit = 1000.0f;
    sensor.m_factor = 1.0f;
    CAktuell current("TE", &sensor);
    for (int i = 1; i <= 368; ++i) current.SetValue(static_cast<float>(i), i);
    ASSERT_EQ(current.m_history.size(), CAktuell::kMaxHistory);
    EXPECT_FLOAT_EQ(current.m_history.front().m_value, 2.0f);
    EXPECT_FLOAT_EQ(current.m_history.back().m_value, 368.0f);
    EXPECT_FLOAT_EQ(current.m_statistics.Max, 368.0f);
    EXPECT_FLOAT_EQ(current.m_statistics.Min, 2.0f);
}

TEST(CAktuell, LoggerValueChangesOnlyRawValueAndTime) {
    CSensoren sensor;
    sensor.m_upperLimit = 100.0f;
    sensor.m_factor = 1.0f;
    CAktuell current("TE", &sensor);
    current.SetValue(5.0f, 10);
    current.SetRawValue(7.0f, 20);
    EXPECT_FLOAT_EQ(current.m_rawValue, 7.0f);
    EXPECT_EQ(current.m_time, 20);
    EXPECT_FLOAT_EQ(current.m_value, 5.0f);
    EXPECT_EQ(current.m_history.size(), 1u);
}

}  // namespace
