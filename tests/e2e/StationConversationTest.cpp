// Whole conversations with the simulated station, over a pseudo-terminal and
// over TCP: the initialisation with the logger read-out into the data files,
// stations without logger, the faults of the command exchange, silence and
// the reconnect, the baud search.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "ConversationWorld.h"
#include "comm/CDataSeriell.h"
#include "sim/SeedData.h"

namespace {

using orbsim::LinkKind;
using namespace std::chrono_literals;

constexpr const char* kLoggerStation =
    "[Dateninterpretation]\nMit_Speicher=0\nDaten_Speichern=0\n[Regen]\nReset=0\n";

std::string LinkName(const ::testing::TestParamInfo<LinkKind>& info) {
    return info.param == LinkKind::kPty ? "Pty" : "Tcp";
}

class Conversation : public ::testing::TestWithParam<LinkKind>, protected ConversationWorld {
protected:
    std::string DataFileOf(std::time_t time) const {
        return folder.Read("Daten/" + orbsim::DataFileName(time, ".orb"));
    }
    // The data-file line the program writes for a logged record.
    static std::string StoredLine(const orbsim::LoggerRecord& record) {
        std::string line = orbsim::FormatTimeStamp(record.time);
        for (const auto& reading : record.readings)
            line += reading.id + orbsim::FormatValue(reading.value, reading.decimals) + ",";
        return line + "\r\n";
    }
};

TEST_P(Conversation, LoggerStationIsInitialisedAndItsLoggerReadIntoTheDataFiles) {
    orbsim::StationOptions options;
    options.cycleSeconds = 0.3;
    options.historyHours = 2;
    ASSERT_TRUE(StartStation(GetParam(), options));
    const std::time_t last = SeedData(1);
    ASSERT_TRUE(OpenDocument(std::string(kLoggerStation) + "[Ortshoehe]\nAktiv=true\nHoehe=312\n"));

    EXPECT_EQ(RunInitialisation(), 0);
    EXPECT_EQ(lastCaption, "Connecting" + transport->GetDescription());
    EXPECT_EQ(station->ReceivedCommands(),
              (std::vector<std::string>{"!Z30", "!R0", "!O312",
                                        "?D" + StationProtocol::StationTimeText(last)}));
    EXPECT_EQ(document->SensorIdentifiers(), (std::vector<std::string>{"TE", "FE"}));

    // Every logged record after the last stored one, byte for byte, then the first live one.
    std::string expected;
    for (const auto& record : station->LoggerRecords())
        if (record.time > last && record.time <= document->LastStoredTime())
            expected += StoredLine(record);
    ASSERT_FALSE(expected.empty());
    const std::string file = DataFileOf(document->LastStoredTime());
    const std::size_t after = file.find(orbsim::FormatTimeStamp(last));
    ASSERT_NE(after, std::string::npos);
    const std::string added = file.substr(file.find("\r\n", after) + 2);
    EXPECT_EQ(added.substr(0, expected.size()), expected);
    EXPECT_TRUE(ui.shown.empty());
}

TEST_P(Conversation, StationClockIsSetWhenItIsOff) {
    orbsim::StationOptions options;
    options.cycleSeconds = 0.3;
    options.clockOffset = -3600;
    ASSERT_TRUE(StartStation(GetParam(), options));
    ASSERT_TRUE(OpenDocument(kLoggerStation));
    EXPECT_EQ(RunInitialisation(), 0);
    const auto commands = station->ReceivedCommands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(commands[0].substr(0, 2), "!U");
    EXPECT_LE(std::abs(station->StationTime() - std::time(nullptr)), 2);
    EXPECT_EQ(commands.back(), "!R0") << "no stored records: no logger query";
}

TEST_P(Conversation, StationWithoutLoggerIsOnlyListenedTo) {
    orbsim::StationOptions options;
    options.cycleSeconds = 0.3;
    options.logger = false;
    ASSERT_TRUE(StartStation(GetParam(), options));
    ASSERT_TRUE(OpenDocument("[Dateninterpretation]\nMit_Speicher=1\n"));
    EXPECT_EQ(RunInitialisation(), 0);
    EXPECT_TRUE(station->ReceivedCommands().empty());
    EXPECT_EQ(document->SensorIdentifiers(), (std::vector<std::string>{"TE", "FE"}));
}

TEST_P(Conversation, UnansweredStorageIntervalIsSentFiveTimesThenReported) {
    for (const auto kind : {orbsim::CommandFaultKind::kNoEcho, orbsim::CommandFaultKind::kWrongEcho}) {
        SCOPED_TRACE(kind == orbsim::CommandFaultKind::kNoEcho ? "no echo" : "wrong echo");
        orbsim::StationOptions options;
        options.cycleSeconds = 0.15;
        options.faults.commands = {{kind, "!Z", 0}};
        ASSERT_TRUE(StartStation(GetParam(), options));
        ui.shown.clear();
        ASSERT_TRUE(OpenDocument(std::string(kLoggerStation) + "[Sendeparameter]\nTimeout=200\n"));
        EXPECT_EQ(RunInitialisation(), 2);
        EXPECT_EQ(station->ReceivedCommands(), std::vector<std::string>(5, "!Z30"));
        ASSERT_EQ(ui.shown.size(), 1u);
        EXPECT_EQ(ui.shown[0].text, "Error setting the storage interval!");
        transport->Close();
        station->Stop();
    }
}

TEST_P(Conversation, DeniedCommandIsReportedAndTheInitialisationGoesOn) {
    orbsim::StationOptions options;
    options.cycleSeconds = 0.3;
    options.faults.commands = {{orbsim::CommandFaultKind::kDenied, "!R", 0}};
    ASSERT_TRUE(StartStation(GetParam(), options));
    ASSERT_TRUE(OpenDocument(kLoggerStation));
    EXPECT_EQ(RunInitialisation(), 0);
    EXPECT_TRUE(OutputHas("Weather station blocked command! DENIED detected! EEPROM protected?"));
    EXPECT_NE(folder.Read("ErrLog.txt").find("DENIED detected"), std::string::npos);
}

TEST_P(Conversation, LiveRecordsArriveUntilTheStationFallsSilent) {
    orbsim::StationOptions options;
    options.cycleSeconds = 0.2;
    options.faults.garbage = true;
    ASSERT_TRUE(StartStation(GetParam(), options));
    ASSERT_TRUE(OpenDocument(std::string(kLoggerStation) + "[Timeout]\nTimeout=2.5\n", 2));
    ASSERT_EQ(RunInitialisation(), 0);
    document->SetLastReceivedTime(std::time(nullptr));

    acquisition.Start(document.get());
    const std::string month = orbsim::DataFileName(std::time(nullptr), ".orb");
    // At least two records the station marked for storage (every 2 s) before it falls silent.
    EXPECT_TRUE(loop.RunUntil(
        [&] {
            const std::string file = folder.Read("Daten/" + month);
            return file.find(",TE") != file.rfind(",TE");
        },
        15000));
    station->SetSilent(true);
    EXPECT_TRUE(loop.RunUntil([&] { return receiver.noData == 1; }, 10000));
    acquisition.Stop();

    // Stored records (every 2 s by the station's marker) came through the garbage intact.
    const std::string file = folder.Read("Daten/" + month);
    EXPECT_NE(file.find(",TE"), std::string::npos);
    for (char c : file) ASSERT_TRUE(c == '\r' || c == '\n' || (c >= 32 && c < 127)) << int(c);
    EXPECT_NE(folder.Read("ErrLog.txt").find("Receive no data!"), std::string::npos);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().text.substr(0, 16), "Receive no data!");
}

constexpr const char* kReconnectingStation =
    "[Dateninterpretation]\nMit_Speicher=0\nDaten_Speichern=0\n[Regen]\nReset=0\n"
    "[Timeout]\nTimeout=2.5\n[Verbindungsabbruch]\nReconnectAktiv=TRUE\nReconnectTimeout=1.0\n";

class Reconnecting : public Conversation {
protected:
    // An initialised station whose live lines arrive, with reconnecting on.
    void AcquireWithReconnecting() {
        orbsim::StationOptions options;
        options.cycleSeconds = 0.2;
        ASSERT_TRUE(StartStation(GetParam(), options));
        ASSERT_TRUE(OpenDocument(kReconnectingStation));
        ASSERT_EQ(RunInitialisation(), 0);
        acquisition.Start(document.get());
        ASSERT_TRUE(loop.RunUntil([&] { return receiver.lines >= 2; }, 10000));
    }
};

TEST_P(Reconnecting, SilentStationIsReconnectedOnceItSpeaksAgain) {
    ASSERT_NO_FATAL_FAILURE(AcquireWithReconnecting());
    station->SetSilent(true);
    ASSERT_TRUE(loop.RunUntil([&] { return receiver.noData == 1; }, 10000));
    acquisition.Stop();
    EXPECT_TRUE(ui.shown.empty()) << "with reconnecting on, no box waits for a person";
    EXPECT_NE(folder.Read("ErrLog.txt").find("Receive no data!"), std::string::npos);

    // A try while the station is still silent: no line within the reconnect time-out.
    transport->Close();
    if (transport->Open()) {
        document->SetReconnecting(true);
        EXPECT_EQ(RunInitialisation(), 0);
        EXPECT_EQ(lastCaption, "Initialisation ");
        EXPECT_TRUE(document->Reconnecting()) << "that connect failed";
    }

    station->SetSilent(false);
    transport->Close();
    ASSERT_TRUE(transport->Open());
    document->SetReconnecting(true);
    EXPECT_EQ(RunInitialisation(), 0);
    EXPECT_FALSE(document->Reconnecting());
}

TEST_P(Reconnecting, LostLinkIsReportedAndReopenedWhenTheStationIsBack) {
    ASSERT_NO_FATAL_FAILURE(AcquireWithReconnecting());
    station->Disconnect(2500ms);  // the adapter unplugged, or the converter dropped the connection
    ASSERT_TRUE(loop.RunUntil([&] { return receiver.noData == 1; }, 10000));
    acquisition.Stop();

    // The reconnect cycle tries again until the link opens.
    bool open = false;
    for (int attempt = 0; attempt < 20 && !open; ++attempt) {
        transport->Close();
        open = transport->Open();
        if (!open) loop.RunFor(500);
    }
    ASSERT_TRUE(open);
    document->SetReconnecting(true);
    EXPECT_EQ(RunInitialisation(), 0);
    EXPECT_FALSE(document->Reconnecting());
    receiver.lines = 0;
    acquisition.Start(document.get());
    EXPECT_TRUE(loop.RunUntil([&] { return receiver.lines >= 2; }, 10000));
}

INSTANTIATE_TEST_SUITE_P(Links, Conversation, ::testing::Values(LinkKind::kPty, LinkKind::kTcp),
                         LinkName);
INSTANTIATE_TEST_SUITE_P(Links, Reconnecting, ::testing::Values(LinkKind::kPty, LinkKind::kTcp),
                         LinkName);

TEST(BaudSearch, FindsTheStationAt9600) {
    ConversationWorld world;
    orbsim::StationOptions options;
    options.cycleSeconds = 5;
    options.baudRate = 9600;
    ASSERT_TRUE(world.StartStation(LinkKind::kPty, options));
    SerialLineSettings line{world.station->DevicePath(), 38400, 8, 0, 0};
    CDataSeriell port(line, world.services);
    SerialLineSettings settings = line;
    EXPECT_TRUE(port.SearchBaudRate(settings));
    EXPECT_EQ(settings.baudRate, 9600);
    EXPECT_FALSE(port.IsOpen());
}

}  // namespace
