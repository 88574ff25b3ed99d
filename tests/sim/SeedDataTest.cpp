#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <regex>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "sim/SeedData.h"
#include "sim/Station.h"

namespace {

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find('\n', start)) != std::string::npos; start = end + 1) {
        lines.push_back(bytes.substr(start, end + 1 - start));
    }
    EXPECT_EQ(start, bytes.size()) << "the file ends with a whole line";
    return lines;
}

std::time_t Time(const std::string& line) {
    return orbsim::ParseCommandTime(line.substr(0, 2) + line.substr(3, 2) + line.substr(6, 2) +
                                    line.substr(9, 2) + line.substr(12, 2) + line.substr(15, 2))
        .value_or(0);
}

class OrbsimSeed : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("TZ", "UTC", 1);
        tzset();
    }
    TempFolder m_folder;
};

TEST_F(OrbsimSeed, WritesOneFilePerMonthAtWholeIntervalsUpToTheEnd) {
    orbsim::SeedOptions options;
    options.folder = m_folder.File("Daten");
    options.days = 1;
    options.sensors = *orbsim::ParseSensorList("TE,FE:0");
    options.end = *orbsim::ParseLocalDateTime("2024-03-01 00:12:34");  // rounds down to 00:10
    const orbsim::SeedResult result = orbsim::SeedDataFolder(options);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.files, (std::vector<std::string>{options.folder + "/02_2024.orb",
                                                      options.folder + "/03_2024.orb"}));
    EXPECT_EQ(result.records, 288u);

    const auto february = Lines(m_folder.Read("Daten/02_2024.orb"));
    const auto march = Lines(m_folder.Read("Daten/03_2024.orb"));
    ASSERT_EQ(february.size(), 285u);
    ASSERT_EQ(march.size(), 3u);
    EXPECT_EQ(february.front().substr(0, 18), "00:15:00,29.02.24,");
    EXPECT_EQ(march.back().substr(0, 18), "00:10:00,01.03.24,");

    const std::regex layout(R"(\d\d:\d\d:\d\d,\d\d\.\d\d\.\d\d,TE-?\d+\.\d,FE\d+,\r\n)");
    std::vector<std::string> all = february;
    all.insert(all.end(), march.begin(), march.end());
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_TRUE(std::regex_match(all[i], layout)) << all[i];
        if (i > 0) {
            EXPECT_EQ(Time(all[i]) - Time(all[i - 1]), 300) << all[i];
        }
    }
}

TEST_F(OrbsimSeed, SeededFilesHoldWhatTheStationsLoggerHoldsForTheSameSeed) {
    orbsim::StationOptions station;
    station.seed = 9;
    station.historyHours = 2.0;
    station.storageInterval = 600;
    station.link = orbsim::LinkKind::kTcp;
    orbsim::Station running(station);
    ASSERT_TRUE(running.Start());
    const auto logger = running.LoggerRecords();
    running.Stop();
    ASSERT_GE(logger.size(), 12u);

    orbsim::SeedOptions seed;
    seed.folder = m_folder.Path();
    seed.seed = 9;
    seed.days = 1;
    seed.interval = 600;
    seed.end = logger.back().time;
    const orbsim::SeedResult result = orbsim::SeedDataFolder(seed);
    ASSERT_TRUE(result.ok) << result.error;
    std::string seeded;
    for (const std::string& file : result.files) {
        std::ifstream in(file, std::ios::binary);
        seeded += std::string(std::istreambuf_iterator<char>(in), {});
    }
    const auto lines = Lines(seeded);
    ASSERT_GE(lines.size(), logger.size());
    const std::size_t offset = lines.size() - logger.size();
    for (std::size_t i = 0; i < logger.size(); ++i) {
        EXPECT_EQ(lines[offset + i],
                  orbsim::FormatRecordLine(logger[i].time, logger[i].readings, false));
    }
}

TEST_F(OrbsimSeed, RefusesWhatItCannotWrite) {
    orbsim::SeedOptions options;
    options.folder = m_folder.Write("file", "x") + "/below";
    EXPECT_FALSE(orbsim::SeedDataFolder(options).ok);
    options.folder = m_folder.Path();
    options.interval = 0;
    EXPECT_FALSE(orbsim::SeedDataFolder(options).ok);
}

}  // namespace
