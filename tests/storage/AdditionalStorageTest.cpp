#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "FakeFileStore.h"
#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ScriptedUi.h"
#include "TempFolder.h"
#include "model/CSensoren.h"
#include "model/Colours.h"
#include "model/ErrorLog.h"
#include "model/OutputList.h"
#include "storage/AdditionalStorage.h"
#include "storage/CAktuell.h"

namespace {

const std::string kFolder = "/z";
const std::string kGapFields = "TE-99999,FE-99999,";
const std::string kOpenFailed =
    "Datei f\xFC"
    "r Zusatzverzeichnis konnte nicht ge\xF6"
    "ffnet werden";

std::time_t At(int day, int hour, int minute, int second = 0) {
    std::tm fields{};
    fields.tm_year = 2024 - 1900;
    fields.tm_mon = 2;  // March
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return std::mktime(&fields);
}

// A station with TE (1 decimal), FE (0 decimals) and the virtual sensor VI
// (2 decimals), and the seams StoreAdditional writes through.
class AdditionalStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
        OutputList::Process().Clear();
        Add("TE", 1, false, 12.5f);
        Add("FE", 0, false, 71.0f);
        Add("VI", 2, true, 3.25f);
    }

    void Add(const std::string& identifier, int decimals, bool isVirtual, float raw) {
        auto sensor = std::make_unique<CSensoren>();
        sensor->m_identifier = identifier;
        sensor->m_decimals = decimals;
        sensor->m_virtual = isVirtual;
        auto value = std::make_unique<CAktuell>(identifier, sensor.get());
        value->m_rawValue = raw;
        sensors.push_back(std::move(sensor));
        values.push_back(std::move(value));
    }

    bool Store(std::time_t recordTime) {
        const AdditionalStorage::Record record{
            .folder = kFolder,
            .format = format,
            .dataFileExtension = dataFileExtension,
            .currentValues = values,
            .storeVirtualSensors = storeVirtualSensors,
            .gapFields = kGapFields,
            .interval = 300,
            .initialisationRunning = initialisationRunning,
            .sync = true,
        };
        return storage.StoreAdditional(recordTime, record, {lastStoredTime, storedSinceStart});
    }

    // The data file took the record: StoreRecord has moved the last stored time on already.
    bool StoreAfterDataFile(std::time_t recordTime) {
        lastStoredTime = recordTime;
        storedSinceStart = true;
        return Store(recordTime);
    }

    std::string ErrorLogText() const { return home.Read("ErrLog.txt"); }

    std::vector<std::unique_ptr<CSensoren>> sensors;
    AdditionalStorage::CurrentValues values;
    AdditionalFormat format{7, 2, 1, false, "csv"};
    std::string dataFileExtension = ".orb";
    bool storeVirtualSensors = false;
    bool initialisationRunning = false;
    std::time_t lastStoredTime = 0;
    bool storedSinceStart = false;

    TempFolder home;
    FakeFileStore files;
    ManualClock clock;
    ManualEventQueue events;
    ScriptedUi ui;
    ErrorLog errorLog{home.File("ErrLog.txt"), clock, events, ui};
    AdditionalStorage storage{files, errorLog};
};

struct LayoutRow {
    const char* name;
    int columnMask;
    int separatorMask;
    int decimalMask;
    const char* extension;
    const char* dataFileExtension;
    bool storeVirtualSensors;
    const char* file;
    const char* row;
};

void PrintTo(const LayoutRow& row, std::ostream* os) { *os << row.name; }

const LayoutRow kLayoutRows[] = {
    {"SemicolonAndDecimalComma", 7, 2, 1, "csv", ".orb", false, "/z/03_2024.orb.csv",
     "14:05:00;03,03,24;TE12,5;FE71;\r\n"},
    {"Mask5IsCommaThenTab", 7, 5, 2, "csv", ".orb", false, "/z/03_2024.orb.csv",
     "14:05:00,\t03.03.24,\tTE12.5,\tFE71,\t\r\n"},
    {"AllSeparatorsInBitOrder", 1, 31, 2, "csv", ".orb", false, "/z/03_2024.orb.csv",
     "14:05:00,;\t /12.5,;\t /71,;\t /\r\n"},
    {"EmptySeparatorMask", 7, 0, 2, "csv", ".orb", false, "/z/03_2024.orb.csv",
     "14:05:0003.03.24TE12.5FE71\r\n"},
    {"DecimalDotOnlyChangesNothing", 6, 1, 2, "txt", ".orb", false, "/z/03_2024.orb.txt",
     "03.03.24,TE12.5,FE71,\r\n"},
    {"ValuesOnly", 0, 2, 1, "csv", ".orb", false, "/z/03_2024.orb.csv", "12,5;71;\r\n"},
    {"ExtensionOrbIsTheDataFileName", 7, 2, 1, "orb", ".orb", false, "/z/03_2024.orb",
     "14:05:00;03,03,24;TE12,5;FE71;\r\n"},
    {"ExtensionOrbComparedWithCase", 7, 2, 1, "ORB", ".orb", false, "/z/03_2024.orb.ORB",
     "14:05:00;03,03,24;TE12,5;FE71;\r\n"},
    {"StorageIdentifierInTheName", 7, 2, 1, "csv", ".A1.orb", false, "/z/03_2024.A1.orb.csv",
     "14:05:00;03,03,24;TE12,5;FE71;\r\n"},
    {"VirtualSensorsWhenStoringThem", 7, 2, 1, "csv", ".orb", true, "/z/03_2024.orb.csv",
     "14:05:00;03,03,24;TE12,5;FE71;VI3,25;\r\n"},
};

class AdditionalStorageLayoutTest : public AdditionalStorageTest,
                                    public ::testing::WithParamInterface<LayoutRow> {};

TEST_P(AdditionalStorageLayoutTest, FirstRecordGoesIntoItsMonthFileWithTheChosenLayout) {
    const LayoutRow& row = GetParam();
    format = {row.columnMask, row.separatorMask, row.decimalMask, false, row.extension};
    dataFileExtension = row.dataFileExtension;
    storeVirtualSensors = row.storeVirtualSensors;

    EXPECT_TRUE(Store(At(3, 14, 5)));

    EXPECT_EQ(files.Read(row.file), row.row);
    EXPECT_EQ(lastStoredTime, At(3, 14, 5));
    EXPECT_TRUE(storedSinceStart);
    ASSERT_EQ(files.appends.size(), 1u) << "one write per row";
    EXPECT_TRUE(files.appends[0].sync);
}

INSTANTIATE_TEST_SUITE_P(Rows, AdditionalStorageLayoutTest, ::testing::ValuesIn(kLayoutRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AdditionalStorageTest, HeaderListsEverySensorAndIsInsertedOnlyOnce) {
    format.headerLine = true;
    storeVirtualSensors = false;

    ASSERT_TRUE(StoreAfterDataFile(At(3, 14, 5)));
    ASSERT_TRUE(StoreAfterDataFile(At(3, 14, 10)));

    EXPECT_EQ(files.Read("/z/03_2024.orb.csv"),
              "\xFFUhrzeit;Datum;TE;FE;VI;\r\n"
              "14:05:00;03,03,24;TE12,5;FE71;\r\n"
              "14:10:00;03,03,24;TE12,5;FE71;\r\n");
    EXPECT_EQ(files.replaces.front().path, "/z/03_2024.orb.csv");
}

TEST_F(AdditionalStorageTest, HeaderIsRecognisedWithoutReadingTheMonthFile) {
    // A month of rows from a logger read-out: each further row must not cost the whole file.
    format.headerLine = true;
    const std::string path = "/z/03_2024.orb.csv";
    std::string content = "\xFFUhrzeit;Datum;TE;FE;VI;\r\n";
    for (int i = 0; i < 5000; ++i) content += "14:00:00;03,03,24;TE12,5;FE71;\r\n";
    files.files[path] = content;

    ASSERT_TRUE(StoreAfterDataFile(At(3, 14, 5)));

    EXPECT_LE(files.bytesRead[path], 8u);
    EXPECT_EQ(files.Read(path), content + "14:05:00;03,03,24;TE12,5;FE71;\r\n");
    for (const auto& replaced : files.replaces) EXPECT_NE(replaced.path, path);
}

TEST_F(AdditionalStorageTest, HeaderGoesInFrontOfRowsWrittenWithoutOne) {
    format = {4, 1, 2, true, "csv"};
    files.files["/z/03_2024.orb.csv"] = "TE1.0,FE2,\r\n";

    ASSERT_TRUE(StoreAfterDataFile(At(3, 14, 5)));

    EXPECT_EQ(files.Read("/z/03_2024.orb.csv"), "\xFFTE,FE,VI,\r\nTE1.0,FE2,\r\nTE12.5,FE71,\r\n");
    // Replaced as a whole, never emptied and written again.
    EXPECT_EQ(files.replaces.front().path, "/z/03_2024.orb.csv");
    EXPECT_EQ(files.appends.size(), 1u);
}

TEST_F(AdditionalStorageTest, GapLinesFollowRecordsTheDataFileCouldNotTake) {
    struct Row {
        const char* name;
        std::time_t lastStored;
        const char* content;
    };
    const Row rows[] = {
        {"TwoMissedIntervals", At(3, 13, 50),
         "13:55:00,03.03.24,TE-99999,FE-99999,\r\n"
         "14:00:00,03.03.24,TE-99999,FE-99999,\r\n"
         "14:05:00;03,03,24;TE12,5;FE71;\r\n"},
        {"WithinOneInterval", At(3, 14, 1), "14:05:00;03,03,24;TE12,5;FE71;\r\n"},
        {"DataFileTookTheRecord", At(3, 14, 5), "14:05:00;03,03,24;TE12,5;FE71;\r\n"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        files.files.clear();
        lastStoredTime = row.lastStored;
        storedSinceStart = true;

        EXPECT_TRUE(Store(At(3, 14, 5)));
        EXPECT_EQ(files.Read("/z/03_2024.orb.csv"), row.content);
        EXPECT_EQ(lastStoredTime, At(3, 14, 5));
    }
}

TEST_F(AdditionalStorageTest, RecordJustAfterAMonthChangeStaysInTheLastRecordsFile) {
    lastStoredTime = At(0, 23, 59);  // 29 February
    storedSinceStart = true;

    EXPECT_TRUE(Store(At(1, 0, 3)));

    EXPECT_EQ(files.Read("/z/02_2024.orb.csv"), "00:03:00;01,03,24;TE12,5;FE71;\r\n");
}

TEST_F(AdditionalStorageTest, TornLastLineIsEndedBeforeTheRow) {
    files.files["/z/03_2024.orb.csv"] = "14:00:00;03,03,24;TE1";

    ASSERT_TRUE(StoreAfterDataFile(At(3, 14, 5)));

    EXPECT_EQ(files.Read("/z/03_2024.orb.csv"),
              "14:00:00;03,03,24;TE1\r\n14:05:00;03,03,24;TE12,5;FE71;\r\n");
}

TEST_F(AdditionalStorageTest, CurrentValuesFileHoldsTheRowInTextModeUnlessInitialising) {
    ASSERT_TRUE(Store(At(3, 14, 5)));
    EXPECT_EQ(files.Read("/z/AktWert.orb"), "14:05:00;03,03,24;TE12,5;FE71;\r\r\n");

    files.files.erase("/z/AktWert.orb");
    initialisationRunning = true;
    ASSERT_TRUE(StoreAfterDataFile(At(3, 14, 10)));
    EXPECT_EQ(files.Read("/z/AktWert.orb"), "<missing>");
}

TEST_F(AdditionalStorageTest, CurrentValuesFileFailureGoesToTheErrorLogOnly) {
    files.replaceError = EROFS;

    EXPECT_TRUE(Store(At(3, 14, 5)));

    EXPECT_NE(ErrorLogText().find("Error writing into the additional folder! \r\r\nPlease ensure "
                                  "that the folder exists and it isn't write protected!!\r\r\n/z"),
              std::string::npos)
        << ErrorLogText();
    EXPECT_TRUE(ui.shown.empty());
    EXPECT_EQ(OutputList::Process().Count(), 0u);
}

TEST_F(AdditionalStorageTest, UnwritableFileIsReportedInRedAndKeepsTheStoringState) {
    files.appendError = EACCES;
    for (const bool afterFirst : {false, true}) {
        SCOPED_TRACE(afterFirst ? "later record" : "first record");
        OutputList::Process().Clear();
        lastStoredTime = At(3, 14, 0);
        storedSinceStart = afterFirst;

        EXPECT_FALSE(Store(At(3, 14, 5)));

        const auto lines = OutputList::Process().Snapshot();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines[0], (tagOutpElm{kOpenFailed, Rgb(255, 0, 0)}));
        EXPECT_EQ(lastStoredTime, At(3, 14, 0));
        EXPECT_EQ(storedSinceStart, afterFirst);
        // The current values are this record's even though the month file failed.
        EXPECT_EQ(files.Read("/z/AktWert.orb"), "14:05:00;03,03,24;TE12,5;FE71;\r\r\n");
    }
}

}  // namespace
