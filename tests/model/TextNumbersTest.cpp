#include <gtest/gtest.h>

#include <climits>
#include <clocale>
#include <cmath>

#include "model/TextNumbers.h"

using namespace TextNumbers;

TEST(TextNumbersTest, AtoiFollowsTheStandardLibrary) {
    const std::pair<const char*, int> rows[] = {{"42", 42},
                                                {"  -7x", -7},
                                                {"+3", 3},
                                                {"B42", 0},
                                                {"", 0},
                                                {"12.9", 12},
                                                {"99999999999", INT_MAX},
                                                {"-99999999999", INT_MIN},
                                                {"\t\n5", 5},
                                                {"- 5", 0}};
    for (const auto& [text, value] : rows) EXPECT_EQ(Atoi(text), value) << text;
}

TEST(TextNumbersTest, AtofIgnoresTheDesktopLocale) {
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // may be missing; the point is the same either way
    const std::pair<const char*, double> rows[] = {
        {"60.0", 60.0},  {" 15.5s", 15.5}, {"-0.25", -0.25}, {"*1", 0.0},   {"", 0.0},
        {"1e3", 1000.0}, {".5", 0.5},      {"12,5", 12.0},   {"0x10", 0.0}, {"1e-999", 0.0}};
    for (const auto& [text, value] : rows) EXPECT_DOUBLE_EQ(Atof(text), value) << text;
    EXPECT_TRUE(std::isinf(Atof("1e999")));
    std::setlocale(LC_NUMERIC, "C");
}

TEST(TextNumbersTest, JaIsCaseInsensitiveAndWhole) {
    EXPECT_TRUE(IsJa("ja"));
    EXPECT_TRUE(IsJa("JA"));
    EXPECT_TRUE(IsJa("jA"));
    EXPECT_FALSE(IsJa("1"));
    EXPECT_FALSE(IsJa("nein"));
    EXPECT_FALSE(IsJa("jaa"));
    EXPECT_FALSE(IsJa(" ja"));
}

TEST(TextNumbersTest, FixedFormatIsPrintfsWithADecimalPointAlways) {
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(FormatFixed(12.5, 2), "12.50");
    EXPECT_EQ(FormatFixed(71.0f, 0), "71");
    EXPECT_EQ(FormatFixed(1.8), "1.800000");
    EXPECT_EQ(FormatFixed(-0.005, 2), "-0.01");
    EXPECT_EQ(FormatFixed(-99999.0f, 2), "-99999.00");
    std::setlocale(LC_NUMERIC, "C");
}

TEST(TextNumbersTest, FloatConversionSaturatesInsteadOfOverflowing) {
    EXPECT_EQ(AtofFloat("12.5"), 12.5f);
    EXPECT_TRUE(std::isinf(AtofFloat("1e300")));
    EXPECT_LT(AtofFloat("-1e300"), 0.0f);
}
