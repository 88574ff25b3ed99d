#pragma once

#include <QObject>
#include <map>
#include <memory>
#include <utility>

#include "platform/Timers.h"

class QTimer;

// Repeating timers on the Qt thread, one QTimer per (owner, id). A callback
// may stop or restart its own timer, or stop every timer of its owner.
class QtTimers final : public Timers {
public:
    QtTimers();
    ~QtTimers() override;

    void Start(const void* owner, int id, unsigned periodMs, Callback onFire) override;
    void Stop(const void* owner, int id) override;
    void StopAll(const void* owner) override;
    bool IsRunning(const void* owner, int id) const override;

private:
    using Key = std::pair<const void*, int>;
    struct Entry {
        QTimer* timer = nullptr;  // a child of m_parent
        Callback onFire;
    };
    void Fire(const Key& key, const QTimer* timer);
    void Release(Entry& entry);

    // Parent of the timers: a stopped timer may be inside its own signal, so it
    // is deleted later, or with this parent at the latest.
    std::unique_ptr<QObject> m_parent;
    std::map<Key, Entry> m_timers;
};
