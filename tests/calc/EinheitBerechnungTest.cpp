#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "calc/CEinheitBerechnung.h"
#include "model/CSensoren.h"

namespace {

using Limits = CEinheitBerechnung::Limits;
constexpr float kInvalid = -99999.0f;

TEST(BeaufortNummer, EachBoundBelongsToItsNumberAndTheNextFloatToTheNext) {
    // Written out again rather than taken from the code, so that a wrong bound shows.
    const float bounds[] = {0.7f,  5.4f,   11.9f,  19.4f,  28.4f,  38.5f,  49.5f,  61.6f, 74.5f,
                            87.8f, 102.2f, 117.4f, 132.8f, 149.0f, 166.0f, 183.2f, 201.6f};
    const CEinheitBerechnung conversion;
    for (unsigned number = 0; number < 17; ++number) {
        const float bound = bounds[number];
        EXPECT_EQ(conversion.BeaufortNummer(bound), number) << bound;
        EXPECT_EQ(conversion.BeaufortNummer(std::nextafter(bound, 1000.0f)), number + 1) << bound;
    }
}

TEST(BeaufortNummer, SpeedsOutsideTheTable) {
    const CEinheitBerechnung conversion;
    EXPECT_EQ(conversion.BeaufortNummer(0.71f), 1u);
    EXPECT_EQ(conversion.BeaufortNummer(117.5f), 12u);
    EXPECT_EQ(conversion.BeaufortNummer(49.7f), 7u);  // force 6 ends at 49.5
    EXPECT_EQ(conversion.BeaufortNummer(250.0f), 17u);
    EXPECT_EQ(conversion.BeaufortNummer(std::numeric_limits<float>::quiet_NaN()), 17u);
    EXPECT_EQ(conversion.BeaufortNummer(std::numeric_limits<float>::infinity()), 17u);
    EXPECT_EQ(conversion.BeaufortNummer(-5.0f), 0u);
    EXPECT_EQ(conversion.BeaufortNummer(kInvalid), 0u);
}

struct ConvertCase {
    const char* name;
    float raw;
    Limits limits;
    bool isVirtual;
    bool beaufort;
    float factor;
    float offset;
    float expected;  // NaN: expect NaN
};

void PrintTo(const ConvertCase& c, std::ostream* os) { *os << c.name; }

class ConvertValue : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertValue, GivesTheShownValue) {
    const ConvertCase& c = GetParam();
    CSensoren sensor;
    sensor.m_lowerLimit = -40.0f;
    sensor.m_upperLimit = 60.0f;
    sensor.m_virtual = c.isVirtual;
    sensor.m_beaufort = c.beaufort;
    sensor.m_factor = c.factor;
    sensor.m_offset = c.offset;

    const float value = CEinheitBerechnung().ConvertValue(c.raw, sensor, c.limits);

    if (std::isnan(c.expected)) {
        EXPECT_TRUE(std::isnan(value)) << value;
    } else {
        EXPECT_EQ(value, c.expected);
    }
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Limits of every case: -40 to 60.
INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertValue,
    ::testing::Values(
        ConvertCase{"FahrenheitAtReception", 20.0f, Limits::Check, false, false, 1.8f, 32.0f,
                    68.0f},
        ConvertCase{"FahrenheitInReader", 20.0f, Limits::KeepStoredInvalid, false, false, 1.8f,
                    32.0f, 68.0f},
        ConvertCase{"LowerLimitIsValid", -40.0f, Limits::Check, false, false, 1.0f, 1.0f, -39.0f},
        ConvertCase{"UpperLimitIsValid", 60.0f, Limits::Check, false, false, 1.0f, 1.0f, 61.0f},
        ConvertCase{"BelowLowerLimitIsInvalid", -40.5f, Limits::Check, false, false, 1.0f, 1.0f,
                    kInvalid},
        ConvertCase{"AboveUpperLimitIsInvalid", 60.5f, Limits::Check, false, false, 1.0f, 1.0f,
                    kInvalid},
        ConvertCase{"NaNIsInvalidAtReception", kNaN, Limits::Check, false, false, 1.0f, 1.0f,
                    kInvalid},
        ConvertCase{"StationInvalidAtReception", -999999.0f, Limits::Check, false, false, 1.0f,
                    0.0f, kInvalid},
        ConvertCase{"ReaderIgnoresLimits", 100.0f, Limits::KeepStoredInvalid, false, false, 2.0f,
                    1.0f, 201.0f},
        ConvertCase{"ReaderKeepsStoredInvalid", kInvalid, Limits::KeepStoredInvalid, false, false,
                    1.8f, 32.0f, kInvalid},
        ConvertCase{"ReaderKeepsStoredInvalidOfBeaufortSensor", kInvalid, Limits::KeepStoredInvalid,
                    false, true, 1.0f, 0.0f, kInvalid},
        ConvertCase{"ReaderConvertsNaNUnchecked", kNaN, Limits::KeepStoredInvalid, false, false,
                    1.0f, 0.0f, kNaN},
        ConvertCase{"BeaufortIgnoresFactorAndOffset", 20.0f, Limits::Check, false, true, 3.0f, 5.0f,
                    4.0f},
        ConvertCase{"BeaufortInReader", 5.4f, Limits::KeepStoredInvalid, false, true, 1.0f, 0.0f,
                    1.0f},
        ConvertCase{"BeaufortAboveLimitIsInvalid", 70.0f, Limits::Check, false, true, 1.0f, 0.0f,
                    kInvalid},
        ConvertCase{"FactorZeroGivesOffset", 12.0f, Limits::Check, false, false, 0.0f, 3.5f, 3.5f},
        ConvertCase{"VirtualOutsideLimitsUnchanged", 500.0f, Limits::Check, true, false, 2.0f, 1.0f,
                    500.0f},
        ConvertCase{"VirtualNaNUnchanged", kNaN, Limits::Check, true, false, 1.0f, 0.0f, kNaN},
        ConvertCase{"VirtualInvalidUnchangedInReader", kInvalid, Limits::KeepStoredInvalid, true,
                    true, 2.0f, 1.0f, kInvalid}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
