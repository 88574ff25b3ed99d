#pragma once

#include <cstdint>
#include <map>
#include <utility>

#include "ManualClock.h"
#include "platform/Timers.h"

// Timers that fire when the manual clock passes their due tick.
class ManualTimers final : public Timers {
public:
    explicit ManualTimers(ManualClock& clock);

    void Start(const void* owner, int id, unsigned periodMs, Callback onFire) override;
    void Stop(const void* owner, int id) override;
    void StopAll(const void* owner) override;
    bool IsRunning(const void* owner, int id) const override;
    // The period the timer was last started with, 0 when it is not running.
    unsigned PeriodOf(const void* owner, int id) const;

private:
    struct Entry {
        unsigned periodMs;
        std::uint64_t dueTick;
        Callback onFire;
    };
    void FireDue(std::uint64_t tick);

    ManualClock& m_clock;
    std::map<std::pair<const void*, int>, Entry> m_timers;
};
