// The service mode (`wetter --headless`) as a system service runs it: no
// display, no window; against the simulated station over TCP it reads the
// logger, stores live records, stops cleanly on SIGTERM and SIGINT, reconnects
// a station that was killed or not there yet, and ends with a reason and an
// exit code when there is nothing it could do.
#ifdef WETTER_EXECUTABLE

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "WetterProgram.h"

namespace {

using namespace e2e;

constexpr const char* kHeadless = "--headless";

TEST_F(WetterProgram, ServiceModeReadsTheLoggerStoresLiveRecordsAndStopsCleanly) {
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    const std::time_t started = std::time(nullptr);
    Program program(*this, {kHeadless});
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= started + 2 * kInterval; }, 40s))
        << program.Messages();
    EXPECT_TRUE(m_station->Connected());

    // Stopped just after the station stored a record: that one is in the file once the program
    // has gone.
    const std::time_t last =
        orbsim::LastBoundaryAtOrBefore(std::time(nullptr), m_interval) + m_interval;
    std::this_thread::sleep_until(std::chrono::system_clock::from_time_t(last) + 900ms);
    EXPECT_EQ(program.Stop(SIGTERM), 0);
    EXPECT_EQ(LastTime(), last);
    EXPECT_TRUE(WaitFor([&] { return !m_station->Connected(); }, 5s)) << "the link is closed";

    // Every record the station stored since the last seeded one, byte for byte, read from its
    // logger or received live.
    std::vector<std::string> stored;
    for (const auto& record : m_station->LoggerRecords())
        if (record.time > m_lastSeeded && record.time <= last) stored.push_back(StoredLine(record));
    EXPECT_GE(stored.size(), static_cast<std::size_t>(60 / kInterval));
    EXPECT_EQ(NewLines(), stored);
    ExpectStrictlyIncreasing();

    const std::string messages = program.Messages();
    EXPECT_NE(messages.find("Waiting for datalogger..."), std::string::npos) << messages;
    EXPECT_NE(messages.find("Initialisation ended"), std::string::npos) << messages;
    EXPECT_NE(messages.find("Stopped"), std::string::npos) << messages;
    EXPECT_EQ(folder.Read("ErrLog.txt"), "<missing>") << "nothing went wrong";
}

TEST_F(WetterProgram, ServiceModeReconnectsAKilledStation) {
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    const int port = m_station->TcpPort();
    Program program(*this, {kHeadless});
    const std::time_t started = std::time(nullptr);
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= started + kInterval; }, 40s))
        << program.Messages();

    m_station->Stop();
    const std::time_t killed = std::time(nullptr);
    ASSERT_TRUE(WaitFor(
        [&] { return folder.Read("ErrLog.txt").find("Receive no data!") != std::string::npos; },
        15s));
    std::this_thread::sleep_for(std::chrono::seconds(2 * kInterval));

    ASSERT_NO_FATAL_FAILURE(StartStation(port, 0));
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= killed + 4 * kInterval; }, 40s))
        << program.Messages();
    EXPECT_EQ(program.Stop(SIGINT), 0);
    ExpectStrictlyIncreasing();
    EXPECT_NE(program.Messages().find("Receive no data!"), std::string::npos)
        << "the journal tells it too";
}

TEST_F(WetterProgram, ServiceModeConnectsAStationThatComesUpLater) {
    // A port that nobody serves yet, as at boot before the station's network is up.
    ASSERT_NO_FATAL_FAILURE(StartStation());
    const int port = m_station->TcpPort();
    WriteSettings();
    m_station->Stop();

    Program program(*this, {kHeadless});
    EXPECT_EQ(program.WaitForExit(3s), std::nullopt) << program.Messages();
    EXPECT_NE(program.Messages().find("Port couldn't be opened!"), std::string::npos)
        << program.Messages();

    ASSERT_NO_FATAL_FAILURE(StartStation(port));
    const std::time_t up = std::time(nullptr);
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= up + kInterval; }, 40s)) << program.Messages();
    EXPECT_EQ(program.Stop(), 0);
    ExpectStrictlyIncreasing();
}

// Starts that end by themselves, with their exit code and what they say.
struct EndRow {
    const char* name;
    const char* setting;  // a setting of the station's sections, and what it is changed to
    const char* changedTo;
    bool seeded;  // data files up to a minute ago
    bool stationUp;
    std::vector<std::string> arguments;
    int exitCode;
    const char* message;
};

class ServiceModeEnds : public WetterProgram, public ::testing::WithParamInterface<EndRow> {};

TEST_P(ServiceModeEnds, WithItsExitCodeAndSaysWhy) {
    const EndRow& row = GetParam();
    // StartStation seeds the data folder unless a seed is already named.
    if (!row.seeded) m_lastSeeded = 1;
    ASSERT_NO_FATAL_FAILURE(StartStation());
    std::string sections = StationSections();
    if (*row.setting != '\0')
        sections.replace(sections.find(row.setting), std::string(row.setting).size(),
                         row.changedTo);
    WriteStation(sections, m_interval);
    if (!row.stationUp) m_station->Stop();

    std::vector<std::string> arguments = {kHeadless};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    Program program(*this, arguments);
    EXPECT_EQ(program.WaitForExit(30s), row.exitCode);
    EXPECT_NE(program.Messages().find(row.message), std::string::npos) << program.Messages();
}

INSTANTIATE_TEST_SUITE_P(
    Starts, ServiceModeEnds,
    ::testing::Values(
        EndRow{"FirstStartWithoutDataFiles",
               "",
               "",
               false,
               true,
               {},
               78,
               "No data file was found in the data folder"},
        EndRow{"StationNotConnectedAtStart",
               "Start=1",
               "Start=0",
               true,
               true,
               {},
               78,
               "not set to be connected at the start"},
        EndRow{"AbsentStationWithoutReconnect",
               "ReconnectAktiv=TRUE",
               "ReconnectAktiv=FALSE",
               true,
               false,
               {},
               1,
               "reconnecting is off"},
        EndRow{"SilentRun", "", "", true, true, {"-pc", "-SILENT"}, 0, "Initialisation ended"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

#endif
