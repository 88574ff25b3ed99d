#include "ManualTimers.h"

#include <vector>

ManualTimers::ManualTimers(ManualClock& clock) : m_clock(clock) {
    m_clock.OnAdvance([this](std::uint64_t tick) { FireDue(tick); });
}

void ManualTimers::Start(const void* owner, int id, unsigned periodMs, Callback onFire) {
    m_timers[{owner, id}] = Entry{periodMs, m_clock.TickMs() + periodMs, std::move(onFire)};
}

void ManualTimers::Stop(const void* owner, int id) { m_timers.erase({owner, id}); }

void ManualTimers::StopAll(const void* owner) {
    std::erase_if(m_timers, [owner](const auto& item) { return item.first.first == owner; });
}

bool ManualTimers::IsRunning(const void* owner, int id) const {
    return m_timers.count({owner, id}) != 0;
}

unsigned ManualTimers::PeriodOf(const void* owner, int id) const {
    const auto it = m_timers.find({owner, id});
    return it == m_timers.end() ? 0 : it->second.periodMs;
}

void ManualTimers::FireDue(std::uint64_t tick) {
    std::vector<std::pair<const void*, int>> due;
    for (const auto& [key, entry] : m_timers)
        if (entry.dueTick <= tick) due.push_back(key);
    for (const auto& key : due) {
        auto it = m_timers.find(key);
        if (it == m_timers.end() || it->second.dueTick > tick) continue;  // stopped or restarted meanwhile
        it->second.dueTick += it->second.periodMs > 0 ? it->second.periodMs : 1;
        Callback call = it->second.onFire;  // the callback may stop or restart its own timer
        call();
    }
}
