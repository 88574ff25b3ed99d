// The real program against the simulated station over TCP, started and
// stopped as a user would: the logger read-out and live records in the data
// files, a second start that continues them, no record lost or stored off the
// storage grid where the read-out hands over to live records, a silent run,
// and a station that is killed and comes back.
#ifdef WETTER_EXECUTABLE

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "WetterProgram.h"

namespace {

using namespace e2e;

TEST_F(WetterProgram, ReadsTheLoggerStoresLiveRecordsAndContinuesOnTheNextStart) {
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    const std::time_t started = std::time(nullptr);
    {
        Program program(*this);
        ASSERT_TRUE(WaitFor([&] { return LastTime() >= started + 3 * kInterval; }, 40s));
        EXPECT_EQ(program.Stop(), 0);
    }
    ExpectStrictlyIncreasing();
    // The logger's records since the last stored one, byte for byte, in their place.
    const auto lines = DataLines();
    const auto seededEnd = std::find_if(
        lines.begin(), lines.end(), [&](const std::string& l) { return TimeOf(l) > m_lastSeeded; });
    std::size_t index = static_cast<std::size_t>(seededEnd - lines.begin());
    int logged = 0;
    for (const auto& record : m_station->LoggerRecords()) {
        if (record.time <= m_lastSeeded || record.time >= started) continue;
        ASSERT_LT(index, lines.size());
        EXPECT_EQ(lines[index++], StoredLine(record));
        ++logged;
    }
    EXPECT_GE(logged, 60 / kInterval - 1);

    // A second start goes on where the first stopped, without a record twice.
    const std::time_t firstEnd = LastTime();
    std::this_thread::sleep_for(std::chrono::seconds(2 * kInterval));
    const std::time_t secondStarted = std::time(nullptr);
    {
        Program program(*this);
        ASSERT_TRUE(WaitFor([&] { return LastTime() >= secondStarted + 3 * kInterval; }, 40s));
        EXPECT_EQ(program.Stop(), 0);
    }
    ExpectStrictlyIncreasing();
    // What the station stored while the program was away comes from its logger.
    const std::string all = [&] {
        std::string text;
        for (const auto& line : DataLines()) text += line;
        return text;
    }();
    int pause = 0;
    for (const auto& record : m_station->LoggerRecords()) {
        if (record.time <= firstEnd || record.time >= secondStarted) continue;
        EXPECT_NE(all.find(StoredLine(record)), std::string::npos) << StoredLine(record);
        ++pause;
    }
    EXPECT_GE(pause, 1);
}

TEST_F(WetterProgram, NoRecordIsLostWhereTheReadOutHandsOverToLiveRecords) {
    // The station marks every line (each starts a storage interval): a line lost between
    // the initialisation and the live records would leave a gap line.
    m_interval = 1;
    m_cycle = 1;
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    Program program(*this);
    const std::time_t started = std::time(nullptr);
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= started + 5; }, 40s));

    // The same after a reconnect; meanwhile the station's logger keeps what it measures.
    m_station->Disconnect(1000ms);
    ASSERT_TRUE(WaitFor(
        [&] { return folder.Read("ErrLog.txt").find("Receive no data!") != std::string::npos; },
        15s));
    const std::time_t reconnected = std::time(nullptr);
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= reconnected + 10; }, 40s));
    EXPECT_EQ(program.Stop(), 0);
    ExpectStrictlyIncreasing();
    for (const auto& line : NewLines()) EXPECT_FALSE(IsGapLine(line)) << line;
}

TEST_F(WetterProgram, RecordsAfterTheReadOutStayOnTheStorageGrid) {
    m_interval = 10;
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    // Started just after a storage boundary, the read-out ends long before the next one:
    // on a live line that the station has not marked.
    const std::time_t boundary = orbsim::LastBoundaryAtOrBefore(std::time(nullptr), m_interval);
    std::this_thread::sleep_until(std::chrono::system_clock::from_time_t(boundary + m_interval) +
                                  200ms);
    Program program(*this);
    const std::time_t started = std::time(nullptr);
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= started + 2 * m_interval; }, 40s));
    EXPECT_EQ(program.Stop(), 0);
    ExpectStrictlyIncreasing();
    const auto lines = NewLines();
    EXPECT_GE(lines.size(), 6u);
    for (const auto& line : lines) {
        EXPECT_FALSE(IsGapLine(line)) << line;
        const std::tm fields = LocalTime(TimeOf(line));
        EXPECT_EQ((fields.tm_hour * 3600 + fields.tm_min * 60 + fields.tm_sec) % m_interval, 0)
            << "off the grid: " << line;
    }
}

TEST_F(WetterProgram, OpensTheSavedDiagramAndReadsItsPeriod) {
    m_lastSeeded = orbsim::LastBoundaryAtOrBefore(std::time(nullptr) - 60, m_interval);
    ASSERT_NO_FATAL_FAILURE(Seed(DataFolder()));
    WriteStation("[Programmstart]\nStart=0\n", m_interval);
    // The layout of an earlier run: the last 24 hours of TE and FE.
    std::filesystem::create_directories(folder.File("config/Norvika GmbH"));
    std::ofstream(folder.File("config/Norvika GmbH/wetter.conf"))
        << "[wetter1]\nCountViews=1\nView1\\DAZ=1\nView1\\SZ=24\nView1\\DA=0\n"
           "View1\\MO=0\nView1\\KE=\"TE,FE,\"\n";

    Program program(*this);
    std::this_thread::sleep_for(3s);
    ASSERT_EQ(program.Stop(), std::optional<int>(0));

    // A diagram in file mode opens its single-value windows when its read
    // completes; the layout saved at the end names them.
    std::ifstream saved(folder.File("config/Norvika GmbH/wetter.conf"));
    const std::string layout{std::istreambuf_iterator<char>(saved), {}};
    EXPECT_NE(layout.find("View1\\Sensor1\\KE=TE"), std::string::npos) << layout;
    EXPECT_NE(layout.find("View1\\Sensor2\\KE=FE"), std::string::npos) << layout;
    EXPECT_NE(layout.find("View1\\MO=0"), std::string::npos) << layout;
}

TEST_F(WetterProgram, SilentRunEndsAfterTheInitialisation) {
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    Program program(*this, {"-pc", "-SILENT"});
    EXPECT_EQ(program.WaitForExit(30s), 0);
    EXPECT_GT(LastTime(), m_lastSeeded) << "the logger was read before the end";
    ExpectStrictlyIncreasing();
}

TEST_F(WetterProgram, SecondNameThroughALinkIsASecondStationBesideTheLink) {
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    const std::vector<std::string> firstStation = DataLines();

    // "garten" links to the program in a folder of its own, and nothing tells it where to look.
    TempFolder garden;
    std::filesystem::create_symlink(WETTER_EXECUTABLE, garden.File("garten"));
    garden.Write("gartenstation.ini", "[Speicherintervall]\nIntervall/Sek=" +
                                          std::to_string(kInterval) + "\n" + StationSections());
    garden.Write("gartendefine.ini",
                 "[TE]\nNachKomma=1\nFaktor=1\nUntergrenze Wert=-50\nObergrenze Wert=100\n"
                 "[FE]\nNachKomma=0\nFaktor=1\nUntergrenze Wert=0\nObergrenze Wert=100\n");
    Seed(garden.File("Daten"));

    Program program(garden.File("garten"), "", garden, {"-SILENT"});
    EXPECT_EQ(program.WaitForExit(30s), 0);

    const std::vector<std::string> gardenLines = DataLinesIn(garden.File("Daten"));
    ASSERT_FALSE(gardenLines.empty());
    EXPECT_GT(TimeOf(gardenLines.back()), m_lastSeeded) << "the logger was read into its folder";
    EXPECT_EQ(DataLines(), firstStation) << "the first station is left alone";
    EXPECT_FALSE(std::filesystem::exists(garden.File("wetterstation.ini")));
}

TEST_F(WetterProgram, KilledStationIsReportedAndReconnectedWhenItIsBack) {
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    const int port = m_station->TcpPort();
    Program program(*this);
    const std::time_t started = std::time(nullptr);
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= started + kInterval; }, 40s));

    m_station->Stop();
    const std::time_t killed = std::time(nullptr);
    ASSERT_TRUE(WaitFor(
        [&] { return folder.Read("ErrLog.txt").find("Receive no data!") != std::string::npos; },
        15s));
    std::this_thread::sleep_for(std::chrono::seconds(3 * kInterval));

    // Back on the same port, but its logger lost what it measured while away.
    ASSERT_NO_FATAL_FAILURE(StartStation(port, 0));
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= killed + 5 * kInterval; }, 40s));
    EXPECT_EQ(program.Stop(), 0);
    ExpectStrictlyIncreasing();
    bool gap = false;
    for (const auto& line : DataLines()) gap = gap || (TimeOf(line) > killed && IsGapLine(line));
    EXPECT_TRUE(gap) << "the silent intervals are marked";
}

}  // namespace

#endif
