#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Clock.h"

// A clock that moves only when the test says so. SleepMs advances it. Observers
// (the manual timers) hear of every advance so they can fire what is due.
class ManualClock final : public Clock {
public:
    explicit ManualClock(std::time_t start = 1700000000) : m_now(start) {}

    std::time_t Now() override;
    std::uint64_t TickMs() override;
    void SleepMs(unsigned ms) override { Advance(ms); }
    bool SetPcClock(std::time_t time, std::string& error) override;

    // Moves both the time and the tick forward by `ms`, firing what falls due on the way.
    void Advance(std::uint64_t ms);
    void SetNow(std::time_t now);
    void OnAdvance(std::function<void(std::uint64_t tick)> observer);

    // Setting the PC clock: recorded, and refused with `refusal` when that is not empty.
    std::vector<std::time_t> pcClockSets;
    std::string refusal;

private:
    mutable std::mutex m_mutex;
    std::time_t m_now;
    std::uint64_t m_subSecondMs = 0;
    std::uint64_t m_tick = 1000;
    std::vector<std::function<void(std::uint64_t)>> m_observers;
};
