#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <thread>
#include <vector>

#include "display/DataList.h"
#include "gui/platform/QtEventQueue.h"
#include "gui/platform/QtTimers.h"
#include "gui/platform/QtUi.h"

namespace {

TEST(QtEventQueue, CallsPostedFromAWorkerRunOnTheQtThreadInOrder) {
    QtEventQueue queue;
    std::vector<int> ran;
    bool allOnQtThread = true;
    QThread* const qtThread = QCoreApplication::instance()->thread();
    std::thread worker([&] {
        for (int i = 0; i < 200; ++i)
            queue.Post([&, i] {
                allOnQtThread = allOnQtThread && QThread::currentThread() == qtThread;
                ran.push_back(i);
            });
    });
    worker.join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ran.size() == 200; }, 5000));
    for (int i = 0; i < 200; ++i) ASSERT_EQ(ran[static_cast<std::size_t>(i)], i);
    EXPECT_TRUE(allOnQtThread);
}

class QtTimersTest : public ::testing::Test {
protected:
    QtTimers m_timers;
    const int m_owner = 0;
    const void* Owner() const { return &m_owner; }
};

TEST_F(QtTimersTest, CallbackMayStopItsOwnTimer) {
    int fired = 0;
    m_timers.Start(Owner(), 1910, 5, [&] {
        if (++fired == 3) m_timers.Stop(Owner(), 1910);
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired == 3; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(m_timers.IsRunning(Owner(), 1910));
}

TEST_F(QtTimersTest, CallbackMayRestartItsOwnTimerWithANewPeriod) {
    int fired = 0;
    std::function<void()> onFire = [&] {
        ++fired;
        m_timers.Start(Owner(), 1910, fired < 3 ? 5 : 60000, onFire);
    };
    m_timers.Start(Owner(), 1910, 5, onFire);
    ASSERT_TRUE(QTest::qWaitFor([&] { return fired == 3; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(fired, 3);  // the last restart set the long period
    EXPECT_TRUE(m_timers.IsRunning(Owner(), 1910));
}

TEST_F(QtTimersTest, CallbackMayStopEveryTimerOfItsOwner) {
    const int other = 0;
    int fired = 0;
    int otherFired = 0;
    m_timers.Start(Owner(), 1900, 5, [&] {
        ++fired;
        m_timers.StopAll(Owner());
    });
    m_timers.Start(Owner(), 7632, 30, [&] { ++fired; });
    m_timers.Start(&other, 7632, 30, [&] { ++otherFired; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return otherFired >= 2; }, 2000));
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(m_timers.IsRunning(Owner(), 1900));
    EXPECT_FALSE(m_timers.IsRunning(Owner(), 7632));
    EXPECT_TRUE(m_timers.IsRunning(&other, 7632));
}

TEST(QtUi, WindowsFileFiltersBecomeQtFilters) {
    EXPECT_EQ(QtUi::FileFilter("JPEG Datei(en)|*.jpg|"), "JPEG Datei(en) (*.jpg)");
    EXPECT_EQ(QtUi::FileFilter("Bilder|*.jpg;*.png|Alle|*.*|"), "Bilder (*.jpg *.png);;Alle (*.*)");
    EXPECT_EQ(QtUi::FileFilter(""), "");
    // Descriptions that show their pattern already do not get it twice.
    EXPECT_EQ(QtUi::FileFilter(DataList::kFileFilter),
              ".csv Datei (\"Komma getrennt\") (*.csv);;.txt Datei (\"Tab getrennt\") (*.txt)");
}

}  // namespace
