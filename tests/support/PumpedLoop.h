#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/EventQueue.h"
#include "platform/Timers.h"

// A user-interface thread in miniature for end-to-end tests: posted calls and
// timers in real time, run by the test thread while it waits for a condition.
class PumpedLoop final : public EventQueue, public Timers {
public:
    void Post(std::function<void()> call) override {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(std::move(call));
    }

    void Start(const void* owner, int id, unsigned periodMs, Callback onFire) override {
        m_timers[{owner, id}] = {periodMs, Clock::now() + std::chrono::milliseconds(periodMs),
                                 std::move(onFire)};
    }
    void Stop(const void* owner, int id) override { m_timers.erase({owner, id}); }
    void StopAll(const void* owner) override {
        std::erase_if(m_timers, [owner](const auto& entry) { return entry.first.first == owner; });
    }
    bool IsRunning(const void* owner, int id) const override {
        return m_timers.count({owner, id}) != 0;
    }

    // Runs posted calls and due timers until `done` holds or `limitMs` passed; true when done.
    template <class Condition>
    bool RunUntil(Condition done, int limitMs) {
        const auto end = Clock::now() + std::chrono::milliseconds(limitMs);
        while (!done()) {
            if (Clock::now() > end) return false;
            if (!RunOnce()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return true;
    }
    // Runs for `ms` milliseconds whatever happens.
    void RunFor(int ms) { RunUntil([] { return false; }, ms); }

private:
    using Clock = std::chrono::steady_clock;
    struct Entry {
        unsigned periodMs;
        Clock::time_point due;
        Callback onFire;
    };

    bool RunOnce() {
        std::function<void()> call;
        {
            std::lock_guard lock(m_mutex);
            if (!m_calls.empty()) {
                call = std::move(m_calls.front());
                m_calls.pop_front();
            }
        }
        if (call) {
            call();
            return true;
        }
        const auto now = Clock::now();
        for (auto& [key, entry] : m_timers) {
            if (entry.due > now) continue;
            entry.due = now + std::chrono::milliseconds(entry.periodMs);
            const Callback onFire = entry.onFire;  // may stop or restart itself
            onFire();
            return true;
        }
        return false;
    }

    std::mutex m_mutex;
    std::deque<std::function<void()>> m_calls;
    std::map<std::pair<const void*, int>, Entry> m_timers;
};
