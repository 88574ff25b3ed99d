// Forwarding the station's lines to a second serial port while the station
// talks over a pseudo-terminal: a forwarding port that nobody reads any more
// must not hold up the user-interface thread that stores the records.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "ConversationWorld.h"
#include "app/MainSwitchboard.h"
#include "sim/SeedData.h"

namespace {

using Steady = std::chrono::steady_clock;

constexpr const char* kLoggerStation =
    "[Dateninterpretation]\nMit_Speicher=0\nDaten_Speichern=0\n[Regen]\nReset=0\n";

// A pseudo-terminal whose far end nobody reads. Once filled, every byte written
// to it has to wait for a reader.
class UnreadPort {
public:
    UnreadPort() {
        char name[128] = {};
        if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) return;
        m_path = name;
        termios raw{};
        ::tcgetattr(m_slave, &raw);
        ::cfmakeraw(&raw);
        ::tcsetattr(m_slave, TCSANOW, &raw);
        ::fcntl(m_slave, F_SETFL, ::fcntl(m_slave, F_GETFL) | O_NONBLOCK);
    }
    ~UnreadPort() {
        ::close(m_slave);
        ::close(m_master);
    }
    const std::string& Path() const { return m_path; }
    // After the program opened its end: opening flushes what was waiting. The
    // kernel moves bytes on behind the writer's back, so it fills until a round takes none.
    void Fill() {
        const std::string block(4096, 'x');
        for (bool took = true; took;) {
            took = false;
            while (::write(m_slave, block.data(), block.size()) > 0) took = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    // A reader comes back: everything waiting is taken, so a stuck writer goes on.
    void Drain() {
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        char buffer[4096];
        while (::read(m_master, buffer, sizeof buffer) > 0) {
        }
    }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_path;
};

class ForwardingConversation : public ::testing::Test, protected ConversationWorld {};

TEST_F(ForwardingConversation, PortNobodyReadsDropsTheLinesAndNeverHoldsUpTheRecords) {
    orbsim::StationOptions options;
    options.cycleSeconds = 0.1;
    ASSERT_TRUE(StartStation(orbsim::LinkKind::kPty, options));
    UnreadPort unread;
    ASSERT_FALSE(unread.Path().empty());
    ASSERT_TRUE(OpenDocument(std::string(kLoggerStation) +
                                 "[Weiterleitung]\nAktiv=TRUE\nCOM-Port=" + unread.Path() +
                                 "\nBaudrate=9600\n",
                             1));
    ASSERT_EQ(RunInitialisation(), 0);
    document->SetLastReceivedTime(std::time(nullptr));
    auto forward = process.ForwardTransport.Get();
    ASSERT_NE(forward, nullptr);
    ASSERT_TRUE(forward->Open());
    unread.Fill();

    MainSwitchboard mainWindow(context);
    mainWindow.AddDocument(*document);
    AcquisitionLoop reader(process, clock, loop, ui, mainWindow);

    // Whatever happens, a stuck user-interface thread is let go after a while, so the test ends.
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    std::atomic<bool> drained{false};
    std::thread watchdog([&] {
        std::unique_lock lock(mutex);
        if (!finished.wait_for(lock, std::chrono::seconds(8), [&] { return done; })) {
            drained = true;
            unread.Drain();
        }
    });

    reader.Start(document.get());
    const std::string month = orbsim::DataFileName(std::time(nullptr), ".orb");
    Steady::duration longestStall{};
    auto last = Steady::now();
    const auto stored = [&] {
        const auto now = Steady::now();
        longestStall = std::max(longestStall, now - last);
        last = now;
        const std::string file = folder.Read("Daten/" + month);
        return std::count(file.begin(), file.end(), '\n') >= 3;
    };
    const bool storedThree = loop.RunUntil(stored, 6000);
    reader.Stop();
    {
        std::lock_guard lock(mutex);
        done = true;
    }
    finished.notify_one();
    watchdog.join();

    EXPECT_TRUE(storedThree) << "records were stored while the forwarding port took nothing";
    EXPECT_FALSE(drained) << "the user-interface thread waited for the forwarding port";
    EXPECT_LT(longestStall, std::chrono::milliseconds(1000));
    bool reported = false;
    for (const std::string& text : OutputTexts())
        reported = reported || text.starts_with("Forwarding: ");
    EXPECT_TRUE(reported) << "the dropped bytes are reported";
    forward->Close();
}

}  // namespace
