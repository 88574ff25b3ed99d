#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <ostream>
#include <string>

#include "FakeFileStore.h"
#include "TempFolder.h"
#include "UtcTime.h"
#include "platform/PosixFileStore.h"
#include "storage/DataFiles.h"

namespace {

constexpr const char* kGapFields = "TE-99999,FE-99999,";

class DataFilesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { UseUtcZone(); }
    FakeFileStore store;
    DataFiles files{store};
};

TEST_F(DataFilesTest, FileNamesCarryMonthYearAndSuffix) {
    EXPECT_EQ(DataFiles::FileName("/d", 3, 2024, ".orb"), "/d/03_2024.orb");
    EXPECT_EQ(DataFiles::FileName("/d", 12, 1999, ".A1.orb"), "/d/12_1999.A1.orb");
    EXPECT_EQ(DataFiles::TwoDigitYearFileName("/d", 3, 2005, ".orb"), "/d/03_05.orb");
    EXPECT_EQ(DataFiles::MonthFileName("/z", Utc(2024, 3, 31, 23, 59), ".orb.csv"),
              "/z/03_2024.orb.csv");
}

TEST_F(DataFilesTest, FieldsIgnoreTheLocaleAndTextModeDoublesTheLineEnd) {
    std::string line = "x,";
    DataFiles::AppendField(line, "TE", 12.5f, 2);
    DataFiles::AppendField(line, "FE", 71.0f, 0);
    DataFiles::AppendField(line, "WG", -999999.0f, 1);
    EXPECT_EQ(line, "x,TE12.50,FE71,WG-999999.0,");
    EXPECT_EQ(DataFiles::TextModeBytes("a,\r\n"), "a,\r\r\n");
    EXPECT_EQ(DataFiles::GapLine(Utc(2024, 2, 1, 11, 55), kGapFields),
              "11:55:00,01.02.24,TE-99999,FE-99999,\r\n");
}

struct GapRow {
    const char* name;
    std::time_t last;
    std::time_t next;
    int interval;
    const char* path;
    std::string pending;
};
void PrintTo(const GapRow& row, std::ostream* os) { *os << row.name; }

class FillGapRows : public DataFilesTest, public ::testing::WithParamInterface<GapRow> {};

TEST_P(FillGapRows, FillsWholeIntervals) {
    const GapRow& row = GetParam();
    const DataFiles::Gap gap =
        files.FillGap("/d", ".orb", row.last, row.next, row.interval, kGapFields, true);
    ASSERT_TRUE(gap);
    EXPECT_EQ(gap.path, row.path);
    EXPECT_EQ(gap.pending, row.pending);
    EXPECT_TRUE(store.appends.empty()) << "nothing written before the record";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FillGapRows,
    ::testing::Values(GapRow{"OneGapAfterTenMinutes", Utc(2024, 2, 1, 11, 50),
                             Utc(2024, 2, 1, 12, 0), 300, "/d/02_2024.orb",
                             "11:55:00,01.02.24,TE-99999,FE-99999,\r\n"},
                      GapRow{"NoGapWithinTheSecondInterval", Utc(2024, 2, 1, 11, 56),
                             Utc(2024, 2, 1, 12, 0), 300, "/d/02_2024.orb", ""},
                      GapRow{"NoGapAfterExactlyOneInterval", Utc(2024, 2, 1, 11, 55),
                             Utc(2024, 2, 1, 12, 0), 300, "/d/02_2024.orb", ""},
                      GapRow{"EqualTimesGoOn", Utc(2024, 2, 1, 12, 0), Utc(2024, 2, 1, 12, 0), 300,
                             "/d/02_2024.orb", ""},
                      GapRow{"WithinOneIntervalStaysInTheOldMonth", Utc(2024, 2, 29, 23, 59),
                             Utc(2024, 3, 1, 0, 3), 300, "/d/02_2024.orb", ""},
                      GapRow{"FirstIntervalOfTheNewMonthGetsItsGapLine", Utc(2024, 2, 29, 23, 55),
                             Utc(2024, 3, 1, 0, 5), 300, "/d/03_2024.orb",
                             "00:00:00,01.03.24,TE-99999,FE-99999,\r\n"},
                      GapRow{"IntervalZeroFillsNothing", Utc(2024, 2, 1, 11, 0),
                             Utc(2024, 2, 1, 12, 0), 0, "/d/02_2024.orb", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataFilesTest, GapLinesOfEarlierMonthsGoToTheirOwnFiles) {
    const DataFiles::Gap gap = files.FillGap("/d", ".orb", Utc(2024, 2, 29, 23, 50),
                                             Utc(2024, 3, 1, 0, 10), 300, kGapFields, false);
    ASSERT_TRUE(gap);
    EXPECT_EQ(store.Read("/d/02_2024.orb"), "23:55:00,29.02.24,TE-99999,FE-99999,\r\n");
    EXPECT_EQ(gap.path, "/d/03_2024.orb");
    EXPECT_EQ(gap.pending,
              "00:00:00,01.03.24,TE-99999,FE-99999,\r\n00:05:00,01.03.24,TE-99999,FE-99999,\r\n");
}

TEST_F(DataFilesTest, EarlierRecordOrUnwritableMonthFails) {
    EXPECT_EQ(files
                  .FillGap("/d", ".orb", Utc(2024, 2, 1, 12, 0), Utc(2024, 2, 1, 11, 0), 300,
                           kGapFields, false)
                  .result.error,
              EINVAL);
    store.appendError = ENOSPC;
    const DataFiles::Gap gap = files.FillGap("/d", ".orb", Utc(2024, 2, 29, 23, 50),
                                             Utc(2024, 3, 1, 0, 10), 300, kGapFields, false);
    EXPECT_FALSE(gap);
    EXPECT_EQ(gap.result.error, ENOSPC);
}

struct TailRow {
    const char* name;
    std::string before;  // the file's bytes before the append ("<none>": no file)
    std::string after;
};
void PrintTo(const TailRow& row, std::ostream* os) { *os << row.name; }

class AppendLinesRows : public DataFilesTest, public ::testing::WithParamInterface<TailRow> {};

TEST_P(AppendLinesRows, StartsOnAFreshLineInOneWrite) {
    const TailRow& row = GetParam();
    if (row.before != "<none>") store.files["/d/f"] = row.before;
    EXPECT_TRUE(files.AppendLines("/d/f", "B,\r\n", true));
    EXPECT_EQ(store.Read("/d/f"), row.after);
    EXPECT_EQ(store.appends.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AppendLinesRows,
    ::testing::Values(TailRow{"NewFile", "<none>", "B,\r\n"}, TailRow{"EmptyFile", "", "B,\r\n"},
                      TailRow{"CompleteLine", "A,\r\n", "A,\r\nB,\r\n"},
                      TailRow{"TornLine", "A,\r\n12:0", "A,\r\n12:0\r\nB,\r\n"},
                      TailRow{"TornBeforeTheLf", "A,\r", "A,\r\nB,\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

struct LastLineRow {
    const char* name;
    std::string tail;
    bool wholeFile;
    const char* line;  // nullptr: none
    bool needMore;
};
void PrintTo(const LastLineRow& row, std::ostream* os) { *os << row.name; }

class LastCompleteLineRows : public DataFilesTest,
                             public ::testing::WithParamInterface<LastLineRow> {};

TEST_P(LastCompleteLineRows, SkipsWhatDoesNotParse) {
    const LastLineRow& row = GetParam();
    bool needMore = true;
    const auto found = DataFiles::LastCompleteLine(row.tail, row.wholeFile, needMore);
    if (row.line == nullptr) {
        EXPECT_FALSE(found) << found->line;
    } else {
        ASSERT_TRUE(found);
        EXPECT_EQ(found->line, row.line);
    }
    EXPECT_EQ(needMore, row.needMore);
}

constexpr const char* kA = "12:00:00,01.02.24,TE5.0,FE80,\r\n";
constexpr const char* kB = "12:05:00,01.02.24,TE5.1,FE81,\r\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, LastCompleteLineRows,
    ::testing::Values(
        LastLineRow{"LastLine", std::string(kA) + kB, true, "12:05:00,01.02.24,TE5.1,FE81,", false},
        LastLineRow{"TornTailSkipped", std::string(kA) + "12:05:00,01.02.24,TE", true,
                    "12:00:00,01.02.24,TE5.0,FE80,", false},
        LastLineRow{"MendedTornLineSkipped", std::string(kA) + "12:05:00,01.02.24,TE5\r\n", true,
                    "12:00:00,01.02.24,TE5.0,FE80,", false},
        LastLineRow{"GarbageSkipped", std::string(kA) + "\x01\xff garbage,\r\n\r\n", true,
                    "12:00:00,01.02.24,TE5.0,FE80,", false},
        LastLineRow{"InvalidTimeSkipped", std::string(kA) + "25:00:00,01.02.24,TE1,\r\n", true,
                    "12:00:00,01.02.24,TE5.0,FE80,", false},
        LastLineRow{"OnlyGarbage", "abc\r\ndef,\r\n", true, nullptr, false},
        LastLineRow{"OnlyATornLine", "12:00:00,01.02.24,TE5.0,", true, nullptr, false},
        LastLineRow{"CutFirstLineNeedsMore", std::string("00,01.02.24,TE5.0,\r\n") + "xx\r\n",
                    false, nullptr, true},
        LastLineRow{"CutTailWithoutLfNeedsMore", "00,01.02.24,TE5.0,", false, nullptr, true},
        LastLineRow{"FirstLineOfTheFileCounts", kA, true, "12:00:00,01.02.24,TE5.0,FE80,", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DataFilesTest, LastRecordOfTheCurrentMonthWithItsTime) {
    store.files["/d/02_2024.orb"] = std::string(kA) + kB;
    const auto found = files.FindLastRecord("/d", ".orb", Utc(2024, 2, 20, 8, 0));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->time, Utc(2024, 2, 1, 12, 5));
    EXPECT_EQ(found->line, "12:05:00,01.02.24,TE5.1,FE81,");
    EXPECT_EQ(found->path, "/d/02_2024.orb");
}

TEST_F(DataFilesTest, SearchGoesBackPastMissingEmptyAndTornMonthsToTwoDigitYearFiles) {
    store.files["/d/03_2024.orb"] = "";
    store.files["/d/02_2024.orb"] = "12:00:00,01.02.24,TE";
    store.files["/d/01_24.orb"] = kA;
    const auto found = files.FindLastRecord("/d", ".orb", Utc(2024, 4, 2, 8, 0));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, "/d/01_24.orb");
    EXPECT_EQ(found->time, Utc(2024, 2, 1, 12, 0));
}

TEST_F(DataFilesTest, NothingFoundStopsIn1990) {
    store.files["/d/11_1990.orb"] = kA;  // older than the search goes
    EXPECT_FALSE(files.FindLastRecord("/d", ".orb", Utc(1991, 1, 15, 0, 0)));
    store.files["/d/12_1990.orb"] = kA;
    EXPECT_TRUE(files.FindLastRecord("/d", ".orb", Utc(1991, 1, 15, 0, 0)));
}

TEST_F(DataFilesTest, LongLastLineIsFoundWholeBeyondTheFirstBuffer) {
    std::string line = "12:00:00,01.02.24,";
    while (line.size() < 3 * DataFiles::kTailBuffer) line += "TE12.50,";
    store.files["/d/02_2024.orb"] = std::string(kA) + line + "\r\n" + "12:05:00,01.0";
    const auto found = files.FindLastRecord("/d", ".orb", Utc(2024, 2, 20, 0, 0));
    ASSERT_TRUE(found);
    EXPECT_EQ(found->line, line);
}

// The real store, on a temporary folder.
class PosixFileStoreTest : public ::testing::Test {
protected:
    TempFolder folder;
    PosixFileStore store;
};

TEST_F(PosixFileStoreTest, AppendsReadsAndReplaces) {
    const std::string path = folder.File("f.orb");
    EXPECT_TRUE(store.Append(path, "A,\r\n", true));
    EXPECT_TRUE(store.Append(path, "B,\r\n", false));
    EXPECT_EQ(folder.Read("f.orb"), "A,\r\nB,\r\n");
    std::string tail;
    EXPECT_TRUE(store.ReadTail(path, 5, tail));
    EXPECT_EQ(tail, "\nB,\r\n");
    EXPECT_TRUE(store.ReadTail(path, 100, tail));
    EXPECT_EQ(tail, "A,\r\nB,\r\n");
    EXPECT_EQ(store.Size(path), 8u);

    const std::string current = folder.File("AktWert.orb");
    EXPECT_TRUE(store.Replace(current, "old\r\r\n", true));
    EXPECT_TRUE(store.Replace(current, "new\r\r\n", false));
    EXPECT_EQ(folder.Read("AktWert.orb"), "new\r\r\n");
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        ++entries;
    EXPECT_EQ(entries, 2u) << "no temporary file left behind";
}

TEST_F(PosixFileStoreTest, MissingFolderAndFolderInPlaceOfAFileAreErrors) {
    const std::string missing = folder.File("nowhere/f.orb");
    const FileStore::AppendResult appended = store.Append(missing, "A\r\n", true);
    EXPECT_FALSE(appended);
    EXPECT_FALSE(appended.written);
    EXPECT_EQ(appended.error, ENOENT);
    EXPECT_EQ(store.Replace(missing, "x", true).error, ENOENT);
    std::string bytes;
    EXPECT_EQ(store.ReadTail(missing, 10, bytes).error, ENOENT);
    EXPECT_TRUE(store.CreateFolder(folder.File("sub")));
    EXPECT_TRUE(store.CreateFolder(folder.File("sub"))) << "an existing folder is no error";
    EXPECT_FALSE(store.ReadTail(folder.File("sub"), 10, bytes));
    EXPECT_FALSE(store.Exists(folder.File("sub")));
}

TEST_F(PosixFileStoreTest, ShortWriteIsCutBackToTheOldLength) {
    const std::string path = folder.File("f.orb");
    ASSERT_TRUE(store.Append(path, std::string(90, 'a'), false));
    // A file size limit makes the kernel write part of the bytes and then refuse, like a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 100;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileStore::AppendResult appended = store.Append(path, std::string(20, 'b'), true);
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(appended.written);
    EXPECT_EQ(appended.error, EFBIG);
    EXPECT_EQ(folder.Read("f.orb"), std::string(90, 'a'));
}

}  // namespace
