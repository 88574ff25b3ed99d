// Setting the clocks: the clock dialog's choices and the live actions that
// record reception takes when a record's time is too far off.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "StationHome.h"
#include "app/ClockSync.h"
#include "model/Colours.h"
#include "model/OutputList.h"

namespace {

class ClockSync : public ::testing::Test, protected ManualWorld {
protected:
    static void SetUpTestSuite() { UseUtcZone(); }
    ClockSync() : ManualWorld(Utc(2024, 3, 10, 12, 0, 5)) { OutputList::Process().Clear(); }
};

TEST_F(ClockSync, DialogShowsRunningPcTimeAndStandingStationTime) {
    ClockSetting setting(clock, Utc(2024, 3, 10, 11, 0));
    EXPECT_EQ(setting.PcTimeText(), "12:00:05  10.03.24");
    clock.Advance(2000);
    EXPECT_EQ(setting.PcTimeText(), "12:00:07  10.03.24");
    EXPECT_EQ(setting.StationTimeText(), "11:00:00  10.03.24");
}

TEST_F(ClockSync, DialogChoices) {
    ClockSetting setting(clock, Utc(2024, 3, 10, 11, 0));
    setting.deleteLogger = true;
    ClockDialogResult result = setting.Accept();
    EXPECT_EQ(result.command, "!U120005100324");
    EXPECT_EQ(result.timeSent, Utc(2024, 3, 10, 12, 0, 5));
    EXPECT_TRUE(result.deleteLogger);

    setting.choice = ClockChoice::kPcFromStation;
    EXPECT_FALSE(setting.DeletionEnabled());
    result = setting.Accept();
    EXPECT_TRUE(result.command.empty());
    EXPECT_FALSE(result.deleteLogger) << "deleting goes only with setting the station";
    EXPECT_EQ(clock.pcClockSets, (std::vector<std::time_t>{Utc(2024, 3, 10, 11, 0)}));

    setting.choice = ClockChoice::kNone;
    setting.Accept();
    EXPECT_EQ(clock.pcClockSets.size(), 1u);
}

TEST_F(ClockSync, LiveStationClockIsQueuedBehindABusyWindow) {
    SetStationClockLive(context);
    EXPECT_EQ(process.PendingCommandText.Text(), "!U120005100324\r\n");
    EXPECT_TRUE(process.PendingCommandEvent.IsSet());
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].kind, "busy");
    EXPECT_EQ(ui.shown[0].text, "Setting station's clock");
    EXPECT_FALSE(ui.busy);
    EXPECT_NE(folder.Read("ErrLog.txt").find("Setting station's clock"), std::string::npos);
    const auto output = OutputList::Process().Snapshot();
    ASSERT_EQ(output.size(), 1u);
    EXPECT_EQ(output[0].colour, kColourAction);
}

TEST_F(ClockSync, LivePcClockRefusalIsShownInTheOutput) {
    clock.refusal = "Operation not permitted";
    SetPcClockLive(context, Utc(2024, 3, 10, 13, 0));
    EXPECT_FALSE(process.PendingCommandEvent.IsSet());
    const auto output = OutputList::Process().Snapshot();
    ASSERT_EQ(output.size(), 2u);
    EXPECT_EQ(output[0].text, "Setting computer's clock");
    EXPECT_EQ(output[1].text, "The computer's clock could not be set: Operation not permitted");
}

}  // namespace
