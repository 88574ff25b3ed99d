#include "gui/platform/QtTimers.h"

#include <QTimer>
#include <algorithm>
#include <climits>

QtTimers::QtTimers() : m_parent(std::make_unique<QObject>()) {}

QtTimers::~QtTimers() = default;

void QtTimers::Start(const void* owner, int id, unsigned periodMs, Callback onFire) {
    const Key key{owner, id};
    Entry& entry = m_timers[key];
    if (entry.timer == nullptr) {
        entry.timer = new QTimer(m_parent.get());
        QTimer* timer = entry.timer;
        QObject::connect(timer, &QTimer::timeout, timer, [this, key, timer] { Fire(key, timer); });
    }
    entry.onFire = std::move(onFire);
    entry.timer->start(static_cast<int>(std::min<unsigned>(periodMs, INT_MAX)));
}

void QtTimers::Stop(const void* owner, int id) {
    const auto it = m_timers.find({owner, id});
    if (it == m_timers.end()) return;
    Release(it->second);
    m_timers.erase(it);
}

void QtTimers::StopAll(const void* owner) {
    for (auto it = m_timers.begin(); it != m_timers.end();) {
        if (it->first.first == owner) {
            Release(it->second);
            it = m_timers.erase(it);
        } else {
            ++it;
        }
    }
}

bool QtTimers::IsRunning(const void* owner, int id) const {
    const auto it = m_timers.find({owner, id});
    return it != m_timers.end() && it->second.timer->isActive();
}

void QtTimers::Fire(const Key& key, const QTimer* timer) {
    const auto it = m_timers.find(key);
    if (it == m_timers.end() || it->second.timer != timer) return;
    // A copy: the callback may replace or drop its own entry while it runs.
    const Callback onFire = it->second.onFire;
    if (onFire) onFire();
}

void QtTimers::Release(Entry& entry) {
    entry.timer->stop();
    entry.timer->deleteLater();
    entry.timer = nullptr;
}
