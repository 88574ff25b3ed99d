// The acquisition reader: lines for the main window, beginning with what the
// initialisation left (the first line completed from its reader's bytes, or
// else dropped as partial), queued commands sent after the next byte, and the
// silence report.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FakeTransport.h"
#include "StationHome.h"
#include "app/StationCommands.h"
#include "comm/AcquisitionLoop.h"
#include "comm/ProcessValues.h"

namespace {

struct RecordingReceiver final : StationLineReceiver {
    void OnStationLine(CWetterDoc* document, std::string line) override {
        lines.push_back(line);
        documents.push_back(document);
    }
    void OnNoData(CWetterDoc*) override { ++noData; }
    std::vector<std::string> lines;
    std::vector<CWetterDoc*> documents;
    int noData = 0;
};

class Acquisition : public ::testing::Test, protected ManualWorld {
protected:
    Acquisition() : ManualWorld(Utc(2024, 3, 10, 12, 0)) {
        process.CurrentTransport.Exchange(transport);
    }
    std::shared_ptr<ByteFeedTransport> transport = std::make_shared<ByteFeedTransport>(&clock);
    RecordingReceiver receiver;
    AcquisitionLoop loop{process, clock, events, ui, receiver};
    CWetterDoc* const document = reinterpret_cast<CWetterDoc*>(0x1234);
};

TEST_F(Acquisition, LinesGoToTheMainWindowUntilTheStationFallsSilent) {
    transport->Feed(
        "00,TE5.0,\r\n12:00:10,TE\x02"
        "5.1,\x1F\r\n12:00:20,\aTE5.2,\r\n");
    const std::uint64_t start = clock.TickMs();
    loop.Run(document);
    events.RunPending();
    EXPECT_EQ(receiver.lines,
              (std::vector<std::string>{"12:00:10,TE5.1,\x1F\r\n", "12:00:20,TE5.2,\r\n"}));
    EXPECT_EQ(receiver.documents[0], document);
    EXPECT_EQ(receiver.noData, 1);
    EXPECT_EQ(transport->purges, 1);
    EXPECT_GT(clock.TickMs() - start, 60000u);
    EXPECT_LE(clock.TickMs() - start, 62000u);
}

struct HandOverRow {
    const char* name;
    LineHandOver::Left left;  // by the initialisation's reader
    std::vector<std::string> lines;
};

class AcquisitionHandOver : public Acquisition,
                            public ::testing::WithParamInterface<HandOverRow> {};

TEST_P(AcquisitionHandOver, WhatTheInitialisationLeftComesFirstAndCompletesTheFirstLine) {
    process.ReaderHandOver.Leave(GetParam().left);
    transport->Feed("0,TE5.0,\x1F\r\n12:00:20,TE5.2,\r\n");
    loop.Run(document);
    events.RunPending();
    EXPECT_EQ(receiver.lines, GetParam().lines);
    const LineHandOver::Left again = process.ReaderHandOver.Take();
    EXPECT_TRUE(again.lines.empty() && !again.lineStart) << "taken once";
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AcquisitionHandOver,
    ::testing::Values(
        HandOverRow{"NothingKnownDropsThePartialLine", {}, {"12:00:20,TE5.2,\r\n"}},
        HandOverRow{"TheLineStartCompletesIt",
                    {{}, "12:00:1"},
                    {"12:00:10,TE5.0,\x1F\r\n", "12:00:20,TE5.2,\r\n"}},
        HandOverRow{
            "AtALineEndTheFirstLineIsWhole", {{}, ""}, {"0,TE5.0,\x1F\r\n", "12:00:20,TE5.2,\r\n"}},
        HandOverRow{"LinesTheInitialisationDidNotTakeComeFirst",
                    {{"12:00:00,TE4.9,\x1F\r\n"}, "12:00:1"},
                    {"12:00:00,TE4.9,\x1F\r\n", "12:00:10,TE5.0,\x1F\r\n", "12:00:20,TE5.2,\r\n"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Acquisition, BytesWithoutLineFeedCountAsSilence) {
    transport->Feed("\r\n" + std::string(70, 'x'));
    process.settings.noDataTimeout = 5.0;
    loop.Run(document);
    events.RunPending();
    EXPECT_EQ(receiver.noData, 1);
}

TEST_F(Acquisition, ALostLinkEndsTheReaderAsSilenceDoes) {
    transport->Feed("\r\n12:00:10,TE5.1,\r\n");
    transport->lost = true;
    process.settings.noDataTimeout = 5.0;
    loop.Run(document);
    events.RunPending();
    EXPECT_EQ(receiver.lines, (std::vector<std::string>{"12:00:10,TE5.1,\r\n"}));
    EXPECT_EQ(receiver.noData, 1);
}

// On its own thread, with a transport that waits in real time and a clock that stands still.
class AcquisitionThread : public Acquisition {
protected:
    AcquisitionThread() { process.CurrentTransport.Exchange(feed); }
    template <class Condition>
    static bool WaitFor(Condition condition) {
        for (int i = 0; i < 3000; ++i) {
            if (condition()) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
    // Once a line was handed over the loop is past its start, which clears queued commands.
    void StartAndWaitForALine() {
        loop.Start(document);
        feed->Feed("a\nb\n");
        ASSERT_TRUE(WaitFor([&] { return events.Waiting() > 0; }));
    }
    std::shared_ptr<ByteFeedTransport> feed = std::make_shared<ByteFeedTransport>();
};

TEST_F(AcquisitionThread, QueuedCommandGoesOutAfterTheNextByte) {
    StartAndWaitForALine();
    QueueStationCommand(process, "!O100");
    QueueStationCommand(process, "!O200");  // replaces the first
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(feed->Written().empty()) << "nothing is sent while the station is silent";
    feed->Feed("x");
    EXPECT_TRUE(WaitFor([&] { return !feed->Written().empty(); }));
    loop.Stop();
    EXPECT_EQ(feed->Written(), (std::vector<std::string>{"!O200\r\n"}));
}

TEST_F(AcquisitionThread, FailedTransmissionIsReported) {
    feed->SetWriteResult(0);
    StartAndWaitForALine();
    QueueStationCommand(process, "!U120000100324");
    feed->Feed("x");
    EXPECT_TRUE(WaitFor([&] { return !feed->Written().empty(); }));
    loop.Stop();
    events.RunPending();
    ASSERT_EQ(ui.shown.size(), 1u);
    EXPECT_EQ(ui.shown[0].text, "Error transmitting");
}

TEST_F(Acquisition, StopEndsTheReaderThread) {
    loop.Start(document);
    EXPECT_TRUE(loop.Running());
    loop.Stop();
    EXPECT_FALSE(loop.Running());
    EXPECT_FALSE(process.AcquisitionStopEvent.IsSet());
}

}  // namespace
