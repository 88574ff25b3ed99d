// The baud-rate search beside the user-interface thread: the result comes
// back through the event queue, a cancel stops it within its wait, and no
// abort is left over for the next search.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "FakeSerialPort.h"
#include "ManualClock.h"
#include "ManualEventQueue.h"
#include "ScriptedUi.h"
#include "comm/BaudRateSearch.h"
#include "comm/CDataSeriell.h"
#include "platform/AutoResetEvent.h"
#include "platform/SystemClock.h"

namespace {

using namespace std::chrono_literals;

// Waits (in real time) until the worker has ended.
void WaitUntilEnded(const BaudRateSearch& search) {
    for (int i = 0; i < 2000 && search.Running(); ++i) std::this_thread::sleep_for(1ms);
    ASSERT_FALSE(search.Running());
}

// A station on a port in memory that answers the query only at `rate` (0: never).
class BaudRateSearchTest : public ::testing::Test {
protected:
    BaudRateSearchTest() {
        auto fake = std::make_unique<FakeSerialPort>(&clock);
        port = fake.get();
        transport = std::make_unique<CDataSeriell>(line, services, std::move(fake));
    }
    void StationAnswersAt(int rate) {
        port->station = [rate](FakeSerialPort& p, const std::string& written) {
            if (written == "?X\r\n" && p.Rate() == rate) p.Send("<?X>");
        };
    }

    ManualClock clock;
    ManualEventQueue events;
    ScriptedUi ui;
    AutoResetEvent abort;
    TransportServices services{clock, events, ui, abort};
    SerialLineSettings line{"/dev/ttyUSB0", 115200, 8, 0, 2};
    FakeSerialPort* port = nullptr;
    std::unique_ptr<CDataSeriell> transport;
};

TEST_F(BaudRateSearchTest, TheFoundRateComesBackOnTheUserInterfaceThread) {
    StationAnswersAt(9600);
    BaudRateSearch search(*transport, line, abort, events);
    std::optional<bool> found;
    search.Start([&](bool answer) { found = answer; });
    WaitUntilEnded(search);
    EXPECT_FALSE(found.has_value()) << "only through the queue";
    EXPECT_EQ(events.RunPending(), 1u);
    EXPECT_EQ(found, true);
    EXPECT_EQ(search.Line().baudRate, 9600);
    EXPECT_EQ(search.Line().port, "/dev/ttyUSB0");
}

TEST_F(BaudRateSearchTest, WithoutStationEveryRateIsTriedForAboutTwentyNineSeconds) {
    const std::uint64_t start = clock.TickMs();
    BaudRateSearch search(*transport, line, abort, events);
    std::optional<bool> found;
    search.Start([&](bool answer) { found = answer; });
    WaitUntilEnded(search);
    events.RunPending();
    EXPECT_EQ(found, false);
    EXPECT_EQ(search.Line().baudRate, 300) << "the last rate tried";
    const std::uint64_t elapsed = clock.TickMs() - start;
    EXPECT_GE(elapsed, 8u * 3u * 1200u);
    EXPECT_LE(elapsed, 8u * 3u * 1300u);
}

// A transport whose search runs until the abort event says stop, as a silent station's would.
class SearchUntilAborted final : public CDataBase {
public:
    explicit SearchUntilAborted(AutoResetEvent& abort) : m_abort(abort) {}
    bool Open() override { return true; }
    ReadResult Read(char*, int) override { return ReadResult::TimedOut; }
    int Write(const std::string& text) override { return static_cast<int>(text.size()); }
    int Close() override { return 0; }
    std::string GetDescription() const override { return "waiting"; }
    bool PurgeInput() override { return true; }
    bool IsOpen() const override { return true; }
    bool SearchBaudRate(SerialLineSettings& settings) override {
        ++searches;
        settings.baudRate = 19200;
        while (!m_abort.TestAndClear()) std::this_thread::sleep_for(1ms);
        return false;
    }
    std::atomic<int> searches{0};

private:
    AutoResetEvent& m_abort;
};

TEST(BaudRateSearchCancel, CancelEndsTheSearchAndItsResultIsNeverDelivered) {
    AutoResetEvent abort;
    ManualEventQueue events;
    SystemClock clock;
    SearchUntilAborted transport(abort);
    BaudRateSearch search(transport, {"/dev/ttyUSB0", 9600, 8, 0, 2}, abort, events);
    bool ended = false;
    search.Start([&](bool) { ended = true; });
    while (transport.searches == 0) std::this_thread::sleep_for(1ms);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(search.Cancel(clock));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
    EXPECT_FALSE(search.Running());
    events.RunPending();
    EXPECT_FALSE(ended);
    EXPECT_EQ(search.Line().baudRate, 19200) << "the rate tried last";
}

TEST(BaudRateSearchCancel, ALateCancelDoesNotStopTheNextSearch) {
    AutoResetEvent abort;
    ManualEventQueue events;
    ScriptedUi ui;
    ManualClock clock;
    TransportServices services{clock, events, ui, abort};
    auto fake = std::make_unique<FakeSerialPort>(&clock);
    fake->station = [](FakeSerialPort& p, const std::string&) {
        if (p.Rate() == 38400) p.Send("<?X>");
    };
    CDataSeriell transport({"/dev/ttyUSB0", 9600, 8, 0, 2}, services, std::move(fake));

    // The Cancel of a search that had just ended leaves the event set.
    abort.Set();
    BaudRateSearch search(transport, {"/dev/ttyUSB0", 9600, 8, 0, 2}, abort, events);
    std::optional<bool> found;
    search.Start([&](bool answer) { found = answer; });
    WaitUntilEnded(search);
    events.RunPending();
    EXPECT_EQ(found, true);
}

TEST(BaudRateSearchCancel, ClosingTheWindowStopsASearchStillRunning) {
    AutoResetEvent abort;
    ManualEventQueue events;
    SearchUntilAborted transport(abort);
    {
        BaudRateSearch search(transport, {"/dev/ttyUSB0", 9600, 8, 0, 2}, abort, events);
        search.Start([](bool) { ADD_FAILURE() << "no result after the window is gone"; });
        while (transport.searches == 0) std::this_thread::sleep_for(1ms);
    }
    EXPECT_FALSE(abort.IsSet()) << "nothing left for the next search";
    events.RunPending();
}

TEST(BaudRateSearchText, GrowsByOneCharacterAndStartsAgain) {
    EXPECT_EQ(BaudRateSearch::SearchingText(0), "S");
    EXPECT_EQ(BaudRateSearch::SearchingText(8), "Searching");
    EXPECT_EQ(BaudRateSearch::SearchingText(24), "Searching Baudrate.......");
    EXPECT_EQ(BaudRateSearch::SearchingText(25), "S");
}

}  // namespace
