#include <gtest/gtest.h>

#include "display/DirectionSwing.h"

namespace {

// An update repaints the display about three times (the values, the "Data..."
// notice, its end); an extreme holds for 25 repaints, so for eight updates.
TEST(DirectionSwing, CollapsesToThePresentDirectionAfter25RepaintsWithoutANewExtreme) {
    DirectionSwing swing;
    swing.Take(10);
    swing.Take(50);
    for (int i = 0; i < 6; ++i) swing.Take(30);
    EXPECT_EQ(swing.From(), 10);
    EXPECT_EQ(swing.To(), 50);
    // The minimum was set one update earlier than the maximum and goes first.
    swing.Take(30);
    EXPECT_EQ(swing.From(), 30);
    EXPECT_EQ(swing.To(), 50);
    swing.Take(30);
    EXPECT_EQ(swing.From(), 30);
    EXPECT_EQ(swing.To(), 30);
}

TEST(DirectionSwing, ANewExtremeStartsItsHoldAgain) {
    DirectionSwing swing;
    swing.Take(10);
    for (int i = 0; i < 5; ++i) swing.Take(30);
    swing.Take(5);
    for (int i = 0; i < 7; ++i) swing.Take(30);
    EXPECT_EQ(swing.From(), 5) << "set 23 repaints ago";
    EXPECT_EQ(swing.To(), 30);
    swing.Take(30);
    EXPECT_EQ(swing.From(), 30);
}

TEST(DirectionSwing, AcrossNorthTheSwingIsTheShortWay) {
    DirectionSwing swing;
    swing.Take(350);
    swing.Take(10);
    EXPECT_EQ(swing.From(), 350);
    EXPECT_EQ(swing.To(), 10);
    EXPECT_EQ(swing.FromSigned(), -10);
    EXPECT_EQ(swing.ToSigned(), 10);
}

// As -180..179, 359 is -1: it must count as a minimum like any other direction.
TEST(DirectionSwing, ThreeHundredFiftyNineIsAnExtremeLikeAnyOther) {
    DirectionSwing swing;
    swing.Take(359);
    swing.Take(5);
    EXPECT_EQ(swing.From(), 359);
    EXPECT_EQ(swing.To(), 5);
}

TEST(DirectionSwing, NoDirectionLeavesTheSwingAsItIs) {
    DirectionSwing swing;
    for (int none : {-1, 360, -99999, 1000}) swing.Take(none);
    EXPECT_FALSE(swing.Known());
    swing.Take(20);
    swing.Take(-1);
    EXPECT_TRUE(swing.Known());
    EXPECT_EQ(swing.From(), 20);
    swing.Clear();
    EXPECT_FALSE(swing.Known());
}

}  // namespace
