#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FakeSerialPort.h"
#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ScriptedUi.h"
#include "comm/CDataSeriell.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/AutoResetEvent.h"
#include "platform/SystemClock.h"

namespace {

const std::vector<int> kSearchRates = {38400, 19200, 9600, 4800, 2400, 1200, 600, 300};

// The transport on a port in memory, with a clock the test moves.
class CDataSeriellTest : public ::testing::Test {
protected:
    void SetUp() override { OutputList::Process().Clear(); }

    CDataSeriell& Transport() {
        if (!transport) {
            auto fake = std::make_unique<FakeSerialPort>(&clock);
            port = fake.get();
            transport = std::make_unique<CDataSeriell>(line, services, std::move(fake));
        }
        return *transport;
    }
    // The station echoes the query in brackets with `reply`, but only at `rate`.
    void StationAnswersAt(int rate, std::string reply = "<?X>") {
        Transport();
        port->station = [rate, reply](FakeSerialPort& p, const std::string& written) {
            if (written == "?X\r\n" && p.Rate() == rate) p.Send(reply);
        };
    }
    std::vector<int> ConfiguredRates() const {
        std::vector<int> rates;
        for (const SerialFormat& f : port->formats) rates.push_back(f.baudRate);
        return rates;
    }

    ManualClock clock;
    ManualEventQueue events;
    ScriptedUi ui;
    AutoResetEvent abort;
    TransportServices services{clock, events, ui, abort};
    SerialLineSettings line{"COM3", 9600, 8, 0, 2};
    SerialLineSettings station{"COM3", 9600, 8, 0, 2};  // the settings record a search fills
    FakeSerialPort* port = nullptr;
    std::unique_ptr<CDataSeriell> transport;
};

TEST_F(CDataSeriellTest, OpenConfiguresThePortOfTheSettingsAndRaisesRts) {
    ASSERT_TRUE(Transport().Open());
    EXPECT_EQ(port->opened, std::vector<std::string>{"/dev/ttyS2"});
    ASSERT_EQ(port->formats.size(), 1u);
    const SerialFormat& f = port->formats[0];
    EXPECT_EQ(std::vector<int>({f.baudRate, f.dataBits, f.parity, f.stopBits}),
              std::vector<int>({9600, 8, 0, 2}));
    EXPECT_TRUE(port->lines.IsRaised(ModemLines::Line::Rts));
    EXPECT_TRUE(Transport().IsOpen());
    EXPECT_EQ(Transport().Close(), 0);
    EXPECT_FALSE(Transport().IsOpen());
}

TEST_F(CDataSeriellTest, APortThatCannotBeOpenedGivesFalseQuietly) {
    Transport();
    port->openErrors = {EBUSY};
    EXPECT_FALSE(Transport().Open());
    EXPECT_FALSE(Transport().IsOpen());
    EXPECT_TRUE(port->formats.empty());
    EXPECT_EQ(events.Waiting(), 0u);
}

TEST_F(CDataSeriellTest, AnUnreadableLineStateClosesQuietly) {
    Transport();
    port->configResult = {SerialPort::ConfigResult::Failed::ReadingState, ENOTTY};
    EXPECT_FALSE(Transport().Open());
    EXPECT_FALSE(Transport().IsOpen());
    EXPECT_EQ(events.Waiting(), 0u);
}

TEST_F(CDataSeriellTest, ReadTakesExactlyTheCountWithinTheFirstByteWait) {
    ASSERT_TRUE(Transport().Open());
    char buffer[2] = {};
    port->Send("a");
    EXPECT_EQ(Transport().Read(buffer, 1), CDataBase::ReadResult::Received);
    EXPECT_EQ(buffer[0], 'a');

    port->Send("b");
    EXPECT_EQ(Transport().Read(buffer, 2), CDataBase::ReadResult::TimedOut)
        << "a short read is no success";

    const std::uint64_t before = clock.TickMs();
    EXPECT_EQ(Transport().Read(buffer, 1), CDataBase::ReadResult::TimedOut);
    EXPECT_EQ(clock.TickMs() - before, 1000u) << "silence costs the first-byte wait";
    EXPECT_EQ(port->waits.back(), 1000u);
}

TEST_F(CDataSeriellTest, ALostDeviceIsReportedAfterTheWaitOfSilence) {
    ASSERT_TRUE(Transport().Open());
    port->lost = true;
    char byte = 0;
    const std::uint64_t before = clock.TickMs();
    EXPECT_EQ(Transport().Read(&byte, 1), CDataBase::ReadResult::Lost);
    EXPECT_EQ(Transport().Read(&byte, 1), CDataBase::ReadResult::Lost);
    EXPECT_EQ(clock.TickMs() - before, 2000u);
    EXPECT_TRUE(Transport().IsOpen()) << "the reconnect closes and reopens it";
}

TEST_F(CDataSeriellTest, WriteLogsTheTrafficEvenWhenClosed) {
    EXPECT_EQ(Transport().Write("?X\r\n"), 0);
    ASSERT_TRUE(Transport().Open());
    EXPECT_EQ(Transport().Write("!P\r\n"), 4);
    EXPECT_EQ(port->written, std::vector<std::string>{"!P\r\n"});
    EXPECT_EQ(OutputList::Process().Snapshot(),
              (std::vector<tagOutpElm>{{"?X", kColourCommand}, {"!P", kColourCommand}}));
}

TEST_F(CDataSeriellTest, AClosedTransportNeitherReadsNorPurges) {
    char byte = 0;
    EXPECT_EQ(Transport().Read(&byte, 1), CDataBase::ReadResult::Lost);
    EXPECT_TRUE(port->waits.empty());
    EXPECT_TRUE(Transport().PurgeInput());
    EXPECT_EQ(port->flushes, 0);

    ASSERT_TRUE(Transport().Open());
    port->Send("stale");
    EXPECT_TRUE(Transport().PurgeInput());
    EXPECT_TRUE(port->incoming.empty());
}

TEST_F(CDataSeriellTest, DescriptionFollowsTheBaudRate) {
    EXPECT_EQ(Transport().GetDescription(), "COM = COM3 ,Baud. = 9600");
    Transport().SetBaudRate(19200);
    EXPECT_EQ(Transport().GetDescription(), "COM = COM3 ,Baud. = 19200");
    EXPECT_EQ(Transport().LineSettings().baudRate, 19200);
    ASSERT_TRUE(Transport().Open());
    EXPECT_EQ(port->formats.back().baudRate, 19200);
}

// ---- baud-rate search ------------------------------------------------------

TEST_F(CDataSeriellTest, SearchWithoutStationTriesEveryRateThreeTimes) {
    Transport();
    EXPECT_FALSE(Transport().SearchBaudRate(station));
    EXPECT_EQ(station.baudRate, 300);
    EXPECT_EQ(Transport().BaudRate(), 300);
    EXPECT_TRUE(Transport().IsOpen()) << "the port stays open at 300";
    EXPECT_EQ(ConfiguredRates(), kSearchRates);

    ASSERT_EQ(port->written.size(), 24u);
    for (const std::string& w : port->written) EXPECT_EQ(w, "?X\r\n");
    for (std::size_t i = 1; i < port->writeTicks.size(); ++i) {
        if (i % 3 == 0) continue;  // a new rate starts
        const std::uint64_t tryMs = port->writeTicks[i] - port->writeTicks[i - 1];
        EXPECT_GT(tryMs, 1200u) << "try " << i;
        EXPECT_LE(tryMs, 1210u) << "a silent try lasts a little over 1200 ms";
    }
    EXPECT_GE(port->flushes, 24) << "input is purged before every query";
}

TEST_F(CDataSeriellTest, SearchFindsALowerRateAndClosesThePort) {
    StationAnswersAt(9600);
    EXPECT_TRUE(Transport().SearchBaudRate(station));
    EXPECT_EQ(station.baudRate, 9600);
    EXPECT_EQ(Transport().BaudRate(), 9600);
    EXPECT_FALSE(Transport().IsOpen());
    EXPECT_EQ(ConfiguredRates(), (std::vector<int>{38400, 19200, 9600}));
    EXPECT_EQ(port->written.size(), 7u);
}

struct EchoRow {
    const char* name;
    const char* reply;
    bool matches;
};

const EchoRow kEchoRows[] = {
    {"Echo", "<?X>", true},
    {"LowerCaseX", "<?x>", false},
    {"SpaceAfterBracket", "< ?X>", false},
    {"HighByteInsideIsDropped", "<?\xB0X>", true},
    {"ControlByteInsideIsDropped", "<?\x01X>", true},
    {"NoiseBeforeTheBracket", "#\xB0ok<?X>", true},
    {"WrongEchoThenRightInTheSameTry", "<?Y><?X>", true},
    {"SecondOpeningBracketIsCollected", "<<?X>", false},
    {"NoClosingBracket", "<?X", false},
};

class CDataSeriellEchoTest : public CDataSeriellTest,
                             public ::testing::WithParamInterface<EchoRow> {};

TEST_P(CDataSeriellEchoTest, MatchesOnlyTheExactEcho) {
    StationAnswersAt(38400, GetParam().reply);
    EXPECT_EQ(Transport().SearchBaudRate(station), GetParam().matches);
    if (GetParam().matches) {
        EXPECT_EQ(station.baudRate, 38400);
        EXPECT_EQ(port->written.size(), 1u) << "found at the first try";
        EXPECT_FALSE(Transport().IsOpen());
    } else {
        EXPECT_EQ(station.baudRate, 300);
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, CDataSeriellEchoTest, ::testing::ValuesIn(kEchoRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CDataSeriellTest, AbortStopsTheSearchAtTheNextRead) {
    Transport();
    std::size_t readsAtAbort = 0;
    port->station = [&](FakeSerialPort& p, const std::string&) {
        if (p.written.size() == 2) {
            abort.Set();
            readsAtAbort = p.waits.size();
        }
    };
    EXPECT_FALSE(Transport().SearchBaudRate(station));
    EXPECT_EQ(port->written.size(), 2u);
    EXPECT_EQ(port->waits.size(), readsAtAbort + 1);
    EXPECT_TRUE(Transport().IsOpen()) << "left open at the current rate";
    EXPECT_EQ(station.baudRate, 38400);
    EXPECT_FALSE(abort.IsSet()) << "the event resets when seen";
}

TEST_F(CDataSeriellTest, AnOpenFailureEndsTheSearch) {
    Transport();
    port->openErrors = {0, ENOENT};
    EXPECT_FALSE(Transport().SearchBaudRate(station));
    EXPECT_EQ(station.baudRate, 19200);
    EXPECT_EQ(port->written.size(), 3u);
}

// ---- the real port on a pseudo-terminal ------------------------------------

class CDataSeriellPty : public ::testing::Test {
protected:
    void SetUp() override { OutputList::Process().Clear(); }

    CDataSeriell Make(int baudRate) {
        return CDataSeriell({station.Path(), baudRate, 8, 0, 2}, services);
    }

    PtyStation station;
    SystemClock clock;
    ManualEventQueue events;
    ScriptedUi ui;
    AutoResetEvent abort;
    TransportServices services{clock, events, ui, abort};
};

TEST_F(CDataSeriellPty, TalksToTheStationAtTheConfiguredRate) {
    CDataSeriell transport = Make(9600);
    ASSERT_TRUE(transport.Open());
    EXPECT_EQ(station.ClientRate(), 9600);

    EXPECT_EQ(transport.Write("?X\r\n"), 4);
    EXPECT_EQ(station.Receive(4), "?X\r\n");
    station.Send("a");
    char byte = 0;
    EXPECT_EQ(transport.Read(&byte, 1), CDataBase::ReadResult::Received);
    EXPECT_EQ(byte, 'a');
}

TEST_F(CDataSeriellPty, WriteNowToAPortNobodyReadsTakesWhatFitsAndReturnsAtOnce) {
    CDataSeriell transport = Make(9600);
    ASSERT_TRUE(transport.Open());
    const std::string line = "12:00:00,10.03.24,TE4.0,FE70,\r\n";
    std::size_t offered = 0;
    std::size_t taken = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < 20000; ++i) {
        offered += line.size();
        taken += static_cast<std::size_t>(transport.WriteNow(line));
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_LT(elapsed, std::chrono::seconds(2));
    EXPECT_GT(taken, 0u);
    EXPECT_LT(taken, offered) << "the pseudo-terminal holds far less than 600 KB";

    // A reader comes back: what was taken arrives, and the port takes lines again.
    EXPECT_EQ(station.Receive(taken, 5000).size(), taken);
    EXPECT_EQ(transport.WriteNow(line), static_cast<int>(line.size()));
    EXPECT_EQ(station.Receive(line.size()), line);
    EXPECT_EQ(transport.Write("?X\r\n"), 4) << "the waiting write still writes everything";
    EXPECT_EQ(station.Receive(4), "?X\r\n");
}

TEST_F(CDataSeriellPty, RefusedSettingsAreReportedAndTheProgramGoesOn) {
    CDataSeriell transport = Make(76800);  // no such rate on this system
    EXPECT_FALSE(transport.Open());
    EXPECT_FALSE(transport.IsOpen());
    EXPECT_TRUE(ui.shown.empty()) << "shown on the user-interface thread, not the caller's";
    EXPECT_EQ(events.RunPending(), 1u);
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "SetCommState failed with error 22: Invalid argument");
    EXPECT_EQ(ui.shown[0].caption, "Error");

    CDataSeriell again = Make(9600);
    EXPECT_TRUE(again.Open()) << "the failed open left the port free";
}

TEST_F(CDataSeriellPty, AHungUpStationIsLostAfterTheWaitOfSilence) {
    CDataSeriell transport = Make(9600);
    ASSERT_TRUE(transport.Open());
    station.HangUp();
    char byte = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(transport.Read(&byte, 1), CDataBase::ReadResult::Lost);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_GE(ms, 900) << "no busy loop for the readers";
    EXPECT_LT(ms, 1500);
}

TEST_F(CDataSeriellPty, SearchFindsTheRateTheStationListensAt) {
    // The station hears a query only when the line runs at 19200 (one wrong rate first).
    std::jthread responder([this](std::stop_token stop) {
        std::string heard;
        while (!stop.stop_requested()) {
            heard += station.Receive(4, 50);
            if (heard.find("?X\r\n") == std::string::npos) continue;
            if (station.ClientRate() == 19200) station.Send("<?X>");
            heard.clear();
        }
    });
    CDataSeriell transport = Make(9600);
    SerialLineSettings settings{station.Path(), 9600, 8, 0, 2};
    EXPECT_TRUE(transport.SearchBaudRate(settings));
    EXPECT_EQ(settings.baudRate, 19200);
    EXPECT_FALSE(transport.IsOpen());
}

}  // namespace
