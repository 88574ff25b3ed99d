// Stored window rectangles brought back onto the screens: whatever a settings
// file holds, the window opens whole on one screen and no larger than it.
#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <vector>

#include "display/ScreenFit.h"

namespace {

// A primary screen with a panel at the bottom, a second one to its right and
// a third to the left of the primary.
constexpr ScreenRect kPrimary{0, 0, 1920, 1040};
constexpr ScreenRect kRight{1920, 0, 1280, 1024};
constexpr ScreenRect kLeft{-1280, 200, 1280, 800};
constexpr ScreenSize kMinimum{400, 300};

struct FitRow {
    const char* name;
    std::vector<ScreenRect> screens;
    ScreenRect wanted;
    ScreenRect fitted;
};
void PrintTo(const FitRow& row, std::ostream* os) { *os << row.name; }

bool Within(const ScreenRect& rect, const ScreenRect& screen) {
    return rect.x >= screen.x && rect.y >= screen.y &&
           static_cast<long long>(rect.x) + rect.width <=
               static_cast<long long>(screen.x) + screen.width &&
           static_cast<long long>(rect.y) + rect.height <=
               static_cast<long long>(screen.y) + screen.height;
}

class Fits : public ::testing::TestWithParam<FitRow> {};

TEST_P(Fits, TheWindowLiesWholeOnOneScreen) {
    const FitRow& row = GetParam();
    const ScreenRect fitted = FitToScreens(row.wanted, row.screens, kMinimum);
    EXPECT_EQ(fitted, row.fitted) << fitted.x << "," << fitted.y << " " << fitted.width << "x"
                                  << fitted.height;
    bool onAScreen = row.screens.empty() && Within(fitted, kFallbackScreen);
    for (const ScreenRect& screen : row.screens) onAScreen = onAScreen || Within(fitted, screen);
    EXPECT_TRUE(onAScreen);
}

const std::vector<ScreenRect> kOne{kPrimary};
const std::vector<ScreenRect> kTwo{kPrimary, kRight};

INSTANTIATE_TEST_SUITE_P(
    Rows, Fits,
    ::testing::Values(
        FitRow{"OnTheScreenStaysAsItIs", kOne, {100, 80, 800, 600}, {100, 80, 800, 600}},
        FitRow{"WholeScreenStaysAsItIs", kOne, kPrimary, kPrimary},
        FitRow{"HugeShrinksToTheScreen", kOne, {0, 0, 20000, 20000}, kPrimary},
        FitRow{"HugeOverTwoScreensTakesTheOneShowingMost", kTwo, {0, 0, 20000, 20000}, kPrimary},
        FitRow{"LeftOfTheScreenMovesIn", kOne, {-30, 50, 960, 600}, {0, 50, 960, 600}},
        FitRow{"TitleAboveTheScreenMovesDown", kOne, {100, -200, 800, 600}, {100, 0, 800, 600}},
        FitRow{"BelowThePanelMovesUp", kOne, {100, 900, 800, 600}, {100, 440, 800, 600}},
        FitRow{"FarOffComesToTheNearestScreen",
               kTwo,
               {10000, 300, 800, 600},
               {2400, 300, 800, 600}},
        FitRow{"FarOffUpLeftComesToThePrimary", kTwo, {-5000, -5000, 800, 600}, {0, 0, 800, 600}},
        FitRow{"OnTheSecondScreenStays", kTwo, {2000, 100, 800, 600}, {2000, 100, 800, 600}},
        FitRow{"AcrossTwoScreensGoesToTheOneShowingMore",
               kTwo,
               {1700, 100, 800, 600},
               {1920, 100, 800, 600}},
        FitRow{"TooBigForTheSecondScreenShrinksToIt",
               kTwo,
               {2000, 0, 1500, 1200},
               {1920, 0, 1280, 1024}},
        FitRow{"ScreenLeftOfThePrimaryIsUsed",
               {kPrimary, kLeft},
               {-1000, 300, 800, 600},
               {-1000, 300, 800, 600}},
        FitRow{"SmallerThanTheMinimumGrows", kOne, {100, 100, 50, 20}, {100, 100, 400, 300}},
        FitRow{"NegativeSizeTakesTheMinimum", kOne, {100, 100, -500, -1}, {100, 100, 400, 300}},
        FitRow{"MinimumBiggerThanTheScreenGivesTheScreen",
               {{0, 0, 320, 240}},
               {50, 50, 100, 100},
               {0, 0, 320, 240}},
        FitRow{"ExtremeNumbersNeitherOverflowNorLeaveTheScreen",
               kTwo,
               {INT_MIN, INT_MAX, INT_MAX, INT_MAX},
               kPrimary},
        FitRow{"ExtremeNumbersTheOtherWay",
               kTwo,
               {INT_MAX, INT_MIN, INT_MIN, INT_MAX},
               {2800, 0, 400, 1024}},
        FitRow{"EmptyScreensAreSkipped",
               {{0, 0, 0, 0}, {100, 100, -5, 600}, kRight},
               {0, 0, 800, 600},
               {1920, 0, 800, 600}},
        FitRow{"NoScreenKeepsItWithinTheFallback",
               {},
               {-50, 3000, 20000, 20000},
               kFallbackScreen}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
