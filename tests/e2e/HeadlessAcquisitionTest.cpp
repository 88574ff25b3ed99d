// The connect of the service mode against the simulated station: the
// initialisation runs to its end without a window and writes its steps, a long
// logger read-out only every few seconds; a serial station's rate is searched,
// kept in its settings, and the station initialised at it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "ConversationWorld.h"
#include "app/HeadlessAcquisitionUi.h"
#include "app/HeadlessUi.h"
#include "sim/SeedData.h"

namespace {

using orbsim::LinkKind;

constexpr const char* kLoggerStation =
    "[Dateninterpretation]\nMit_Speicher=0\nDaten_Speichern=0\n[Regen]\nReset=0\n";

class HeadlessAcquisition : public ::testing::Test, protected ConversationWorld {
protected:
    // Stored data up to `back` seconds ago: the station's logger holds the rest.
    std::time_t SeedData(int interval, std::time_t back) {
        return SeedDataUntil(orbsim::LastBoundaryAtOrBefore(std::time(nullptr) - back, interval),
                             interval);
    }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream in(messages.str());
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }

    std::ostringstream messages;
    HeadlessUi headless{messages};
    HeadlessAcquisitionUi acquisitionUi{
        context, headless,
        [this](const std::function<bool()>& done) { loop.RunUntil(done, 30000); },
        [this](int code) { exitCodes.push_back(code); }};
    std::vector<int> exitCodes;
};

TEST_F(HeadlessAcquisition, LongLoggerReadOutIsWrittenEveryFewSeconds) {
    orbsim::StationOptions options;
    options.cycleSeconds = 0.5;
    options.storageInterval = 5;
    options.historyHours = 1;
    options.replayPaceMs = 30;
    ASSERT_TRUE(StartStation(LinkKind::kTcp, options));
    // About 240 logger records, some seven seconds of read-out.
    const std::time_t last = SeedData(5, 20 * 60);
    ASSERT_TRUE(OpenDocument(kLoggerStation, 5));

    const auto started = std::chrono::steady_clock::now();
    acquisitionUi.RunInitialisation(*document);
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - started)
            .count();
    EXPECT_GT(document->LastStoredTime(), last + 20 * 60 - 10) << "the logger was read";

    const std::vector<std::string> lines = Lines();
    ASSERT_GE(lines.size(), 4u) << messages.str();
    EXPECT_EQ(lines.front(), "Waiting for data...");
    EXPECT_EQ(lines.back(), "Initialisation ended");
    for (const char* step :
         {"Reading sensor labels...", "Setting storage intervall....", "Waiting for datalogger..."})
        EXPECT_NE(std::find(lines.begin(), lines.end(), step), lines.end()) << step;
    int times = 0;
    for (const auto& line : lines)
        times += std::isdigit(static_cast<unsigned char>(line[0])) ? 1 : 0;
    EXPECT_GE(times, 2) << "the first record time and the last";
    EXPECT_LE(times, 2 + seconds * 1000 / HeadlessAcquisitionUi::kStatusEveryMs) << messages.str();
    EXPECT_TRUE(ui.shown.empty());
}

TEST_F(HeadlessAcquisition, SerialStationsRateIsFoundKeptAndTheStationInitialised) {
    orbsim::StationOptions options;
    options.cycleSeconds = 0.5;
    options.storageInterval = 5;
    options.historyHours = 1;
    options.baudRate = 9600;
    ASSERT_TRUE(StartStation(LinkKind::kPty, options));
    const std::time_t last = SeedData(5, 60);
    std::string sections = ConnectionSections() + kLoggerStation + "[Programmstart]\nStart=1\n";
    sections.replace(sections.find("Baudrate=9600"), 13, "Baudrate=1200\nAutoB=0");
    WriteStation(sections, 5);
    document = std::make_unique<CWetterDoc>(context);
    context.acquisitionUi = &acquisitionUi;

    EXPECT_TRUE(document->StartAcquisition(false));
    EXPECT_NE(folder.Read("wetterstation.ini").find("Baudrate=9600"), std::string::npos);
    EXPECT_GT(document->LastStoredTime(), last) << "initialised at the found rate";
    const std::vector<std::string> lines = Lines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Baudrate 9600"), lines.end())
        << messages.str();
    EXPECT_EQ(lines.back(), "Initialisation ended");
    document->StopAcquisition();
    context.acquisitionUi = nullptr;
}

}  // namespace
