#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "FakeFileStore.h"
#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ScriptedUi.h"
#include "TempFolder.h"
#include "UtcTime.h"
#include "model/OutputList.h"
#include "platform/PosixFileStore.h"
#include "publish/AwekasLog.h"

namespace {

const std::string kFrame(92, '#');
const std::string kPath = "/station/AwekasLog.txt";

std::string Entry(const std::string& stamp, const std::string& text) {
    return kFrame + "\r\n" + stamp + "\r\n" + text + "\r\n" + kFrame + "\r\n\r\n\r\n";
}

class AwekasLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        UseUtcZone();
        OutputList::Process().Clear();
    }
    void TearDown() override { OutputList::Process().Clear(); }

    ManualClock clock{Utc(2024, 3, 3, 14, 5, 9)};
    ManualEventQueue events;
    ScriptedUi ui;
    FakeFileStore files;
    AwekasLog log{files, kPath, clock, events, ui, "wetter"};
};

TEST_F(AwekasLogTest, EntryIsFramedAndDatedWithBinaryLineEnds) {
    EXPECT_EQ(AwekasLog::BuildEntry("http://h/x?val=a;b;", Utc(2024, 3, 3, 14, 5, 9)),
              Entry("Sun 03.03.24 ; 14:05:09", "http://h/x?val=a;b;"));
    // An empty reply still gets its entry.
    EXPECT_EQ(AwekasLog::BuildEntry("", Utc(2024, 12, 31, 23, 59, 58)),
              Entry("Tue 31.12.24 ; 23:59:58", ""));
    // Line breaks inside the text are kept as they came (no text-mode doubling).
    EXPECT_EQ(AwekasLog::BuildEntry("HTTP/1.1 200 OK\r\n\r\nok", Utc(2024, 3, 4, 0, 0, 0)),
              Entry("Mon 04.03.24 ; 00:00:00", "HTTP/1.1 200 OK\r\n\r\nok"));
}

TEST_F(AwekasLogTest, DayNamesAreEnglishAbbreviations) {
    const char* names[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    for (int day = 0; day < 7; ++day) {
        const std::string entry = AwekasLog::BuildEntry("", Utc(2024, 3, 4 + day, 12, 0, 0));
        EXPECT_EQ(entry.substr(kFrame.size() + 2, 4), std::string(names[day]) + " ") << day;
    }
}

TEST_F(AwekasLogTest, EntriesAreAppendedAtTheCurrentTime) {
    files.files[kPath] = "old";
    ASSERT_TRUE(log.Write("first"));
    clock.Advance(61000);
    ASSERT_TRUE(log.Write("second"));
    EXPECT_EQ(files.Read(kPath), "old" + Entry("Sun 03.03.24 ; 14:05:09", "first") +
                                     Entry("Sun 03.03.24 ; 14:06:10", "second"));
    EXPECT_TRUE(files.replaces.empty());
    EXPECT_EQ(files.syncs, 0);
}

TEST_F(AwekasLogTest, LogLongerThanTenMillionBytesIsCutToItsFirstByte) {
    struct Row {
        std::size_t size;
        bool cut;
    };
    for (const Row& row :
         {Row{9999999, false}, Row{10000000, false}, Row{10000001, true}, Row{10000500, true}}) {
        std::string old(row.size, '.');
        old.front() = 'X';
        files.files[kPath] = old;
        files.replaces.clear();
        ASSERT_TRUE(log.Write("next"));
        const std::string expected =
            (row.cut ? std::string("X") : old) + Entry("Sun 03.03.24 ; 14:05:09", "next");
        EXPECT_TRUE(files.Read(kPath) == expected) << row.size;
        EXPECT_EQ(files.replaces.size(), row.cut ? 1u : 0u) << row.size;
    }
}

TEST_F(AwekasLogTest, CutWorksOnTheRealFileSystem) {
    TempFolder folder;
    const std::string path = folder.Write("AwekasLog.txt", "X");
    ASSERT_EQ(::truncate(path.c_str(), 10000001), 0);
    PosixFileStore disk;
    AwekasLog real(disk, path, clock, events, ui, "wetter");
    ASSERT_TRUE(real.Write("next"));
    EXPECT_EQ(folder.Read("AwekasLog.txt"), "X" + Entry("Sun 03.03.24 ; 14:05:09", "next"));
}

TEST_F(AwekasLogTest, UnwritableLogIsReportedOnceUntilTheBoxHasBeenShown) {
    files.appendError = EACCES;
    const std::string system = std::strerror(EACCES);
    EXPECT_FALSE(log.Write("a"));
    EXPECT_FALSE(log.Write("b"));

    const std::vector<tagOutpElm> lines = OutputList::Process().Snapshot();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(
        std::vector<tagOutpElm>(lines.begin(), lines.begin() + 3),
        (std::vector<tagOutpElm>{{"CDlgTerminal::OnInitDialogl", 0},
                                 {"Awekas", 0},
                                 {system + " <==> NR: " + std::to_string(EACCES), 0x312F97}}));
    EXPECT_TRUE(ui.shown.empty()) << "boxes belong to the user-interface thread";
    EXPECT_EQ(events.RunPending(), 1u);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "AwekasLog.txt: " + system) << "the box says which file is meant";
    EXPECT_EQ(ui.shown[0].caption, "wetter");

    EXPECT_FALSE(log.Write("c"));
    EXPECT_EQ(events.RunPending(), 1u);
    EXPECT_EQ(ui.shown.size(), 2u);
}

}  // namespace
