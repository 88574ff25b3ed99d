// The initialisation worker: synchronising on the first record line, echo
// matching, repeats on a wrong echo or a time-out, "DENIED: ", and the data
// lines it hands on. Driven byte by byte on the test thread, and on its own
// threads: the traffic log and what it leaves to the acquisition reader.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "FakeFileStore.h"
#include "FakeTransport.h"
#include "StationHome.h"
#include "comm/CFaden.h"
#include "model/OutputList.h"

using namespace StationProtocol;

namespace {

struct RecordingTarget final : InitTarget {
    bool OnDataLine(std::string line, int message) override {
        if (ended) return false;
        lines.push_back(line);
        messages.push_back(message);
        return true;
    }
    void OnReplyReceived() override { ++replies; }
    void OnNoReply() override { ++noReplies; }
    void OnLinkLost() override { ++linksLost; }
    std::vector<std::string> lines;
    std::vector<int> messages;
    int replies = 0;
    int noReplies = 0;
    int linksLost = 0;
    bool ended = false;  // takes no more lines
};

constexpr const char* kRecord = "12:00:00,10.03.24,TE5.0, FE80,\r\n";

class Faden : public ::testing::Test, protected ManualWorld {
protected:
    Faden() : ManualWorld(Utc(2024, 3, 10, 12, 0)) {
        OutputList::Process().Clear();
        process.CurrentTransport.Exchange(transport);
        worker.SetTarget(target);
    }
    void Bytes(const std::string& bytes) {
        for (char byte : bytes) worker.HandleByte(byte);
        events.RunPending();
    }
    void Send(const std::string& command, int message = kRecordLine) {
        worker.PostCommand({command, false, message});
    }

    std::shared_ptr<FakeTransport> transport = std::make_shared<FakeTransport>("t");
    std::shared_ptr<RecordingTarget> target = std::make_shared<RecordingTarget>();
    FakeFileStore files;
    CFaden worker{process, clock, events, errorLog, files, folder.File("log.dat")};
};

TEST_F(Faden, FirstRecordLineOnlySynchronises) {
    Bytes("garbage\r\n");
    Bytes(std::string("12:00:00,TE5.0,\x1F\r\n"));
    EXPECT_TRUE(target->lines.empty());
    Bytes(kRecord);
    EXPECT_EQ(target->lines, (std::vector<std::string>{"12:00:00,10.03.24,TE5.0,FE80,\r\n"}));
    EXPECT_EQ(target->messages, (std::vector<int>{kRecordLine}));
}

TEST_F(Faden, LinesWithoutTrailingCommaNeverSynchronise) {
    Bytes("12:00:00,TE5.0\r\n12:00:10,TE5.1\r\n12:00:20,TE5.2\r\n");
    EXPECT_TRUE(target->lines.empty());
}

TEST_F(Faden, EchoWithSpacesAcknowledgesAndRecordsAreDroppedMeanwhile) {
    Bytes(kRecord);
    Send("!Z30");
    EXPECT_EQ(transport->written, (std::vector<std::string>{"!Z30\r\n"}));
    Bytes(kRecord);
    Bytes("< !Z 30 >\r\n");
    EXPECT_EQ(target->replies, 1);
    EXPECT_TRUE(target->lines.empty()) << "not forwarded while awaiting";
    EXPECT_FALSE(worker.AwaitingReply());
    Bytes(kRecord);
    EXPECT_EQ(target->lines.size(), 1u);
}

TEST_F(Faden, WrongEchoRepeatsUntilTheFifthTransmission) {
    Bytes(kRecord);
    Send("!R7");
    for (int i = 0; i < 4; ++i) Bytes("<!Q>\r\n");
    EXPECT_EQ(transport->written.size(), 5u);
    EXPECT_EQ(target->noReplies, 0);
    Bytes("<!Q>\r\n");
    EXPECT_EQ(transport->written.size(), 5u);
    EXPECT_EQ(target->noReplies, 1);
    EXPECT_FALSE(worker.AwaitingReply());
}

TEST_F(Faden, SilentStationIsAskedAgainOnlyWhenLinesArriveAfterTheTimeOut) {
    Bytes(kRecord);
    Send("!Z30");
    clock.Advance(2300);
    Bytes(kRecord);
    EXPECT_EQ(transport->written.size(), 1u) << "2300 ms is not past the time-out";
    clock.Advance(1);
    EXPECT_EQ(transport->written.size(), 1u) << "time alone repeats nothing";
    Bytes(kRecord);
    EXPECT_EQ(transport->written.size(), 2u);
    for (int i = 0; i < 3; ++i) {
        clock.Advance(2301);
        Bytes(kRecord);
    }
    EXPECT_EQ(transport->written.size(), 5u);
    clock.Advance(2301);
    Bytes(kRecord);
    EXPECT_EQ(target->noReplies, 1);
    EXPECT_EQ(transport->written.size(), 5u);
}

TEST_F(Faden, ForwardWhileAwaitingAndTheLoggerLineMessage) {
    Bytes(kRecord);
    worker.PostCommand({"?D110000100324", true, kLoggerLine});
    Bytes(kRecord);
    Bytes("<?D110000100324>\r\n");
    Bytes(kRecord);
    EXPECT_EQ(target->messages, (std::vector<int>{kLoggerLine, kLoggerLine}));
}

TEST_F(Faden, DeniedIsReportedAndRemoved) {
    Bytes(kRecord);
    Send("!Z30");
    Bytes("DENIED: <!Z30>\r\n");
    EXPECT_EQ(target->replies, 1) << "the line goes on without the marker";
    const auto output = OutputList::Process().Snapshot();
    ASSERT_EQ(output.size(), 1u);
    EXPECT_EQ(output[0].text,
              "Weather station blocked command! DENIED detected! EEPROM protected?");
    EXPECT_NE(folder.Read("ErrLog.txt").find("DENIED detected"), std::string::npos);
}

TEST_F(Faden, WithoutTargetLinesAreDropped) {
    worker.SetTarget({});
    Bytes(kRecord);
    Bytes(kRecord);
    EXPECT_EQ(events.Waiting(), 0u);
}

TEST_F(Faden, ThreadsReadTheTransportLogTheTrafficAndLeaveWhatTheInitialisationDidNotTake) {
    ProcessValues threaded;
    threaded.ReaderHandOver.Leave({{"from an earlier connection\r\n"}, ""});
    auto feed = std::make_shared<ByteFeedTransport>();
    threaded.CurrentTransport.Exchange(feed);
    files.files[folder.File("log.dat")] = "the last run's traffic";
    CFaden live(threaded, clock, events, errorLog, files, folder.File("log.dat"));
    live.SetTarget(target);
    live.Start();
    EXPECT_TRUE(threaded.ReaderHandOver.Take().lines.empty());
    const auto waitUntil = [&](auto done) {
        for (int i = 0; i < 2000 && !done(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            events.RunPending();
        }
    };
    feed->Feed(std::string(kRecord) + kRecord);
    live.PostCommand({"!Z30", false, kRecordLine});
    feed->Feed("<!Z30>\r\n");
    waitUntil([&] { return target->replies == 1; });

    // The initialisation is over; the reader ends inside its last read, which took the
    // start of the next line.
    target->ended = true;
    feed->Feed("12:00:10, TE5.1,\r\n12:00:2");
    waitUntil([&] { return feed->Waiting() == 0; });
    live.Stop();
    events.RunPending();
    EXPECT_EQ(target->replies, 1);
    EXPECT_EQ(feed->Written(), (std::vector<std::string>{"!Z30\r\n"}));
    const std::string log = files.Read(folder.File("log.dat"));
    EXPECT_EQ(log.find("the last run's traffic"), std::string::npos) << "each run starts it anew";
    EXPECT_NE(log.find("!Z30\r\n"), std::string::npos);
    EXPECT_NE(log.find("<!Z30>\r\n"), std::string::npos);
    const LineHandOver::Left left = threaded.ReaderHandOver.Take();
    EXPECT_EQ(left.lines, (std::vector<std::string>{"12:00:10, TE5.1,\r\n"})) << "as received";
    EXPECT_EQ(left.lineStart, "12:00:2");
}

TEST_F(Faden, LinkThatGoesDownWhileTheStationTalksIsReportedOnce) {
    ProcessValues threaded;
    auto feed = std::make_shared<ByteFeedTransport>();
    threaded.CurrentTransport.Exchange(feed);
    CFaden live(threaded, clock, events, errorLog, files, folder.File("log.dat"));
    live.SetTarget(target);
    live.Start();
    const auto waitUntil = [&](auto done) {
        for (int i = 0; i < 2000 && !done(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            events.RunPending();
        }
    };
    feed->Feed(std::string(kRecord) + kRecord);
    waitUntil([&] { return target->lines.size() == 1; });
    EXPECT_EQ(target->linksLost, 0);
    feed->Close();  // the call dropped
    waitUntil([&] { return target->linksLost > 0; });
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    live.Stop();
    events.RunPending();
    EXPECT_EQ(target->linksLost, 1);
}

}  // namespace
