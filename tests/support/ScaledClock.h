#pragma once

#include <chrono>
#include <ctime>
#include <string>
#include <thread>

#include "platform/Clock.h"

// The real clock running `factor` times faster for the waits of whoever uses
// it: a 20 s time-out passes in 1 s. The time of day stays the real one.
class ScaledClock final : public Clock {
public:
    explicit ScaledClock(unsigned factor) : m_factor(factor) {}

    std::time_t Now() override { return std::time(nullptr); }
    std::uint64_t TickMs() override {
        const auto real = std::chrono::steady_clock::now() - m_start;
        return static_cast<std::uint64_t>(
                   std::chrono::duration_cast<std::chrono::milliseconds>(real).count()) *
                   m_factor +
               1000;
    }
    void SleepMs(unsigned ms) override {
        std::this_thread::sleep_for(std::chrono::microseconds(1000ull * ms / m_factor));
    }
    bool SetPcClock(std::time_t, std::string& error) override {
        error = "not here";
        return false;
    }
    unsigned Factor() const { return m_factor; }

private:
    const unsigned m_factor;
    const std::chrono::steady_clock::time_point m_start = std::chrono::steady_clock::now();
};
