// Whole conversations through a modem with the simulated modem and station on
// a pseudo-terminal: the dial, the initialisation and logger read-out over the
// call, the hang-up and its faults, a locked SIM, a modem that goes away.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>
#include <vector>

#include "ModemWorld.h"
#include "sim/SeedData.h"

namespace {

using namespace std::chrono_literals;

constexpr const char* kLoggerStation =
    "[Dateninterpretation]\nMit_Speicher=0\nDaten_Speichern=0\n[Regen]\nReset=0\n";

class ModemConversation : public ::testing::Test, protected ModemWorld {
protected:
    // Dials, initialises and starts acquiring; the lines of the call arrive.
    void Acquiring(const std::string& sections) {
        orbsim::StationOptions options;
        options.cycleSeconds = 0.2;
        ASSERT_TRUE(StartModemStation(options));
        ASSERT_NO_FATAL_FAILURE(OpenModemDocument(std::string(kLoggerStation) + sections));
        ASSERT_TRUE(transport->Open());
        ASSERT_EQ(RunInitialisation(), 0);
        acquisition.Start(document.get());
        ASSERT_TRUE(loop.RunUntil([&] { return receiver.lines >= 2; }, 10000));
    }
    bool HasModemCommand(const std::string& command) const {
        for (const auto& c : station->ModemCommands())
            if (c == command) return true;
        return false;
    }
};

TEST_F(ModemConversation, CallIsDialledTheStationInitialisedItsLoggerReadAndTheCallHungUp) {
    orbsim::StationOptions options;
    options.cycleSeconds = 0.3;
    options.historyHours = 2;
    ASSERT_TRUE(StartModemStation(options));
    const std::time_t last = SeedData(1);
    ASSERT_NO_FATAL_FAILURE(OpenModemDocument(kLoggerStation));

    ASSERT_TRUE(transport->Open());
    EXPECT_TRUE(station->ModemCarrier());
    EXPECT_EQ(station->ModemCommands(),
              (std::vector<std::string>{"at", "at&c1", "ATD0123;", "*CONNECT LIMIT 60"}));
    EXPECT_EQ(station->ModemConnectionLimit(), 60);
    EXPECT_NE(ModemLog().find("Connecting to number 0123"), std::string::npos);
    EXPECT_FALSE(ui.busy);

    EXPECT_EQ(RunInitialisation(), 0);
    EXPECT_EQ(lastCaption, "Connecting" + transport->GetDescription());
    EXPECT_EQ(
        station->ReceivedCommands(),
        (std::vector<std::string>{"!Z30", "!R0", "?D" + StationProtocol::StationTimeText(last)}));
    EXPECT_GT(document->LastStoredTime(), last);

    EXPECT_EQ(transport->Close(), 1);
    EXPECT_FALSE(transport->IsOpen());
    EXPECT_FALSE(station->ModemCarrier());
    EXPECT_TRUE(HasModemCommand("ath"));
    EXPECT_NE(ModemLog().find("Disonnected from 0123"), std::string::npos);
    EXPECT_TRUE(ui.shown.size() > 0 && !ui.busy);
    EXPECT_EQ(Cautions("Disconnecting failed (\"Please disconnect mobile manually\")"), 0u);
}

TEST_F(ModemConversation, NumberThatDoesNotAnswerIsTriedThreeTimesWithWarningsAndLogEntries) {
    orbsim::StationOptions options;
    options.modem.dial = orbsim::DialOutcome::kNoAnswer;
    ASSERT_TRUE(StartModemStation(options));
    ASSERT_NO_FATAL_FAILURE(OpenModemDocument(kLoggerStation));

    EXPECT_FALSE(transport->Open());
    EXPECT_FALSE(transport->IsOpen());
    EXPECT_EQ(Cautions("Could not connect to dialed number"), 3u);
    for (int attempt = 1; attempt <= 3; ++attempt)
        EXPECT_TRUE(OutputHas("Connection couldn't be established! Try " + std::to_string(attempt) +
                              " of 3"));
    EXPECT_EQ(OutputCount("Could not connect to (0123) "), 3u);
    std::size_t entries = 0;
    const std::string log = ModemLog();
    for (auto at = log.find("Could not connect to (0123) "); at != std::string::npos;
         at = log.find("Could not connect to (0123) ", at + 1))
        ++entries;
    EXPECT_EQ(entries, 3u);
    EXPECT_FALSE(ui.busy);
}

TEST_F(ModemConversation, LockedSimIsUnlockedWithThePinThePersonGives) {
    orbsim::StationOptions options;
    options.modem.simLock = orbsim::SimLock::kPin;
    options.modem.simCode = "4711";
    ASSERT_TRUE(StartModemStation(options));
    ASSERT_NO_FATAL_FAILURE(OpenModemDocument(kLoggerStation, "Aufbau vorher=AT+CPIN?\n"));
    pins = {"4711"};

    ASSERT_TRUE(transport->Open());
    EXPECT_EQ(pinPrompts, std::vector<std::string>{"Please insert PIN!"});
    EXPECT_TRUE(HasModemCommand("AT+CPIN=\"4711\""));
    for (const auto& line : OutputTexts()) EXPECT_EQ(line.find("4711"), std::string::npos);
    EXPECT_TRUE(station->ModemCarrier());
}

TEST_F(ModemConversation, ModemThatIgnoresTheEscapeIsHungUpWithConnectOff) {
    orbsim::StationOptions options;
    options.modem.ignoreEscape = true;
    options.cycleSeconds = 0.2;
    ASSERT_TRUE(StartModemStation(options));
    ASSERT_NO_FATAL_FAILURE(OpenModemDocument(kLoggerStation));
    ASSERT_TRUE(transport->Open());

    EXPECT_EQ(transport->Close(), 1);
    EXPECT_EQ(OutputCount("+++ sent"), 6u);
    EXPECT_TRUE(HasModemCommand("*CONNECT OFF"));
    EXPECT_FALSE(station->ModemCarrier());
    EXPECT_FALSE(transport->IsOpen());
    EXPECT_NE(ModemLog().find("Disonnected from 0123"), std::string::npos);
}

TEST_F(ModemConversation, ModemThatNeverHangsUpLeavesTheLinkConnectedAndTheNextOpenReturnsAtOnce) {
    orbsim::StationOptions options;
    options.modem.refuseHangUp = true;
    ASSERT_TRUE(StartModemStation(options));
    ASSERT_NO_FATAL_FAILURE(OpenModemDocument(kLoggerStation));
    ASSERT_TRUE(transport->Open());

    EXPECT_EQ(transport->Close(), 0);
    EXPECT_EQ(Cautions("Disconnecting failed (\"Please disconnect mobile manually\")"), 1u);
    EXPECT_EQ(Cautions("Connection to mobile couldn't be closed(\"Please disconnect manually\")"),
              1u);
    EXPECT_NE(ModemLog().find("Could not disconnect from 0123"), std::string::npos);
    EXPECT_TRUE(transport->IsOpen());
    EXPECT_TRUE(station->ModemCarrier());

    const std::size_t commands = station->ModemCommands().size();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(transport->Open());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    loop.RunFor(200);
    EXPECT_EQ(station->ModemCommands().size(), commands) << "nothing was dialled";
}

TEST_F(ModemConversation, DroppedCallIsReportedAndAConnectDialsAgain) {
    ASSERT_NO_FATAL_FAILURE(Acquiring("[Timeout]\nTimeout=2.5\n"));
    station->DropCall();
    ASSERT_TRUE(loop.RunUntil([&] { return receiver.noData == 1; }, 10000));
    acquisition.Stop();
    EXPECT_NE(folder.Read("ErrLog.txt").find("Receive no data!"), std::string::npos);

    // Connecting again: the hang-up finds no carrier, and the dial brings the station back.
    EXPECT_EQ(transport->Close(), 1);
    ASSERT_TRUE(transport->Open());
    document->SetReconnecting(true);
    EXPECT_EQ(RunInitialisation(), 0);
    EXPECT_FALSE(document->Reconnecting());
    receiver.lines = 0;
    acquisition.Start(document.get());
    EXPECT_TRUE(loop.RunUntil([&] { return receiver.lines >= 2; }, 10000));
}

TEST_F(ModemConversation, CallThatDropsDuringTheLoggerReadOutEndsTheReadOutAtOnce) {
    orbsim::StationOptions options;
    options.cycleSeconds = 0.3;
    options.historyHours = 10;
    options.replayPaceMs = 100;
    ASSERT_TRUE(StartModemStation(options));
    const std::time_t last = SeedData(9);
    ASSERT_NO_FATAL_FAILURE(OpenModemDocument(kLoggerStation));
    ASSERT_TRUE(transport->Open());

    std::chrono::steady_clock::time_point dropped{};
    loop.Start(this, 1, 50, [&] {
        if (document->LastStoredTime() <= last + 3600) return;  // the read-out is under way
        loop.Stop(this, 1);
        station->DropCall();
        dropped = std::chrono::steady_clock::now();
    });
    EXPECT_GE(RunInitialisation(30000), 0);
    ASSERT_NE(dropped, std::chrono::steady_clock::time_point{});
    EXPECT_LT(std::chrono::steady_clock::now() - dropped, 3s);
    EXPECT_FALSE(transport->IsOpen());
    EXPECT_GT(document->LastStoredTime(), last + 3600) << "what was read is kept";
    EXPECT_NE(ModemLog().find("The call to 0123 dropped: NO CARRIER"), std::string::npos);
    EXPECT_EQ(transport->Close(), 1) << "nothing to hang up";
}

TEST_F(ModemConversation, BusyNumberIsTriedThreeTimesWithoutWaitingOutTheDial) {
    orbsim::StationOptions options;
    options.modem.dial = orbsim::DialOutcome::kBusy;
    ASSERT_TRUE(StartModemStation(options));
    ASSERT_NO_FATAL_FAILURE(OpenModemDocument(kLoggerStation));

    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(document->StartAcquisition(false));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s) << "a dial waits 3 s here";
    EXPECT_EQ(Cautions("Could not connect to dialed number"), 3u);
    EXPECT_EQ(OutputCount("Dialling 0123 failed at \"ATD0123;\": BUSY"), 3u);
    EXPECT_NE(ModemLog().find("Dialling 0123 failed at \"ATD0123;\": BUSY"), std::string::npos);
    ASSERT_FALSE(ui.shown.empty());
    EXPECT_EQ(ui.shown.back().text, "Port couldn't be opened!") << "the reasons came first";
}

TEST_F(ModemConversation, ModemThatGoesAwayDuringTheDialIsReportedAndDialledOnceItIsBack) {
    orbsim::StationOptions options;
    ASSERT_TRUE(StartModemStation(options, 1.0));
    ASSERT_NO_FATAL_FAILURE(OpenModemDocument(kLoggerStation));
    // The adapter is unplugged while the modem dials.
    loop.Start(this, 1, 300, [&] {
        loop.Stop(this, 1);
        station->Disconnect(1000ms);
    });

    EXPECT_FALSE(transport->Open());
    EXPECT_TRUE(OutputHas("The modem on " + folder.File("ttyORB") + " is gone!"));
    EXPECT_NE(ModemLog().find(" is gone!"), std::string::npos);
    EXPECT_FALSE(ui.busy);

    bool open = false;
    for (int attempt = 0; attempt < 20 && !open; ++attempt) {
        open = transport->Open();
        if (!open) loop.RunFor(300);
    }
    EXPECT_TRUE(open);
}

TEST_F(ModemConversation, RepliesWithForeignBytesAndAFloodingStationDoNotUpsetTheDialogue) {
    orbsim::StationOptions options;
    options.faults.garbage = true;
    options.cycleSeconds = 0.01;  // a record line every 10 ms while the call is up
    ASSERT_TRUE(StartModemStation(options));
    ASSERT_NO_FATAL_FAILURE(OpenModemDocument(kLoggerStation));
    ASSERT_TRUE(transport->Open());
    EXPECT_EQ(transport->Close(), 1);
    EXPECT_FALSE(station->ModemCarrier());
}

}  // namespace
