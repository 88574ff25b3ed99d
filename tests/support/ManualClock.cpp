#include "ManualClock.h"

std::time_t ManualClock::Now() {
    std::lock_guard lock(m_mutex);
    return m_now;
}

std::uint64_t ManualClock::TickMs() {
    std::lock_guard lock(m_mutex);
    return m_tick;
}

bool ManualClock::SetPcClock(std::time_t time, std::string& error) {
    pcClockSets.push_back(time);
    if (!refusal.empty()) {
        error = refusal;
        return false;
    }
    SetNow(time);
    return true;
}

void ManualClock::SetNow(std::time_t now) {
    std::lock_guard lock(m_mutex);
    m_now = now;
}

void ManualClock::OnAdvance(std::function<void(std::uint64_t)> observer) {
    m_observers.push_back(std::move(observer));
}

void ManualClock::Advance(std::uint64_t ms) {
    // Step in small pieces so timers see each due moment in order.
    constexpr std::uint64_t kStep = 10;
    while (ms > 0) {
        const std::uint64_t step = ms < kStep ? ms : kStep;
        std::uint64_t tick;
        {
            std::lock_guard lock(m_mutex);
            m_tick += step;
            m_subSecondMs += step;
            m_now += static_cast<std::time_t>(m_subSecondMs / 1000);
            m_subSecondMs %= 1000;
            tick = m_tick;
        }
        ms -= step;
        for (auto& observer : m_observers) observer(tick);
    }
}
