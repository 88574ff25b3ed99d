#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ScriptedUi.h"
#include "TempFolder.h"
#include "model/ErrorLog.h"

namespace {
const std::string kFrame(92, '#');

class ErrorLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
    TempFolder folder;
    ManualClock clock{1709474700};  // 03.03.2024 14:05:00 UTC
    ManualEventQueue events;
    ScriptedUi ui;
    ErrorLog log{folder.File("ErrLog.txt"), clock, events, ui};
};

TEST_F(ErrorLogTest, EntryIsFramedDatedAndWrittenWithTextModeLineEnds) {
    ASSERT_TRUE(log.WriteErrorLog("Receive no data!\nAction:"));
    const std::string expected =
        kFrame + "\r\r\n<03.03.2024>  <14:05:00>  Receive no data!\r\nAction:\r\r\n" + kFrame +
        "\r\r\n\r\r\n\r\r\n\r\r\n";
    EXPECT_EQ(folder.Read("ErrLog.txt"), expected);
}

TEST_F(ErrorLogTest, EntriesAreAppendedAndDateAndTimeAreOptional) {
    ASSERT_TRUE(log.WriteErrorLog("first"));
    ASSERT_TRUE(log.WriteErrorLog("second", false, false));
    const std::string content = folder.Read("ErrLog.txt");
    EXPECT_EQ(content.find("first"), kFrame.size() + 3 + 14 + 12);
    EXPECT_NE(content.find(kFrame + "\r\r\nsecond\r\r\n"), std::string::npos);
}

TEST_F(ErrorLogTest, EmptyTextWritesNothingAndFails) {
    EXPECT_FALSE(log.WriteErrorLog(""));
    EXPECT_EQ(folder.Read("ErrLog.txt"), "<missing>");
}

TEST_F(ErrorLogTest, LogOfTenMillionBytesIsEmptiedBeforeTheNextEntry) {
    const std::string path = folder.File("ErrLog.txt");
    ASSERT_EQ(truncate(folder.Write("ErrLog.txt", "old").c_str(), 9999999), 0);
    ASSERT_TRUE(log.WriteErrorLog("kept"));
    EXPECT_GT(folder.Read("ErrLog.txt").size(), 9999999u)
        << "just below the limit nothing is emptied";

    ASSERT_EQ(truncate(path.c_str(), ErrorLog::kMaxBytes), 0);
    ASSERT_TRUE(log.WriteErrorLog("fresh"));
    EXPECT_EQ(folder.Read("ErrLog.txt"), ErrorLog::BuildEntry("fresh", clock.Now(), true, true));
}

TEST_F(ErrorLogTest, UnwritableLogShowsTheSystemTextAndFails) {
    ErrorLog nowhere(folder.File("missing-folder/ErrLog.txt"), clock, events, ui);
    EXPECT_FALSE(nowhere.WriteErrorLog("lost"));
    EXPECT_TRUE(ui.Messages().empty()) << "the message waits for the user-interface thread";
    events.RunPending();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0], "ErrLog.txt: No such file or directory")
        << "the box alone says which file is meant";
}
}  // namespace
