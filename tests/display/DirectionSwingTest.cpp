#include <gtest/gtest.h>

#include "display/DirectionSwing.h"

namespace {

TEST(DirectionSwing, CollapsesToThePresentDirectionAfter25UpdatesWithoutANewExtreme) {
    DirectionSwing swing;
    swing.Take(10);
    swing.Take(50);
    for (int i = 0; i < 24; ++i) swing.Take(30);
    // The minimum was set one update earlier than the maximum and goes first.
    EXPECT_EQ(swing.From(), 30);
    EXPECT_EQ(swing.To(), 50);
    swing.Take(30);
    EXPECT_EQ(swing.From(), 30);
    EXPECT_EQ(swing.To(), 30);
}

TEST(DirectionSwing, ANewExtremeStartsItsHoldAgain) {
    DirectionSwing swing;
    swing.Take(40);
    for (int i = 0; i < 20; ++i) swing.Take(40);
    swing.Take(60);
    for (int i = 0; i < 24; ++i) swing.Take(45);
    EXPECT_EQ(swing.To(), 60);
    EXPECT_EQ(swing.From(), 45) << "40 was last beaten 45 updates ago";
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
