// Times, intervals and counts of the station settings file: a value that no
// station could mean takes the default, and the output window says so once.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "model/OutputList.h"
#include "model/StationSettings.h"
#include "platform/IniProfile.h"

namespace {

struct RangeRow {
    const char* name;
    std::string file;
    std::function<double(const StationSettings&)> get;
    double expected;
    const char* reported;  // the key named in the output window; nullptr: nothing is said
};
void PrintTo(const RangeRow& row, std::ostream* os) { *os << row.name; }

double NoDataTimeout(const StationSettings& s) { return s.processWide.noDataTimeout; }
double CommandTimeout(const StationSettings& s) { return s.processWide.commandTimeoutMs; }
double Retries(const StationSettings& s) { return s.processWide.commandRetries; }
double ClockTolerance(const StationSettings& s) { return s.processWide.liveClockTolerance; }
double Interval(const StationSettings& s) { return s.storage.interval; }
double ResetHour(const StationSettings& s) { return s.interpretation.resetHour; }
double ModemTimeout(const StationSettings& s) { return s.connection.modem.timeout; }

class SettingsRanges : public ::testing::TestWithParam<RangeRow> {
protected:
    void SetUp() override { OutputList::Process().Clear(); }

    StationSettings Read() {
        StationSettings settings;
        ReadStationSettings(
            profile,
            {folder.File("wetterstation.ini"), folder.File("http_up.ini"), folder.File("Daten")},
            settings);
        return settings;
    }
    static std::vector<std::string> Output() {
        std::vector<std::string> texts;
        for (const auto& line : OutputList::Process().Snapshot()) texts.push_back(line.text);
        return texts;
    }

    TempFolder folder;
    IniProfile profile;
};

TEST_P(SettingsRanges, ValueOutsideItsRangeTakesTheDefaultAndIsReportedOnce) {
    const RangeRow& row = GetParam();
    folder.Write("wetterstation.ini", row.file);

    EXPECT_DOUBLE_EQ(row.get(Read()), row.expected);
    const std::vector<std::string> output = Output();
    if (row.reported == nullptr) {
        EXPECT_TRUE(output.empty()) << output.front();
        return;
    }
    ASSERT_EQ(output.size(), 1u);
    EXPECT_NE(output[0].find(folder.File("wetterstation.ini")), std::string::npos) << output[0];
    EXPECT_NE(output[0].find(row.reported), std::string::npos) << output[0];
    EXPECT_LT(output[0].size(), 300u) << "a long value is not repeated in full";

    // Every load reads it again; the owner has been told already.
    EXPECT_DOUBLE_EQ(row.get(Read()), row.expected);
    EXPECT_EQ(Output().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SettingsRanges,
    ::testing::Values(RangeRow{"NoDataTimeoutOfThousandsOfDigits",
                               "[Timeout]\nTimeout=" + std::string(5000, '5') + "\n", NoDataTimeout,
                               60.0, "\"Timeout\"/\"Timeout\""},
                      RangeRow{"NegativeNoDataTimeout", "[Timeout]\nTimeout=-1\n", NoDataTimeout,
                               60.0, "\"Timeout\"/\"Timeout\""},
                      RangeRow{"NoDataTimeoutThatIsNoNumber", "[Timeout]\nTimeout=soon\n",
                               NoDataTimeout, 60.0, "\"Timeout\"/\"Timeout\""},
                      RangeRow{"NoDataTimeoutInRange", "[Timeout]\nTimeout=2.5\n", NoDataTimeout,
                               2.5, nullptr},
                      RangeRow{"NegativeCommandTimeout", "[Sendeparameter]\nTimeout=-2300\n",
                               CommandTimeout, 2300, "\"Sendeparameter\"/\"Timeout\""},
                      RangeRow{"CommandTimeoutInRange", "[Sendeparameter]\nTimeout=200\n",
                               CommandTimeout, 200, nullptr},
                      RangeRow{"NoRetries", "[Sendeparameter]\nWiederholungen=0\n", Retries, 5,
                               "\"Sendeparameter\"/\"Wiederholungen\""},
                      RangeRow{"EndlessRetries", "[Sendeparameter]\nWiederholungen=99999999999\n",
                               Retries, 5, "\"Sendeparameter\"/\"Wiederholungen\""},
                      RangeRow{"NegativeClockTolerance", "[MaxTimeDiff]\nSekDiffOnl=-60\n",
                               ClockTolerance, 60, "\"MaxTimeDiff\"/\"SekDiffOnl\""},
                      RangeRow{"ZeroStorageInterval", "[Speicherintervall]\nIntervall/Sek=0\n",
                               Interval, 300, "\"Speicherintervall\"/\"Intervall/Sek\""},
                      RangeRow{"NegativeStorageInterval", "[Speicherintervall]\nIntervall/Sek=-5\n",
                               Interval, 300, "\"Speicherintervall\"/\"Intervall/Sek\""},
                      RangeRow{"StorageIntervallInRange", "[Speicherintervall]\nIntervall/Sek=45\n",
                               Interval, 45, nullptr},
                      RangeRow{"ResetHourBeyondTheDay", "[Regen]\nReset=24\n", ResetHour, 0,
                               "\"Regen\"/\"Reset\""},
                      RangeRow{"ResetHourInRange", "[Regen]\nReset=23\n", ResetHour, 23, nullptr},
                      RangeRow{"NegativeModemTimeout",
                               "[DataParams]\nSettsID=3\n[Modem Verbindung]\nTimeout=-1\n",
                               ModemTimeout, 60, "\"Modem Verbindung\"/\"Timeout\""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReconnectDelay, ValueOutsideItsRangeTakesTheDefaultAndIsReportedOnce) {
    struct Row {
        const char* value;
        double expected;
        bool reported;
    };
    const Row rows[] = {{"2.5", 2.5, false},
                        {"-1", 15.0, true},
                        {"0", 15.0, true},
                        {"1e400", 15.0, true},
                        {"never", 15.0, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.value);
        OutputList::Process().Clear();
        TempFolder folder;
        IniProfile profile;
        const std::string file =
            folder.Write("wetterstation.ini",
                         std::string("[Verbindungsabbruch]\nReconnect=") + row.value + "\n");
        // The reconnect cycle reads it before every try.
        for (int attempt = 0; attempt < 3; ++attempt)
            EXPECT_DOUBLE_EQ(ReadReconnectDelay(profile, file), row.expected);
        EXPECT_EQ(OutputList::Process().Count(), row.reported ? 1u : 0u);
    }
}

}  // namespace
