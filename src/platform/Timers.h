#pragma once

#include <functional>

// Repeating window timers, identified by their owner and a number (1900,
// 1910, 7632...). Starting a running timer restarts it with the new period.
// Only the user-interface thread may call these; callbacks run on it too.
class Timers {
public:
    using Callback = std::function<void()>;
    virtual ~Timers() = default;
    virtual void Start(const void* owner, int id, unsigned periodMs, Callback onFire) = 0;
    virtual void Stop(const void* owner, int id) = 0;
    // Stops every timer of `owner` (when the owner goes away).
    virtual void StopAll(const void* owner) = 0;
    virtual bool IsRunning(const void* owner, int id) const = 0;
};
