#pragma once

#include "platform/Clock.h"

// The system clock: time(), CLOCK_MONOTONIC, nanosleep and clock_settime.
class SystemClock final : public Clock {
public:
    SystemClock();
    std::time_t Now() override;
    std::uint64_t TickMs() override;
    void SleepMs(unsigned ms) override;
    bool SetPcClock(std::time_t time, std::string& error) override;
};
