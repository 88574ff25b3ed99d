// The service mode stopped just after a record and started again at once, as
// systemd restarts it or after a kill: the first line then comes less than one
// storage interval after the last stored record, and the next record falls due
// while the initialisation runs. Every record the station stored still reaches
// the data file, once, in order, without a gap line.
#ifdef WETTER_EXECUTABLE

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "WetterProgram.h"

namespace {

using namespace e2e;

struct Restart {
    int signal;
    std::chrono::milliseconds pause;  // from the stop to the next start
};

TEST_F(WetterProgram, QuickRestartsLoseNoRecord) {
    ASSERT_NO_FATAL_FAILURE(StartStation());
    WriteSettings();
    const StationHome& home = *this;
    auto program = std::make_unique<Program>(home, std::vector<std::string>{"--headless"});
    const std::time_t started = std::time(nullptr);
    ASSERT_TRUE(WaitFor([&] { return LastTime() >= started + kInterval; }, 40s))
        << program->Messages();

    // Where the first line lands against the next storage time varies with the start-up;
    // a few pauses make sure one restart's initialisation spans a storage time.
    for (const Restart restart : {Restart{SIGKILL, 1600ms}, Restart{SIGTERM, 1600ms},
                                  Restart{SIGKILL, 800ms}, Restart{SIGTERM, 2000ms}}) {
        const std::time_t record =
            orbsim::LastBoundaryAtOrBefore(std::time(nullptr), m_interval) + m_interval;
        std::this_thread::sleep_until(std::chrono::system_clock::from_time_t(record) + 400ms);
        ASSERT_EQ(LastTime(), record) << program->Messages();
        program->Stop(restart.signal);
        std::this_thread::sleep_for(restart.pause);
        program = std::make_unique<Program>(home, std::vector<std::string>{"--headless"});
        ASSERT_TRUE(WaitFor([&] { return LastTime() >= record + 2 * m_interval; }, 40s))
            << program->Messages();
    }
    const std::time_t last = LastTime();
    EXPECT_EQ(program->Stop(SIGTERM), 0);

    std::vector<std::string> stored;
    for (const auto& record : m_station->LoggerRecords())
        if (record.time > m_lastSeeded && record.time <= last) stored.push_back(StoredLine(record));
    EXPECT_EQ(NewLines(), stored) << program->Messages();
    for (const auto& line : NewLines()) EXPECT_FALSE(IsGapLine(line)) << line;
    ExpectStrictlyIncreasing();
}

}  // namespace

#endif
