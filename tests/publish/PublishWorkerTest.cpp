#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "LocalHttpServer.h"
#include "ScopedEnvironment.h"
#include "StationHome.h"
#include "model/Colours.h"
#include "model/OutputList.h"
#include "platform/CurlWebSession.h"
#include "publish/CHttpUpload.h"
#include "publish/CWebAccess.h"
#include "publish/PublishWorker.h"

namespace {

using namespace std::chrono_literals;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

// Holds the worker in a job until the test opens it.
class Gate {
public:
    PublishWorker::Job Job() {
        return [this](std::stop_token) {
            std::unique_lock lock(m_mutex);
            m_entered = true;
            m_changed.notify_all();
            m_changed.wait(lock, [this] { return m_open; });
        };
    }
    bool WaitEntered() {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, 5s, [this] { return m_entered; });
    }
    void Open() {
        std::lock_guard lock(m_mutex);
        m_open = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_entered = false;
    bool m_open = false;
};

// What the jobs did, in the order they did it.
class Journal {
public:
    PublishWorker::Job Job(std::string name) {
        return [this, name](std::stop_token) {
            std::lock_guard lock(m_mutex);
            m_done.push_back(name);
        };
    }
    std::vector<std::string> Done() const {
        std::lock_guard lock(m_mutex);
        return m_done;
    }

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_done;
};

class PublishWorkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        environment.WithoutProxy();
        OutputList::Process().Clear();
    }

    std::string ErrLog() const { return world.folder.Read("ErrLog.txt"); }
    static std::vector<std::string> OutputTexts() {
        std::vector<std::string> texts;
        for (const tagOutpElm& line : OutputList::Process().Snapshot()) texts.push_back(line.text);
        return texts;
    }

    ScopedEnvironment environment;
    ManualWorld world{1700000000};
    Journal journal;
};

TEST_F(PublishWorkerTest, UploadsRunInTheOrderQueued) {
    PublishWorker worker(world.errorLog);
    std::vector<std::string> expected;
    for (int i = 0; i < 200; ++i) {
        expected.push_back(std::to_string(i));
        ASSERT_TRUE(worker.Queue("record " + expected.back(), journal.Job(expected.back())));
    }
    ASSERT_TRUE(worker.WaitUntilIdle(10s));
    EXPECT_EQ(journal.Done(), expected);
    EXPECT_TRUE(OutputTexts().empty());
    EXPECT_EQ(ErrLog(), "<missing>");
}

TEST_F(PublishWorkerTest, AFullQueueDropsTheOldestWaitingUploadWithANote) {
    PublishWorker worker(world.errorLog, {.capacity = 3, .grace = 3s});
    Gate gate;
    ASSERT_TRUE(worker.Queue("held", gate.Job()));
    ASSERT_TRUE(gate.WaitEntered());
    for (const char* name : {"a", "b", "c", "d", "e"}) worker.Queue(name, journal.Job(name));

    EXPECT_EQ(worker.Waiting(), 3u);
    EXPECT_THAT(OutputTexts(), ElementsAre("Upload queue full (3 waiting): dropped a",
                                           "Upload queue full (3 waiting): dropped b"));
    EXPECT_EQ(OutputList::Process().Snapshot()[0].colour, kColourError);
    EXPECT_THAT(ErrLog(), HasSubstr("dropped a"));
    EXPECT_THAT(ErrLog(), HasSubstr("dropped b"));

    gate.Open();
    ASSERT_TRUE(worker.WaitUntilIdle(5s));
    EXPECT_THAT(journal.Done(), ElementsAre("c", "d", "e"));
}

TEST_F(PublishWorkerTest, QueueingNeverWaitsForTheNetwork) {
    PublishWorker worker(world.errorLog, {.capacity = 10, .grace = 100ms});
    Gate gate;
    ASSERT_TRUE(worker.Queue("held", gate.Job()));
    ASSERT_TRUE(gate.WaitEntered());

    // The worker is stuck in an upload; the user-interface side goes on, also past a full queue.
    auto queued = std::async(std::launch::async, [&] {
        for (int i = 0; i < 25; ++i) worker.Queue(std::to_string(i), journal.Job("x"));
    });
    EXPECT_EQ(queued.wait_for(5s), std::future_status::ready);
    gate.Open();
}

TEST_F(PublishWorkerTest, StopLetsWaitingUploadsFinishWithinTheGrace) {
    PublishWorker worker(world.errorLog, {.capacity = 100, .grace = 5s});
    for (const char* name : {"a", "b", "c"}) worker.Queue(name, journal.Job(name));
    worker.Stop();
    EXPECT_THAT(journal.Done(), ElementsAre("a", "b", "c"));
    EXPECT_TRUE(OutputTexts().empty());

    EXPECT_FALSE(worker.Queue("late", journal.Job("late")));
    worker.Stop();
    EXPECT_EQ(journal.Done().size(), 3u);
}

TEST_F(PublishWorkerTest, StopDropsWhatTheGraceLeavesAndEndsTheRunningUpload) {
    auto worker =
        std::make_unique<PublishWorker>(world.errorLog, PublishWorker::Options{.grace = 300ms});
    std::promise<void> entered;
    worker->Queue("stuck", [&](std::stop_token stop) {
        entered.set_value();
        std::mutex mutex;
        std::condition_variable_any wake;
        std::unique_lock lock(mutex);
        wake.wait(lock, stop, [] { return false; });
    });
    entered.get_future().wait();
    for (const char* name : {"first", "middle", "last"}) worker->Queue(name, journal.Job(name));

    const auto start = std::chrono::steady_clock::now();
    worker.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);

    EXPECT_TRUE(journal.Done().empty());
    EXPECT_THAT(OutputTexts(), ElementsAre("4 upload(s) not sent at exit"));
    EXPECT_THAT(ErrLog(), HasSubstr("4 upload(s) not sent at exit\r\r\nfirst waiting: first\r\r\n"
                                    "last waiting: last"));
}

TEST_F(PublishWorkerTest, AFailingUploadIsNotedAndTheNextOneRuns) {
    PublishWorker worker(world.errorLog);
    worker.Queue("HTTP upload r1", [](std::stop_token) { throw std::runtime_error("no memory"); });
    worker.Queue("r2", journal.Job("r2"));
    ASSERT_TRUE(worker.WaitUntilIdle(5s));
    EXPECT_THAT(OutputTexts(), ElementsAre("HTTP upload r1 failed: no memory"));
    EXPECT_THAT(journal.Done(), ElementsAre("r2"));
}

// Over a real socket: a server that takes the request and never answers holds
// the upload until the worker ends it.
TEST_F(PublishWorkerTest, StopEndsAnUploadToAServerThatNeverAnswers) {
    LocalHttpServer server;
    server.NeverAnswer();
    HttpUploadSettings settings;
    settings.ScriptPath = server.Url("/in.php");
    auto worker =
        std::make_unique<PublishWorker>(world.errorLog, PublishWorker::Options{.grace = 500ms});
    worker->Queue("HTTP upload r", [settings](std::stop_token stop) {
        CurlWebSession::Options options;
        options.stop = stop;
        CWebAccess access(std::make_unique<CurlWebSession>(options));
        CHttpUpload::SendRecord(settings, "r\r\n", access);
    });
    ASSERT_TRUE(server.WaitForRequests(1, 5000));

    const auto start = std::chrono::steady_clock::now();
    worker.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);
    EXPECT_THAT(OutputTexts(), ::testing::Contains("1 upload(s) not sent at exit"));
}

}  // namespace
